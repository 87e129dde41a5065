#pragma once

#include <algorithm>

namespace tavrel::core {

// The narrowest width, at most `width`, at which a caption wrapped by words
// takes no more lines than it does at `width`: wrapping there shares the
// characters evenly between the lines ("输入" above "成绩") instead of leaving
// one alone on the last line. `linesAt(w)` is the number of lines (or the
// height) the caption takes wrapped at w; it never grows as w grows.
//
// `lowerBound` is a width below which the caption cannot possibly fit in as
// few lines (its whole width divided by the lines, say): where it already
// fits, it is the answer at once; otherwise a binary search between it and
// `width` finds the answer.
template<typename LinesAt> int balancedWrapWidth(int width, LinesAt linesAt, int lowerBound = 1)
{
    const auto lines = linesAt(width);
    int narrowest = std::clamp(lowerBound, 1, width);
    if (linesAt(narrowest) <= lines)
        return narrowest;
    int widest = width;
    ++narrowest;
    while (narrowest < widest) {
        const int middle = narrowest + (widest - narrowest) / 2;
        if (linesAt(middle) <= lines)
            widest = middle;
        else
            narrowest = middle + 1;
    }
    return widest;
}

} // namespace tavrel::core
