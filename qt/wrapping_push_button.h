#pragma once

#include <QFont>
#include <QPushButton>
#include <QString>

namespace tavrel::qt {

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

private:
    // The width the caption is wrapped at, kept for repaints (hover, press,
    // focus) since laying the caption out takes several passes.
    [[nodiscard]] int captionWidth(const QString &caption, int available) const;

    struct Layout
    {
        QString caption;
        QFont font;
        int available = -1;
        int width = 0;
    };
    mutable Layout layout_;
};

} // namespace tavrel::qt
