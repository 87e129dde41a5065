#pragma once

// Tavrel: one window for a judging panel, as a native Win32 window.
//
// Five judges score a candidate. The scores are typed into Text1 … Text5 (or
// asked for one after another by "输入成绩"); a click on "计算" runs the
// calculate command, which drops one highest and one lowest score and shows
// them in Text6 and Text7 beside the mean of the middle three in Text8.
//
// The pieces:
//  - Form1 (here) is a passive view: it creates standard controls (EDIT,
//    STATIC, BUTTON) from the table in core/form1_description.h, lays them
//    out and picks their fonts for the window's current dpi
//    (form1_layout.cpp), and forwards the two button clicks to the commands
//    through the runtime's click dispatch. It offers its eight box texts to
//    the commands as BoxTexts, and the modal prompt as Prompt; it keeps no
//    other state.
//  - Command2_Click (core/score_entry.h) asks for the five scores through
//    the runtime's modal prompt and fills Text1 … Text5 with the answers.
//  - Command1_Click (core/calculate.h) is the whole computation. It reads
//    and writes the boxes only through BoxTexts and the core's conversions.
//  - The runtime (the rest of win32/) starts the program and runs the
//    message loop (startup.h), shows the prompt (dialog_prompt.h) and
//    reports run-time errors in a modal box (click_dispatch.h), after which
//    the program goes on with every box as the failed click left it.
//
// Flow of a click on "计算": BN_CLICKED in WM_COMMAND -> dispatchClick ->
// Command1_Click -> text() of Text1 … Text5 -> textToNumber -> the selection
// and sums -> singleToText -> setText() of Text6, Text7, Text8.
//
// Every control is a direct child of the main window; the frame's controls
// sit at the frame's origin plus their offsets, and the frame itself lies
// below them. Controls are created in tab order, which is also the order
// IsDialogMessage walks: Text1 … Text5, Text6, Text7, Command1, Text8,
// Command2, then back to Text1. No control has the ID IDOK or IDCANCEL and
// the window ignores those commands, so Enter and Esc press nothing.

#include "core/box_texts.h"
#include "win32/startup.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel::win32 {

class Form1 final : public core::BoxTexts, public win32::TopLevelWindow
{
public:
    // Builds the window and all its controls, hidden, at the dpi of the
    // monitor it comes up on. `resources` is the module holding the icon
    // (IDI_ICON1) and the stamp pictures (resources/windows/resource_ids.h):
    // the program's own exe, or a test exe that links the same resources.
    // COM must be initialised on this thread (the picture decoder and the
    // screen reader's names need it). Returns null if the window could not
    // be created.
    [[nodiscard]] static std::unique_ptr<Form1> create(HINSTANCE resources);

    // Destroys the window if it is still open. Destroying it this way posts
    // no WM_QUIT; only the user closing it (WM_CLOSE, or the session
    // ending) ends the program, with exit code 0. A close that arrives while
    // a click's prompt or error box is open takes effect once that click has
    // returned.
    ~Form1() override;
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;
    Form1(Form1 &&) = delete;
    Form1 &operator=(Form1 &&) = delete;

    // The main window (class "TavrelForm1"); null once it has been destroyed.
    // Its WM_GETFONT is the font of the default face at the current dpi,
    // which the prompt's texts take.
    [[nodiscard]] HWND window() const override;

    // A control by its name in the window description: "Text1" … "Text8",
    // "Label1" … "Label9", "Command1", "Command2", "Frame1", "Image1".
    // Null for any other name. Each control's font is its WM_GETFONT.
    [[nodiscard]] HWND control(std::string_view name) const;

    [[nodiscard]] std::u16string text(core::Box box) const override;
    // Shows the text from its beginning, however long it is.
    void setText(core::Box box, std::u16string_view text) override;

private:
    // Only create() makes one, so that a Form1 always lives at a fixed
    // address (its window procedure finds it through the window).
    struct ConstructionKey
    {
        explicit ConstructionKey() = default;
    };

public:
    explicit Form1(ConstructionKey key);

private:
    struct State; // the window's controls, fonts and pictures (form1_state.h)

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    // One function per message the window answers itself.
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(WPARAM wParam, LPARAM lParam);
    // The custom drawing's answer, if the notification is one it draws.
    [[nodiscard]] std::optional<LRESULT> onNotify(const NMHDR &header) const;
    void onActivate(bool active, bool minimized);
    void onSetFocus() const;
    void onDpiChanged(UINT newDpi, const RECT &suggested);
    void onClose();
    void onDestroy();
    void onNcDestroy();
    [[nodiscard]] HWND textBox(core::Box box) const;

    std::unique_ptr<State> state_;
};

} // namespace tavrel::win32
