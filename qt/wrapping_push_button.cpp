#include "qt/wrapping_push_button.h"

#include "core/balanced_wrap.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace tavrel::qt {

namespace {

int lineCount(const QFontMetrics &metrics, int width, const QString &text)
{
    const QRect bounds = metrics.boundingRect(QRect(0, 0, width, 1 << 16), Qt::TextWordWrap, text);
    return std::max(1, (bounds.height() + metrics.leading()) / metrics.lineSpacing());
}

// Where the caption wraps, the narrowest width that keeps its number of
// lines; an even share of its whole width is the least that can be.
int balancedWidth(const QFontMetrics &metrics, int width, const QString &text)
{
    const int lines = lineCount(metrics, width, text);
    if (lines == 1)
        return width;
    return core::balancedWrapWidth(
        width, [&](int w) { return lineCount(metrics, w, text); },
        (metrics.horizontalAdvance(text) + lines - 1) / lines);
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

} // namespace tavrel::qt
