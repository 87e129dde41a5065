#pragma once

#include <string>
#include <string_view>

namespace tavrel::core {

// The modal prompt: shows `message` under `title` with an empty answer field
// and waits for the user. Returns the text typed, unchanged, or an empty text
// when the prompt is dismissed without confirming.
class Prompt
{
public:
    virtual ~Prompt() = default;

    [[nodiscard]] virtual std::u16string ask(std::u16string_view message, std::u16string_view title)
        = 0;

protected:
    Prompt() = default;
    Prompt(const Prompt &) = default;
    Prompt &operator=(const Prompt &) = default;
    Prompt(Prompt &&) = default;
    Prompt &operator=(Prompt &&) = default;
};

} // namespace tavrel::core
