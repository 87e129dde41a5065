// The calculate command against a plain table of eight texts.

#include "runtime/runtime_error.h"
#include "runtime/text_table.h"
#include "scoring/calculate.h"
#include "test_support.h"

#include <QStringList>
#include <QTest>

using namespace tavrel;
using namespace tavrel::testing;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(tavrel::ErrorKind)

namespace {

// Result boxes hold a previous candidate's texts, so a test can see which of
// them a click changed.
TextTable tableWithScores(const QStringList &scores)
{
    TextTable table{u"", u"", u"", u"", u"", u"旧的最高分", u"旧的最低分", u"旧的平均分"};
    for (int k = 1; k <= judgeCount; ++k)
        table.setText(boxNumber(k), u16(scores.at(k - 1)));
    return table;
}

QStringList resultsOf(const TextTable &table)
{
    return {q(table.text(Box::Text6)), q(table.text(Box::Text7)), q(table.text(Box::Text8))};
}

} // namespace

class CalculateTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesHighestLowestAndTrimmedMean_data();
    void writesHighestLowestAndTrimmedMean();
    void runTimeErrorsLeaveBoxesAsTheyStood_data();
    void runTimeErrorsLeaveBoxesAsTheyStood();
    void scoreBoxesAreNeverWritten();
};

void CalculateTest::writesHighestLowestAndTrimmedMean_data()
{
    QTest::addColumn<QStringList>("scores");
    QTest::addColumn<QStringList>("results"); // Text6, Text7, Text8

    const auto row = [](const char *name, const QStringList &scores, const QStringList &results) {
        QTest::newRow(name) << scores << results;
    };
    row("panel-example", {u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s},
        {u"92"_s, u"78"_s, u"87.666664"_s});
    row("all-equal", {u"90"_s, u"90"_s, u"90"_s, u"90"_s, u"90"_s}, {u"90"_s, u"90"_s, u"90"_s});
    row("tie-removes-first-highest", {u"90"_s, u"95"_s, u"95"_s, u"80"_s, u"85"_s},
        {u"95"_s, u"80"_s, u"90"_s});
    row("tie-removes-first-lowest", {u"70"_s, u"80"_s, u"70"_s, u"90"_s, u"85"_s},
        {u"90"_s, u"70"_s, u"78.333336"_s});
    // The running sum is rounded to single after each addition, which moves
    // the last digit: the exact mean of the middle three would give 84.73333.
    row("single-precision-running-sum", {u"88.9"_s, u"69.2"_s, u"97.8"_s, u"96.1"_s, u"61.2"_s},
        {u"97.8"_s, u"61.2"_s, u"84.73334"_s});
    row("negative-is-lowest", {u"-5"_s, u"10"_s, u"20"_s, u"30"_s, u"40"_s},
        {u"40"_s, u"-5"_s, u"20"_s});
    row("more-digits-than-single", {u"90.123456789"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s},
        {u"90.12346"_s, u"1"_s, u"3"_s});
    row("full-width-and-spaces", {u"８５"_s, u"９０"_s, u" 78 "_s, u"９２．０"_s, u"\u300088"_s},
        {u"92"_s, u"78"_s, u"87.666664"_s});
    row("ideographic-full-stop", {u"85。5"_s, u"90"_s, u"80"_s, u"70"_s, u"60"_s},
        {u"90"_s, u"60"_s, u"78.5"_s});
    row("exponent-and-point-forms", {u"1e2"_s, u"5E1"_s, u".5"_s, u"5."_s, u"+7"_s},
        {u"100"_s, u"0.5"_s, u"20.666666"_s});
    // Position 1 is outside the running sum, so two large scores there and
    // at position 2 do not overflow it.
    row("large-first-scores", {u"3e38"_s, u"3e38"_s, u"1"_s, u"2"_s, u"3"_s},
        {u"3e38"_s, u"1"_s, u"1e38"_s});
    row("underflow-is-zero", {u"1e-400"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s},
        {u"4"_s, u"0"_s, u"2"_s});
    row("largest-single-alone", {u"3.4028235e38"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s},
        {u"3.4028235e38"_s, u"0"_s, u"0"_s});
}

void CalculateTest::writesHighestLowestAndTrimmedMean()
{
    QFETCH(QStringList, scores);
    QFETCH(QStringList, results);
    TextTable table = tableWithScores(scores);
    Command1_Click(table);
    QCOMPARE(resultsOf(table), results);

    // A second click on unchanged boxes writes the same texts again.
    Command1_Click(table);
    QCOMPARE(resultsOf(table), results);
}

