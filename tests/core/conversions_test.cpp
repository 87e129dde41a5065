// Text to number and single to text, as the score boxes use them.

#include "core/conversions.h"
#include "core/runtime_error.h"
#include "core_test_support.h"

#include <doctest/doctest.h>

#include <bit>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

using namespace tavrel::core;
using namespace tavrel::testing;

namespace {

bool isCommaLocaleRun()
{
    return std::getenv("TAVREL_EXPECT_COMMA_LOCALE") != nullptr;
}

// The program's toolkit sets the C library's locale from the environment as
// it starts, so every case here does the same: under the comma-locale run the
// conversions then face a decimal comma. The Windows C library takes no
// locale from the environment, so there that run names a German one itself.
struct RunLocale
{
    RunLocale()
    {
        std::setlocale(LC_ALL, "");
#ifdef _WIN32
        if (isCommaLocaleRun()) {
            for (const char *name : {"de-DE", "German_Germany.1252", "deu"}) {
                if (std::setlocale(LC_ALL, name) != nullptr)
                    break;
            }
        }
#endif
    }
};

} // namespace

// Under the comma-locale run the C library really must use a decimal comma,
// or that run would prove nothing.
TEST_CASE_FIXTURE(RunLocale, "the comma-locale run really has a decimal comma")
{
    if (!isCommaLocaleRun()) {
        MESSAGE("not the comma-locale run: nothing to check");
        return;
    }
    const char *const locale = std::setlocale(LC_ALL, nullptr);
    MESSAGE("locale: ", std::string(locale != nullptr ? locale : "(none)"));
    CHECK(std::string(std::localeconv()->decimal_point) == ",");
    // What a locale-bound parser makes of a score.
    CHECK(exactly(std::strtod("85.5", nullptr)) == exactly(85.0));
}

TEST_CASE_FIXTURE(RunLocale, "typed numbers read as the nearest double")
{
    struct Row
    {
        std::string_view name;
        std::u16string text;
        double expected;
    };
    const std::vector<Row> rows{
        {"whole", u"85", 85.0},
        {"fraction", u"85.5", 85.5},
        {"negative", u"-5", -5.0},
        {"explicit-plus", u"+7.25", 7.25},
        {"leading-point", u".5", 0.5},
        {"trailing-point", u"5.", 5.0},
        {"exponent", u"1e2", 100.0},
        {"exponent-upper-signed", u"25E-1", 2.5},
        {"exponent-plus", u"1.5e+1", 15.0},
        {"leading-zeros", u"007", 7.0},
        {"spaces-around", u"  90  ", 90.0},
        {"tab-and-nbsp", u"\t90\u00A0", 90.0},
        {"ideographic-space", u"\u300090\u3000", 90.0},
        {"full-width-digits-point", u"８５．５", 85.5},
        {"ideographic-full-stop", u"85。5", 85.5},
        {"full-width-sign-exponent", u"－１ｅ２", -100.0},
        {"full-width-plus-upper-e", u"＋２Ｅ１", 20.0},
        {"mixed-widths", u"9０.２5", 90.25},
        {"correctly-rounded", u"0.1", 0.1},
        {"many-digits", u"90.123456789", 90.123456789},
        {"halfway-ties-to-even", u"9007199254740993", 9007199254740992.0},
        // A mantissa times an exact power of ten, rounded once: a product
        // kept in x87 extended precision rounds twice and lands one unit
        // in the last place above these.
        {"power-of-ten-product-rounds-once", u"2.4438797e+24", 0x1.02c17df3c434fp+81},
        {"power-of-ten-product-rounds-once-2", u"6.9135906e+29", 0x1.173cd9f19f421p+99},
        {"power-of-ten-product-rounds-once-3", u"3.896769e+25", 0x1.01ddd5a9720f5p+85},
        {"largest-double", u"1.7976931348623157e308", std::numeric_limits<double>::max()},
        {"subnormal", u"5e-324", std::numeric_limits<double>::denorm_min()},
        {"underflow-reads-zero", u"1e-400", 0.0},
        {"underflow-keeps-sign", u"-1e-400", -0.0},
        {"huge-exponent-tiny", u"1e-99999999999999999999", 0.0},
        {"zeros-then-big-exponent", u"0.000001e6", 1.0},
        {"zero-huge-exponent", u"0e999999", 0.0},
    };
    for (const Row &row : rows) {
        INFO("row ", row.name, ": ", quoted(row.text));
        const ParsedNumber parsed = parseNumber(row.text);
        CHECK(parsed.status == ParseStatus::Number);
        CHECK(exactly(parsed.value) == exactly(row.expected));
    }
}

