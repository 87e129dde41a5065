// Form1 as it comes up on the screen: title, client area, every control's
// rectangle, caption and font, at the dpi of the Wine prefix the test runs
// in (96 or 144), and after a change of dpi; and where the started program
// takes DLLs from. The expected numbers are typed here, in pixels, from the
// layout in twips (15 twips a pixel at 96 dpi, 10 at 144; halves round up).

#include "window_session.h"

#include "win32/handles.h"

#include <doctest/doctest.h>

#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace tavrel::testing;

namespace {

bool runsUnderWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// IID_IAccessible, spelt out: MinGW's libuuid and oleacc's import library
// disagree on where it lives, and the one linked first may not be it.
constexpr GUID accessibleInterface{
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The name a screen reader gets for `control` (MSAA, as most read it), as
// UTF-8; "(no accessible object)" where there is none.
std::string accessibleNameOf(HWND control)
{
    IAccessible *object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          accessibleInterface, reinterpret_cast<void **>(&object))))
        return "(no accessible object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string spoken;
    if (object->get_accName(self, &name) == S_OK && name != nullptr)
        spoken = utf8(std::wstring_view(name, SysStringLen(name)));
    SysFreeString(name);
    object->Release();
    return spoken;
}

struct Rect
{
    int left, top, width, height;
    bool operator==(const Rect &) const = default;
};

doctest::String toString(const Rect &rect)
{
    return (std::to_string(rect.left) + "," + std::to_string(rect.top) + " "
            + std::to_string(rect.width) + "x" + std::to_string(rect.height))
        .c_str();
}

} // namespace

namespace doctest {
template<> struct StringMaker<Rect>
{
    static String convert(const Rect &rect) { return toString(rect); }
};
} // namespace doctest

