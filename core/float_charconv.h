#pragma once

// The three floating-point <charconv> operations the conversions build on,
// from the standard library where it has them and from well-kept libraries
// where it does not (the libc++ of the WebAssembly toolchain declares them
// deleted). CMake finds out which when it configures the build:
//   TAVREL_STD_FLOAT_CHARCONV   1: the standard library's are used
//   TAVREL_FLOAT_CHARCONV_FALLBACK  1: the fallback is compiled as well
// Both paths are declared here so that the host's exhaustive test can run
// them side by side; the rest of the core calls only the unqualified ones.
//
// Every text is in std::to_chars' scientific form: "-1.2345679e+08".

#include <charconv>
#include <string>

namespace tavrel::core::charconv {

// std::from_chars(first, last, value) for chars_format::general: the double
// nearest the decimal text, result_out_of_range (value untouched) when it
// lies beyond the double range or rounds to zero from a non-zero text.
[[nodiscard]] std::from_chars_result parseDouble(const char *first, const char *last,
                                                 double &value) noexcept;
// std::to_chars(…, value, chars_format::scientific): the fewest digits that
// identify the single among all singles.
[[nodiscard]] std::string shortestScientific(float value);
// std::to_chars(…, value, chars_format::scientific, precision): exactly
// `precision` digits after the point, correctly rounded.
[[nodiscard]] std::string scientific(float value, int precision);

#if TAVREL_STD_FLOAT_CHARCONV
namespace standard {
[[nodiscard]] std::from_chars_result parseDouble(const char *first, const char *last,
                                                 double &value) noexcept;
[[nodiscard]] std::string shortestScientific(float value);
[[nodiscard]] std::string scientific(float value, int precision);
} // namespace standard
#endif

#if TAVREL_FLOAT_CHARCONV_FALLBACK
namespace fallback {
[[nodiscard]] std::from_chars_result parseDouble(const char *first, const char *last,
                                                 double &value) noexcept;
[[nodiscard]] std::string shortestScientific(float value);
[[nodiscard]] std::string scientific(float value, int precision);
} // namespace fallback
#endif

} // namespace tavrel::core::charconv
