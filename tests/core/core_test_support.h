#pragma once

// What the core's tests share: bit-exact comparison of floating-point values
// (a comparison with a tolerance would pass a result one unit off) and
// readable failure output for the core's types. UTF-16 texts print as UTF-8,
// so a failed check shows the Chinese text itself; an unpaired surrogate,
// which has no UTF-8 form, prints as \uXXXX.

#include "core/bits.h"
#include "core/box_texts.h"
#include "core/conversions.h"
#include "core/runtime_error.h"

#include <doctest/doctest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace tavrel::testing {

inline std::uint32_t bitsOf(float value)
{
    return core::bitCast<std::uint32_t>(value);
}
inline std::uint64_t bitsOf(double value)
{
    return core::bitCast<std::uint64_t>(value);
}

// A value compared by its bits: +0 and -0 differ, and a NaN equals itself.
template<typename Float> struct Exactly
{
    Float value;
    friend bool operator==(Exactly a, Exactly b) { return bitsOf(a.value) == bitsOf(b.value); }
};
inline Exactly<float> exactly(float value)
{
    return {value};
}
inline Exactly<double> exactly(double value)
{
    return {value};
}

inline std::string hexDigits(std::uint64_t value, int width)
{
    std::array<char, 16> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value, 16);
    std::string text(digits.data(), result.ptr);
    if (std::cmp_less(text.size(), width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    text.insert(0, "0x");
    return text;
}

// "0x42af5555 = 0x1.5eaaaap+6 = 87.666664": the bits, the exact value and
// the shortest decimal. std::to_chars, unlike printf, ignores the locale, so
// the comma-locale run prints the same.
template<typename Float> std::string describe(Float value)
{
    std::array<char, 64> buffer{};
#if TAVREL_STD_FLOAT_CHARCONV
    const auto hex = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::hex);
    std::string hexFloat(buffer.data(), hex.ptr);
    const std::size_t digitsAt = hexFloat.front() == '-' ? 1 : 0;
    if (hexFloat[digitsAt] >= '0' && hexFloat[digitsAt] <= '9') // not "inf" or "nan"
        hexFloat.insert(digitsAt, "0x");
    const auto shortest = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    const std::string decimal(buffer.data(), shortest.ptr);
#else
    // A standard library without floating-point to_chars (WebAssembly) has
    // printf's forms, whose digits round-trip too; its locale is always "C".
    const auto print = [&buffer](const char *format, double x) {
        const int length = std::snprintf(buffer.data(), buffer.size(), format, x);
        return std::string(buffer.data(), static_cast<std::size_t>(length));
    };
    const std::string hexFloat = print("%a", static_cast<double>(value));
    const std::string decimal
        = print(sizeof(Float) == 4 ? "%.9g" : "%.17g", static_cast<double>(value));
#endif
    return hexDigits(bitsOf(value), 2 * static_cast<int>(sizeof(Float))) + " = " + hexFloat + " = "
        + decimal;
}

inline std::string utf8(std::u16string_view text)
{
    std::string out;
    const auto append = [&out](char32_t c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            append(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00));
            ++i;
        } else if (high || low) {
            out += "\\u" + hexDigits(unit, 4).substr(2);
        } else {
            append(unit);
        }
    }
    return out;
}

inline std::string quoted(std::u16string_view text)
{
    std::string out(1, '"');
    out += utf8(text);
    out += '"';
    return out;
}

inline const char *nameOf(core::ErrorKind kind)
{
    switch (kind) {
    case core::ErrorKind::EmptyNumber:
        return "EmptyNumber";
    case core::ErrorKind::InvalidNumber:
        return "InvalidNumber";
    case core::ErrorKind::Overflow:
        return "Overflow";
    case core::ErrorKind::InvalidOperation:
        return "InvalidOperation";
    }
    return "ErrorKind(?)";
}

inline const char *nameOf(core::ParseStatus status)
{
    switch (status) {
    case core::ParseStatus::Number:
        return "Number";
    case core::ParseStatus::Empty:
        return "Empty";
    case core::ParseStatus::Invalid:
        return "Invalid";
    case core::ParseStatus::Overflow:
        return "Overflow";
    }
    return "ParseStatus(?)";
}

} // namespace tavrel::testing

// doctest prints an enumeration as its number; these overloads, found by
// argument-dependent lookup, print its name instead.
namespace tavrel::core {
inline doctest::String toString(core::ErrorKind kind)
{
    return tavrel::testing::nameOf(kind);
}
inline doctest::String toString(core::ParseStatus status)
{
    return tavrel::testing::nameOf(status);
}
} // namespace tavrel::core

template<> struct doctest::StringMaker<std::u16string>
{
    static doctest::String convert(const std::u16string &text)
    {
        return tavrel::testing::quoted(text).c_str();
    }
};

template<typename Float> struct doctest::StringMaker<tavrel::testing::Exactly<Float>>
{
    static doctest::String convert(const tavrel::testing::Exactly<Float> &exact)
    {
        return tavrel::testing::describe(exact.value).c_str();
    }
};

template<> struct doctest::StringMaker<std::optional<tavrel::core::Box>>
{
    static doctest::String convert(const std::optional<tavrel::core::Box> &box)
    {
        if (!box)
            return "no box";
        return ("Text" + std::to_string(tavrel::core::numberOf(*box))).c_str();
    }
};
