#pragma once

#include "win32/handles.h"

#include <windows.h>

namespace tavrel::win32 {

// The side of the stamp picture in pixels at `dpi`: 57 at 96 dpi.
[[nodiscard]] int stampSide(UINT dpi);

// The stamp picture of Image1 at `dpi`, decoded from its JPEG resource in
// `resources` (WIC; COM must be initialised on this thread) into a 24-bit
// DIB section of stampSide(dpi) square pixels. Above 96 dpi the drawing made
// at twice the size is scaled down to that side, so the stamp stays sharp
// instead of being stretched. Null if the picture cannot be decoded.
[[nodiscard]] win32::UniqueBitmap loadStampPicture(HINSTANCE resources, UINT dpi);

} // namespace tavrel::win32
