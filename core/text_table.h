#pragma once

#include "core/box_texts.h"

#include <array>
#include <initializer_list>
#include <string>

namespace tavrel::core {

// Eight texts and nothing else: the boxes without a window.
class TextTable final : public BoxTexts
{
public:
    TextTable() = default;
    // The first texts, in box order from Text1; the rest start empty.
    TextTable(std::initializer_list<std::u16string_view> firstTexts);

    [[nodiscard]] std::u16string text(Box box) const override;
    void setText(Box box, std::u16string_view text) override;

    friend bool operator==(const TextTable &a, const TextTable &b) { return a.texts_ == b.texts_; }

private:
    std::array<std::u16string, boxCount> texts_;
};

} // namespace tavrel::core
