#pragma once

// The core keeps texts as UTF-16 in char16_t; the Windows API takes the same
// UTF-16 units as wchar_t. These copy between the two, unit for unit, so a
// text crosses unchanged, unpaired surrogates included.

#include <string>
#include <string_view>

namespace tavrel::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows keeps UTF-16 in wchar_t");

[[nodiscard]] inline std::wstring toWide(std::u16string_view text)
{
    std::wstring wide(text.size(), L'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        wide[i] = static_cast<wchar_t>(text[i]);
    return wide;
}

[[nodiscard]] inline std::u16string fromWide(std::wstring_view text)
{
    std::u16string units(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        units[i] = static_cast<char16_t>(text[i]);
    return units;
}

} // namespace tavrel::win32
