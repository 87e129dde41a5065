#pragma once

#include "core/box_texts.h"

#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel::core {

// What went wrong, for the one kind of run-time error the program knows.
enum class ErrorKind {
    EmptyNumber, // a score box holds no text, or only white space
    InvalidNumber, // a score box holds something that is not a number
    Overflow, // a value beyond the range the arithmetic can hold
    InvalidOperation, // an arithmetic result that is not a number
};

// A run-time error ends the click that raised it at once; no command catches
// it. The click dispatch shows its message and the program goes on with every
// box as the click left it.
//
// An error about one score names the box it came from and keeps that box's
// text, so the message can tell the user which judge's entry to correct.
class RuntimeError final : public std::exception
{
public:
    // An error in the arithmetic itself, not tied to one box.
    explicit RuntimeError(ErrorKind kind);
    // An error about the text read from `source`.
    RuntimeError(ErrorKind kind, Box source, std::u16string_view text);

    [[nodiscard]] ErrorKind kind() const noexcept { return kind_; }
    [[nodiscard]] std::optional<Box> source() const noexcept { return source_; }

    // The message for the user, in Simplified Chinese.
    [[nodiscard]] std::u16string message() const;

    // A short ASCII description for logs and test output; not shown to users.
    [[nodiscard]] const char *what() const noexcept override;

private:
    ErrorKind kind_;
    std::optional<Box> source_;
    std::u16string text_;
};

// The floating-point run-time error: raised when a check finds an invalid
// operation or an overflow. (The third exception a check looks for, a
// division by zero, cannot happen: the only divisor is the constant 3.)
[[noreturn]] void raiseFloatingPointError(ErrorKind kind);

// A quotation of `text` short enough for a message: at most `maxChars`
// UTF-16 units, cut at a character boundary and marked with "…" when cut.
// A limit below 2 counts as 2 (one unit and the "…").
[[nodiscard]] std::u16string quotedExcerpt(std::u16string_view text, std::size_t maxChars = 16);

} // namespace tavrel::core
