#pragma once

#include "win32/handles.h"

#include <windows.h>

namespace tavrel::win32 {

// The side of the stamp picture in pixels at `dpi`: 57 at 96 dpi.
[[nodiscard]] int stampSide(UINT dpi);

// The stamp picture of Image1 at `dpi` from its bitmap resources in
// `resources`: a 24-bit DIB section of stampSide(dpi) square pixels. At 96
// and 192 dpi it is the drawing itself; at any other dpi the drawing made at
// twice the size (at 96 dpi or below, the natural one) is scaled to that side
// with WIC (COM must be initialised on this thread), so the stamp stays sharp
// instead of being stretched. Null if the picture cannot be loaded.
[[nodiscard]] win32::UniqueBitmap loadStampPicture(HINSTANCE resources, UINT dpi);

} // namespace tavrel::win32
