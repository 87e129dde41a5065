// The calculate command on eight arbitrary box texts: either a run-time error
// with every box as it was, or three results that read back to what a plain
// computation of the same rules gives.

#include "core/calculate.h"
#include "core/conversions.h"
#include "core/runtime_error.h"
#include "core/text_table.h"
#include "fuzz_input.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

struct Results
{
    float highest, lowest, finalScore;
};

// The rules in their plainest form: nothing when a text is not a score in the
// single range or the running sum over positions 2 to 5 overflows.
std::optional<Results> expectedResults(const tavrel::core::TextTable &table)
{
    std::array<float, 5> scores{};
    for (std::size_t k = 0; k < scores.size(); ++k) {
        const tavrel::core::ParsedNumber parsed = tavrel::core::parseNumber(
            table.text(tavrel::core::boxNumber(static_cast<int>(k) + 1)));
        if (parsed.status != tavrel::core::ParseStatus::Number)
            return std::nullopt;
        scores[k] = static_cast<float>(parsed.value);
        if (std::isinf(scores[k]))
            return std::nullopt;
    }
    float sumOfLastFour = 0.0f;
    for (std::size_t k = 1; k < scores.size(); ++k) {
        sumOfLastFour += scores[k];
        if (std::isinf(sumOfLastFour))
            return std::nullopt;
    }
    const float highest = *std::max_element(scores.begin(), scores.end());
    const float lowest = *std::min_element(scores.begin(), scores.end());
    const double mean = (double{sumOfLastFour} + scores[0] - highest - lowest) / 3.0;
    return Results{highest, lowest, static_cast<float>(mean)};
}

std::uint32_t bitsOfBox(const tavrel::core::TextTable &table, tavrel::core::Box box)
{
    const tavrel::core::ParsedNumber parsed = tavrel::core::parseNumber(table.text(box));
    if (parsed.status != tavrel::core::ParseStatus::Number)
        std::abort();
    return std::bit_cast<std::uint32_t>(static_cast<float>(parsed.value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tavrel::core;
    const std::vector<std::u16string> texts = tavrel::fuzz::textsFrom(data, size, boxCount);
    TextTable table;
    for (int k = 1; k <= boxCount; ++k)
        table.setText(boxNumber(k), texts[static_cast<std::size_t>(k - 1)]);
    const TextTable before = table;
    const std::optional<Results> expected = expectedResults(table);

    try {
        Command1_Click(table);
    } catch (const RuntimeError &) {
        if (expected || !(table == before))
            std::abort();
        return 0;
    }
    if (!expected || bitsOfBox(table, Box::Text6) != std::bit_cast<std::uint32_t>(expected->highest)
        || bitsOfBox(table, Box::Text7) != std::bit_cast<std::uint32_t>(expected->lowest)
        || bitsOfBox(table, Box::Text8) != std::bit_cast<std::uint32_t>(expected->finalScore))
        std::abort();
    return 0;
}
