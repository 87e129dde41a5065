// The calculate command against a plain table of eight texts.
//
// Most rows are chosen so that breaking one rule of the command changes what
// they show: which of two equal scores is removed shows only where the two
// print differently (+0 and -0), the precision and order of the arithmetic
// only where a rounding step moves the last bit of the result.

#include "core/calculate.h"
#include "core/runtime_error.h"
#include "core/text_table.h"
#include "core_test_support.h"

#include <doctest/doctest.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace tavrel::core;
using namespace tavrel::testing;

namespace {

using Scores = std::array<std::u16string, judgeCount>;

// Text6, Text7 and Text8.
struct Results
{
    std::u16string highest, lowest, mean;
    friend bool operator==(const Results &, const Results &) = default;
};

// Result boxes hold a previous candidate's texts, so a test can see which of
// them a click changed.
TextTable tableWithScores(const Scores &scores)
{
    TextTable table{u"", u"", u"", u"", u"", u"旧的最高分", u"旧的最低分", u"旧的平均分"};
    for (int k = 1; k <= judgeCount; ++k)
        table.setText(boxNumber(k), scores.at(static_cast<std::size_t>(k - 1)));
    return table;
}

Results resultsOf(const TextTable &table)
{
    return {table.text(Box::Text6), table.text(Box::Text7), table.text(Box::Text8)};
}

std::string shown(const Scores &scores)
{
    std::string out;
    for (const std::u16string &score : scores)
        out += (out.empty() ? "" : ", ") + quoted(score.size() > 40 ? score.substr(0, 40) : score);
    return out;
}

} // namespace

template<> struct doctest::StringMaker<Results>
{
    static doctest::String convert(const Results &results)
    {
        return (quoted(results.highest) + ", " + quoted(results.lowest) + ", "
                + quoted(results.mean))
            .c_str();
    }
};

