#pragma once

// Screen resolution, per window. The functions that tell it per monitor are
// newer than Windows 7, the oldest system the program runs on, so they are
// looked up at run time, with the system-wide value as the fallback.

#include <windows.h>

namespace tavrel::win32 {

inline constexpr UINT standardDpi = 96;

// The dots per inch `window` is drawn at: GetDpiForWindow where present
// (Windows 10 1607), else its monitor's (GetDpiForMonitor, Windows 8.1),
// else the screen's LOGPIXELSY.
[[nodiscard]] UINT dpiForWindow(HWND window);

// The window rectangle for a client rectangle at `dpi` (AdjustWindowRectExForDpi
// where present, else AdjustWindowRectEx, which assumes the system's dpi).
[[nodiscard]] RECT windowRectForClient(RECT client, DWORD style, DWORD exStyle, UINT dpi);

// The system's message font (the font of message boxes and dialogs), with
// its height scaled to `dpi`.
[[nodiscard]] LOGFONTW messageFont(UINT dpi);

// A system metric (an icon's size, say) for `dpi` (GetSystemMetricsForDpi
// where present, else GetSystemMetrics, which is for the system's dpi).
[[nodiscard]] int systemMetric(int index, UINT dpi);

} // namespace tavrel::win32
