// Text to number and single to text, as the score boxes use them.

#include "runtime/conversions.h"
#include "runtime/runtime_error.h"
#include "test_support.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace tavrel;
using namespace tavrel::testing;

Q_DECLARE_METATYPE(tavrel::ParseStatus)

class ConversionsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void localeUnderTest();
    void acceptsTypedNumbers_data();
    void acceptsTypedNumbers();
    void rejectsEverythingElse_data();
    void rejectsEverythingElse();
    void errorsNameTheJudgeAndQuoteTheText_data();
    void errorsNameTheJudgeAndQuoteTheText();
    void singleToText_data();
    void singleToText();
    void doubleRoundingValuesGetOneMoreDigit();
};

// Under the comma-locale run the C library really must use a decimal comma,
// or that run would prove nothing.
void ConversionsTest::localeUnderTest()
{
    if (std::getenv("TAVREL_EXPECT_COMMA_LOCALE") == nullptr)
        QSKIP("not the comma-locale run");
    QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
    QCOMPARE(std::strtod("85.5", nullptr), 85.0); // what a locale-bound parser would do
}

void ConversionsTest::acceptsTypedNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("whole") << QStringLiteral("85") << 85.0;
    QTest::newRow("fraction") << QStringLiteral("85.5") << 85.5;
    QTest::newRow("negative") << QStringLiteral("-5") << -5.0;
    QTest::newRow("explicit-plus") << QStringLiteral("+7.25") << 7.25;
    QTest::newRow("leading-point") << QStringLiteral(".5") << 0.5;
    QTest::newRow("trailing-point") << QStringLiteral("5.") << 5.0;
    QTest::newRow("exponent") << QStringLiteral("1e2") << 100.0;
    QTest::newRow("exponent-upper-signed") << QStringLiteral("25E-1") << 2.5;
    QTest::newRow("exponent-plus") << QStringLiteral("1.5e+1") << 15.0;
    QTest::newRow("leading-zeros") << QStringLiteral("007") << 7.0;
    QTest::newRow("spaces-around") << QStringLiteral("  90  ") << 90.0;
    QTest::newRow("tab-and-nbsp") << QStringLiteral("\t90\u00A0") << 90.0;
    QTest::newRow("ideographic-space") << QStringLiteral("\u300090\u3000") << 90.0;
    QTest::newRow("full-width-digits-point") << QStringLiteral("８５．５") << 85.5;
    QTest::newRow("ideographic-full-stop") << QStringLiteral("85。5") << 85.5;
    QTest::newRow("full-width-sign-exponent") << QStringLiteral("－１ｅ２") << -100.0;
    QTest::newRow("full-width-plus-upper-e") << QStringLiteral("＋２Ｅ１") << 20.0;
    QTest::newRow("mixed-widths") << QStringLiteral("9０.２5") << 90.25;
    QTest::newRow("correctly-rounded") << QStringLiteral("0.1") << 0.1;
    QTest::newRow("many-digits") << QStringLiteral("90.123456789") << 90.123456789;
    QTest::newRow("halfway-ties-to-even")
        << QStringLiteral("9007199254740993") << 9007199254740992.0;
    QTest::newRow("largest-double")
        << QStringLiteral("1.7976931348623157e308") << std::numeric_limits<double>::max();
    QTest::newRow("subnormal") << QStringLiteral("5e-324")
                               << std::numeric_limits<double>::denorm_min();
    QTest::newRow("underflow-reads-zero") << QStringLiteral("1e-400") << 0.0;
    QTest::newRow("underflow-keeps-sign") << QStringLiteral("-1e-400") << -0.0;
    QTest::newRow("huge-exponent-tiny") << QStringLiteral("1e-99999999999999999999") << 0.0;
    QTest::newRow("zeros-then-big-exponent") << QStringLiteral("0.000001e6") << 1.0;
    QTest::newRow("zero-huge-exponent") << QStringLiteral("0e999999") << 0.0;
}

void ConversionsTest::acceptsTypedNumbers()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const ParsedNumber parsed = parseNumber(u16(text));
    QCOMPARE(parsed.status, ParseStatus::Number);
    QCOMPARE(bitsOf(parsed.value), bitsOf(expected));
}