TEST_CASE("writes the highest, the lowest and the trimmed mean")
{
    struct Row
    {
        std::string_view name;
        Scores scores;
        Results results;
    };
    const std::vector<Row> rows{
        {"panel-example", {u"85", u"90", u"78", u"92", u"88"}, {u"92", u"78", u"87.666664"}},
        {"all-equal", {u"90", u"90", u"90", u"90", u"90"}, {u"90", u"90", u"90"}},
        {"tie-removes-first-highest", {u"90", u"95", u"95", u"80", u"85"}, {u"95", u"80", u"90"}},
        {"tie-removes-first-lowest",
         {u"70", u"80", u"70", u"90", u"85"},
         {u"90", u"70", u"78.333336"}},

        // -0 and +0 are equal scores that print differently, so these show
        // which of two equal scores is taken: the first, because only a
        // strictly greater (less) score moves the position.
        {"equal-highest-keeps-position-1",
         {u"-0", u"0", u"-5", u"-6", u"-7"},
         {u"-0", u"-7", u"-3.6666667"}},
        {"equal-highest-keeps-position-2",
         {u"-5", u"-0", u"0", u"-6", u"-7"},
         {u"-0", u"-7", u"-3.6666667"}},
        {"equal-lowest-keeps-position-1",
         {u"0", u"-0", u"5", u"6", u"7"},
         {u"7", u"0", u"3.6666667"}},
        {"equal-lowest-keeps-position-2",
         {u"5", u"0", u"-0", u"6", u"7"},
         {u"7", u"0", u"3.6666667"}},

        // The running sum over positions 2 to 5 is rounded to single after
        // each addition, which moves the last digit: the exact mean of the
        // middle three would give 84.73333.
        {"single-precision-running-sum",
         {u"88.9", u"69.2", u"97.8", u"96.1", u"61.2"},
         {u"97.8", u"61.2", u"84.73334"}},
        // Summed in double, or with position 1 inside the single-precision
        // running sum, these give 69.1 and 72.23333.
        {"running-sum-single-without-position-1",
         {u"65.1", u"72.1", u"100", u"65.8", u"69.4"},
         {u"100", u"65.1", u"69.100006"}},
        {"position-1-outside-running-sum",
         {u"63.7", u"75.9", u"67.4", u"75.5", u"73.8"},
         {u"75.9", u"63.7", u"72.23334"}},
        // The final step in single precision gives 87.43334 and 87.666664; a
        // double sum divided in single gives 87.43333 and 87.666664.
        {"final-step-in-double",
         {u"86.8", u"75.9", u"97.5", u"81.6", u"93.9"},
         {u"97.5", u"75.9", u"87.433334"}},
        {"final-step-divides-in-double",
         {u"63.7", u"87.7", u"80.7", u"95.1", u"94.6"},
         {u"95.1", u"63.7", u"87.66667"}},
        // The double steps in their order, ((sum + first) - highest) - lowest,
        // lose the first score against 2e20: the mean shown is -1/3, not the
        // 10/3 of the middle three. Subtracting highest and lowest together,
        // the lowest first, or adding the first score last all give 0.
        {"final-step-order-first-absorbed",
         {u"1", u"4", u"2e20", u"4", u"2"},
         {u"2e20", u"1", u"-0.33333334"}},
        // Here the lowest subtracted first gives -4/3, the first score added
        // last gives 4/3.
        {"final-step-order-lowest-last",
         {u"4", u"-2e20", u"1", u"4", u"2"},
         {u"4", u"-2e20", u"0"}},

        {"negative-is-lowest", {u"-5", u"10", u"20", u"30", u"40"}, {u"40", u"-5", u"20"}},
        {"more-digits-than-single",
         {u"90.123456789", u"1", u"2", u"3", u"4"},
         {u"90.12346", u"1", u"3"}},
        {"full-width-and-spaces",
         {u"８５", u"９０", u" 78 ", u"９２．０", u"\u300088"},
         {u"92", u"78", u"87.666664"}},
        {"ideographic-full-stop", {u"85。5", u"90", u"80", u"70", u"60"}, {u"90", u"60", u"78.5"}},
        {"exponent-and-point-forms",
         {u"1e2", u"5E1", u".5", u"5.", u"+7"},
         {u"100", u"0.5", u"20.666666"}},
        // Position 1 is outside the running sum, so two large scores there and
        // at position 2 do not overflow it.
        {"large-first-scores", {u"3e38", u"3e38", u"1", u"2", u"3"}, {u"3e38", u"1", u"1e38"}},
        {"underflow-is-zero", {u"1e-400", u"1", u"2", u"3", u"4"}, {u"4", u"0", u"2"}},
        {"largest-single-alone",
         {u"3.4028235e38", u"0", u"0", u"0", u"0"},
         {u"3.4028235e38", u"0", u"0"}},
        // Above the largest single but below the midpoint to the next power
        // of two: rounds down to the largest single, no overflow.
        {"just-above-largest-single-rounds-down",
         {u"0", u"-3.40282356e38", u"0", u"0", u"0"},
         {u"0", u"-3.4028235e38", u"0"}},
    };
    for (const Row &row : rows) {
        INFO("row ", row.name, ": ", shown(row.scores));
        TextTable table = tableWithScores(row.scores);
        CHECK_NOTHROW(Command1_Click(table));
        CHECK(resultsOf(table) == row.results);

        // A second click on unchanged boxes writes the same texts again.
        CHECK_NOTHROW(Command1_Click(table));
        CHECK(resultsOf(table) == row.results);
    }
}

