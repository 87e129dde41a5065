#include "win32/form1.h"

#include "core/calculate.h"
#include "core/click_outcome.h"
#include "core/form1_description.h"
#include "core/score_entry.h"
#include "resources/windows/resource_ids.h"
#include "win32/button_caption.h"
#include "win32/click_dispatch.h"
#include "win32/dialog_prompt.h"
#include "win32/dpi.h"
#include "win32/edit_text.h"
#include "win32/fonts.h"
#include "win32/handles.h"
#include "win32/stamp_picture.h"
#include "win32/wide_text.h"

#include <oleacc.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace tavrel::win32 {

namespace {

constexpr wchar_t windowClassName[] = L"TavrelForm1";
constexpr std::size_t controlCount = core::form1Controls.size();
// Control IDs are 100 plus the control's row in the description: never 1
// (IDOK) or 2 (IDCANCEL), which IsDialogMessage sends for Enter and Esc.
constexpr int firstControlId = 100;

constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD windowExStyle = 0;

std::optional<std::size_t> rowOf(std::string_view name)
{
    const auto found
        = std::find_if(core::form1Controls.begin(), core::form1Controls.end(),
                       [name](const core::ControlEntry &entry) { return entry.name == name; });
    if (found == core::form1Controls.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - core::form1Controls.begin());
}

constexpr std::size_t frameRow()
{
    for (std::size_t row = 0; row < controlCount; ++row) {
        if (core::form1Controls[row].kind == core::ControlKind::GroupFrame)
            return row;
    }
    return controlCount;
}
static_assert(frameRow() < controlCount, "the description holds the frame");

bool takesFocus(const core::ControlEntry &entry)
{
    return entry.kind == core::ControlKind::TextBox || entry.kind == core::ControlKind::PushButton;
}

// The order the controls are created in, which is their z-order from the
// top: the controls that take focus by tab index (IsDialogMessage moves
// the focus in z-order), then the labels, which so lie below the boxes their
// rectangles reach under, the picture, and the frame last, below everything
// it surrounds.
std::array<std::size_t, controlCount> creationOrder()
{
    std::array<std::size_t, controlCount> rows{};
    for (std::size_t row = 0; row < controlCount; ++row)
        rows[row] = row;
    const auto rank = [](std::size_t row) {
        const core::ControlEntry &entry = core::form1Controls[row];
        if (takesFocus(entry))
            return 0;
        if (entry.kind == core::ControlKind::GroupFrame)
            return 2;
        return 1;
    };
    std::stable_sort(rows.begin(), rows.end(), [&rank](std::size_t a, std::size_t b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        return rank(a) == 0 && core::form1Controls[a].tabIndex < core::form1Controls[b].tabIndex;
    });
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

// The captions drawn in the default face, which its font must cover.
std::wstring defaultFaceCaptions()
{
    std::wstring captions;
    for (const core::ControlEntry &entry : core::form1Controls) {
        if (entry.font.face == core::Face::Default && entry.kind != core::ControlKind::Picture)
            captions += win32::toWide(entry.caption);
    }
    return captions;
}

win32::UniqueIcon loadIcon(HINSTANCE resources, int widthMetric, int heightMetric, UINT dpi)
{
    return win32::UniqueIcon(static_cast<HICON>(
        LoadImageW(resources, TAVREL_ICON_NAME, IMAGE_ICON, win32::systemMetric(widthMetric, dpi),
                   win32::systemMetric(heightMetric, dpi), LR_DEFAULTCOLOR)));
}

// The screen reader's property service and the name property, spelt out
// here: MinGW's libuuid keeps them in one object file with IID_IAccessible,
// which then clashes with oleacc's own definition in a program (a test) that
// uses both.
constexpr GUID accPropServicesClass{
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID accPropServicesInterface{
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID accNameProperty{
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

void registerWindowClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // The dialog colour, which the labels and the frame draw on too.
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = windowClassName;
    // Registered once per module; a second window finds it there.
    RegisterClassExW(&windowClass);
}

} // namespace

struct Form1::State
{
    explicit State(HINSTANCE module) : resources(module) { }

    HINSTANCE resources;
    HWND window = nullptr;
    std::array<HWND, controlCount> controls{};
    UINT dpi = win32::standardDpi;
    FontFaces faces;
    std::wstring defaultCaptions = defaultFaceCaptions();
    // One font per distinct request of the description, for the current dpi.
    std::vector<std::pair<core::FontRequest, win32::UniqueFont>> fonts;
    // The window's own font, the default face: what WM_GETFONT answers, and
    // so the face the prompt takes.
    win32::UniqueFont windowFont;
    win32::UniqueBitmap stamp;
    win32::UniqueIcon bigIcon;
    win32::UniqueIcon smallIcon;
    win32::DialogPrompt prompt{nullptr};
    win32::ComPtr<IAccPropServices> accessibility;
    // The control that had the focus when the window was last deactivated;
    // it gets it back when the window is activated again.
    HWND focus = nullptr;
    // Set when the user closes the window: only then does its end end the
    // program.
    bool closedByUser = false;
    // The click whose handler is running (a prompt or an error box may be
    // open in it); others are dropped meanwhile. The window outlives it: a
    // close asked for meanwhile waits until it has returned.
    core::ClickGate clicks;
    bool closeWhenClicksEnd = false;

    [[nodiscard]] HWND control(std::string_view name) const
    {
        const auto row = rowOf(name);
        return row ? controls[*row] : nullptr;
    }

    void createControls();
    void layOut(UINT newDpi);
    void fitToClientArea() const;
    void nameBoxesAfterTheirLabels();
    void forgetBoxNames();
};

void Form1::State::createControls()
{
    for (const std::size_t row : creationOrder()) {
        const core::ControlEntry &entry = core::form1Controls[row];
        const ControlClass kind = controlClassFor(entry.kind);
        const std::wstring caption = win32::toWide(entry.caption);
        controls[row] = CreateWindowExW(
            kind.exStyle, kind.name, caption.c_str(), kind.style, 0, 0, 0, 0, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstControlId + static_cast<int>(row))),
            resources, nullptr);
        // A box holds as much text as it is given; the edit control's
        // default limit would refuse a long answer.
        if (entry.kind == core::ControlKind::TextBox)
            SendMessageW(controls[row], EM_SETLIMITTEXT, 0, 0);
    }
}

// Places every control and gives it its font and picture, and the window
// its icons, for `newDpi`: positions, sizes and font sizes are physical
// units, so they all scale together. The fonts, pictures and icons of the previous dpi are released
// only after nothing uses them any more.
void Form1::State::layOut(UINT newDpi)
{
    dpi = newDpi;
    const auto pixels
        = [newDpi](int twips) { return core::twipsToPixels(twips, static_cast<int>(newDpi)); };

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
    // dpi.
    win32::UniqueIcon newBigIcon = loadIcon(resources, SM_CXICON, SM_CYICON, newDpi);
    win32::UniqueIcon newSmallIcon = loadIcon(resources, SM_CXSMICON, SM_CYSMICON, newDpi);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(newBigIcon.get()));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(newSmallIcon.get()));

    const core::ControlEntry &frame = core::form1Controls[frameRow()];
    for (std::size_t row = 0; row < controlCount; ++row) {
        const core::ControlEntry &entry = core::form1Controls[row];
        // The frame's controls are placed from its outer corner.
        const bool inFrame = entry.container == core::Container::Frame1;
        const int left = entry.left + (inFrame ? frame.left : 0);
        const int top = entry.top + (inFrame ? frame.top : 0);
        SetWindowPos(controls[row], nullptr, pixels(left), pixels(top), pixels(entry.width),
                     pixels(entry.height), SWP_NOZORDER | SWP_NOACTIVATE);
        if (entry.kind == core::ControlKind::Picture)
            SendMessageW(controls[row], STM_SETIMAGE, IMAGE_BITMAP,
                         reinterpret_cast<LPARAM>(newStamp.get()));
        else
            SendMessageW(controls[row], WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(entry.font)),
                         TRUE);
    }
    fonts = std::move(newFonts);
    windowFont = std::move(newWindowFont);
    stamp = std::move(newStamp);
    bigIcon = std::move(newBigIcon);
    smallIcon = std::move(newSmallIcon);
}

