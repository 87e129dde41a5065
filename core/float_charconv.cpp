#include "core/float_charconv.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <system_error>

#if TAVREL_FLOAT_CHARCONV_FALLBACK
#include <dragonbox/dragonbox.h>
#include <fast_float/fast_float.h>
#endif

#if !TAVREL_STD_FLOAT_CHARCONV && !TAVREL_FLOAT_CHARCONV_FALLBACK
#error "neither the standard library nor the fallback converts floating-point numbers"
#endif

namespace tavrel::core::charconv {

#if TAVREL_STD_FLOAT_CHARCONV
namespace standard {

std::from_chars_result parseDouble(const char *first, const char *last, double &value) noexcept
{
    return std::from_chars(first, last, value);
}

std::string shortestScientific(float value)
{
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific);
    return {buffer.data(), result.ptr};
}

std::string scientific(float value, int precision)
{
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::scientific, precision);
    return {buffer.data(), result.ptr};
}

} // namespace standard
#endif

#if TAVREL_FLOAT_CHARCONV_FALLBACK
namespace fallback {

namespace {

bool hasNonZeroDigit(std::string_view mantissa)
{
    return mantissa.find_first_of("123456789") != std::string_view::npos;
}

// The exponent as std::to_chars writes it: a sign and at least two digits.
std::string exponentSuffix(int exponent)
{
    std::string text = exponent < 0 ? "e-" : "e+";
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10)
        text += '0';
    text += std::to_string(magnitude);
    return text;
}

// "d.ddd" + exponent from the digits of an integer significand.
std::string fromDigits(bool negative, const std::string &digits, int exponentOfFirstDigit)
{
    std::string text = negative ? "-" : "";
    text += digits.front();
    if (digits.size() > 1) {
        text += '.';
        text.append(digits, 1);
    }
    return text + exponentSuffix(exponentOfFirstDigit);
}

} // namespace

// fast_float reports no range errors: it gives an infinity for a text beyond
// the double range and a zero for one below the smallest subnormal, as the
// correctly rounded result. Those two are mapped to the standard's error
// here; an infinity or zero can only come out that way, since the grammar
// the core accepts has neither "inf" nor a way to write a zero with a
// non-zero digit.
std::from_chars_result parseDouble(const char *first, const char *last, double &value) noexcept
{
    double parsed = 0.0;
    const auto result = fast_float::from_chars(first, last, parsed);
    if (result.ec != std::errc())
        return {result.ptr, result.ec};
    const std::string_view text(first, static_cast<std::size_t>(result.ptr - first));
    const std::string_view mantissa = text.substr(0, text.find_first_of("eE"));
    if (std::isinf(parsed) || (parsed == 0.0 && hasNonZeroDigit(mantissa)))
        return {result.ptr, std::errc::result_out_of_range};
    value = parsed;
    return {result.ptr, std::errc()};
}

std::string shortestScientific(float value)
{
    if (value == 0.0f)
        return std::signbit(value) ? "-0e+00" : "0e+00";
    // Dragonbox's defaults match the standard's shortest form: the fewest
    // digits that read back, the nearest of those, ties to even, no
    // trailing zeros.
    const auto decimal = jkj::dragonbox::to_decimal(value);
    const std::string digits = std::to_string(decimal.significand);
    return fromDigits(decimal.is_negative, digits,
                      decimal.exponent + static_cast<int>(digits.size()) - 1);
}

// C's %e is the definition std::to_chars refers to for a given precision.
// It writes the locale's radix character, so only its digits and exponent
// are kept.
std::string scientific(float value, int precision)
{
    std::array<char, 64> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.*e", precision,
                                     static_cast<double>(value));
    const std::string_view text(buffer.data(), static_cast<std::size_t>(length));
    const auto e = text.find('e');
    std::string digits;
    for (const char c : text.substr(0, e))
        if (c >= '0' && c <= '9')
            digits += c;
    int exponent = 0;
    const std::string_view exponentText = text.substr(e + 1);
    std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                    exponentText.data() + exponentText.size(), exponent);
    return fromDigits(std::signbit(value), digits, exponent);
}

} // namespace fallback
#endif

#if TAVREL_STD_FLOAT_CHARCONV
namespace chosen = standard;
#else
namespace chosen = fallback;
#endif
// Where the standard library's parsing cannot be trusted to round once (see
// TAVREL_PARSE_WITH_FALLBACK in core/CMakeLists.txt), texts are parsed with
// fast_float, compiled here with the core's own SSE2 arithmetic.
#if TAVREL_PARSE_WITH_FALLBACK
namespace chosenParser = fallback;
#else
namespace chosenParser = chosen;
#endif

std::from_chars_result parseDouble(const char *first, const char *last, double &value) noexcept
{
    return chosenParser::parseDouble(first, last, value);
}

std::string shortestScientific(float value)
{
    return chosen::shortestScientific(value);
}

std::string scientific(float value, int precision)
{
    return chosen::scientific(value, precision);
}

} // namespace tavrel::core::charconv