void ConversionsTest::rejectsEverythingElse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ParseStatus>("expected");

    QTest::newRow("empty") << QString() << ParseStatus::Empty;
    QTest::newRow("spaces-only") << QStringLiteral("   ") << ParseStatus::Empty;
    QTest::newRow("ideographic-spaces-only")
        << QStringLiteral("\u3000\u3000") << ParseStatus::Empty;
    QTest::newRow("letters") << QStringLiteral("abc") << ParseStatus::Invalid;
    QTest::newRow("unit-after") << QStringLiteral("85分") << ParseStatus::Invalid;
    QTest::newRow("decimal-comma") << QStringLiteral("1,5") << ParseStatus::Invalid;
    QTest::newRow("hexadecimal") << QStringLiteral("0x10") << ParseStatus::Invalid;
    QTest::newRow("inf") << QStringLiteral("inf") << ParseStatus::Invalid;
    QTest::newRow("infinity") << QStringLiteral("-Infinity") << ParseStatus::Invalid;
    QTest::newRow("nan") << QStringLiteral("nan") << ParseStatus::Invalid;
    QTest::newRow("exponent-without-digits") << QStringLiteral("1e") << ParseStatus::Invalid;
    QTest::newRow("exponent-sign-only") << QStringLiteral("1e+") << ParseStatus::Invalid;
    QTest::newRow("sign-only") << QStringLiteral("-") << ParseStatus::Invalid;
    QTest::newRow("point-only") << QStringLiteral(".") << ParseStatus::Invalid;
    QTest::newRow("double-sign") << QStringLiteral("--5") << ParseStatus::Invalid;
    QTest::newRow("plus-minus") << QStringLiteral("+-5") << ParseStatus::Invalid;
    QTest::newRow("two-points") << QStringLiteral("1.2.3") << ParseStatus::Invalid;
    QTest::newRow("inner-space") << QStringLiteral("8 5") << ParseStatus::Invalid;
    QTest::newRow("sign-then-space") << QStringLiteral("- 5") << ParseStatus::Invalid;
    QTest::newRow("exponent-point") << QStringLiteral("1e2.5") << ParseStatus::Invalid;
    QTest::newRow("circled-digit") << QStringLiteral("①") << ParseStatus::Invalid;
    QTest::newRow("superscript-digit") << QStringLiteral("²") << ParseStatus::Invalid;
    QTest::newRow("arabic-indic-digit") << QStringLiteral("٥") << ParseStatus::Invalid;
    QTest::newRow("chinese-numeral") << QStringLiteral("九十") << ParseStatus::Invalid;
    QTest::newRow("newline-after") << QStringLiteral("85\n") << ParseStatus::Invalid;
    QTest::newRow("nul-inside") << QString(QStringLiteral("8") + QChar(u'\0') + QStringLiteral("5"))
                                << ParseStatus::Invalid;
    QTest::newRow("right-to-left-mark") << QStringLiteral("\u200F85") << ParseStatus::Invalid;
    QTest::newRow("lone-surrogate") << QString(QChar(0xD800)) << ParseStatus::Invalid;
    QTest::newRow("beyond-double") << QStringLiteral("1e400") << ParseStatus::Overflow;
    QTest::newRow("beyond-double-negative") << QStringLiteral("-2e308") << ParseStatus::Overflow;
    QTest::newRow("beyond-double-by-digits")
        << QString(QStringLiteral("1") + QString(400, u'0')) << ParseStatus::Overflow;
    QTest::newRow("huge-exponent")
        << QStringLiteral("1e99999999999999999999") << ParseStatus::Overflow;
}

void ConversionsTest::rejectsEverythingElse()
{
    QFETCH(QString, text);
    QFETCH(ParseStatus, expected);
    QCOMPARE(parseNumber(u16(text)).status, expected);
}

