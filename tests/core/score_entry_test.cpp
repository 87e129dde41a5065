// The enter-scores command against scripted answers and a table of texts.
// (The real dialog, through the window, is the front-ends' test.)

#include "core_test_support.h"
#include "core/prompt.h"
#include "core/text_table.h"
#include "core/calculate.h"
#include "core/score_entry.h"

#include <doctest/doctest.h>

#include <array>
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

using namespace tavrel::core;
using namespace tavrel::testing;
using namespace std::string_literals;

namespace {

using ScoreTexts = std::array<std::u16string, judgeCount>;

ScoreTexts scoreTextsOf(const BoxTexts &boxes)
{
    ScoreTexts texts;
    for (int k = 1; k <= judgeCount; ++k)
        texts.at(static_cast<std::size_t>(k - 1)) = boxes.text(boxNumber(k));
    return texts;
}

// Gives the answers in turn and records what each prompt asked and what the
// score boxes held at that moment.
class ScriptedPrompt final : public Prompt
{
public:
    ScriptedPrompt(const ScoreTexts &answers, const BoxTexts &boxes)
        : boxes_(boxes), answers_(answers.begin(), answers.end())
    { }

    std::u16string ask(std::u16string_view message, std::u16string_view title) override
    {
        asked_.push_back(std::u16string(title) + u": " + std::u16string(message));
        boxesWhenAsked_.push_back(scoreTextsOf(boxes_));
        REQUIRE_MESSAGE(!answers_.empty(), "more prompts than answers");
        std::u16string answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    [[nodiscard]] const std::vector<std::u16string> &asked() const { return asked_; }
    [[nodiscard]] const std::vector<ScoreTexts> &boxesWhenAsked() const { return boxesWhenAsked_; }

private:
    const BoxTexts &boxes_;
    std::deque<std::u16string> answers_;
    std::vector<std::u16string> asked_;
    std::vector<ScoreTexts> boxesWhenAsked_;
};

std::string shown(const ScoreTexts &texts)
{
    std::string out;
    for (const std::u16string &text : texts)
        out += (out.empty() ? "" : ", ") + quoted(text);
    return out;
}

} // namespace

template<> struct doctest::StringMaker<ScoreTexts>
{
    static doctest::String convert(const ScoreTexts &texts) { return shown(texts).c_str(); }
};

TEST_CASE("fills the score boxes in order")
{
    struct Row
    {
        std::string_view name;
        ScoreTexts before;
        ScoreTexts answers;
    };
    const std::vector<Row> rows{
        {"panel-example", {}, {u"85", u"90", u"78", u"92", u"88"}},
        {"name-kept-unchanged", {}, {u"85", u"张三", u" 78 ", u"９２", u"88"}},
        {"earlier-contents-replaced",
         {u"1", u"2", u"3", u"4", u"5"},
         {u"85", u"90", u"78", u"92", u"88"}},
        // A dismissed prompt answers with an empty text, which replaces the old one.
        {"third-prompt-dismissed",
         {u"1", u"2", u"3", u"4", u"5"},
         {u"85", u"90", u"", u"92", u"88"}},
    };
    for (const Row &row : rows) {
        INFO("row ", row.name, ": answers ", shown(row.answers));
        TextTable boxes{row.before[0], row.before[1], row.before[2], row.before[3],
                        row.before[4], u"结果6",      u"结果7",      u"结果8"};
        ScriptedPrompt prompt(row.answers, boxes);
        Command2_Click(boxes, prompt);

        CHECK(scoreTextsOf(boxes) == row.answers);
        REQUIRE(prompt.asked().size() == std::size_t{judgeCount});
        for (const std::u16string &asked : prompt.asked())
            CHECK(asked == u"提示: 请输入成绩"s);
        // The results are not touched.
        CHECK(boxes.text(Box::Text6) == u"结果6"s);
        CHECK(boxes.text(Box::Text7) == u"结果7"s);
        CHECK(boxes.text(Box::Text8) == u"结果8"s);
    }
}

TEST_CASE("each answer is written before the next prompt")
{
    TextTable boxes{u"a", u"b", u"c", u"d", u"e"};
    ScriptedPrompt prompt({u"1", u"2", u"3", u"4", u"5"}, boxes);
    Command2_Click(boxes, prompt);
    const std::vector<ScoreTexts> expected{{u"a", u"b", u"c", u"d", u"e"},
                                           {u"1", u"b", u"c", u"d", u"e"},
                                           {u"1", u"2", u"c", u"d", u"e"},
                                           {u"1", u"2", u"3", u"d", u"e"},
                                           {u"1", u"2", u"3", u"4", u"e"}};
    REQUIRE(prompt.boxesWhenAsked().size() == expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        INFO("prompt ", i + 1);
        CHECK(prompt.boxesWhenAsked()[i] == expected[i]);
    }
}

TEST_CASE("answered scores calculate")
{
    TextTable boxes;
    ScriptedPrompt prompt({u"85", u"90", u"78", u"92", u"88"}, boxes);
    Command2_Click(boxes, prompt);
    Command1_Click(boxes);
    CHECK(boxes.text(Box::Text6) == u"92"s);
    CHECK(boxes.text(Box::Text7) == u"78"s);
    CHECK(boxes.text(Box::Text8) == u"87.666664"s);
}
