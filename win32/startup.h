#pragma once

// The start-up operation of the Win32 runtime: COM and the common controls
// for this thread, the start-up window built and shown centred on its
// monitor, then the message loop until that window is closed.

#include <windows.h>

#include <functional>
#include <memory>

namespace tavrel::win32 {

// What start-up needs of the window it shows. The window posts WM_QUIT with
// exit code 0 when the user closes it, which ends the message loop.
class TopLevelWindow
{
public:
    virtual ~TopLevelWindow() = default;
    [[nodiscard]] virtual HWND window() const = 0;

protected:
    TopLevelWindow() = default;
    TopLevelWindow(const TopLevelWindow &) = default;
    TopLevelWindow &operator=(const TopLevelWindow &) = default;
    TopLevelWindow(TopLevelWindow &&) = default;
    TopLevelWindow &operator=(TopLevelWindow &&) = default;
};

// Restricts the search for DLLs loaded by name to the system folder,
// initialises COM (apartment-threaded) and the common controls, builds the
// window with `buildStartupWindow` (hidden), centres it on the work area of
// its monitor, shows it with `showCommand` (wWinMain's nCmdShow) and runs
// the message loop. Returns the exit code of WM_QUIT: 0 after the window
// was closed. Returns 1 without a loop if the window could not be built.
int startUp(int showCommand,
            const std::function<std::unique_ptr<TopLevelWindow>()> &buildStartupWindow);

} // namespace tavrel::win32
