#pragma once

#include <windows.h>

#include <commctrl.h>

namespace tavrel::win32 {

// Draws a push button's caption, wrapped by width onto as few lines as the
// button needs and with those lines filled evenly: "输入成绩" on a button
// narrower than its four characters becomes "输入" above "成绩", where the
// button's own wrapping would leave one character alone on the second line
// ("输入成" above "绩") wherever three of them fit. The caption itself keeps
// no line break, so the button's text stays what the window gives it.
//
// Answers the button's NM_CUSTOMDRAW (sent by version 6 of the common
// controls): the button draws its own background and frame, this the
// caption and the focus rectangle. Returns the custom-draw result.
[[nodiscard]] LRESULT drawButtonCaption(const NMCUSTOMDRAW &draw, UINT dpi);

} // namespace tavrel::win32
