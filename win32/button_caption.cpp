#include "win32/button_caption.h"

#include "core/balanced_wrap.h"
#include "win32/handles.h"

#include <string>

namespace tavrel::win32 {

namespace {

constexpr UINT wrapFlags = DT_WORDBREAK | DT_NOPREFIX | DT_CENTER;

std::wstring windowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

// The height `text` takes when wrapped at `width`.
int wrappedHeight(HDC dc, const std::wstring &text, int width)
{
    RECT bounds{0, 0, width, 0};
    return DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
                     wrapFlags | DT_CALCRECT);
}

// The width `text` takes on one line.
int singleLineWidth(HDC dc, const std::wstring &text)
{
    RECT bounds{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
              DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    return bounds.right - bounds.left;
}

// Where the caption wraps at `available`, the narrowest width that keeps
// its number of lines. An even share of its one-line width is the least that
// can be; the search never goes below it, where a line too narrow for a
// single character would report a single line.
int balancedWidth(HDC dc, const std::wstring &text, int available)
{
    const int oneLine = singleLineWidth(dc, text);
    const int lineHeight = wrappedHeight(dc, text, oneLine);
    const int height = wrappedHeight(dc, text, available);
    if (lineHeight <= 0 || height <= lineHeight)
        return available;
    const int lines = height / lineHeight;
    return core::balancedWrapWidth(
        available, [&](int w) { return wrappedHeight(dc, text, w); },
        (oneLine + lines - 1) / lines);
}

void drawCaption(const NMCUSTOMDRAW &draw, const RECT &content)
{
    const HWND button = draw.hdr.hwndFrom;
    const std::wstring caption = windowText(button);
    const HDC dc = draw.hdc;
    auto *const font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
    const win32::SelectedObject selected(
        dc, font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));

    const int available = content.right - content.left;
    const int width = balancedWidth(dc, caption, available);
    const int height = wrappedHeight(dc, caption, width);
    RECT lines{content.left + (available - width) / 2,
               content.top + (content.bottom - content.top - height) / 2, 0, 0};
    lines.right = lines.left + width;
    lines.bottom = lines.top + height;

    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = SetTextColor(
        dc, GetSysColor((draw.uItemState & CDIS_DISABLED) != 0 ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &lines, wrapFlags | DT_NOCLIP);
    SetTextColor(dc, previousColour);
    SetBkMode(dc, previousMode);
}

} // namespace

LRESULT drawButtonCaption(const NMCUSTOMDRAW &draw, UINT dpi)
{
    if (draw.dwDrawStage != CDDS_PREPAINT)
        return CDRF_DODEFAULT;
    // The button has drawn its background and frame by now; inside them, a
    // margin like the one its own caption and focus rectangle keep.
    const int margin = MulDiv(3, static_cast<int>(dpi), 96);
    RECT content = draw.rc;
    InflateRect(&content, -margin, -margin);
    drawCaption(draw, content);

    const auto uiState = SendMessageW(draw.hdr.hwndFrom, WM_QUERYUISTATE, 0, 0);
    if ((draw.uItemState & CDIS_FOCUS) != 0 && (uiState & UISF_HIDEFOCUS) == 0)
        DrawFocusRect(draw.hdc, &content);
    return CDRF_SKIPDEFAULT;
}

} // namespace tavrel::win32
