#pragma once

#include "core/prompt.h"

#include <windows.h>

namespace tavrel::win32 {

// The prompt as a modal dialog (class #32770) owned by `owner` and centred
// over it: the message above a single-line answer field that starts empty
// and has the focus, and two buttons, "确定" (IDOK, the default: Enter
// confirms) and "取消" (IDCANCEL: Esc cancels). Its texts are drawn in the
// owner's font (WM_GETFONT of the owner, else the system's message font).
// Cancelling, Esc and closing the dialog all give an empty text. While it is
// open the owner takes no clicks or typing.
class DialogPrompt final : public core::Prompt
{
public:
    explicit DialogPrompt(HWND owner) : owner_(owner) { }

    [[nodiscard]] std::u16string ask(std::u16string_view message,
                                     std::u16string_view title) override;

private:
    HWND owner_;
};

// Control IDs inside the prompt, for tests that answer it: the answer field
// and the message. The buttons are IDOK and IDCANCEL.
inline constexpr int promptAnswerId = 100;
inline constexpr int promptMessageId = 101;

} // namespace tavrel::win32