// The window's size for a client area of the description's size at the
// current dpi. (When the dpi changes, the system suggests the new size.)
void Form1::State::fitToClientArea() const
{
    const RECT client{0, 0, core::twipsToPixels(core::formClientWidth, static_cast<int>(dpi)),
                      core::twipsToPixels(core::formClientHeight, static_cast<int>(dpi))};
    const RECT frameRect = win32::windowRectForClient(client, windowStyle, windowExStyle, dpi);
    SetWindowPos(window, nullptr, 0, 0, frameRect.right - frameRect.left,
                 frameRect.bottom - frameRect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A screen reader names each box by the caption beside it; the boxes are
// not labelled by the controls that precede them, so they are annotated.
void Form1::State::nameBoxesAfterTheirLabels()
{
    if (FAILED(CoCreateInstance(accPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                accPropServicesInterface, accessibility.putVoid())))
        return;
    for (const core::BoxLabel &pair : core::boxLabels) {
        const auto labelRow = rowOf(pair.label);
        const HWND box = control(pair.box);
        if (!labelRow || box == nullptr)
            continue;
        const std::wstring caption = win32::toWide(core::form1Controls[*labelRow].caption);
        accessibility->SetHwndPropStr(box, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                      accNameProperty, caption.c_str());
    }
}

void Form1::State::forgetBoxNames()
{
    if (!accessibility)
        return;
    for (const core::BoxLabel &pair : core::boxLabels) {
        if (const HWND box = control(pair.box))
            accessibility->ClearHwndProps(box, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                          &accNameProperty, 1);
    }
    accessibility.reset();
}

Form1::Form1(ConstructionKey /*key*/) { }

std::unique_ptr<Form1> Form1::create(HINSTANCE resources)
{
    auto form = std::make_unique<Form1>(ConstructionKey{});
    form->state_ = std::make_unique<State>(resources);
    registerWindowClass(resources, windowProcedure);
    const std::wstring title = win32::toWide(core::formTitle);
    // Made at a provisional size: its dpi is known once it exists on a
    // monitor, and layOut sizes it for that.
    CreateWindowExW(windowExStyle, windowClassName, title.c_str(), windowStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, resources,
                    form.get());
    State &state = *form->state_;
    if (state.window == nullptr)
        return nullptr;

    state.prompt = win32::DialogPrompt(state.window);
    state.createControls();
    state.layOut(win32::dpiForWindow(state.window));
    state.fitToClientArea();
    state.nameBoxesAfterTheirLabels();
    state.focus = state.control("Text1");
    return form;
}

Form1::~Form1()
{
    if (state_ != nullptr && state_->window != nullptr)
        DestroyWindow(state_->window);
}

HWND Form1::window() const
{
    return state_->window;
}

HWND Form1::control(std::string_view name) const
{
    return state_->control(name);
}

UINT Form1::dpi() const
{
    return state_->dpi;
}

std::u16string Form1::text(core::Box box) const
{
    return win32::readEditText(textBox(box));
}

void Form1::setText(core::Box box, std::u16string_view text)
{
    win32::writeEditText(textBox(box), text);
}

HWND Form1::textBox(core::Box box) const
{
    return state_->control(core::nameOf(box));
}

LRESULT CALLBACK Form1::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        auto *form = static_cast<Form1 *>(creation->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        form->state_->window = window;
    }
    auto *form = reinterpret_cast<Form1 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return form->handle(window, message, wParam, lParam);
}

LRESULT Form1::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    State &state = *state_;
    switch (message) {
    case WM_COMMAND: {
        // Enter and Esc arrive as IDOK and IDCANCEL with no control: the
        // window has no default or cancel button, so they do nothing.
        const auto sender = reinterpret_cast<HWND>(lParam);
        if (sender == nullptr || HIWORD(wParam) != BN_CLICKED)
            return 0;
        if (sender == state.control("Command1"))
            win32::dispatchClick(state.clicks, window, [this] { core::Command1_Click(*this); });
        else if (sender == state.control("Command2"))
            win32::dispatchClick(state.clicks, window,
                                 [this] { core::Command2_Click(*this, state_->prompt); });
        if (!state.clicks.clickRunning() && state.closeWhenClicksEnd)
            DestroyWindow(window);
        return 0;
    }
    case WM_NOTIFY: {
        // The push buttons' captions are drawn wrapped evenly.
        const auto *header = reinterpret_cast<const NMHDR *>(lParam);
        const auto row = header->idFrom >= firstControlId
            ? std::optional<std::size_t>(header->idFrom - firstControlId)
            : std::nullopt;
        if (header->code == NM_CUSTOMDRAW && row && *row < controlCount
            && core::form1Controls[*row].kind == core::ControlKind::PushButton)
            return drawButtonCaption(*reinterpret_cast<const NMCUSTOMDRAW *>(lParam), state.dpi);
        break;
    }
    case WM_ACTIVATE:
        // As a dialog does: the focus goes back where it was, first to Text1.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focused = GetFocus();
            if (focused != nullptr && IsChild(window, focused))
                state.focus = focused;
        } else if (state.focus != nullptr && HIWORD(wParam) == 0) {
            SetFocus(state.focus);
        }
        return 0;
    case WM_SETFOCUS:
        if (state.focus != nullptr)
            SetFocus(state.focus);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state.windowFont.get());
    case WM_DPICHANGED: {
        state.layOut(LOWORD(wParam));
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CLOSE:
        // Nothing to ask or save: the scores go with the window.
        state.closedByUser = true;
        if (state.clicks.clickRunning())
            state.closeWhenClicksEnd = true;
        else
            DestroyWindow(window);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE; // log-off or shut-down goes ahead without a question
    case WM_ENDSESSION:
        // The session ends: close as the user would. (With a prompt open,
        // the system ends the program before that prompt returns.)
        if (wParam != FALSE)
            SendMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_DESTROY:
        state.forgetBoxNames();
        if (state.closedByUser)
            PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        state.window = nullptr;
        state.controls.fill(nullptr);
        state.focus = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tavrel::win32
