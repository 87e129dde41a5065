#pragma once

// Tavrel: one window for a judging panel.
//
// Five judges score a candidate. The scores are typed into Text1 … Text5 (or
// asked for one after another by "输入成绩"); a click on "计算" runs the
// calculate command, which drops one highest and one lowest score and shows
// them in Text6 and Text7 beside the mean of the middle three in Text8.
//
// The pieces, the same on every platform:
//  - Form1 (this table) is the window as data. Each front-end (qt/, win32/)
//    builds it from here as a passive view: it holds the controls, offers
//    its eight box texts to the commands as BoxTexts and its modal prompt as
//    Prompt, and forwards the two button clicks through its runtime's click
//    dispatch. It keeps no other state.
//  - Command2_Click (score_entry.h) asks for the five scores through the
//    modal prompt and fills Text1 … Text5 with the answers.
//  - Command1_Click (calculate.h) is the whole computation. It reads and
//    writes the boxes only through BoxTexts and the conversions
//    (conversions.h), so it runs unchanged against any window or against a
//    plain table of texts (text_table.h).
//  - A run-time error (runtime_error.h) ends the click that raised it; the
//    front-end's runtime shows its message (click_outcome.h), and the program
//    goes on with every box as the failed click left it.
//
// Flow of a click on "计算": the front-end's click -> its dispatchClick ->
// Command1_Click -> text() of Text1 … Text5 -> textToNumber -> the selection
// and sums -> singleToText -> setText() of Text6, Text7, Text8.
//
// The window, as data: every control of Form1 with its kind, container,
// caption, position, size (in twips, 1/1440 inch), tab index and font. The
// window is built from this table alone and never changes shape afterwards;
// only the texts of the eight text boxes change while it is open.

#include <array>
#include <cstddef>
#include <string_view>

namespace tavrel::core {

enum class ControlKind { PushButton, GroupFrame, TextBox, Label, Picture };
enum class Container { Form1, Frame1 };

// The faces the window asks for. Each stands for a family list with fallbacks
// (font_families.h), since the named faces belong to the platform, not to us.
enum class Face { Default, Song, Hei, Xinwei };

struct FontRequest
{
    Face face = Face::Default;
    double points = 0; // 0: the platform's default size
    bool bold = false;

    friend constexpr bool operator==(const FontRequest &, const FontRequest &) = default;
};

struct ControlEntry
{
    std::string_view name;
    ControlKind kind;
    Container container;
    std::u16string_view caption;
    int left, top, width, height; // twips, relative to the container's outer corner
    int tabIndex; // noTabIndex for the picture
    FontRequest font;
};

inline constexpr int twipsPerInch = 1440;
inline constexpr int standardDpi = 96; // 15 twips a pixel
inline constexpr int noTabIndex = -1;

// Twips to pixels at `dpi` dots per inch, rounded to nearest with halves away
// from zero (as Windows' MulDiv rounds). Every front-end places the window
// with it: at 96 dpi, and in the browser, each 15 twips make one pixel.
constexpr int twipsToPixels(int twips, int dpi = standardDpi)
{
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = twipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / twipsPerInch
                                        : -((-scaled + half) / twipsPerInch));
}
static_assert(twipsToPixels(8730) == 582 && twipsToPixels(6795) == 453);
static_assert(twipsToPixels(8730, 144) == 873 && twipsToPixels(10, 144) == 1);

inline constexpr std::u16string_view formTitle = u"Tavrel";
inline constexpr int formClientWidth = 8730;
inline constexpr int formClientHeight = 6795;

// The fonts by what they are for; the window's own font (the default) is
// what the frame and the judges' labels use.
inline constexpr FontRequest defaultFont{};
inline constexpr FontRequest enterScoresButtonFont{Face::Song, 14.25, true};
inline constexpr FontRequest finalScoreFont{Face::Song, 42, true};
inline constexpr FontRequest scoreBoxFont{Face::Song, 26.25, true};
inline constexpr FontRequest headingFont{Face::Song, 21.75, false};
inline constexpr FontRequest calculateButtonFont{Face::Xinwei, 21.75, false};
inline constexpr FontRequest resultBoxFont{Face::Hei, 18, false};
inline constexpr FontRequest resultLabelFont{Face::Hei, 14.25, false};
inline constexpr FontRequest finalScoreLabelFont{Face::Hei, 21.75, true};

using K = ControlKind;
using C = Container;

