#include "win32/click_dispatch.h"

#include "core/click_outcome.h"
#include "core/program_info.h"
#include "core/prompt.h"
#include "win32/wide_text.h"

#include <commctrl.h>

#include <string>

namespace tavrel::win32 {

namespace {

using TaskDialogIndirectFunction
    = HRESULT(WINAPI *)(const TASKDIALOGCONFIG *, int *, int *, BOOL *);

// The task dialog is in version 6 of the common controls only, which the
// manifest selects; linking it by name would keep the program from starting
// where version 5 is loaded instead, so it is looked up.
TaskDialogIndirectFunction taskDialogIndirect()
{
    const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    if (controls == nullptr)
        return nullptr;
    return reinterpret_cast<TaskDialogIndirectFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(controls, "TaskDialogIndirect")));
}

// A message box's button reads "OK" or "确定" by the system's display
// language; the task dialog's own button carries our text.
bool reportInTaskDialog(HWND owner, const std::wstring &title, const std::wstring &message)
{
    const auto taskDialog = taskDialogIndirect();
    if (taskDialog == nullptr)
        return false;
    const std::wstring confirmCaption = toWide(core::confirmCaption);
    const TASKDIALOG_BUTTON confirm{IDOK, confirmCaption.c_str()};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    // Esc and the close box dismiss it too, as they do a message box.
    config.dwFlags = TDF_POSITION_RELATIVE_TO_WINDOW | TDF_ALLOW_DIALOG_CANCELLATION;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = TD_ERROR_ICON;
    config.pszContent = message.c_str();
    config.cButtons = 1;
    config.pButtons = &confirm;
    config.nDefaultButton = IDOK;
    return SUCCEEDED(taskDialog(&config, nullptr, nullptr, nullptr));
}

} // namespace

void reportRuntimeError(HWND owner, std::u16string_view message)
{
    const std::wstring title = toWide(core::programName);
    const std::wstring text = toWide(message);
    if (!reportInTaskDialog(owner, title, text))
        MessageBoxW(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

void dispatchClick(core::ClickGate &clicks, HWND owner, const std::function<void()> &handler)
{
    clicks.run(handler,
               [owner](std::u16string_view message) { reportRuntimeError(owner, message); });
}

} // namespace tavrel::win32
