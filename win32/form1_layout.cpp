#include "win32/form1_state.h"

#include "resources/windows/resource_ids.h"
#include "win32/stamp_picture.h"
#include "win32/wide_text.h"

#include <algorithm>

namespace tavrel::win32 {

namespace {

constexpr std::size_t frameRow()
{
    for (std::size_t row = 0; row < form1ControlCount; ++row) {
        if (core::form1Controls[row].kind == core::ControlKind::GroupFrame)
            return row;
    }
    return form1ControlCount;
}
static_assert(frameRow() < form1ControlCount, "the description holds the frame");

bool takesFocus(const core::ControlEntry &entry)
{
    return entry.kind == core::ControlKind::TextBox || entry.kind == core::ControlKind::PushButton;
}

// The order the controls are created in, which is their z-order from the
// top: the controls that take focus in the core's tab order (IsDialogMessage
// moves the focus in z-order), then the labels, which so lie below the boxes
// their rectangles reach under, the picture, and the frame last, below
// everything it surrounds.
std::array<std::size_t, form1ControlCount> creationOrder()
{
    std::array<std::size_t, form1ControlCount> rows{};
    std::size_t next = 0;
    for (const std::size_t row : core::tabOrder) {
        if (takesFocus(core::form1Controls[row]))
            rows[next++] = row;
    }
    for (std::size_t row = 0; row < form1ControlCount; ++row) {
        if (!takesFocus(core::form1Controls[row]) && row != frameRow())
            rows[next++] = row;
    }
    rows[next] = frameRow();
    return rows;
}

struct ControlClass
{
    const wchar_t *name;
    DWORD style;
    DWORD exStyle;
};

// Standard controls with the platform's look. Every control clips its
// siblings, so a label or the frame never paints over the box above it.
ControlClass controlClassFor(core::ControlKind kind)
{
    constexpr DWORD common = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (kind) {
    case core::ControlKind::PushButton:
        // A caption wider than the button wraps by width ("输入成绩" onto
        // two lines): evenly where the window draws it (button_caption.h),
        // by the button itself where custom drawing is not offered. None is
        // a default button.
        return {L"BUTTON", common | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
    case core::ControlKind::GroupFrame:
        return {L"BUTTON", common | BS_GROUPBOX, 0};
    case core::ControlKind::TextBox:
        return {L"EDIT", common | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case core::ControlKind::Label:
        return {L"STATIC", common | SS_LEFT | SS_NOPREFIX, 0};
    case core::ControlKind::Picture:
        // The bitmap is made at the control's size for each dpi; centring
        // it keeps the control from ever stretching it.
        return {L"STATIC", common | SS_BITMAP | SS_CENTERIMAGE | SS_REALSIZECONTROL, 0};
    }
    return {L"STATIC", common, 0};
}

// The rectangle of the control in `row`, in client pixels at `dpi`. The
// frame's controls are placed from its outer corner.
RECT placeOf(std::size_t row, UINT dpi)
{
    const core::ControlEntry &entry = core::form1Controls[row];
    const core::ControlEntry &frame = core::form1Controls[frameRow()];
    const bool inFrame = entry.container == core::Container::Frame1;
    const int left = entry.left + (inFrame ? frame.left : 0);
    const int top = entry.top + (inFrame ? frame.top : 0);
    const auto pixels
        = [dpi](int twips) { return core::twipsToPixels(twips, static_cast<int>(dpi)); };
    return {pixels(left), pixels(top), pixels(left) + pixels(entry.width),
            pixels(top) + pixels(entry.height)};
}

} // namespace

std::optional<std::size_t> rowOf(std::string_view name)
{
    const auto *const found
        = std::find_if(core::form1Controls.begin(), core::form1Controls.end(),
                       [name](const core::ControlEntry &entry) { return entry.name == name; });
    if (found == core::form1Controls.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - core::form1Controls.begin());
}

HICON programIcon(HINSTANCE resources, int widthMetric, int heightMetric, UINT dpi, UINT flags)
{
    return static_cast<HICON>(LoadImageW(resources, TAVREL_ICON_NAME, IMAGE_ICON,
                                         win32::systemMetric(widthMetric, dpi),
                                         win32::systemMetric(heightMetric, dpi), flags));
}

std::wstring defaultFaceCaptions()
{
    std::wstring captions;
    for (const core::ControlEntry &entry : core::form1Controls) {
        if (entry.font.face == core::Face::Default && entry.kind != core::ControlKind::Picture)
            captions += win32::toWide(entry.caption);
    }
    return captions;
}

SIZE form1WindowSize(UINT dpi)
{
    const RECT client{0, 0, core::twipsToPixels(core::formClientWidth, static_cast<int>(dpi)),
                      core::twipsToPixels(core::formClientHeight, static_cast<int>(dpi))};
    const RECT frame = win32::windowRectForClient(client, form1Style, form1ExStyle, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// Each control is made at its place for the window's first dpi, which
// spares moving every one of them once more.
void Form1::State::createControls(UINT firstDpi)
{
    for (const std::size_t row : creationOrder()) {
        const core::ControlEntry &entry = core::form1Controls[row];
        const ControlClass kind = controlClassFor(entry.kind);
        const std::wstring caption = win32::toWide(entry.caption);
        const RECT place = placeOf(row, firstDpi);
        controls[row] = CreateWindowExW(
            kind.exStyle, kind.name, caption.c_str(), kind.style, place.left, place.top,
            place.right - place.left, place.bottom - place.top, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstControlId + static_cast<int>(row))),
            resources, nullptr);
        // A box holds as much text as it is given; the edit control's
        // default limit would refuse a long answer.
        if (entry.kind == core::ControlKind::TextBox) {
            SendMessageW(controls[row], EM_SETLIMITTEXT, 0, 0);
            nameBoxesWhenAsked(controls[row]);
        }
    }
}

// Positions, sizes and font sizes are physical units, so they all scale
// together.
void Form1::State::layOut(UINT newDpi)
{
    for (std::size_t row = 0; row < form1ControlCount; ++row) {
        const RECT place = placeOf(row, newDpi);
        SetWindowPos(controls[row], nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    takeFontsAndPicturesFor(newDpi);
}

// The fonts, pictures and icons of the previous dpi are released only after
// nothing uses them any more.
void Form1::State::takeFontsAndPicturesFor(UINT newDpi)
{
    dpi = newDpi;

    std::vector<std::pair<core::FontRequest, win32::UniqueFont>> newFonts;
    const auto fontOf = [&](const core::FontRequest &request) {
        for (const auto &[made, font] : newFonts) {
            if (made == request)
                return font.get();
        }
        newFonts.emplace_back(request, faces.create(request, newDpi, defaultCaptions));
        return newFonts.back().second.get();
    };
    win32::UniqueFont newWindowFont = faces.create(core::defaultFont, newDpi, defaultCaptions);
    win32::UniqueBitmap newStamp = loadStampPicture(resources, newDpi);
    // The title bar's and the task switcher's icons, at their sizes for this
    // dpi. The window class has them for the system's dpi: only a window
    // that is or has been on a monitor of another dpi sets its own (each
    // change of icon costs the window system a conversion of both).
    win32::UniqueIcon newBigIcon;
    win32::UniqueIcon newSmallIcon;
    if (newDpi != win32::dpiForWindow(nullptr) || bigIcon != nullptr) {
        newBigIcon.reset(programIcon(resources, SM_CXICON, SM_CYICON, newDpi, LR_DEFAULTCOLOR));
        newSmallIcon.reset(
            programIcon(resources, SM_CXSMICON, SM_CYSMICON, newDpi, LR_DEFAULTCOLOR));
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(newBigIcon.get()));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(newSmallIcon.get()));
    }

    // A window not shown yet is drawn whole when it is: its controls need
    // not redraw themselves for their fonts.
    const BOOL redraw = IsWindowVisible(window);
    for (std::size_t row = 0; row < form1ControlCount; ++row) {
        const core::ControlEntry &entry = core::form1Controls[row];
        if (entry.kind == core::ControlKind::Picture)
            SendMessageW(controls[row], STM_SETIMAGE, IMAGE_BITMAP,
                         reinterpret_cast<LPARAM>(newStamp.get()));
        else
            SendMessageW(controls[row], WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(entry.font)),
                         static_cast<LPARAM>(redraw));
    }
    fonts = std::move(newFonts);
    windowFont = std::move(newWindowFont);
    stamp = std::move(newStamp);
    bigIcon = std::move(newBigIcon);
    smallIcon = std::move(newSmallIcon);
}

// The system's suggestion after a dpi change is only right where it scales
// the frame as it scales the window (some scale the whole rectangle by the
// dpi ratio); the client area's size is the description's, so the frame
// the window has now is measured and fitted round it.
void Form1::State::fitToClientArea() const
{
    RECT outer{};
    RECT client{};
    if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client))
        return;
    const int width = core::twipsToPixels(core::formClientWidth, static_cast<int>(dpi));
    const int height = core::twipsToPixels(core::formClientHeight, static_cast<int>(dpi));
    if (client.right == width && client.bottom == height)
        return;
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left - client.right + width,
                 outer.bottom - outer.top - client.bottom + height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace tavrel::win32