void CalculateTest::runTimeErrorsLeaveBoxesAsTheyStood_data()
{
    QTest::addColumn<QStringList>("scores");
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<int>("source"); // 0: the arithmetic, not one box

    const auto row = [](const char *name, const QStringList &scores, ErrorKind kind, int source) {
        QTest::newRow(name) << scores << kind << source;
    };
    row("empty-box", {u"85"_s, u"90"_s, u""_s, u"92"_s, u"88"_s}, ErrorKind::EmptyNumber, 3);
    row("spaces-only", {u"   "_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s}, ErrorKind::EmptyNumber, 1);
    row("letters", {u"85"_s, u"90"_s, u"abc"_s, u"92"_s, u"88"_s}, ErrorKind::InvalidNumber, 3);
    row("unit-after-number", {u"85分"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s},
        ErrorKind::InvalidNumber, 1);
    row("decimal-comma", {u"85"_s, u"1,5"_s, u"78"_s, u"92"_s, u"88"_s}, ErrorKind::InvalidNumber,
        2);
    row("hexadecimal", {u"85"_s, u"90"_s, u"78"_s, u"0x10"_s, u"88"_s}, ErrorKind::InvalidNumber,
        4);
    row("infinity-word", {u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"inf"_s}, ErrorKind::InvalidNumber,
        5);
    row("nan-word", {u"nan"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s}, ErrorKind::InvalidNumber, 1);
    row("first-bad-box-reported", {u"85"_s, u"x"_s, u"78"_s, u""_s, u"88"_s},
        ErrorKind::InvalidNumber, 2);
    row("beyond-double", {u"85"_s, u"90"_s, u"1e400"_s, u"92"_s, u"88"_s}, ErrorKind::Overflow, 3);
    // Beyond the single range at any position: refused as it is read, so no
    // infinity reaches the results.
    row("beyond-single-first", {u"1e39"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s}, ErrorKind::Overflow,
        1);
    row("beyond-single-third", {u"85"_s, u"90"_s, u"-1e39"_s, u"92"_s, u"88"_s},
        ErrorKind::Overflow, 3);
    row("beyond-single-fifth", {u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"1e39"_s}, ErrorKind::Overflow,
        5);
    row("opposite-infinities", {u"85"_s, u"1e39"_s, u"-1e39"_s, u"92"_s, u"88"_s},
        ErrorKind::Overflow, 2);
    // Just past the largest single, the value rounds up to infinity.
    row("rounds-beyond-single", {u"3.4028236e38"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s},
        ErrorKind::Overflow, 1);
    // Pasted megabytes: refused as any other text, with nothing changed.
    const QString megabyte(1 << 20, u'9');
    row("megabyte-of-digits", {u"85"_s, megabyte, u"78"_s, u"92"_s, u"88"_s}, ErrorKind::Overflow,
        2);
    row("megabyte-of-text", {u"85"_s, u"90"_s, u"78"_s, u"9"_s + QString(1 << 20, u'x'), u"88"_s},
        ErrorKind::InvalidNumber, 4);
    row("control-character", {u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s},
        ErrorKind::InvalidNumber, 3);
    row("byte-order-mark", {u"﻿85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s},
        ErrorKind::InvalidNumber, 1);
    // Every score fits, but the running sum over positions 2 to 5 does not.
    row("running-sum-overflow", {u"1"_s, u"3e38"_s, u"3e38"_s, u"1"_s, u"1"_s}, ErrorKind::Overflow,
        0);
    row("running-sum-overflow-negative", {u"1"_s, u"1"_s, u"1"_s, u"-3e38"_s, u"-3e38"_s},
        ErrorKind::Overflow, 0);
}

void CalculateTest::runTimeErrorsLeaveBoxesAsTheyStood()
{
    QFETCH(QStringList, scores);
    QFETCH(ErrorKind, kind);
    QFETCH(int, source);
    TextTable table = tableWithScores(scores);
    const TextTable before = table;
    try {
        Command1_Click(table);
        QFAIL("no run-time error");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.kind(), kind);
        QCOMPARE(error.source(),
                 source == 0 ? std::nullopt : std::optional<Box>(boxNumber(source)));
        QVERIFY(!error.message().empty());
    }
    QVERIFY(table == before);
}

void CalculateTest::scoreBoxesAreNeverWritten()
{
    const QStringList scores{u" ８５ "_s, u"90.0"_s, u"7.8e1"_s, u"+92"_s, u"88。0"_s};
    TextTable table = tableWithScores(scores);
    Command1_Click(table);
    for (int k = 1; k <= judgeCount; ++k)
        QCOMPARE(q(table.text(boxNumber(k))), scores.at(k - 1));
    QCOMPARE(resultsOf(table), (QStringList{u"92"_s, u"78"_s, u"87.666664"_s}));
}

QTEST_GUILESS_MAIN(CalculateTest)
#include "calculate_test.moc"