namespace {

// Client coordinates of Form1: the frame's controls at the frame's corner
// (600, 2160 twips) plus their own position.
struct Placement
{
    const char *control;
    Rect at96;
    Rect at144;
};

constexpr std::array<Placement, 21> placements{{
    {"Command2", {472, 56, 65, 49}, {708, 84, 98, 74}},
    {"Frame1", {40, 144, 497, 305}, {60, 216, 746, 458}},
    {"Text8", {224, 328, 161, 65}, {336, 492, 242, 98}},
    {"Command1", {392, 200, 97, 49}, {588, 300, 146, 74}},
    {"Text7", {224, 232, 97, 41}, {336, 348, 146, 62}},
    {"Text6", {224, 176, 97, 41}, {336, 264, 146, 62}},
    {"Image1", {456, 376, 57, 57}, {684, 564, 86, 86}},
    {"Label9", {64, 344, 169, 33}, {96, 516, 254, 50}},
    {"Label8", {72, 240, 161, 25}, {108, 360, 242, 38}},
    {"Label7", {72, 184, 161, 25}, {108, 276, 242, 38}},
    {"Text5", {392, 56, 57, 49}, {588, 84, 86, 74}},
    {"Text4", {304, 56, 57, 49}, {456, 84, 86, 74}},
    {"Text3", {216, 56, 57, 49}, {324, 84, 86, 74}},
    {"Text2", {128, 56, 57, 49}, {192, 84, 86, 74}},
    {"Text1", {40, 56, 57, 49}, {60, 84, 86, 74}},
    {"Label6", {400, 120, 41, 17}, {600, 180, 62, 26}},
    {"Label5", {312, 120, 41, 17}, {468, 180, 62, 26}},
    {"Label4", {224, 120, 41, 17}, {336, 180, 62, 26}},
    {"Label3", {136, 120, 41, 17}, {204, 180, 62, 26}},
    {"Label2", {48, 120, 41, 17}, {72, 180, 62, 26}},
    {"Label1", {40, 16, 185, 33}, {60, 24, 278, 50}},
}};

struct Caption
{
    const char *control = nullptr;
    const char *text = nullptr;
    // What a screen reader calls a box: the label beside it.
    const char *spokenName = nullptr;
};

constexpr std::array<Caption, 20> captions{{
    {"Label1", "评委的打分"},
    {"Label2", "评委1"},
    {"Label3", "评委2"},
    {"Label4", "评委3"},
    {"Label5", "评委4"},
    {"Label6", "评委5"},
    {"Label7", "去掉一个最高分"},
    {"Label8", "去掉一个最低分"},
    {"Label9", "最终平均分"},
    {"Command1", "计算"},
    {"Command2", "输入成绩"},
    {"Frame1", ""},
    {"Text1", "", "评委1"},
    {"Text2", "", "评委2"},
    {"Text3", "", "评委3"},
    {"Text4", "", "评委4"},
    {"Text5", "", "评委5"},
    {"Text6", "", "去掉一个最高分"},
    {"Text7", "", "去掉一个最低分"},
    {"Text8", "", "最终平均分"},
}};

// The named Chinese faces are not on every system; each may be drawn by a
// face of its kind that is. These are the faces of each kind a Windows
// system or Tavrel's Linux packages bring, under both of their names.
enum class Kind { Song, Hei, WeiOrKai };

bool isFaceOfKind(std::string_view face, Kind kind)
{
    static const std::vector<std::string_view> song{
        "宋体",          "SimSun", "AR PL SungtiL GB", "文鼎ＰＬ简报宋", "Noto Serif CJK SC",
        "AR PL UMing CN"};
    static const std::vector<std::string_view> hei{
        "黑体",       "SimHei",          "WenQuanYi Micro Hei", "文泉驿微米黑", "WenQuanYi Zen Hei",
        "文泉驿正黑", "Noto Sans CJK SC"};
    static const std::vector<std::string_view> weiOrKai{
        "华文新魏", "STXinwei", "AR PL KaitiM GB", "文鼎ＰＬ简中楷", "AR PL UKai CN",
        "KaiTi",    "楷体",     "LXGW WenKai"};
    const auto &faces = kind == Kind::Song ? song : kind == Kind::Hei ? hei : weiOrKai;
    return std::find(faces.begin(), faces.end(), face) != faces.end();
}

struct FontRow
{
    const char *control;
    Kind kind;
    int height96; // lfHeight: minus the em height in pixels
    int height144;
    int weight;
};

// 14.25, 18, 21.75, 26.25 and 42 pt: em heights 19, 24, 29, 35, 56 at
// 96 dpi and 29 (28.5), 36, 44 (43.5), 53 (52.5), 84 at 144 dpi.
constexpr std::array<FontRow, 14> fonts{{
    {"Command2", Kind::Song, -19, -29, 700},
    {"Text8", Kind::Song, -56, -84, 700},
    {"Command1", Kind::WeiOrKai, -29, -44, 400},
    {"Text7", Kind::Hei, -24, -36, 400},
    {"Text6", Kind::Hei, -24, -36, 400},
    {"Label9", Kind::Hei, -29, -44, 700},
    {"Label8", Kind::Hei, -19, -29, 400},
    {"Label7", Kind::Hei, -19, -29, 400},
    {"Text5", Kind::Song, -35, -53, 700},
    {"Text4", Kind::Song, -35, -53, 700},
    {"Text3", Kind::Song, -35, -53, 700},
    {"Text2", Kind::Song, -35, -53, 700},
    {"Text1", Kind::Song, -35, -53, 700},
    {"Label1", Kind::Song, -29, -44, 400},
}};

Rect clientRectOf(HWND control, HWND window)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

LOGFONTW fontOf(HWND control)
{
    DWORD_PTR font = 0;
    SendMessageTimeoutW(control, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 5000, &font);
    LOGFONTW description{};
    REQUIRE_MESSAGE(font != 0, "no font of its own");
    REQUIRE(GetObjectW(reinterpret_cast<HFONT>(font), sizeof description, &description)
            == sizeof description);
    return description;
}

// True when `font` has a glyph of its own for every character of `text`:
// a face without Chinese would draw boxes or leave it to a fallback.
bool drawsAllOf(HWND control, std::wstring_view text)
{
    DWORD_PTR font = 0;
    SendMessageTimeoutW(control, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 5000, &font);
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, reinterpret_cast<HFONT>(font));
    std::vector<WORD> glyphs(text.size());
    const DWORD converted = GetGlyphIndicesW(screen, text.data(), static_cast<int>(text.size()),
                                             glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return converted == text.size()
        && std::none_of(glyphs.begin(), glyphs.end(), [](WORD glyph) { return glyph == 0xFFFF; });
}

std::wstring wide(std::string_view text)
{
    const int size
        = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        size);
    return result;
}

