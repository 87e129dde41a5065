#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

namespace tavrel::core {
class ClickGate;
}

namespace tavrel::win32 {

// Runs one click handler of the window `owner` to completion through the
// window's `clicks`, which drop it while another of its clicks is still
// running. A run-time error it raises ends the handler; its message is shown
// by reportRuntimeError over `owner`, and the program goes on with every box
// as the handler left it.
void dispatchClick(core::ClickGate &clicks, HWND owner, const std::function<void()> &handler);

// The runtime's error report: a modal box (class #32770) owned by `owner`,
// titled with the program's name ("Tavrel"), with the error icon, `message`,
// and one button reading "确定" whatever the display language (a task dialog
// with that custom button, ID IDOK; where the task dialog is missing, a
// message box, whose button text is the system's). Returns when the user
// has closed it.
void reportRuntimeError(HWND owner, std::u16string_view message);

} // namespace tavrel::win32
