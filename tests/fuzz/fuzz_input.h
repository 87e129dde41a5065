#pragma once

// Turning fuzzer bytes into box texts: the first byte picks the encoding
// (even: UTF-16, little-endian byte pairs; odd: UTF-8, converted by the same
// rules the toolkit uses, with malformed sequences becoming U+FFFD).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrel::fuzz {

std::u16string utf8ToUtf16(const std::uint8_t *data, std::size_t size);

// The whole input as one text.
std::u16string textFrom(const std::uint8_t *data, std::size_t size);

// The input as up to `count` texts, split at U+FFFF (a noncharacter, so no
// text a person types contains it).
std::vector<std::u16string> textsFrom(const std::uint8_t *data, std::size_t size,
                                      std::size_t count);

} // namespace tavrel::fuzz
