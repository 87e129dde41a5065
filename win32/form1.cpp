#include "win32/form1.h"

#include "core/calculate.h"
#include "core/score_entry.h"
#include "win32/button_caption.h"
#include "win32/click_dispatch.h"
#include "win32/edit_text.h"
#include "win32/form1_state.h"
#include "win32/wide_text.h"

#include <commctrl.h>

namespace tavrel::win32 {

namespace {

constexpr wchar_t windowClassName[] = L"TavrelForm1";
// WM_GETDPISCALEDSIZE (Windows 10 1703), which the headers for Windows 7
// leave out: asked before a dpi change, the window names the size it wants.
constexpr UINT getDpiScaledSize = 0x02E4;

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
    // The title bar's and the task switcher's icons for the system's dpi,
    // there from the window's first moment; a window on a monitor of
    // another dpi sets its own (takeFontsAndPicturesFor).
    // Shared: the class outlives any one window.
    const UINT systemDpi = win32::dpiForWindow(nullptr);
    windowClass.hIcon = programIcon(instance, SM_CXICON, SM_CYICON, systemDpi, LR_SHARED);
    windowClass.hIconSm = programIcon(instance, SM_CXSMICON, SM_CYSMICON, systemDpi, LR_SHARED);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // The dialog colour, which the labels and the frame draw on too.
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = windowClassName;
    // Registered once per module; a second window finds it there.
    RegisterClassExW(&windowClass);
}

} // namespace

// A box's own messages, seen before the edit control's: the first question
// for its accessible object names the boxes.
LRESULT CALLBACK Form1::State::boxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR /*id*/, DWORD_PTR state)
{
    if (message == WM_GETOBJECT)
        reinterpret_cast<State *>(state)->nameBoxesAfterTheirLabels();
    else if (message == WM_NCDESTROY)
        RemoveWindowSubclass(box, boxProcedure, 0);
    return DefSubclassProc(box, message, wParam, lParam);
}

void Form1::State::nameBoxesWhenAsked(HWND box)
{
    SetWindowSubclass(box, boxProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

// A screen reader names each box by the caption beside it; the boxes are
// not labelled by the controls that precede them, so they are annotated.
// Once: the names last as long as the boxes.
void Form1::State::nameBoxesAfterTheirLabels()
{
    if (boxesNamed)
        return;
    boxesNamed = true;
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
    // Made at its size for the system's dpi, which is its monitor's unless
    // that monitor has a dpi of its own: only then is it sized again below
    // (its dpi is known once it exists on a monitor). Each resize costs a
    // round of the window system's work before the first paint.
    const SIZE size = form1WindowSize(win32::dpiForWindow(nullptr));
    CreateWindowExW(form1ExStyle, windowClassName, title.c_str(), form1Style, CW_USEDEFAULT,
                    CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, resources, form.get());
    State &state = *form->state_;
    if (state.window == nullptr)
        return nullptr;

    state.prompt = win32::DialogPrompt(state.window);
    const UINT dpi = win32::dpiForWindow(state.window);
    state.createControls(dpi);
    state.takeFontsAndPicturesFor(dpi);
    state.fitToClientArea();
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
    return form->handle(message, wParam, lParam);
}

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case WM_NOTIFY:
        if (const auto drawn = onNotify(*reinterpret_cast<const NMHDR *>(lParam)))
            return *drawn;
        break;
    case WM_ACTIVATE:
        onActivate(LOWORD(wParam) != WA_INACTIVE, HIWORD(wParam) != 0);
        return 0;
    case WM_SETFOCUS:
        onSetFocus();
        return 0;
    case WM_GETOBJECT:
        state_->nameBoxesAfterTheirLabels();
        break;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state_->windowFont.get());
    case getDpiScaledSize:
        *reinterpret_cast<SIZE *>(lParam) = form1WindowSize(static_cast<UINT>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        onDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
        return 0;
    case WM_CLOSE:
        onClose();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE; // log-off or shut-down goes ahead without a question
    case WM_ENDSESSION:
        // The session ends: close as the user would. (With a prompt open,
        // the system ends the program before that prompt returns.)
        if (wParam != FALSE)
            onClose();
        return 0;
    case WM_DESTROY:
        onDestroy();
        return 0;
    case WM_NCDESTROY:
        onNcDestroy();
        break;
    default:
        break;
    }
    return DefWindowProcW(state_->window, message, wParam, lParam);
}

void Form1::onCommand(WPARAM wParam, LPARAM lParam)
{
    State &state = *state_;
    const HWND window = state.window;
    // Enter and Esc arrive as IDOK and IDCANCEL with no control: the
    // window has no default or cancel button, so they do nothing.
    auto *const sender = reinterpret_cast<HWND>(lParam);
    if (sender == nullptr || HIWORD(wParam) != BN_CLICKED)
        return;
    if (sender == state.control("Command1"))
        win32::dispatchClick(state.clicks, window, [this] { core::Command1_Click(*this); });
    else if (sender == state.control("Command2"))
        win32::dispatchClick(state.clicks, window,
                             [this] { core::Command2_Click(*this, state_->prompt); });
    if (!state.clicks.clickRunning() && state.closeWhenClicksEnd)
        DestroyWindow(window);
}

// The push buttons' captions are drawn wrapped evenly; nothing else is
// custom drawn.
std::optional<LRESULT> Form1::onNotify(const NMHDR &header) const
{
    if (header.code != NM_CUSTOMDRAW || header.idFrom < firstControlId)
        return std::nullopt;
    const std::size_t row = header.idFrom - firstControlId;
    if (row >= form1ControlCount || core::form1Controls[row].kind != core::ControlKind::PushButton)
        return std::nullopt;
    return drawButtonCaption(reinterpret_cast<const NMCUSTOMDRAW &>(header), state_->dpi);
}

// As a dialog does: the focus goes back where it was, first to Text1.
void Form1::onActivate(bool active, bool minimized)
{
    State &state = *state_;
    if (!active) {
        const HWND focused = GetFocus();
        if (focused != nullptr && IsChild(state.window, focused))
            state.focus = focused;
    } else if (state.focus != nullptr && !minimized) {
        SetFocus(state.focus);
    }
}

void Form1::onSetFocus() const
{
    if (state_->focus != nullptr)
        SetFocus(state_->focus);
}

// The window keeps the top-left corner the system suggests (the monitor it
// moves to), and takes the description's client area at the new dpi
// whatever size the system suggests: some systems scale the whole window,
// frame included, by the dpi ratio.
void Form1::onDpiChanged(UINT newDpi, const RECT &suggested)
{
    State &state = *state_;
    state.layOut(newDpi);
    SetWindowPos(state.window, nullptr, suggested.left, suggested.top,
                 suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    state.fitToClientArea();
}

// Nothing to ask or save: the scores go with the window.
void Form1::onClose()
{
    State &state = *state_;
    state.closedByUser = true;
    if (state.clicks.clickRunning())
        state.closeWhenClicksEnd = true;
    else
        DestroyWindow(state.window);
}

void Form1::onDestroy()
{
    state_->forgetBoxNames();
    if (state_->closedByUser)
        PostQuitMessage(0);
}

void Form1::onNcDestroy()
{
    State &state = *state_;
    SetWindowLongPtrW(state.window, GWLP_USERDATA, 0);
    state.window = nullptr;
    state.controls.fill(nullptr);
    state.focus = nullptr;
}

} // namespace tavrel::win32
