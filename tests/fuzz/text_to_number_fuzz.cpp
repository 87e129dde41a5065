// Text to number on any text: never crashes or reads out of bounds; whatever
// it accepts it reads identically once the full-width forms are written in
// ASCII; and an accepted score shows as a text that reads back to itself.

#include "core/conversions.h"
#include "fuzz_input.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// The input-method forms the conversion accepts, written as ASCII.
std::u16string withAsciiForms(std::u16string text)
{
    for (char16_t &c : text) {
        if (c >= u'\uFF01' && c <= u'\uFF5E')
            c = static_cast<char16_t>(c - 0xFEE0);
        else if (c == u'\u3000')
            c = u' ';
        else if (c == u'\u3002')
            c = u'.';
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tavrel::core;
    const std::u16string text = tavrel::fuzz::textFrom(data, size);
    const ParsedNumber parsed = parseNumber(text);
    if (parsed.status == ParseStatus::Invalid)
        return 0;

    const ParsedNumber ascii = parseNumber(withAsciiForms(text));
    if (ascii.status != parsed.status
        || std::bit_cast<std::uint64_t>(ascii.value) != std::bit_cast<std::uint64_t>(parsed.value))
        std::abort();

    const auto score = static_cast<float>(parsed.value);
    if (parsed.status == ParseStatus::Number && std::isfinite(score)) {
        const ParsedNumber back = parseNumber(singleToText(score));
        if (back.status != ParseStatus::Number
            || std::bit_cast<std::uint32_t>(static_cast<float>(back.value))
                != std::bit_cast<std::uint32_t>(score))
            std::abort();
    }
    return 0;
}
