// Text to number against a public corpus of decimal strings with their
// correctly rounded binary values: every line gives the double exactly, and
// the score (that double rounded to single) is the single nearest the double.
// The corpus is part of the source tree (tests/data/parse-number-fxx), so a
// missing or empty file is a failure, not a reason to skip.

#include "core/conversions.h"
#include "core_test_support.h"

#include <doctest/doctest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

using namespace tavrel::core;
using namespace tavrel::testing;

namespace {

struct FileResult
{
    int checked = 0;
    int overflows = 0;
    std::vector<std::string> twiceRounded;
    std::vector<std::string> failures;
};

std::string_view trimmed(std::string_view line)
{
    const auto first = line.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = line.find_last_not_of(" \t\r\n");
    return line.substr(first, last - first + 1);
}

template<typename Unsigned> bool readHex(std::string_view digits, Unsigned &value)
{
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    return result.ec == std::errc() && result.ptr == digits.data() + digits.size();
}

// Each line: F16 F32 F64 F128 STRING, at fixed columns; see the corpus's README.
void checkLine(std::string_view line, FileResult &result)
{
    std::uint32_t single = 0;
    std::uint64_t bits = 0;
    const std::string_view text = line.substr(64);
    const std::string shown(text.substr(0, 40));
    if (!readHex(line.substr(5, 8), single) || !readHex(line.substr(14, 16), bits)) {
        result.failures.push_back(shown + ": unreadable line");
        return;
    }
    const ParsedNumber parsed = parseAsciiNumber(text);
    ++result.checked;

    const auto expected = bitCast<double>(bits);
    if (std::isinf(expected)) {
        ++result.overflows;
        if (parsed.status != ParseStatus::Overflow)
            result.failures.push_back(shown + ": no overflow");
        return;
    }
    if (parsed.status != ParseStatus::Number || bitsOf(parsed.value) != bits) {
        result.failures.push_back(shown + ": wrong double");
        return;
    }
    const std::uint32_t score = bitsOf(static_cast<float>(parsed.value));
    if (score != bitsOf(static_cast<float>(expected)))
        result.failures.push_back(shown + ": wrong single");
    else if (score != single) // rounded twice, decimal -> double -> single
        result.twiceRounded.push_back(shown);
}

std::string joined(const std::vector<std::string> &lines, std::size_t most)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size() && i < most; ++i)
        out += (i == 0 ? "" : "; ") + lines[i];
    return out;
}

} // namespace

TEST_CASE("every line of the decimal corpus rounds correctly")
{
    const std::filesystem::path corpus(TAVREL_DECIMAL_CORPUS);
    INFO("corpus folder ", corpus.string());
    REQUIRE(std::filesystem::is_directory(corpus));

    const std::string_view files[]{
        "freetype-2-7.txt",    "google-wuffs.txt",      "lemire-fast-float.txt",
        "more-test-cases.txt", "tencent-rapidjson.txt",
    };
    int total = 0;
    for (const std::string_view name : files) {
        INFO("file ", name);
        std::ifstream in(corpus / name, std::ios::binary);
        CHECK(in.is_open());
        FileResult result;
        std::string raw;
        while (std::getline(in, raw)) {
            const std::string_view line = trimmed(raw);
            if (line.size() > 64)
                checkLine(line, result);
        }
        MESSAGE(name, ": ", result.checked, " lines checked, ", result.overflows,
                " beyond the double range");
        for (const std::string &line : result.twiceRounded)
            MESSAGE("rounded twice, differs from the direct single: ", line);
        CHECK(result.checked > 0);
        INFO(result.failures.size(), " failures, the first: ", joined(result.failures, 10));
        CHECK(result.failures.empty());
        total += result.checked;
    }
    MESSAGE(total, " lines checked in all");
}
