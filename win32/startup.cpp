#include "win32/startup.h"

#include "win32/handles.h"

#include <commctrl.h>

namespace tavrel::win32 {

namespace {

// The common controls the front-end uses (edit, static, button, and the
// task dialog of version 6).
void initCommonControls()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

// Moves `window` so that its frame is centred on the work area of the
// monitor it is on (or nearest to).
void centreOnWorkArea(HWND window)
{
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT frame{};
    if (!GetMonitorInfoW(monitor, &info) || !GetWindowRect(window, &frame))
        return;
    const RECT &area = info.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // A window larger than the work area keeps its title bar on screen.
    const int left = area.left + (area.right - area.left - width) / 2;
    const int top = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(window, nullptr, left > area.left ? left : area.left,
                 top > area.top ? top : area.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Enter presses nothing in the main window: it has no default button, and
// the dialog manager would otherwise take Enter on a focused push button as
// that button's click. The keystroke is dropped before it gets there (an
// edit box would only beep at it).
bool isEnterFor(HWND window, const MSG &message)
{
    const bool enterKey = (message.message == WM_KEYDOWN || message.message == WM_KEYUP
                           || message.message == WM_CHAR)
        && message.wParam == VK_RETURN;
    return enterKey && (message.hwnd == window || IsChild(window, message.hwnd));
}

// Runs the thread's message loop until WM_QUIT and returns its exit code.
// Keyboard messages for `dialogKeysWindow` and its controls go through
// IsDialogMessageW first, which gives Tab and Shift+Tab between the controls
// and Space on a button.
int runMessageLoop(HWND dialogKeysWindow)
{
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return 1;
        // Tab, Shift+Tab and Space as in a dialog. A modal dialog runs its
        // own loop, so only the main window's keys come through here.
        if (isEnterFor(dialogKeysWindow, message))
            continue;
        if (IsWindow(dialogKeysWindow) && IsDialogMessageW(dialogKeysWindow, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// DLLs loaded by name come from the system folder only, never from the
// program's folder or the current one, where someone else may have put a
// DLL of a system DLL's name. Windows 7 without update KB2533623 lacks the
// function; there SetDllDirectoryW(L"") at least takes the current folder
// out of the search.
void restrictDllSearchToSystemFolder()
{
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI *)(DWORD);
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (kernel32 == nullptr)
        return;
    // GetProcAddress gives an untyped pointer; the detour through void (*)()
    // is the cast GCC accepts between function pointer types.
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories == nullptr
        || setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) == FALSE)
        SetDllDirectoryW(L"");
}

} // namespace

int startUp(int showCommand,
            const std::function<std::unique_ptr<TopLevelWindow>()> &buildStartupWindow)
{
    // Before anything loads a DLL by name (COM, the picture decoder, shcore
    // for the dpi).
    restrictDllSearchToSystemFolder();
    // The window's picture decoder and its screen-reader names are COM
    // services; the apartment lasts until the window is gone.
    const ComApartment com;
    initCommonControls();

    const std::unique_ptr<TopLevelWindow> startupWindow = buildStartupWindow();
    if (startupWindow == nullptr || startupWindow->window() == nullptr)
        return 1;
    const HWND window = startupWindow->window();
    centreOnWorkArea(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return runMessageLoop(window);
}

} // namespace tavrel::win32
