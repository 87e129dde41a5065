// Every finite single, shown as text and read back through the program's own
// text-to-number conversion and rounding to single, is exactly the same single.

#include "runtime/conversions.h"

#include <QTest>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

using namespace tavrel;

namespace {

struct SweepResult
{
    std::uint64_t checked = 0;
    std::uint64_t failures = 0;
    std::uint32_t firstFailure = 0;
};

SweepResult sweep(std::uint64_t begin, std::uint64_t end)
{
    SweepResult result;
    for (std::uint64_t bits = begin; bits < end; ++bits) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        if (!std::isfinite(value))
            continue;
        ++result.checked;
        const ParsedNumber back = parseAsciiNumber(singleToAscii(value));
        const bool same = back.status == ParseStatus::Number
            && std::bit_cast<std::uint32_t>(static_cast<float>(back.value)) == bits;
        if (!same && result.failures++ == 0)
            result.firstFailure = static_cast<std::uint32_t>(bits);
    }
    return result;
}

} // namespace

// One row per value of the top byte (sign and the exponent's high seven bits):
// each row is a second or two of work, so no row comes near the test
// framework's per-function time limit however slow the machine, and a failure
// names the range it is in.
class SingleTextExhaustiveTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyFiniteSingleReadsBackExactly_data();
    void everyFiniteSingleReadsBackExactly();
};

void SingleTextExhaustiveTest::everyFiniteSingleReadsBackExactly_data()
{
    QTest::addColumn<std::uint32_t>("topByte");
    for (std::uint32_t top = 0; top < 256; ++top)
        QTest::addRow("0x%02x000000", top) << top;
}

void SingleTextExhaustiveTest::everyFiniteSingleReadsBackExactly()
{
    QFETCH(const std::uint32_t, topByte);
    constexpr std::uint64_t rowSize = std::uint64_t{1} << 24;
    const std::uint64_t first = std::uint64_t{topByte} << 24;
    const unsigned threads = std::max(1U, std::thread::hardware_concurrency());
    std::vector<SweepResult> results(threads);
    {
        std::vector<std::jthread> workers;
        for (unsigned t = 0; t < threads; ++t)
            workers.emplace_back([&results, t, threads, first] {
                results[t]
                    = sweep(first + rowSize * t / threads, first + rowSize * (t + 1) / threads);
            });
    }
    SweepResult total;
    for (const SweepResult &r : results) {
        if (r.failures > 0 && total.failures == 0)
            total.firstFailure = r.firstFailure;
        total.checked += r.checked;
        total.failures += r.failures;
    }
    QVERIFY2(total.failures == 0,
             qPrintable(QStringLiteral("%1 singles do not read back; first: 0x%2")
                            .arg(total.failures)
                            .arg(total.firstFailure, 8, 16, QLatin1Char('0'))));
    // The upper half of the rows whose exponent bits are all ones holds the
    // infinities and NaNs; every other row is finite throughout.
    const bool holdsNonFinite = (topByte & 0x7FU) == 0x7FU;
    QCOMPARE(total.checked, holdsNonFinite ? rowSize / 2 : rowSize);
}

QTEST_GUILESS_MAIN(SingleTextExhaustiveTest)
#include "single_text_exhaustive_test.moc"
