#pragma once

#include <QPushButton>

namespace tavrel::ui {

// A standard push button whose caption wraps by width onto several lines when
// it does not fit on one, as "输入成绩" must. text() stays the caption as
// given, with no line break in it.
class WrappingPushButton final : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace tavrel::ui
