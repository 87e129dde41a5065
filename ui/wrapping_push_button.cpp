#include "ui/wrapping_push_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace tavrel::ui {

namespace {

int lineCount(const QFontMetrics &metrics, int width, const QString &text)
{
    const QRect bounds = metrics.boundingRect(QRect(0, 0, width, 1 << 16), Qt::TextWordWrap, text);
    return std::max(1, (bounds.height() + metrics.leading()) / metrics.lineSpacing());
}

// The narrowest width at which `text` still takes no more lines than at
// `width`: wrapping there fills the lines evenly ("输入" above "成绩")
// instead of leaving one character alone on the last line. An even share of
// the text's width usually is that width already; otherwise a search between
// it and the full width finds it.
int balancedWidth(const QFontMetrics &metrics, int width, const QString &text)
{
    const int lines = lineCount(metrics, width, text);
    if (lines == 1)
        return width;
    int narrowest = std::min(width, (metrics.horizontalAdvance(text) + lines - 1) / lines);
    if (lineCount(metrics, narrowest, text) <= lines)
        return narrowest;
    int widest = width;
    ++narrowest;
    while (narrowest < widest) {
        const int middle = narrowest + (widest - narrowest) / 2;
        if (lineCount(metrics, middle, text) <= lines)
            widest = middle;
        else
            narrowest = middle + 1;
    }
    return widest;
}

} // namespace

int WrappingPushButton::captionWidth(const QString &caption, int available) const
{
    if (layout_.available != available || layout_.caption != caption || layout_.font != font())
        layout_ = {caption, font(), available, balancedWidth(fontMetrics(), available, caption)};
    return layout_.width;
}

void WrappingPushButton::paintEvent(QPaintEvent * /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;

    // The style draws the bevel and the focus frame; the caption is drawn
    // here because the style's own label never wraps.
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown())
        contents.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                           style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    const int width = captionWidth(caption, contents.width());
    contents.adjust((contents.width() - width) / 2, 0, -(contents.width() - width + 1) / 2, 0);
    painter.drawItemText(contents, Qt::AlignCenter | Qt::TextWordWrap, option.palette, isEnabled(),
                         caption, QPalette::ButtonText);
}

} // namespace tavrel::ui
