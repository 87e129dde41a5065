// Every finite single, shown as text and read back through the program's own
// text-to-number conversion and rounding to single, is exactly the same single.

#include "core_test_support.h"
#include "core/conversions.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

using namespace tavrel::core;
using namespace tavrel::testing;

namespace {

// The singles are swept in 256 rows, one per value of the top byte (the sign
// and the exponent's high seven bits), so a failure names the range it is in.
constexpr std::uint32_t rowCount = 256;
constexpr std::uint64_t rowSize = std::uint64_t{1} << 24;

struct RowResult
{
    std::uint64_t checked = 0;
    std::uint64_t failures = 0;
    std::uint32_t firstFailure = 0;
};

RowResult sweepRow(std::uint32_t topByte)
{
    RowResult result;
    const std::uint64_t begin = std::uint64_t{topByte} << 24;
    for (std::uint64_t bits = begin; bits < begin + rowSize; ++bits) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        if (!std::isfinite(value))
            continue;
        ++result.checked;
        const ParsedNumber back = parseAsciiNumber(singleToAscii(value));
        const bool same
            = back.status == ParseStatus::Number && bitsOf(static_cast<float>(back.value)) == bits;
        if (!same && result.failures++ == 0)
            result.firstFailure = static_cast<std::uint32_t>(bits);
    }
    return result;
}

// Rows go to one worker per hardware thread, each taking the next row not yet
// taken, so a slow row does not hold the others up. Every worker writes only
// the slots of the rows it took; the checks run after all have joined.
std::vector<RowResult> sweepAllRows(unsigned workerCount)
{
    std::vector<RowResult> rows(rowCount);
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
    return rows;
}

std::string rowName(std::uint32_t topByte)
{
    return hexDigits(topByte, 2) + "000000";
}

} // namespace

TEST_CASE("every finite single reads back exactly")
{
    const unsigned workerCount = std::max(1U, std::thread::hardware_concurrency());
    const auto start = std::chrono::steady_clock::now();
    const std::vector<RowResult> rows = sweepAllRows(workerCount);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    MESSAGE("swept in ", elapsed.count(), " s by ", workerCount, " workers");

    std::uint64_t checked = 0;
    for (std::uint32_t top = 0; top < rowCount; ++top) {
        const RowResult &row = rows[top];
        INFO("row ", rowName(top));
        INFO(row.failures, " singles do not read back; the first: ",
             describe(std::bit_cast<float>(row.firstFailure)));
        CHECK(row.failures == 0);
        // The upper half of the rows whose exponent bits are all ones holds
        // the infinities and NaNs; every other row is finite throughout.
        const bool holdsNonFinite = (top & 0x7FU) == 0x7FU;
        CHECK(row.checked == (holdsNonFinite ? rowSize / 2 : rowSize));
        checked += row.checked;
    }
    CHECK(checked
          == (std::uint64_t{1} << 32) - (std::uint64_t{1} << 24)); // all but 2^24 non-finite
}
