#include "core/conversions.h"

#include "core/bits.h"
#include "core/float_charconv.h"
#include "core/runtime_error.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <system_error>

namespace tavrel::core {

namespace {

// The ASCII character a typed UTF-16 unit stands for, a plain space for any
// accepted white space, or nothing when the unit can never be part of a
// number (so a long pasted text is rejected at its first foreign character).
std::optional<char> asciiEquivalent(char16_t c)
{
    constexpr char16_t fullWidthOffset = 0xFEE0; // U+FF01 … U+FF5E mirror ASCII 0x21 … 0x7E
    switch (c) {
    case u' ':
    case u'\t':
    case u'\u00A0':
    case u'\u3000':
        return ' ';
    case u'\u3002': // 。 typed for a full stop by some input-method settings
        return '.';
    case u'＋':
    case u'－':
    case u'．':
    case u'ｅ':
    case u'Ｅ':
        c = static_cast<char16_t>(c - fullWidthOffset);
        break;
    default:
        if (c >= u'０' && c <= u'９')
            c = static_cast<char16_t>(c - fullWidthOffset);
        break;
    }
    if ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E')
        return static_cast<char>(c);
    return std::nullopt;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Checks the grammar of an already trimmed ASCII text (std::from_chars alone
// would accept "inf" and "nan" and stop silently at the first stray character).
bool isDecimalNumber(std::string_view s)
{
    std::size_t i = 0;
    const auto digitsFrom = [&](std::size_t start) {
        while (i < s.size() && isDigit(s[i]))
            ++i;
        return i - start;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t mantissaDigits = digitsFrom(i);
    if (i < s.size() && s[i] == '.') {
        ++i;
        mantissaDigits += digitsFrom(i);
    }
    if (mantissaDigits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (digitsFrom(i) == 0)
            return false;
    }
    return i == s.size();
}

// For a grammatical text that std::from_chars found out of range: whether its
// value is at least 1 in magnitude (an overflow) rather than below 1 (an
// underflow). Decided from the digits, since from_chars leaves no value.
bool magnitudeAtLeastOne(std::string_view s)
{
    std::size_t i = (s.front() == '+' || s.front() == '-') ? 1 : 0;
    long long significantIntegerDigits = 0;
    long long zerosAfterPoint = 0; // before the first non-zero digit
    bool nonZeroSeen = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        nonZeroSeen = nonZeroSeen || s[i] != '0';
        if (nonZeroSeen)
            ++significantIntegerDigits;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i) {
            if (!nonZeroSeen && s[i] == '0')
                ++zerosAfterPoint;
            nonZeroSeen = nonZeroSeen || s[i] != '0';
        }
    }
    if (!nonZeroSeen)
        return false;
    // The decimal exponent of the first non-zero digit, before the exponent part.
    const long long leading
        = significantIntegerDigits > 0 ? significantIntegerDigits - 1 : -(zerosAfterPoint + 1);
    constexpr long long saturation = 1'000'000'000'000;
    long long exponent = 0;
    bool negativeExponent = false;
    if (i < s.size()) { // at 'e' or 'E'
        ++i;
        if (s[i] == '+' || s[i] == '-')
            negativeExponent = s[i++] == '-';
        for (; i < s.size(); ++i)
            exponent = std::min(saturation, exponent * 10 + (s[i] - '0'));
    }
    return leading + (negativeExponent ? -exponent : exponent) >= 0;
}

} // namespace

ParsedNumber parseAsciiNumber(std::string_view text) noexcept
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {ParseStatus::Empty};
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (!isDecimalNumber(text))
        return {ParseStatus::Invalid};

