#pragma once

#include "core/prompt.h"

class QLineEdit;
class QWidget;

namespace tavrel::qt {

// Lets `edit` hold a text of any length the toolkit can: by default a line
// edit silently cuts what is typed, pasted or set beyond 32,767 characters,
// and the cut text would then be read as a different score. The prompt's
// field and the window's boxes all take this.
void takeWholeTexts(QLineEdit &edit);

// The prompt as a modal dialog centred over `owner`: the message above a
// single-line answer field that has the focus, and the buttons "确定" (Enter)
// and "取消" (Esc). While it is open the owner takes no clicks or typing.
class DialogPrompt final : public core::Prompt
{
public:
    explicit DialogPrompt(QWidget *owner) : owner_(owner) { }

    [[nodiscard]] std::u16string ask(std::u16string_view message,
                                     std::u16string_view title) override;

private:
    QWidget *owner_;
};

} // namespace tavrel::qt
