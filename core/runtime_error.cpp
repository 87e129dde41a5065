#include "core/runtime_error.h"

#include <algorithm>

namespace tavrel::core {

RuntimeError::RuntimeError(ErrorKind kind) : kind_(kind) { }

RuntimeError::RuntimeError(ErrorKind kind, Box source, std::u16string_view text)
    : kind_(kind), source_(source), text_(text)
{ }

namespace {

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

// "评委3" for Text3; the result boxes are never a score's source, but name
// them plainly all the same rather than invent a judge.
std::u16string sourceName(Box box)
{
    const int k = numberOf(box);
    if (k >= 1 && k <= judgeCount)
        return u"评委" + std::u16string(1, static_cast<char16_t>(u'0' + k));
    return u"文本框" + std::u16string(1, static_cast<char16_t>(u'0' + k));
}

} // namespace

std::u16string quotedExcerpt(std::u16string_view text, std::size_t maxChars)
{
    // A cut text keeps at least one unit before the "…": below 2 the cut
    // would fall before the text's start.
    const std::size_t limit = std::max<std::size_t>(maxChars, 2);
    std::u16string quoted = u"“";
    if (text.size() <= limit) {
        quoted += text;
    } else {
        std::size_t cut = limit - 1;
        if (isHighSurrogate(text[cut - 1]))
            --cut; // never split a surrogate pair
        quoted += text.substr(0, cut);
        quoted += u"…";
    }
    quoted += u"”";
    return quoted;
}

std::u16string RuntimeError::message() const
{
    if (source_) {
        const std::u16string who = sourceName(*source_);
        switch (kind_) {
        case ErrorKind::EmptyNumber:
            return who + u"的成绩是空的，请输入一个数字。";
        case ErrorKind::InvalidNumber:
            return who + u"的成绩" + quotedExcerpt(text_) + u"不是有效的数字。";
        case ErrorKind::Overflow:
            return who + u"的成绩" + quotedExcerpt(text_) + u"太大，超出了可以计算的范围。";
        case ErrorKind::InvalidOperation:
            break;
        }
    }
    switch (kind_) {
    case ErrorKind::Overflow:
        return u"计算溢出：分数之和超出了可以计算的范围。";
    case ErrorKind::InvalidOperation:
        return u"无效的浮点运算，无法计算最终得分。";
    case ErrorKind::EmptyNumber:
    case ErrorKind::InvalidNumber:
        break;
    }
    return u"成绩不是有效的数字。";
}

const char *RuntimeError::what() const noexcept
{
    switch (kind_) {
    case ErrorKind::EmptyNumber:
        return "empty score";
    case ErrorKind::InvalidNumber:
        return "score is not a number";
    case ErrorKind::Overflow:
        return "floating-point overflow";
    case ErrorKind::InvalidOperation:
        return "invalid floating-point operation";
    }
    return "run-time error";
}

void raiseFloatingPointError(ErrorKind kind)
{
    throw RuntimeError(kind);
}

} // namespace tavrel::core