// The rows of dark pixels a control draws (inside `margin`, clear of its
// edges), grouped into bands, lines of text `em` pixels high, each with the
// horizontal extent of its ink.
struct InkBand
{
    int top, bottom, left, right;
};

std::vector<InkBand> inkBandsOf(HWND control, int margin, int em)
{
    RECT client{};
    GetClientRect(control, &client);
    const int width = client.right;
    const int height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    PrintWindow(control, memory, PW_CLIENTONLY);
    GdiFlush();

    const auto *pixels = static_cast<const std::uint32_t *>(bits);
    const auto dark = [&](int x, int y) {
        const std::uint32_t pixel = pixels[static_cast<std::size_t>(y * width + x)];
        const auto red = (pixel >> 16) & 0xFF;
        const auto green = (pixel >> 8) & 0xFF;
        const auto blue = pixel & 0xFF;
        return red + green + blue < 3 * 96;
    };
    std::vector<InkBand> bands;
    for (int y = margin; y < height - margin; ++y) {
        int left = width;
        int right = -1;
        for (int x = margin; x < width - margin; ++x) {
            if (dark(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        if (right < 0)
            continue;
        // A row without ink ends a band; a band shorter than a third of an
        // em is a piece of a glyph (a dot, a stroke) and joins its neighbour.
        if (!bands.empty()
            && (y == bands.back().bottom + 1 || bands.back().bottom - bands.back().top < em / 3)) {
            InkBand &band = bands.back();
            band.bottom = y;
            band.left = std::min(band.left, left);
            band.right = std::max(band.right, right);
        } else {
            bands.push_back({y, y, left, right});
        }
    }
    if (bands.size() > 1 && bands.back().bottom - bands.back().top < em / 3) {
        const InkBand piece = bands.back();
        bands.pop_back();
        bands.back().bottom = piece.bottom;
        bands.back().left = std::min(bands.back().left, piece.left);
        bands.back().right = std::max(bands.back().right, piece.right);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bands;
}

} // namespace

TEST_CASE("the window comes up at the prefix's dpi with its title and client area")
{
    const UINT dpi = expectedDpi();
    CAPTURE(dpi);
    runSession([&](User &user) {
        const HDC screen = GetDC(nullptr);
        CHECK(GetDeviceCaps(screen, LOGPIXELSY) == static_cast<int>(dpi));
        ReleaseDC(nullptr, screen);

        CHECK(textOf(user.window()) == "Tavrel");
        RECT client{};
        GetClientRect(user.window(), &client);
        if (dpi == 144) {
            CHECK(client.right == 873);
            CHECK(client.bottom == 680);
        } else {
            CHECK(client.right == 582);
            CHECK(client.bottom == 453);
        }
    });
}

TEST_CASE("once started, a DLL loaded by name comes from the system folder only")
{
    // A DLL planted beside the program under a name no system DLL has: a
    // copy of this test program (an image loads as a module whatever its
    // name). Loaded as data it would say nothing: Wine looks for data files
    // beside the program whatever the search order.
    std::wstring program(MAX_PATH, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
    const std::wstring planted
        = program.substr(0, program.find_last_of(L'\\') + 1) + L"tavrel_planted.dll";
    REQUIRE(CopyFileW(program.c_str(), planted.c_str(), FALSE));
    const auto loads = [](DWORD search) {
        const HMODULE module = LoadLibraryExW(L"tavrel_planted.dll", nullptr, search);
        if (module != nullptr)
            FreeLibrary(module);
        return module != nullptr;
    };
    runSession([&](User & /*user*/) {
        CHECK(loads(LOAD_LIBRARY_SEARCH_APPLICATION_DIR)); // there to be found
        CHECK_FALSE(loads(0));
    });
    DeleteFileW(planted.c_str());
}

TEST_CASE("every control stands at its place in the client area, the stamp drawn in its own")
{
    const UINT dpi = expectedDpi();
    CAPTURE(dpi);
    runSession([&](User &user) {
        for (const Placement &row : placements) {
            INFO(std::string(row.control));
            CHECK(clientRectOf(user.control(row.control), user.window())
                  == (dpi == 144 ? row.at144 : row.at96));
        }
        // The stamp in Image1: its red seal characters, top to bottom of the
        // picture (57 or 86 pixels square).
        const HWND image = user.control("Image1");
        std::vector<InkBand> ink;
        CHECK(waitUntil([&] { return !(ink = inkBandsOf(image, 0, 3)).empty(); }));
        const int side = dpi == 144 ? 86 : 57;
        REQUIRE_FALSE(ink.empty());
        CHECK(ink.front().top < side / 4);
        CHECK(ink.back().bottom > side * 3 / 4);
    });
}

namespace {

// Moved to a monitor of 144 dpi, the window is told so by WM_DPICHANGED
// with the rectangle the system suggests for it. Newer systems suggest the
// window's rectangle for the new dpi; Windows 8.1 and early Windows 10 scale
// the whole rectangle by the dpi ratio, as if the frame grew too, which
// left the client area 876 x 693. Whatever is suggested, the window keeps
// the suggested corner and takes the description's client area.
struct SuggestedRect
{
    const char *name;
    // The suggestion's size from the window's frame (its outer size less
    // its client area) and client area at 96 dpi.
    SIZE (*size)(SIZE frame, SIZE client96);
};

constexpr std::array<SuggestedRect, 3> suggestions{{
    {"the window's rectangle for 144 dpi",
     [](SIZE frame, SIZE /*client96*/) {
         return SIZE{873 + frame.cx, 680 + frame.cy};
     }},
    {"the window's rectangle scaled by 1.5, its frame kept",
     [](SIZE frame, SIZE client96) {
         return SIZE{(client96.cx + frame.cx) * 3 / 2, (client96.cy + frame.cy) * 3 / 2};
     }},
    {"the window's rectangle as it was",
     [](SIZE frame, SIZE client96) {
         return SIZE{client96.cx + frame.cx, client96.cy + frame.cy};
     }},
}};

SIZE frameOf(HWND window)
{
    RECT outer{};
    RECT client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    return {outer.right - outer.left - client.right, outer.bottom - outer.top - client.bottom};
}

void sendDpiChanged(HWND window, UINT dpi, const RECT &suggested)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                        reinterpret_cast<LPARAM>(&suggested), SMTO_ABORTIFHUNG, 5000, &result);
}

} // namespace

TEST_CASE("after WM_DPICHANGED to 144 dpi the client area is 873 x 680 and every control at its "
          "place, whatever rectangle is suggested")
{
    runSession([](User &user) {
        const HWND window = user.window();
        for (const SuggestedRect &row : suggestions) {
            INFO(std::string(row.name));
            RECT outer{};
            GetWindowRect(window, &outer);
            const SIZE frame = frameOf(window);
            // First back to 96 dpi, with exactly the rectangle that needs.
            sendDpiChanged(
                window, 96,
                {outer.left, outer.top, outer.left + 582 + frame.cx, outer.top + 453 + frame.cy});
            RECT client{};
            GetClientRect(window, &client);
            CHECK(client.right == 582);
            CHECK(client.bottom == 453);

            const SIZE size = row.size(frameOf(window), {582, 453});
            const RECT suggested{outer.left + 10, outer.top + 20, outer.left + 10 + size.cx,
                                 outer.top + 20 + size.cy};
            sendDpiChanged(window, 144, suggested);
            GetClientRect(window, &client);
            CHECK(client.right == 873);
            CHECK(client.bottom == 680);
            GetWindowRect(window, &outer);
            CHECK(outer.left == suggested.left);
            CHECK(outer.top == suggested.top);
            for (const Placement &placement : placements) {
                INFO(std::string(placement.control));
                CHECK(clientRectOf(user.control(placement.control), window) == placement.at144);
            }
        }
    });
}

TEST_CASE("every control shows its caption and the boxes start empty")
{
    runSession([](User &user) {
        for (const Caption &row : captions) {
            INFO(std::string(row.control));
            CHECK(textOf(user.control(row.control)) == std::string(row.text));
        }
    });
}

// Wine's accessibility proxies read no annotations: there this is skipped.
TEST_CASE("a screen reader hears each box by the label beside it" * doctest::skip(runsUnderWine()))
{
    const tavrel::win32::ComApartment com; // for the accessibility client
    runSession([](User &user) {
        for (const Caption &row : captions) {
            if (row.spokenName == nullptr)
                continue;
            INFO(std::string(row.control));
            CHECK(accessibleNameOf(user.control(row.control)) == std::string(row.spokenName));
        }
    });
}

TEST_CASE("every control with a font of its own has its face, size and weight in Chinese")
{
    const UINT dpi = expectedDpi();
    CAPTURE(dpi);
    runSession([&](User &user) {
        for (const FontRow &row : fonts) {
            INFO(std::string(row.control));
            const HWND control = user.control(row.control);
            const LOGFONTW font = fontOf(control);
            const std::string face = utf8(font.lfFaceName);
            INFO("face: ", face);
            CHECK(isFaceOfKind(face, row.kind));
            CHECK(font.lfHeight == (dpi == 144 ? row.height144 : row.height96));
            CHECK(font.lfWeight == row.weight);
            CHECK(font.lfCharSet == 134); // GB2312_CHARSET
            CHECK(font.lfItalic == 0);
            CHECK(font.lfUnderline == 0);
            CHECK(font.lfStrikeOut == 0);
            const std::string caption = textOf(control);
            CHECK(drawsAllOf(control, wide(caption.empty() ? "0123456789.-" : caption)));
        }
    });
}

TEST_CASE("the controls in the default face draw their Chinese captions")
{
    runSession([](User &user) {
        for (const char *name : {"Label2", "Label3", "Label4", "Label5", "Label6"}) {
            INFO(std::string(name));
            const HWND label = user.control(name);
            CHECK(drawsAllOf(label, wide(textOf(label))));
        }
    });
}

TEST_CASE("输入成绩 keeps its caption whole and is drawn on two lines, two characters each")
{
    const UINT dpi = expectedDpi();
    CAPTURE(dpi);
    runSession([&](User &user) {
        const HWND button = user.control("Command2");
        CHECK(textOf(button) == "输入成绩");
        CHECK((GetWindowLongW(button, GWL_STYLE) & BS_MULTILINE) != 0);

        // 输入 above 成绩: two lines of ink, each about two em wide (a line
        // of three characters or of one would be 3 em or 1 em wide).
        const int em = dpi == 144 ? 29 : 19;
        const std::vector<InkBand> lines = inkBandsOf(button, 3, em);
        REQUIRE(lines.size() == 2);
        for (const InkBand &line : lines) {
            const int inkWidth = line.right - line.left + 1;
            CAPTURE(inkWidth);
            CHECK(inkWidth > em * 3 / 2);
            CHECK(inkWidth < em * 5 / 2);
        }
    });
}
