#pragma once

// Small helpers shared by the tests: readable UTF-16 literals in QtTest data
// and bit-exact float comparison (QCOMPARE on floats is fuzzy).

#include <QString>
#include <QTest>

#include <bit>
#include <cstdint>
#include <string>

namespace tavrel::testing {

inline std::u16string u16(const QString &text)
{
    return text.toStdU16String();
}

inline QString q(std::u16string_view text)
{
    return QStringView(text).toString();
}

inline std::uint32_t bitsOf(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}
inline std::uint64_t bitsOf(double value)
{
    return std::bit_cast<std::uint64_t>(value);
}

} // namespace tavrel::testing