TEST_CASE_FIXTURE(RunLocale, "everything else is refused")
{
    using enum ParseStatus;
    struct Row
    {
        std::string_view name;
        std::u16string text;
        ParseStatus expected;
    };
    const std::vector<Row> rows{
        {"empty", u"", Empty},
        {"spaces-only", u"   ", Empty},
        {"ideographic-spaces-only", u"\u3000\u3000", Empty},
        {"letters", u"abc", Invalid},
        {"unit-after", u"85分", Invalid},
        {"decimal-comma", u"1,5", Invalid},
        {"hexadecimal", u"0x10", Invalid},
        {"inf", u"inf", Invalid},
        {"infinity", u"-Infinity", Invalid},
        {"nan", u"nan", Invalid},
        {"exponent-without-digits", u"1e", Invalid},
        {"exponent-sign-only", u"1e+", Invalid},
        {"sign-only", u"-", Invalid},
        {"point-only", u".", Invalid},
        {"double-sign", u"--5", Invalid},
        {"plus-minus", u"+-5", Invalid},
        {"two-points", u"1.2.3", Invalid},
        {"inner-space", u"8 5", Invalid},
        {"sign-then-space", u"- 5", Invalid},
        {"exponent-point", u"1e2.5", Invalid},
        {"circled-digit", u"①", Invalid},
        {"superscript-digit", u"²", Invalid},
        {"arabic-indic-digit", u"٥", Invalid},
        {"chinese-numeral", u"九十", Invalid},
        {"newline-after", u"85\n", Invalid},
        {"nul-inside", std::u16string{u'8', u'\0', u'5'}, Invalid},
        {"right-to-left-mark", u"\u200F85", Invalid},
        {"lone-surrogate", u"\xD800", Invalid},
        {"beyond-double", u"1e400", Overflow},
        {"beyond-double-negative", u"-2e308", Overflow},
        {"beyond-double-by-digits", u"1" + std::u16string(400, u'0'), Overflow},
        {"huge-exponent", u"1e99999999999999999999", Overflow},
    };
    for (const Row &row : rows) {
        INFO("row ", row.name, ": ", quoted(row.text));
        CHECK(parseNumber(row.text).status == row.expected);
    }
}

TEST_CASE_FIXTURE(RunLocale, "errors name the judge and quote the text")
{
    struct Row
    {
        std::string_view name;
        std::u16string text;
        int judge;
        std::u16string message;
    };
    const std::u16string fourteen(14, u'x');
    const std::vector<Row> rows{
        {"invalid", u"abc", 3, u"评委3的成绩“abc”不是有效的数字。"},
        {"empty", u"", 1, u"评委1的成绩是空的，请输入一个数字。"},
        {"beyond-double", u"1e400", 5, u"评委5的成绩“1e400”太大，超出了可以计算的范围。"},
        {"long-text-shortened", u"abcdefghijklmnopqrstuvwxyz", 2,
         u"评委2的成绩“abcdefghijklmno…”不是有效的数字。"},
        // Fifteen units would end in the first half of the pair; the cut moves before it.
        {"cut-keeps-surrogate-pair", fourteen + u"😀yz", 4,
         u"评委4的成绩“" + fourteen + u"…”不是有效的数字。"},
    };
    for (const Row &row : rows) {
        INFO("row ", row.name, ": ", quoted(row.text));
        try {
            (void)textToNumber(row.text, boxNumber(row.judge));
            FAIL_CHECK("no run-time error");
        } catch (const RuntimeError &error) {
            CHECK(error.source() == std::optional<Box>(boxNumber(row.judge)));
            CHECK(error.message() == row.message);
        }
    }
}

