#include "win32/startup.h"

#include "win32/handles.h"

#include <commctrl.h>

namespace tavrel::win32 {

void initCommonControls()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

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

namespace {

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

} // namespace

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

int startUp(int showCommand,
            const std::function<std::unique_ptr<TopLevelWindow>()> &buildStartupWindow)
{
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
