// Text to number on any text: never crashes or reads out of bounds; whatever
// it accepts it reads identically once the full-width forms are written in
// ASCII; and an accepted score shows as a text that reads back to itself.
// What it refuses, the error message quotes: the excerpt stays within its
// limit (any limit, the last byte's value), never splits a surrogate pair,
// and is the text's own beginning.

#include "core/conversions.h"
#include "core/runtime_error.h"
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

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

void checkExcerpt(const std::u16string &text, std::size_t limit)
{
    const std::u16string quoted = tavrel::core::quotedExcerpt(text, limit);
    const std::u16string_view open = u"\u201C";
    const std::u16string_view close = u"\u201D";
    const std::u16string_view ellipsis = u"\u2026";
    if (quoted.size() < open.size() + close.size() || !quoted.starts_with(open)
        || !quoted.ends_with(close))
        std::abort();
    std::u16string_view inner(quoted);
    inner = inner.substr(open.size(), inner.size() - open.size() - close.size());
    if (inner == text)
        return;
    // Cut: a beginning of the text, then the ellipsis, within the limit
    // (which counts as at least 2).
    if (!inner.ends_with(ellipsis))
        std::abort();
    const std::u16string_view kept = inner.substr(0, inner.size() - ellipsis.size());
    const std::size_t within = limit < 2 ? 2 : limit;
    if (inner.size() > within || text.size() <= within
        || std::u16string_view(text).substr(0, kept.size()) != kept
        || (!kept.empty() && isHighSurrogate(kept.back()) && isLowSurrogate(text[kept.size()])))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tavrel::core;
    const std::u16string text = tavrel::fuzz::textFrom(data, size);
    checkExcerpt(text, size > 0 ? data[size - 1] : 16);
    const ParsedNumber parsed = parseNumber(text);
    if (parsed.status == ParseStatus::Invalid) {
        // The message the user sees, as the error box would get it.
        if (RuntimeError(ErrorKind::InvalidNumber, boxNumber(1), text).message().empty())
            std::abort();
        return 0;
    }

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