TEST_CASE("an excerpt's limit below 2 still keeps one unit and the ellipsis")
{
    struct Row
    {
        std::string_view name;
        std::u16string text;
        std::size_t limit;
        std::u16string expected;
    };
    const std::vector<Row> rows{
        {"limit-0", u"abc", 0, u"“a…”"},     {"limit-1", u"abc", 1, u"“a…”"},
        {"limit-1-fits", u"ab", 1, u"“ab”"}, {"limit-1-surrogate-pair", u"😀z", 1, u"“…”"},
        {"limit-0-empty", u"", 0, u"“”"},
    };
    for (const Row &row : rows) {
        INFO("row ", row.name, ": ", quoted(row.text));
        CHECK(quotedExcerpt(row.text, row.limit) == row.expected);
    }
}

TEST_CASE_FIXTURE(RunLocale, "single to text")
{
    struct Row
    {
        std::string_view name;
        float value;
        std::u16string expected;
    };
    const std::vector<Row> rows{
        {"whole", 90.0f, u"90"},
        {"negative", -5.0f, u"-5"},
        {"zero", 0.0f, u"0"},
        {"negative-zero", -0.0f, u"-0"},
        {"263/3", 263.0f / 3.0f, u"87.666664"},
        {"235/3", 235.0f / 3.0f, u"78.333336"},
        {"one-decimal", 97.8f, u"97.8"},
        {"more-digits-than-single", 90.123456789f, u"90.12346"},
        {"hundred-thousand-plain", 100000.0f, u"100000"},
        // The fewest significant digits, not the exact value 123456792.
        {"large-plain", 123456789.0f, u"123456790"},
        {"below-plain-limit", 1e14f, u"100000000000000"},
        {"plain-limit", 1e15f, u"1e15"},
        {"small-plain", 0.00001f, u"0.00001"},
        {"small-plain-digits", -0.000015f, u"-0.000015"},
        {"fraction-inside-digits", 1234.5f, u"1234.5"},
        {"tiny-scientific", 0.000001f, u"1e-6"},
        {"huge-scientific", 1e38f, u"1e38"},
        {"largest-single", std::numeric_limits<float>::max(), u"3.4028235e38"},
        {"smallest-subnormal", std::numeric_limits<float>::denorm_min(), u"1e-45"},
        {"infinity", std::numeric_limits<float>::infinity(), u"无穷大"},
        {"negative-infinity", -std::numeric_limits<float>::infinity(), u"-无穷大"},
        {"nan", std::numeric_limits<float>::quiet_NaN(), u"非数字"},
    };
    for (const Row &row : rows) {
        INFO("row ", row.name, ": ", describe(row.value));
        CHECK(singleToText(row.value) == row.expected);
    }
}

// Text -> double -> single rounds twice. For these two singles the shortest
// text that reads back directly as a single comes back one unit off through a
// double, so they must be shown with one digit more.
TEST_CASE_FIXTURE(RunLocale, "double-rounding values get one more digit")
{
    struct Row
    {
        std::string_view name;
        std::uint32_t bits;
        std::string_view expected;
    };
    const Row rows[]{
        {"positive", 0x15ae43fdU, "7.0385307e-26"},
        {"negative", 0x95ae43fdU, "-7.0385307e-26"},
    };
    for (const Row &row : rows) {
        const auto value = bitCast<float>(row.bits);
        INFO("row ", row.name, ": ", describe(value));
        const std::string text = singleToAscii(value);
        CHECK(text == row.expected);
        const ParsedNumber back = parseAsciiNumber(text);
        CHECK(back.status == ParseStatus::Number);
        CHECK(exactly(static_cast<float>(back.value)) == exactly(value));
    }
}
