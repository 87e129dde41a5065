#pragma once

#include "core/prompt.h"

class QWidget;

namespace tavrel::qt {

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
