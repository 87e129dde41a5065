// What any Win32 program with Tavrel's window costs to start: the same 21
// standard controls (8 edit boxes, 9 labels, 2 push buttons, a group box and
// a picture) at the same places, with the same Chinese captions, faces,
// sizes and weights and the same stamp picture, written the plain way: one
// table, CreateWindowExW per control, each font named by the family that
// stands in for its face under Wine, the JPEG decoded by WIC, the system's
// defaults for everything else. No start-up tuning of any kind, so the
// comparison with Tavrel.exe (bench/startup-windows.sh) shows what Tavrel's
// own code adds.
//
// Positions are in pixels at 96 dots per inch, where the comparison runs.

#include <windows.h>

#include <commctrl.h>
#include <wincodec.h>

#include <array>

namespace {

constexpr wchar_t className[] = L"TavrelReferenceForm";
constexpr int clientWidth = 582;
constexpr int clientHeight = 453;
constexpr int stampResource = 101;
constexpr int stampSide = 57;

enum class Kind { Edit, Label, Button, Group, Picture };

struct Font
{
    const wchar_t *family; // null: the system's message font
    int pixels; // the em height at 96 dpi
    bool bold;
};

constexpr Font messageFont{nullptr, 0, false};
constexpr Font songBold19{L"AR PL SungtiL GB", 19, true};
constexpr Font songBold35{L"AR PL SungtiL GB", 35, true};
constexpr Font songBold56{L"AR PL SungtiL GB", 56, true};
constexpr Font song29{L"AR PL SungtiL GB", 29, false};
constexpr Font kai29{L"AR PL KaitiM GB", 29, false};
constexpr Font hei19{L"WenQuanYi Micro Hei", 19, false};
constexpr Font hei24{L"WenQuanYi Micro Hei", 24, false};
constexpr Font heiBold29{L"WenQuanYi Micro Hei", 29, true};

struct Control
{
    Kind kind;
    const wchar_t *caption;
    int left, top, width, height;
    Font font;
};

// In tab order first, then the labels, the picture and the group box, which
// so lies below what it surrounds.
constexpr std::array<Control, 21> controls{{
    {Kind::Edit, L"", 40, 56, 57, 49, songBold35},
    {Kind::Edit, L"", 128, 56, 57, 49, songBold35},
    {Kind::Edit, L"", 216, 56, 57, 49, songBold35},
    {Kind::Edit, L"", 304, 56, 57, 49, songBold35},
    {Kind::Edit, L"", 392, 56, 57, 49, songBold35},
    {Kind::Edit, L"", 224, 176, 97, 41, hei24},
    {Kind::Edit, L"", 224, 232, 97, 41, hei24},
    {Kind::Button, L"计算", 392, 200, 97, 49, kai29},
    {Kind::Edit, L"", 224, 328, 161, 65, songBold56},
    {Kind::Button, L"输入成绩", 472, 56, 65, 49, songBold19},
    {Kind::Label, L"评委的打分", 40, 16, 185, 33, song29},
    {Kind::Label, L"评委1", 48, 120, 41, 17, messageFont},
    {Kind::Label, L"评委2", 136, 120, 41, 17, messageFont},
    {Kind::Label, L"评委3", 224, 120, 41, 17, messageFont},
    {Kind::Label, L"评委4", 312, 120, 41, 17, messageFont},
    {Kind::Label, L"评委5", 400, 120, 41, 17, messageFont},
    {Kind::Label, L"去掉一个最高分", 72, 184, 161, 25, hei19},
    {Kind::Label, L"去掉一个最低分", 72, 240, 161, 25, hei19},
    {Kind::Label, L"最终平均分", 64, 344, 169, 33, heiBold29},
    {Kind::Picture, L"", 456, 376, 57, 57, messageFont},
    {Kind::Group, L"", 40, 144, 497, 305, messageFont},
}};

HFONT createFont(const Font &font)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (font.family == nullptr) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
        return CreateFontIndirectW(&metrics.lfMessageFont);
    }
    return CreateFontW(-font.pixels, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH, font.family);
}

// The stamp, decoded from its JPEG resource into a bitmap of its own size.
HBITMAP loadStamp(HINSTANCE instance)
{
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(stampResource), RT_RCDATA);
    const HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    auto *const bytes = static_cast<BYTE *>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes == nullptr)
        return nullptr;
    IWICImagingFactory *factory = nullptr;
    IWICStream *stream = nullptr;
    IWICBitmapDecoder *decoder = nullptr;
    IWICBitmapFrameDecode *frame = nullptr;
    IWICFormatConverter *converter = nullptr;
    HBITMAP bitmap = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void **>(&factory)))
        && SUCCEEDED(factory->CreateStream(&stream))
        && SUCCEEDED(stream->InitializeFromMemory(bytes, SizeofResource(instance, found)))
        && SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr,
                                                      WICDecodeMetadataCacheOnDemand, &decoder))
        && SUCCEEDED(decoder->GetFrame(0, &frame))
        && SUCCEEDED(factory->CreateFormatConverter(&converter))
        && SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR,
                                           WICBitmapDitherTypeNone, nullptr, 0.0,
                                           WICBitmapPaletteTypeCustom))) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = stampSide;
        info.bmiHeader.biHeight = -stampSide;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void *pixels = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        constexpr UINT stride = stampSide * 4;
        if (bitmap != nullptr
            && FAILED(converter->CopyPixels(nullptr, stride, stride * stampSide,
                                            static_cast<BYTE *>(pixels)))) {
            DeleteObject(bitmap);
            bitmap = nullptr;
        }
    }
    for (IUnknown *object : std::array<IUnknown *, 5>{converter, frame, decoder, stream, factory}) {
        if (object != nullptr)
            object->Release();
    }
    return bitmap;
}

HWND createControl(HWND window, HINSTANCE instance, const Control &control, int id)
{
    constexpr DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    const wchar_t *windowClass = L"STATIC";
    DWORD style = child | SS_LEFT;
    DWORD exStyle = 0;
    switch (control.kind) {
    case Kind::Edit:
        windowClass = L"EDIT";
        style = child | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case Kind::Button:
        windowClass = L"BUTTON";
        style = child | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
        break;
    case Kind::Group:
        windowClass = L"BUTTON";
        style = child | BS_GROUPBOX;
        break;
    case Kind::Picture:
        style = child | SS_BITMAP | SS_CENTERIMAGE | SS_REALSIZECONTROL;
        break;
    case Kind::Label:
        break;
    }
    return CreateWindowExW(exStyle, windowClass, control.caption, style, control.left, control.top,
                           control.width, control.height, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

// The fonts and the stamp live as long as the window; the program ends with
// it, and the system takes them back.
void createControls(HWND window, HINSTANCE instance)
{
    int id = 100;
    for (const Control &control : controls) {
        const HWND created = createControl(window, instance, control, id++);
        if (control.kind == Kind::Picture)
            SendMessageW(created, STM_SETIMAGE, IMAGE_BITMAP,
                         reinterpret_cast<LPARAM>(loadStamp(instance)));
        else
            SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(createFont(control.font)),
                         FALSE);
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPWSTR /*lpCmdLine*/,
                    int nShowCmd)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = hInstance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    if (RegisterClassExW(&windowClass) == 0)
        return 1;

    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const HWND window = CreateWindowExW(
        0, className, L"Reference", style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
        frame.bottom - frame.top, nullptr, nullptr, hInstance, nullptr);
    if (window == nullptr)
        return 1;
    createControls(window, hInstance);
    ShowWindow(window, nShowCmd);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoUninitialize();
    return static_cast<int>(message.wParam);
}
