// The least a Win32 program does to show a drawn window: register a class,
// create a top-level window of Tavrel's client size, paint it and run the
// message loop. Tavrel.exe's start-up is compared with this one, both under
// the same Wine, so what Wine itself costs is divided out.
//
// Built with the Windows presets (bench/reference/CMakeLists.txt).
//
// It draws one line of text in the default GUI font on the face colour, so
// its first frame shows two colours, as any window with a control does.

#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>

namespace {

constexpr wchar_t className[] = L"TavrelBareWindow";
constexpr int clientWidth = 582;
constexpr int clientHeight = 453;

void paint(HWND window)
{
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    constexpr wchar_t text[] = L"Bare";
    TextOutW(dc, 40, 16, text, static_cast<int>(sizeof text / sizeof text[0] - 1));
    SelectObject(dc, oldFont);
    EndPaint(window, &ps);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool registerClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.lpszClassName = className;
    return RegisterClassExW(&windowClass) != 0;
}

// A fixed-size window with a title bar, like Tavrel's, sized by its client
// area.
HWND createWindow(HINSTANCE instance)
{
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    return CreateWindowExW(0, className, L"Bare", style, CW_USEDEFAULT, CW_USEDEFAULT,
                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                           instance, nullptr);
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPWSTR /*lpCmdLine*/,
                    int nShowCmd)
{
    if (!registerClass(hInstance))
        return 1;
    const HWND window = createWindow(hInstance);
    if (window == nullptr)
        return 1;
    ShowWindow(window, nShowCmd);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
