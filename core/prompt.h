#pragma once

#include <string>
#include <string_view>

namespace tavrel::core {

// The captions of the runtime's dialog buttons, the same on every platform
// and in every display language: the prompt's two, and the error report's
// one, which confirms.
inline constexpr std::u16string_view confirmCaption = u"确定";
inline constexpr std::u16string_view cancelCaption = u"取消";

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
