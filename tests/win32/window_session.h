#pragma once

// The window tests run Tavrel's window the way wWinMain does (the runtime's
// start-up with Form1::create, its message loop, IsDialogMessage included) on
// a thread of its own, while the test acts like a person at the keyboard:
// keys go through the system's input queue (SendInput), so the window, the
// edit boxes and the modal dialogs see what a real keyboard would give them,
// and controls are read with messages, as another program reads them. Texts
// are compared as UTF-8, which doctest prints readably.
//
// The checks stay on the test's own thread: a doctest check failing on
// another thread crashes MinGW programs under Wine.

#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::testing {

using namespace std::chrono_literals;

class User
{
public:
    // `controls` are the window's controls by their names in the window
    // description; `uiThread` runs the window's message loop.
    User(HWND window, std::map<std::string, HWND, std::less<>> controls, DWORD uiThread);

    [[nodiscard]] HWND window() const { return window_; }
    // The control named `name` ("Text1", "Command2", …); fails the test if
    // the window has none of that name.
    [[nodiscard]] HWND control(std::string_view name) const;
    // The name of `control`, or "(none)"/"(other)", for readable failures.
    [[nodiscard]] std::string nameOf(HWND control) const;

    // The window that has the keyboard focus on the window's thread.
    [[nodiscard]] HWND focus() const;
    // Presses Tab (or Shift+Tab) until `name` has the focus; false if it
    // never gets it.
    [[nodiscard]] bool tabTo(std::string_view name) const;

    // A key pressed and released, with Shift held if asked.
    void press(WORD virtualKey, bool shift = false) const;
    // Characters typed as Unicode key input, whatever the keyboard layout.
    void type(std::wstring_view characters) const;
    // Clicks a button the way a mouse click does, without waiting for what
    // the click starts (a modal dialog would otherwise block the caller).
    void click(HWND button) const;

    // The visible modal dialog (#32770) of the window's thread, or null.
    [[nodiscard]] HWND dialog() const;
    // Waits up to five seconds for one; null if none appeared.
    [[nodiscard]] HWND waitForDialog() const;

    // Answers every open dialog with WM_CLOSE, then closes the window the
    // way its close box does; the session ends with it.
    void closeEverything() const;

private:
    HWND window_;
    std::map<std::string, HWND, std::less<>> controls_;
    DWORD uiThread_;
};

// Polls until `condition` holds; false if it still does not after `limit`.
bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds limit = 5s);

// Another window's text (WM_GETTEXT) as UTF-8.
[[nodiscard]] std::string textOf(HWND window);
// Sets another window's text (WM_SETTEXT).
void setTextOf(HWND window, std::wstring_view text);
[[nodiscard]] std::string classOf(HWND window);
[[nodiscard]] std::vector<HWND> childrenOf(HWND parent);
// The child button of `dialog` captioned `caption` (UTF-8), or null.
[[nodiscard]] HWND buttonCaptioned(HWND dialog, std::string_view caption);
[[nodiscard]] std::string utf8(std::wstring_view text);

// Builds and shows the window as the program does, on a thread of its own,
// runs `script` once the window is visible, then closes the window as its
// close box does. Returns the runtime's exit code.
int runSession(const std::function<void(User &)> &script);

// The dots per inch the test's Wine prefix was made for (TAVREL_WINE_DPI,
// set by the test), 96 where unset.
[[nodiscard]] UINT expectedDpi();

} // namespace tavrel::testing