    const bool negative = text.front() == '-';
    if (text.front() == '+')
        text.remove_prefix(1); // from_chars takes no leading plus
    double value = 0.0;
    const auto [ptr, ec] = charconv::parseDouble(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (magnitudeAtLeastOne(text))
            return {ParseStatus::Overflow};
        return {ParseStatus::Number, negative ? -0.0 : 0.0};
    }
    if (ec != std::errc() || ptr != text.data() + text.size())
        return {ParseStatus::Invalid};
    return {ParseStatus::Number, value};
}

ParsedNumber parseNumber(std::u16string_view text) noexcept
{
    std::string ascii;
    try {
        ascii.reserve(text.size());
    } catch (...) {
        return {ParseStatus::Invalid};
    }
    for (const char16_t c : text) {
        const std::optional<char> mapped = asciiEquivalent(c);
        if (!mapped)
            return {ParseStatus::Invalid};
        ascii.push_back(*mapped);
    }
    return parseAsciiNumber(ascii);
}

double textToNumber(std::u16string_view text, Box source)
{
    const ParsedNumber parsed = parseNumber(text);
    switch (parsed.status) {
    case ParseStatus::Number:
        return parsed.value;
    case ParseStatus::Empty:
        throw RuntimeError(ErrorKind::EmptyNumber, source, text);
    case ParseStatus::Overflow:
        throw RuntimeError(ErrorKind::Overflow, source, text);
    case ParseStatus::Invalid:
        break;
    }
    throw RuntimeError(ErrorKind::InvalidNumber, source, text);
}

namespace {

bool readsBackAs(std::string_view text, float value)
{
    const ParsedNumber parsed = parseAsciiNumber(text);
    return parsed.status == ParseStatus::Number
        && bitCast<std::uint32_t>(static_cast<float>(parsed.value))
        == bitCast<std::uint32_t>(value);
}

// The parts of std::to_chars' scientific form: "-1.2345679e+08" has the
// sign "-", the digits "12345679" and the exponent 8.
struct ScientificParts
{
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

ScientificParts splitScientific(std::string_view text)
{
    ScientificParts parts;
    if (text.front() == '-') {
        parts.negative = true;
        text.remove_prefix(1);
    }
    const auto e = text.find('e');
    for (const char c : text.substr(0, e))
        if (c != '.')
            parts.digits.push_back(c);
    const std::string_view exponent = text.substr(e + 1);
    std::from_chars(exponent.data() + (exponent.front() == '+' ? 1 : 0),
                    exponent.data() + exponent.size(), parts.exponent);
    return parts;
}

// The same digits in plain notation: 1.2345679e8 -> "123456790",
// 1.5e-5 -> "0.000015".
std::string plainNotation(const ScientificParts &parts)
{
    std::string text = parts.negative ? "-" : "";
    const auto digitCount = static_cast<int>(parts.digits.size());
    if (parts.exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-parts.exponent - 1), '0');
        text += parts.digits;
    } else if (parts.exponent + 1 >= digitCount) {
        text += parts.digits;
        text.append(static_cast<std::size_t>(parts.exponent + 1 - digitCount), '0');
    } else {
        const auto integerDigits = static_cast<std::size_t>(parts.exponent) + 1;
        text += parts.digits.substr(0, integerDigits);
        text += '.';
        text += parts.digits.substr(integerDigits);
    }
    return text;
}

// Scientific notation with a bare exponent: 9.9999997e37, 7e-26.
std::string exponentNotation(const ScientificParts &parts)
{
    std::string text = parts.negative ? "-" : "";
    text += parts.digits.front();
    if (parts.digits.size() > 1) {
        text += '.';
        text += parts.digits.substr(1);
    }
    text += 'e';
    text += std::to_string(parts.exponent);
    return text;
}

} // namespace

std::string singleToAscii(float value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";

    // The fewest significant digits that read back as a single directly.
    // Reading through a double first rounds twice, which for a very few
    // values lands one unit off; those get the next longer digits that
    // survive both roundings (nine digits always do).
    std::string digits = charconv::shortestScientific(value);
    for (int precision = 0; !readsBackAs(digits, value) && precision < 9; ++precision)
        digits = charconv::scientific(value, precision);

    const float magnitude = std::fabs(value);
    const bool plain = magnitude == 0.0f || (magnitude >= 1e-5f && magnitude < 1e15f);
    const ScientificParts parts = splitScientific(digits);
    return plain ? plainNotation(parts) : exponentNotation(parts);
}

std::u16string singleToText(float value)
{
    if (std::isnan(value))
        return u"非数字";
    if (std::isinf(value))
        return value < 0 ? u"-无穷大" : u"无穷大";
    const std::string ascii = singleToAscii(value);
    return {ascii.begin(), ascii.end()};
}

} // namespace tavrel::core