// In the order of the window description; apart from the three result labels,
// whose rectangles reach under the boxes beside them, no two controls overlap.
inline constexpr std::array<ControlEntry, 21> form1Controls{{
    {"Command2", K::PushButton, C::Form1, u"输入成绩", 7080, 840, 975, 735, 19,
     enterScoresButtonFont},
    {"Frame1", K::GroupFrame, C::Form1, u"", 600, 2160, 7455, 4575, 11, defaultFont},
    {"Text8", K::TextBox, C::Frame1, u"", 2760, 2760, 2415, 975, 18, finalScoreFont},
    {"Command1", K::PushButton, C::Frame1, u"计算", 5280, 840, 1455, 735, 16, calculateButtonFont},
    {"Text7", K::TextBox, C::Frame1, u"", 2760, 1320, 1455, 615, 15, resultBoxFont},
    {"Text6", K::TextBox, C::Frame1, u"", 2760, 480, 1455, 615, 13, resultBoxFont},
    {"Image1", K::Picture, C::Frame1, u"", 6240, 3480, 855, 855, noTabIndex, defaultFont},
    {"Label9", K::Label, C::Frame1, u"最终平均分", 360, 3000, 2535, 495, 17, finalScoreLabelFont},
    {"Label8", K::Label, C::Frame1, u"去掉一个最低分", 480, 1440, 2415, 375, 14, resultLabelFont},
    {"Label7", K::Label, C::Frame1, u"去掉一个最高分", 480, 600, 2415, 375, 12, resultLabelFont},
    {"Text5", K::TextBox, C::Form1, u"", 5880, 840, 855, 735, 5, scoreBoxFont},
    {"Text4", K::TextBox, C::Form1, u"", 4560, 840, 855, 735, 4, scoreBoxFont},
    {"Text3", K::TextBox, C::Form1, u"", 3240, 840, 855, 735, 3, scoreBoxFont},
    {"Text2", K::TextBox, C::Form1, u"", 1920, 840, 855, 735, 2, scoreBoxFont},
    {"Text1", K::TextBox, C::Form1, u"", 600, 840, 855, 735, 1, scoreBoxFont},
    {"Label6", K::Label, C::Form1, u"评委5", 6000, 1800, 615, 255, 10, defaultFont},
    {"Label5", K::Label, C::Form1, u"评委4", 4680, 1800, 615, 255, 9, defaultFont},
    {"Label4", K::Label, C::Form1, u"评委3", 3360, 1800, 615, 255, 8, defaultFont},
    {"Label3", K::Label, C::Form1, u"评委2", 2040, 1800, 615, 255, 7, defaultFont},
    {"Label2", K::Label, C::Form1, u"评委1", 720, 1800, 615, 255, 6, defaultFont},
    {"Label1", K::Label, C::Form1, u"评委的打分", 600, 240, 2775, 495, 0, headingFont},
}};

// The entry named `name`, looked up when the program is compiled: a name
// that is not in the table does not compile.
consteval const ControlEntry &controlNamed(std::string_view name)
{
    for (const ControlEntry &entry : form1Controls) {
        if (entry.name == name)
            return entry;
    }
    throw "no control of that name in form1Controls";
}

// The stamp's side: its picture box's, 57 pixels at 96 dpi.
inline constexpr int stampSideTwips = controlNamed("Image1").width;

// The label that names each text box for a screen reader: the judge under a
// score box, the caption beside a result box.
struct BoxLabel
{
    std::string_view box;
    std::string_view label;
};

inline constexpr std::array<BoxLabel, 8> boxLabels{{
    {"Text1", "Label2"},
    {"Text2", "Label3"},
    {"Text3", "Label4"},
    {"Text4", "Label5"},
    {"Text5", "Label6"},
    {"Text6", "Label7"},
    {"Text7", "Label8"},
    {"Text8", "Label9"},
}};

// The label that names `box`, and the box that `label` names; empty where
// there is none.
constexpr std::string_view labelNaming(std::string_view box)
{
    for (const BoxLabel &pair : boxLabels) {
        if (pair.box == box)
            return pair.label;
    }
    return {};
}

constexpr std::string_view boxNamedBy(std::string_view label)
{
    for (const BoxLabel &pair : boxLabels) {
        if (pair.label == label)
            return pair.box;
    }
    return {};
}

// The size of a font that asks for none (points 0): 9 points, what a
// Chinese Windows gives a window's controls.
inline constexpr double defaultPoints = 9.0;

constexpr double pointsOf(const FontRequest &font)
{
    return font.points > 0 ? font.points : defaultPoints;
}

// Form1's controls in tab order, as indices into form1Controls: by
// tabIndex, and the picture, which takes no focus, last. A front-end that
// creates its controls in this order gets the focus order with them.
inline constexpr std::array<std::size_t, form1Controls.size()> tabOrder = [] {
    const auto key = [](std::size_t index) {
        const int tab = form1Controls.at(index).tabIndex;
        return tab == noTabIndex ? static_cast<int>(form1Controls.size()) : tab;
    };
    std::array<std::size_t, form1Controls.size()> order{};
    for (std::size_t i = 0; i < order.size(); ++i) {
        std::size_t at = i; // insertion sort: stable, and constexpr everywhere
        while (at > 0 && key(order.at(at - 1)) > key(i)) {
            order.at(at) = order.at(at - 1);
            --at;
        }
        order.at(at) = i;
    }
    return order;
}();
static_assert(form1Controls[tabOrder.front()].name == "Label1");
static_assert(form1Controls[tabOrder.back()].name == "Image1");

} // namespace tavrel::core
