// The browser's conversions against the standard library's, on the same
// bytes: the fallback (fast_float, Dragonbox) must parse every decimal text
// to the same double, with the same error and the same end, and give every
// finite single the same shortest digits. The exhaustive test proves the
// digits for every single; this reaches the texts no sweep lists (40,000
// digits, exponents far out of range, half-way cases with long tails).

#include "core/float_charconv.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#if !TAVREL_STD_FLOAT_CHARCONV || !TAVREL_FLOAT_CHARCONV_FALLBACK
#error "the differential target needs both conversion paths (libfast-float-dev, libdragonbox-dev)"
#endif

namespace {

namespace charconv = tavrel::core::charconv;

// The core hands the parser only texts of digits, one point and an
// exponent (it checks the grammar first and strips one "+"); "inf" or
// "nan(...)" never reach it, and there the two libraries may differ.
bool isDecimalText(std::string_view text)
{
    return text.find_first_not_of("0123456789.eE+-") == std::string_view::npos;
}

void compareParsing(std::string_view text)
{
    // A value neither parser makes, so an untouched one shows.
    constexpr double untouched = -0.125;
    double standardValue = untouched;
    double fallbackValue = untouched;
    const auto standard
        = charconv::standard::parseDouble(text.data(), text.data() + text.size(), standardValue);
    const auto fallback
        = charconv::fallback::parseDouble(text.data(), text.data() + text.size(), fallbackValue);
    if (standard.ec != fallback.ec || standard.ptr != fallback.ptr
        || std::bit_cast<std::uint64_t>(standardValue)
            != std::bit_cast<std::uint64_t>(fallbackValue))
        std::abort();
}

void compareShortestDigits(const std::uint8_t *data, std::size_t size)
{
    if (size < sizeof(std::uint32_t))
        return;
    std::uint32_t bits = 0;
    std::memcpy(&bits, data, sizeof bits);
    const auto value = std::bit_cast<float>(bits);
    if (!std::isfinite(value))
        return;
    if (charconv::standard::shortestScientific(value)
        != charconv::fallback::shortestScientific(value))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    if (isDecimalText(text))
        compareParsing(text);
    compareShortestDigits(data, size);
    return 0;
}
