// Every finite single, shown as text and read back through the program's own
// text-to-number conversion and rounding to single, is exactly the same single,
// and no text with fewer digits would do. Where both are built, the fallback
// conversions (fast_float, Dragonbox) give exactly what the standard library
// gives. A build that cannot afford every single (WebAssembly under Node)
// takes every TAVREL_SWEEP_STRIDE-th.

#include "core/conversions.h"
#include "core/float_charconv.h"
#include "core_test_support.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

using namespace tavrel::core;
using namespace tavrel::testing;

namespace {

// The singles are swept in 256 rows, one per value of the top byte (the sign
// and the exponent's high seven bits), so a failure names the range it is in.
constexpr std::uint32_t rowCount = 256;
constexpr std::uint64_t rowSize = std::uint64_t{1} << 24;
#ifndef TAVREL_SWEEP_STRIDE
#define TAVREL_SWEEP_STRIDE 1
#endif
constexpr std::uint64_t stride = TAVREL_SWEEP_STRIDE;
static_assert(stride >= 1);

// One kind of failure: how often, and the first single that showed it.
struct FailureCount
{
    std::uint64_t count = 0;
    std::uint32_t first = 0;

    void note(bool failed, std::uint64_t bits)
    {
        if (failed && count++ == 0)
            first = static_cast<std::uint32_t>(bits);
    }
};

struct RowResult
{
    std::uint64_t checked = 0;
    FailureCount readBack; // the text reads back as another single
    FailureCount tooLong; // a shorter text would have read back
    FailureCount fallbackDiffers; // fast_float or Dragonbox disagree with <charconv>
};

// Significant digits of a text in either notation: "0.000015" and "1.5e-05"
// have two, "100000" and "1e+05" one.
std::size_t significantDigits(std::string_view text)
{
    std::string digits;
    for (const char c : text.substr(0, text.find('e')))
        if (c >= '0' && c <= '9')
            digits += c;
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 1;
    return digits.find_last_not_of('0') - first + 1;
}

bool readsBack(const std::string &text, std::uint64_t bits)
{
    const ParsedNumber back = parseAsciiNumber(text);
    return back.status == ParseStatus::Number && bitsOf(static_cast<float>(back.value)) == bits;
}

// The text has as many digits as the shortest that identifies the single,
// or, where reading through a double rounds that one to a neighbour, one
// more.
bool isShortest(const std::string &text, float value, std::uint64_t bits)
{
    const std::string shortest = charconv::shortestScientific(value);
    const std::size_t textDigits = significantDigits(text);
    const std::size_t shortestDigits = significantDigits(shortest);
    return textDigits == shortestDigits
        || (textDigits == shortestDigits + 1 && !readsBack(shortest, bits));
}

#if TAVREL_STD_FLOAT_CHARCONV && TAVREL_FLOAT_CHARCONV_FALLBACK
// Both paths of the three operations: the shortest digits and, where both
// are in use, the parsing of the text, for every single. The fixed-precision
// digits, which the conversion asks for only in the rare double-rounding
// case and whose fallback is C's printf, are compared for every 61st single,
// at a precision that goes round with the bits so that all nine come up.
bool fallbackAgrees(const std::string &text, float value, std::uint64_t bits)
{
    if (charconv::standard::shortestScientific(value)
        != charconv::fallback::shortestScientific(value))
        return false;
    if (const int precision = static_cast<int>(bits % 9); bits % 61 == 0
        && charconv::standard::scientific(value, precision)
            != charconv::fallback::scientific(value, precision))
        return false;
#if TAVREL_PARSE_WITH_FALLBACK
    // The standard library's parsing is not used in this build because it
    // rounds twice here; the conversions tests hold rows it gets wrong.
    static_cast<void>(text);
    return true;
#else
    double viaStandard = 0.0;
    double viaFallback = 1.0;
    const char *const end = text.data() + text.size();
    const auto standard = charconv::standard::parseDouble(text.data(), end, viaStandard);
    const auto fallback = charconv::fallback::parseDouble(text.data(), end, viaFallback);
    return standard.ec == fallback.ec && standard.ptr == fallback.ptr
        && bitsOf(viaStandard) == bitsOf(viaFallback);
#endif
}
#endif

RowResult sweepRow(std::uint32_t topByte)
{
    RowResult result;
    const std::uint64_t begin = std::uint64_t{topByte} << 24;
    for (std::uint64_t bits = begin; bits < begin + rowSize; bits += stride) {
        const auto value = bitCast<float>(static_cast<std::uint32_t>(bits));
        if (!std::isfinite(value))
            continue;
        ++result.checked;
        const std::string text = singleToAscii(value);
        result.readBack.note(!readsBack(text, bits), bits);
        result.tooLong.note(!isShortest(text, value, bits), bits);
#if TAVREL_STD_FLOAT_CHARCONV && TAVREL_FLOAT_CHARCONV_FALLBACK
        result.fallbackDiffers.note(!fallbackAgrees(text, value, bits), bits);
#endif
    }
    return result;
}

// Rows go to one worker per hardware thread, each taking the next row not yet
// taken, so a slow row does not hold the others up. Every worker writes only
// the slots of the rows it took; the checks run after all have joined.
std::vector<RowResult> sweepAllRows(unsigned workerCount)
{
    std::vector<RowResult> rows(rowCount);
    if (workerCount <= 1) { // also where there are no threads (WebAssembly)
        for (std::uint32_t top = 0; top < rowCount; ++top)
            rows[top] = sweepRow(top);
        return rows;
    }
#if !defined(__EMSCRIPTEN__) || defined(__EMSCRIPTEN_PTHREADS__)
    std::atomic<std::uint32_t> nextRow{0};
    {
        std::vector<std::jthread> workers;
        for (unsigned w = 0; w < workerCount; ++w) {
            workers.emplace_back([&rows, &nextRow] {
                for (std::uint32_t top = nextRow++; top < rowCount; top = nextRow++)
                    rows[top] = sweepRow(top);
            });
        }
    }
#endif
    return rows;
}

std::string rowName(std::uint32_t topByte)
{
    return hexDigits(topByte, 2) + "000000";
}

std::string describeFailures(const FailureCount &failures)
{
    if (failures.count == 0)
        return "none";
    return std::to_string(failures.count)
        + ", the first: " + describe(bitCast<float>(failures.first));
}

// Singles in the row that the sweep visits: the finite ones at the stride.
std::uint64_t expectedInRow(std::uint32_t topByte)
{
    // The upper half of the rows whose exponent bits are all ones holds
    // the infinities and NaNs; every other row is finite throughout.
    const bool holdsNonFinite = (topByte & 0x7FU) == 0x7FU;
    const std::uint64_t finite = holdsNonFinite ? rowSize / 2 : rowSize;
    return (finite + stride - 1) / stride;
}

} // namespace

TEST_CASE("every finite single reads back exactly, from its shortest text")
{
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    const unsigned workerCount = 1;
#else
    const unsigned workerCount = std::max(1U, std::thread::hardware_concurrency());
#endif
    const auto start = std::chrono::steady_clock::now();
    const std::vector<RowResult> rows = sweepAllRows(workerCount);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    MESSAGE("swept in ", elapsed.count(), " s by ", workerCount, " workers");

    std::uint64_t checked = 0;
    for (std::uint32_t top = 0; top < rowCount; ++top) {
        const RowResult &row = rows[top];
        INFO("row ", rowName(top));
        INFO("singles that do not read back: ", describeFailures(row.readBack));
        INFO("texts longer than needed: ", describeFailures(row.tooLong));
        INFO("fallback differs from <charconv>: ", describeFailures(row.fallbackDiffers));
        CHECK(row.readBack.count == 0);
        CHECK(row.tooLong.count == 0);
        CHECK(row.fallbackDiffers.count == 0);
        CHECK(row.checked == expectedInRow(top));
        checked += row.checked;
    }
    if constexpr (stride == 1)
        CHECK(checked
              == (std::uint64_t{1} << 32) - (std::uint64_t{1} << 24)); // all but 2^24 non-finite
}
