#include "fuzz_input.h"

namespace tavrel::fuzz {

std::u16string utf8ToUtf16(const std::uint8_t *data, std::size_t size)
{
    std::u16string out;
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t lead = data[i];
        std::size_t length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            length = 1;
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            c = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            c = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            c = lead & 0x07;
        }
        bool valid = length > 0 && i + length <= size;
        for (std::size_t k = 1; valid && k < length; ++k) {
            valid = (data[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (data[i + k] & 0x3F);
        }
        if (!valid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
        i += length;
    }
    return out;
}

std::u16string textFrom(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return {};
    if (data[0] % 2 == 1)
        return utf8ToUtf16(data + 1, size - 1);
    std::u16string out;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        out.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    return out;
}

std::vector<std::u16string> textsFrom(const std::uint8_t *data, std::size_t size, std::size_t count)
{
    std::vector<std::u16string> texts(1);
    for (const char16_t c : textFrom(data, size)) {
        if (c == u'\uFFFF' && texts.size() < count)
            texts.emplace_back();
        else if (c != u'\uFFFF')
            texts.back().push_back(c);
    }
    texts.resize(count);
    return texts;
}

} // namespace tavrel::fuzz