TEST_CASE("run-time errors leave every box as it stood")
{
    struct Row
    {
        std::string_view name;
        Scores scores;
        ErrorKind kind;
        int source; // 0: the arithmetic, not one box
    };
    using enum ErrorKind;
    const std::u16string megabyteOfDigits(std::size_t{1} << 20, u'9');
    const std::u16string megabyteOfText = u"9" + std::u16string(std::size_t{1} << 20, u'x');
    const std::vector<Row> rows{
        {"empty-box", {u"85", u"90", u"", u"92", u"88"}, EmptyNumber, 3},
        {"spaces-only", {u"   ", u"90", u"78", u"92", u"88"}, EmptyNumber, 1},
        {"letters", {u"85", u"90", u"abc", u"92", u"88"}, InvalidNumber, 3},
        {"unit-after-number", {u"85分", u"90", u"78", u"92", u"88"}, InvalidNumber, 1},
        {"decimal-comma", {u"85", u"1,5", u"78", u"92", u"88"}, InvalidNumber, 2},
        {"hexadecimal", {u"85", u"90", u"78", u"0x10", u"88"}, InvalidNumber, 4},
        {"infinity-word", {u"85", u"90", u"78", u"92", u"inf"}, InvalidNumber, 5},
        {"nan-word", {u"nan", u"90", u"78", u"92", u"88"}, InvalidNumber, 1},
        {"first-bad-box-reported", {u"85", u"x", u"78", u"", u"88"}, InvalidNumber, 2},
        {"beyond-double", {u"85", u"90", u"1e400", u"92", u"88"}, Overflow, 3},
        // Beyond the single range at any position: refused as it is read, so
        // no infinity reaches the results.
        {"beyond-single-first", {u"1e39", u"90", u"78", u"92", u"88"}, Overflow, 1},
        {"beyond-single-second", {u"85", u"1e39", u"78", u"92", u"88"}, Overflow, 2},
        {"beyond-single-third", {u"85", u"90", u"-1e39", u"92", u"88"}, Overflow, 3},
        {"beyond-single-fourth", {u"85", u"90", u"78", u"-1e39", u"88"}, Overflow, 4},
        {"beyond-single-fifth", {u"85", u"90", u"78", u"92", u"1e39"}, Overflow, 5},
        {"opposite-infinities", {u"85", u"1e39", u"-1e39", u"92", u"88"}, Overflow, 2},
        // As soon as it is read: a later box with no number in it is never reached...
        {"beyond-single-before-later-bad-text",
         {u"85", u"1e39", u"78", u"abc", u"88"},
         Overflow,
         2},
        // ...while an earlier one is reported first.
        {"bad-text-before-beyond-single", {u"85", u"abc", u"78", u"1e39", u"88"}, InvalidNumber, 2},
        // Just past the largest single, the value rounds up to infinity; the
        // midpoint itself rounds to even, which is infinity too.
        {"rounds-beyond-single", {u"3.4028236e38", u"90", u"78", u"92", u"88"}, Overflow, 1},
        {"midpoint-rounds-beyond-single",
         {u"85", u"90", u"78", u"92", u"-3.4028235677973366e38"},
         Overflow,
         5},
        // Pasted megabytes: refused as any other text, with nothing changed.
        {"megabyte-of-digits", {u"85", megabyteOfDigits, u"78", u"92", u"88"}, Overflow, 2},
        {"megabyte-of-text", {u"85", u"90", u"78", megabyteOfText, u"88"}, InvalidNumber, 4},
        {"control-character", {u"85", u"90", u"7\u00858", u"92", u"88"}, InvalidNumber, 3},
        {"byte-order-mark", {u"\uFEFF85", u"90", u"78", u"92", u"88"}, InvalidNumber, 1},
        // Every score fits, but the running sum over positions 2 to 5 does not.
        {"running-sum-overflow", {u"1", u"3e38", u"3e38", u"1", u"1"}, Overflow, 0},
        {"running-sum-overflow-negative", {u"1", u"1", u"1", u"-3e38", u"-3e38"}, Overflow, 0},
        // All five are read before the running sum starts.
        {"bad-text-before-running-sum-overflow",
         {u"1", u"3e38", u"3e38", u"1", u"abc"},
         InvalidNumber,
         5},
    };
    for (const Row &row : rows) {
        INFO("row ", row.name, ": ", shown(row.scores));
        TextTable table = tableWithScores(row.scores);
        const TextTable before = table;
        try {
            Command1_Click(table);
            FAIL_CHECK("no run-time error; results ", resultsOf(table));
        } catch (const RuntimeError &error) {
            CHECK(error.kind() == row.kind);
            CHECK(error.source()
                  == (row.source == 0 ? std::nullopt : std::optional<Box>(boxNumber(row.source))));
            CHECK(!error.message().empty());
        }
        CHECK(resultsOf(table) == resultsOf(before));
        CHECK(table == before);
    }
}

TEST_CASE("score boxes are never written")
{
    const Scores scores{u" ８５ ", u"90.0", u"7.8e1", u"+92", u"88。0"};
    TextTable table = tableWithScores(scores);
    Command1_Click(table);
    for (int k = 1; k <= judgeCount; ++k) {
        INFO("Text", k);
        CHECK(table.text(boxNumber(k)) == scores.at(static_cast<std::size_t>(k - 1)));
    }
    CHECK(resultsOf(table) == Results{u"92", u"78", u"87.666664"});
}
