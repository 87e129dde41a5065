#pragma once

#include "core/box_texts.h"

namespace tavrel::core {

// The click on "计算": reads the five scores from Text1 … Text5, writes the
// highest into Text6, the lowest into Text7 and the mean of the other three
// into Text8. Raises a run-time error for a score that is not a number or
// lies beyond the single-precision range, and for a floating-point overflow
// or invalid operation; boxes written before the error keep their new text,
// the others their old.
void Command1_Click(BoxTexts &boxes);

} // namespace tavrel::core
