#include "core/text_table.h"

#include <algorithm>
#include <cstddef>

namespace tavrel::core {

namespace {
std::size_t slotOf(Box box)
{
    return static_cast<std::size_t>(numberOf(box) - 1);
}
} // namespace

TextTable::TextTable(std::initializer_list<std::u16string_view> firstTexts)
{
    std::copy_n(firstTexts.begin(), std::min(firstTexts.size(), texts_.size()), texts_.begin());
}

std::u16string TextTable::text(Box box) const
{
    return texts_.at(slotOf(box));
}

void TextTable::setText(Box box, std::u16string_view text)
{
    texts_.at(slotOf(box)) = text;
}

} // namespace tavrel::core
