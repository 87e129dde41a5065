#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tavrel::core {

// The eight text boxes of the window, by the names the window gives them.
// Text1 … Text5 hold the judges' scores; Text6 … Text8 show the results.
enum class Box { Text1 = 1, Text2, Text3, Text4, Text5, Text6, Text7, Text8 };

inline constexpr int boxCount = 8;
inline constexpr int judgeCount = 5;

// Box k for k in 1 … 8.
constexpr Box boxNumber(int k)
{
    return static_cast<Box>(k);
}
constexpr int numberOf(Box box)
{
    return static_cast<int>(box);
}

// The box's name in the window description ("Text1" … "Text8"), by which
// every front-end finds its control.
constexpr std::string_view nameOf(Box box)
{
    constexpr std::array<std::string_view, boxCount> names{"Text1", "Text2", "Text3", "Text4",
                                                           "Text5", "Text6", "Text7", "Text8"};
    return names.at(static_cast<std::size_t>(numberOf(box) - 1));
}

// The texts of the boxes are the program's whole state. The commands reach
// them only through this interface, so they run the same against the window
// and against a plain table of texts.
//
// Texts are UTF-16, as the toolkit keeps them, so a box's text passes through
// unchanged, unpaired surrogates included.
class BoxTexts
{
public:
    virtual ~BoxTexts() = default;

    [[nodiscard]] virtual std::u16string text(Box box) const = 0;
    virtual void setText(Box box, std::u16string_view text) = 0;

protected:
    BoxTexts() = default;
    BoxTexts(const BoxTexts &) = default;
    BoxTexts &operator=(const BoxTexts &) = default;
    BoxTexts(BoxTexts &&) = default;
    BoxTexts &operator=(BoxTexts &&) = default;
};

} // namespace tavrel::core
