#pragma once

// Form1 as a native Win32 window (the whole program is described in
// core/form1_description.h). What is Windows' own here: standard controls
// (EDIT, STATIC, BUTTON) laid out and given fonts for the window's current
// dpi, and laid out again when the dpi changes (form1_layout.cpp); a click arrives as
// BN_CLICKED in WM_COMMAND and goes through dispatchClick, whose error report
// is a task dialog; the prompt is a dialog built from a template
// (dialog_prompt.h).
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
