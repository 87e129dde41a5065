#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tavrel::win32 {

// The whole text of an edit control, UTF-16 unit for unit.
[[nodiscard]] std::u16string readEditText(HWND edit);

// Replaces the whole text of an edit control and shows its beginning, however
// wide it is (the caret goes to the start and the view scrolls there).
// Throws std::bad_alloc if the control could not take the text (it is out
// of memory), which the click dispatch reports.
void writeEditText(HWND edit, std::u16string_view text);

} // namespace tavrel::win32
