#pragma once

// The two conversions between box texts and numbers.
//
// Text to number
// --------------
// Accepted, after optional white space (space, tab, no-break space U+00A0,
// ideographic space U+3000) on either side:
//
//     [+|-] ( digits [ "." [digits] ] | "." digits ) [ (e|E) [+|-] digits ]
//
// A Chinese input method types full-width forms, so ０–９, ＋, －, ．, ｅ and Ｅ
// stand for their ASCII counterparts and the ideographic full stop 。 for the
// decimal point: "８５．５" and "85。5" both read as 85.5. Nothing else is a
// number: no "inf" or "nan", no hexadecimal, no digit grouping, no decimal
// comma, no unit after the number, and the decimal point is "." whatever the
// process locale says.
//
// The value is the double nearest the decimal text (round to nearest, ties to
// even), computed by std::from_chars (or fast_float where the standard library
// lacks it: see float_charconv.h). A text whose value lies beyond the double
// range is an overflow; one too small for the smallest subnormal reads as a
// zero of its sign.
//
// Single to text
// --------------
// The shortest text that the conversion above reads back, after rounding the
// double to single, as exactly the same single. Always "." as the decimal
// point; plain notation for 1e-5 <= |x| < 1e15 and for zero (100000 gives
// "100000", 263/3 gives "87.666664"), scientific notation with a bare
// exponent outside that range (the single nearest 1e38 gives "1e38", the one
// nearest 7e-26 gives "7e-26"). A very few singles need one digit more than
// their shortest text, because reading through a double rounds twice. An infinity shows as "无穷大"
// or "-无穷大", a NaN as "非数字"; the scoring rules never let either reach a box.
//
// The arithmetic is IEEE 754 binary32 and binary64 with round to nearest; the
// build refuses a target that evaluates in extended precision.

#include "core/box_texts.h"

#include <cfloat>
#include <string>
#include <string_view>

static_assert(FLT_EVAL_METHOD == 0, "float and double arithmetic must not use extended precision");
static_assert(sizeof(float) == 4 && FLT_MANT_DIG == 24, "float must be IEEE binary32");
static_assert(sizeof(double) == 8 && DBL_MANT_DIG == 53, "double must be IEEE binary64");

namespace tavrel::core {

enum class ParseStatus { Number, Empty, Invalid, Overflow };

struct ParsedNumber
{
    ParseStatus status = ParseStatus::Invalid;
    double value = 0.0; // meaningful only when status is Number
};

// The text-to-number grammar above, reporting instead of raising. Never
// throws; reads only inside `text`.
[[nodiscard]] ParsedNumber parseNumber(std::u16string_view text) noexcept;

// The same for ASCII text only (no full-width forms).
[[nodiscard]] ParsedNumber parseAsciiNumber(std::string_view text) noexcept;

// Text to number as the commands use it: the text of `source`, converted or a
// run-time error naming that box (empty, not a number, or beyond the double
// range).
[[nodiscard]] double textToNumber(std::u16string_view text, Box source);

// Single to text, as above.
[[nodiscard]] std::u16string singleToText(float value);

// The same text in ASCII (never fails for a finite value).
[[nodiscard]] std::string singleToAscii(float value);

} // namespace tavrel::core