void ConversionsTest::errorsNameTheJudgeAndQuoteTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("judge");
    QTest::addColumn<QString>("message");

    QTest::newRow("invalid") << QStringLiteral("abc") << 3
                             << QStringLiteral("评委3的成绩“abc”不是有效的数字。");
    QTest::newRow("empty") << QString() << 1
                           << QStringLiteral("评委1的成绩是空的，请输入一个数字。");
    QTest::newRow("beyond-double")
        << QStringLiteral("1e400") << 5
        << QStringLiteral("评委5的成绩“1e400”太大，超出了可以计算的范围。");
    QTest::newRow("long-text-shortened")
        << QStringLiteral("abcdefghijklmnopqrstuvwxyz") << 2
        << QStringLiteral("评委2的成绩“abcdefghijklmno…”不是有效的数字。");
    // Fifteen units would end in the first half of the pair; the cut moves before it.
    QTest::newRow("cut-keeps-surrogate-pair")
        << QString(QString(14, u'x') + QStringLiteral("😀yz")) << 4
        << QString(QStringLiteral("评委4的成绩“") + QString(14, u'x')
                   + QStringLiteral("…”不是有效的数字。"));
}

void ConversionsTest::errorsNameTheJudgeAndQuoteTheText()
{
    QFETCH(QString, text);
    QFETCH(int, judge);
    QFETCH(QString, message);
    try {
        (void)textToNumber(u16(text), boxNumber(judge));
        QFAIL("no run-time error");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.source(), std::optional<Box>(boxNumber(judge)));
        QCOMPARE(q(error.message()), message);
    }
}

void ConversionsTest::singleToText_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("whole") << 90.0f << QStringLiteral("90");
    QTest::newRow("negative") << -5.0f << QStringLiteral("-5");
    QTest::newRow("zero") << 0.0f << QStringLiteral("0");
    QTest::newRow("negative-zero") << -0.0f << QStringLiteral("-0");
    QTest::newRow("263/3") << 263.0f / 3.0f << QStringLiteral("87.666664");
    QTest::newRow("235/3") << 235.0f / 3.0f << QStringLiteral("78.333336");
    QTest::newRow("one-decimal") << 97.8f << QStringLiteral("97.8");
    QTest::newRow("more-digits-than-single") << 90.123456789f << QStringLiteral("90.12346");
    QTest::newRow("hundred-thousand-plain") << 100000.0f << QStringLiteral("100000");
    // The fewest significant digits, not the exact value 123456792.
    QTest::newRow("large-plain") << 123456789.0f << QStringLiteral("123456790");
    QTest::newRow("below-plain-limit") << 1e14f << QStringLiteral("100000000000000");
    QTest::newRow("plain-limit") << 1e15f << QStringLiteral("1e15");
    QTest::newRow("small-plain") << 0.00001f << QStringLiteral("0.00001");
    QTest::newRow("small-plain-digits") << -0.000015f << QStringLiteral("-0.000015");
    QTest::newRow("fraction-inside-digits") << 1234.5f << QStringLiteral("1234.5");
    QTest::newRow("tiny-scientific") << 0.000001f << QStringLiteral("1e-6");
    QTest::newRow("huge-scientific") << 1e38f << QStringLiteral("1e38");
    QTest::newRow("largest-single")
        << std::numeric_limits<float>::max() << QStringLiteral("3.4028235e38");
    QTest::newRow("smallest-subnormal")
        << std::numeric_limits<float>::denorm_min() << QStringLiteral("1e-45");
    QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << QStringLiteral("无穷大");
    QTest::newRow("negative-infinity")
        << -std::numeric_limits<float>::infinity() << QStringLiteral("-无穷大");
    QTest::newRow("nan") << std::numeric_limits<float>::quiet_NaN() << QStringLiteral("非数字");
}

void ConversionsTest::singleToText()
{
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(q(tavrel::singleToText(value)), expected);
}

// Text -> double -> single rounds twice. For these two singles the shortest
// text that reads back directly as a single comes back one unit off through a
// double, so they must be shown with one digit more.
void ConversionsTest::doubleRoundingValuesGetOneMoreDigit()
{
    for (const std::uint32_t bits : {0x15ae43fdU, 0x95ae43fdU}) {
        const auto value = std::bit_cast<float>(bits);
        const std::string text = singleToAscii(value);
        const ParsedNumber back = parseAsciiNumber(text);
        QCOMPARE(back.status, ParseStatus::Number);
        QCOMPARE(bitsOf(static_cast<float>(back.value)), bits);
        QCOMPARE(QByteArray::fromStdString(text),
                 QByteArray(bits & 0x80000000U ? "-7.0385307e-26" : "7.0385307e-26"));
    }
}

QTEST_GUILESS_MAIN(ConversionsTest)
#include "conversions_test.moc"
