#pragma once

// std::bit_cast, or where the standard library predates it (the libc++ 13 of
// the WebAssembly toolchain), the compiler built-in it is made of.

#include <bit>
#include <type_traits>

namespace tavrel::core {

template<typename To, typename From>
requires(sizeof(To) == sizeof(From)
         && std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>) constexpr To
    bitCast(const From &from) noexcept
{
#if defined(__cpp_lib_bit_cast)
    return std::bit_cast<To>(from);
#else
    return __builtin_bit_cast(To, from);
#endif
}

} // namespace tavrel::core
