#include "window_session.h"

#include "win32/form1.h"
#include "win32/startup.h"

#include <doctest/doctest.h>

#include <array>
#include <cwchar>
#include <exception>
#include <future>
#include <memory>
#include <span>
#include <stdexcept>
#include <thread>
#include <utility>

namespace tavrel::testing {

namespace {

// Typed here rather than taken from the window description, so a control
// missing from the window fails the test.
constexpr std::array<const char *, 21> controlNames{
    "Text1",  "Text2",  "Text3",  "Text4",  "Text5",    "Text6",    "Text7",
    "Text8",  "Label1", "Label2", "Label3", "Label4",   "Label5",   "Label6",
    "Label7", "Label8", "Label9", "Frame1", "Command1", "Command2", "Image1"};

// Cross-thread messages give up rather than hang the test if the window's
// thread stops answering.
constexpr UINT messageTimeoutMs = 5000;

LRESULT sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, messageTimeoutMs,
                            &result)
        == 0)
        return 0;
    return static_cast<LRESULT>(result);
}

void sendInputs(std::span<INPUT> inputs)
{
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT keyInput(WORD virtualKey, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT characterInput(wchar_t character, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = character;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

// Callbacks of the window enumerations (CALLBACK: a lambda would have the
// wrong calling convention on 32-bit x86).
BOOL CALLBACK takeVisibleDialog(HWND window, LPARAM result)
{
    if (IsWindowVisible(window) && classOf(window) == "#32770") {
        *reinterpret_cast<HWND *>(result) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collectChild(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND> *>(list)->push_back(child);
    return TRUE;
}

} // namespace

User::User(HWND window, std::map<std::string, HWND, std::less<>> controls, DWORD uiThread)
    : window_(window), controls_(std::move(controls)), uiThread_(uiThread)
{ }

HWND User::control(std::string_view name) const
{
    const auto found = controls_.find(name);
    REQUIRE_MESSAGE(found != controls_.end(), "the window has no control ", name);
    REQUIRE_MESSAGE(found->second != nullptr, "the window has no control ", name);
    return found->second;
}

std::string User::nameOf(HWND control) const
{
    if (control == nullptr)
        return "(none)";
    for (const auto &[name, handle] : controls_) {
        if (handle == control)
            return name;
    }
    return "(other: " + classOf(control) + " \"" + textOf(control) + "\")";
}

HWND User::focus() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(uiThread_, &info))
        return nullptr;
    return info.hwndFocus;
}

bool User::tabTo(std::string_view name) const
{
    const HWND target = control(name);
    for (int presses = 0; presses < 12 && focus() != target; ++presses) {
        const HWND before = focus();
        press(VK_TAB);
        waitUntil([&] { return focus() != before; }, 2s);
    }
    return focus() == target;
}

void User::press(WORD virtualKey, bool shift) const
{
    std::vector<INPUT> inputs;
    if (shift)
        inputs.push_back(keyInput(VK_SHIFT, false));
    inputs.push_back(keyInput(virtualKey, false));
    inputs.push_back(keyInput(virtualKey, true));
    if (shift)
        inputs.push_back(keyInput(VK_SHIFT, true));
    sendInputs(inputs);
}

void User::type(std::wstring_view characters) const
{
    std::vector<INPUT> inputs;
    for (const wchar_t character : characters) {
        inputs.push_back(characterInput(character, false));
        inputs.push_back(characterInput(character, true));
    }
    sendInputs(inputs);
}

void User::click(HWND button) const
{
    PostMessageW(button, BM_CLICK, 0, 0);
}

HWND User::dialog() const
{
    HWND found = nullptr;
    EnumThreadWindows(uiThread_, takeVisibleDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND User::waitForDialog() const
{
    HWND found = nullptr;
    waitUntil([&] { return (found = dialog()) != nullptr; });
    return found;
}

void User::closeEverything() const
{
    // A dialog left open by a failed check would keep the window's thread in
    // its modal loop; the prompts come one after another, so keep answering.
    for (int round = 0; round < 20; ++round) {
        const HWND open = dialog();
        if (open == nullptr && !waitUntil([&] { return dialog() != nullptr; }, 200ms))
            break;
        if (open != nullptr) {
            PostMessageW(open, WM_CLOSE, 0, 0);
            waitUntil([&] { return !IsWindow(open); }, 2s);
        }
    }
    PostMessageW(window_, WM_CLOSE, 0, 0);
}

bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::string utf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

std::string textOf(HWND window)
{
    const LRESULT length = sendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied
        = sendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return utf8(text);
}

void setTextOf(HWND window, std::wstring_view text)
{
    const std::wstring terminated(text);
    sendWithTimeout(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
}

std::string classOf(HWND window)
{
    std::array<wchar_t, 64> name{};
    const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return utf8(std::wstring_view(name.data(), static_cast<std::size_t>(length > 0 ? length : 0)));
}

std::vector<HWND> childrenOf(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND buttonCaptioned(HWND dialog, std::string_view caption)
{
    for (const HWND child : childrenOf(dialog)) {
        if (classOf(child) == "Button" && textOf(child) == caption)
            return child;
    }
    return nullptr;
}

int runSession(const std::function<void(User &)> &script)
{
    // The window gets a thread of its own and the test keeps this one:
    // doctest's checks may fail only on the thread that runs the test case.
    struct Shared
    {
        std::promise<User> built;
        std::promise<int> ended;
    };
    const auto shared = std::make_shared<Shared>();
    std::future<User> built = shared->built.get_future();
    std::future<int> ended = shared->ended.get_future();
    std::thread([shared] {
        const DWORD uiThread = GetCurrentThreadId();
        bool announced = false;
        const int exitCode = win32::startUp(SW_SHOWNORMAL, [&] {
            std::unique_ptr<win32::Form1> form = win32::Form1::create(GetModuleHandleW(nullptr));
            if (form == nullptr)
                return std::unique_ptr<win32::TopLevelWindow>();
            std::map<std::string, HWND, std::less<>> controls;
            for (const char *name : controlNames)
                controls.emplace(name, form->control(name));
            shared->built.set_value(User(form->window(), std::move(controls), uiThread));
            announced = true;
            return std::unique_ptr<win32::TopLevelWindow>(std::move(form));
        });
        if (!announced)
            shared->built.set_exception(
                std::make_exception_ptr(std::runtime_error("the window could not be built")));
        shared->ended.set_value(exitCode);
    }).detach();

    REQUIRE_MESSAGE(built.wait_for(30s) == std::future_status::ready, "no window within 30 s");
    User user = built.get();
    try {
        REQUIRE_MESSAGE(waitUntil([&] { return IsWindowVisible(user.window()) != FALSE; }),
                        "the window was never shown");
        script(user);
    } catch (...) {
        user.closeEverything();
        ended.wait_for(10s);
        throw;
    }
    user.closeEverything();
    // A window that does not close leaves its thread behind; the runner's
    // time limit ends the program then.
    REQUIRE_MESSAGE(ended.wait_for(10s) == std::future_status::ready, "the window did not close");
    return ended.get();
}

UINT expectedDpi()
{
    std::array<wchar_t, 16> value{};
    const DWORD length = GetEnvironmentVariableW(L"TAVREL_WINE_DPI", value.data(),
                                                 static_cast<DWORD>(value.size()));
    if (length == 0 || length >= value.size())
        return 96;
    return static_cast<UINT>(std::wcstoul(value.data(), nullptr, 10));
}

} // namespace tavrel::testing
