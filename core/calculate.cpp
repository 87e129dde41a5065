#include "core/calculate.h"

#include "core/conversions.h"
#include "core/runtime_error.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavrel::core {

namespace {

// Scores are single precision; positions run 1 … 5 as the judges do, so slot
// 0 is unused and the indices below read as they are spoken. Positions are
// 16-bit signed, as the selection keeps them.
class JudgeScoreArray
{
public:
    float &operator[](std::int16_t position) { return scores_.at(slot(position)); }
    float operator[](std::int16_t position) const { return scores_.at(slot(position)); }

private:
    static std::size_t slot(std::int16_t position) { return static_cast<std::size_t>(position); }
    std::array<float, judgeCount + 1> scores_{};
};

constexpr auto lastJudge = static_cast<std::int16_t>(judgeCount);

// One score as read from its box: the text's double, rounded once to single.
// A value that rounds beyond the single range is refused here, whatever its
// position, so an infinity can never stand among the scores: left in, it
// would show as the highest score beside a final score that was never
// recomputed.
float readScore(const BoxTexts &boxes, Box box)
{
    const std::u16string text = boxes.text(box);
    const double value = textToNumber(text, box);
    const auto score = static_cast<float>(value);
    if (std::isinf(score))
        throw RuntimeError(ErrorKind::Overflow, box, text);
    return score;
}

// The floating-point check. All operands are finite (readScore sees to that),
// so an infinite result can only come from an overflow and a NaN only from
// an invalid operation. A division by zero is impossible with the constant
// divisor, so it has no test of its own. Testing the values rather than the
// exception flags keeps the check exact under optimisation.
void checkFloatingPoint(double result)
{
    if (std::isnan(result))
        raiseFloatingPointError(ErrorKind::InvalidOperation);
    if (std::isinf(result))
        raiseFloatingPointError(ErrorKind::Overflow);
}

} // namespace

void Command1_Click(BoxTexts &boxes)
{
    JudgeScoreArray JudgeScores{};
    for (std::int16_t k = 1; k <= lastJudge; ++k)
        JudgeScores[k] = readScore(boxes, boxNumber(k));

    std::int16_t highIndex = 1;
    std::int16_t lowIndex = 1;
    float partialSum = 0.0f;
    // Strictly greater / strictly less: among equal scores the one at the
    // lowest position is the one removed. Position 1 joins only the final sum.
    for (std::int16_t i = 2; i <= lastJudge; ++i) {
        if (JudgeScores[i] > JudgeScores[highIndex])
            highIndex = i;
        if (JudgeScores[i] < JudgeScores[lowIndex])
            lowIndex = i;
        partialSum = partialSum + JudgeScores[i]; // rounded to single after each addition
        checkFloatingPoint(static_cast<double>(partialSum));
    }

    boxes.setText(Box::Text6, singleToText(JudgeScores[highIndex]));
    boxes.setText(Box::Text7, singleToText(JudgeScores[lowIndex]));

    // Double precision, in exactly this order, with a single-precision 3.
    constexpr float divisor = 3.0f;
    const double finalScore = (static_cast<double>(partialSum) + static_cast<double>(JudgeScores[1])
                               - static_cast<double>(JudgeScores[highIndex])
                               - static_cast<double>(JudgeScores[lowIndex]))
        / static_cast<double>(divisor);
    // Cannot fire today: every score is a finite single and the running sum
    // passed its checks, so these few double operations stay far inside the
    // double range. It stands where the steps place it, after the two result
    // boxes are written, should a score ever again be let in unchecked.
    checkFloatingPoint(finalScore);
    boxes.setText(Box::Text8, singleToText(static_cast<float>(finalScore)));
}

} // namespace tavrel::core
