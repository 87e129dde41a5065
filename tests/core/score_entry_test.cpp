// The enter-scores command against scripted answers and a table of texts,
// and the window's clicks one at a time while its prompts are open. (The
// real dialog, through the window, is the front-ends' test.)

#include "core/calculate.h"
#include "core/click_outcome.h"
#include "core/prompt.h"
#include "core/score_entry.h"
#include "core/text_table.h"
#include "core_test_support.h"

#include <doctest/doctest.h>

#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
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

// A prompt under which buttons of the window are clicked before it is
// answered.
class PromptWithClicksUnder final : public Prompt
{
public:
    PromptWithClicksUnder(Prompt &answers, std::function<void()> clicks)
        : answers_(answers), clicks_(std::move(clicks))
    { }

    std::u16string ask(std::u16string_view message, std::u16string_view title) override
    {
        clicks_();
        return answers_.ask(message, title);
    }

private:
    Prompt &answers_;
    std::function<void()> clicks_;
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

TEST_CASE("a click that arrives while another is running is dropped")
{
    enum class Arrives { DuringHandler, DuringErrorReport, Afterwards };
    struct Row
    {
        std::string_view name;
        Arrives second;
        bool firstFails;
        std::string_view expected;
    };
    const std::vector<Row> rows{
        {"during-the-handler", Arrives::DuringHandler, false, "first, second dropped"},
        {"during-the-error-report", Arrives::DuringErrorReport, true,
         "first, first reports, second dropped"},
        {"after-a-click-that-ran-through", Arrives::Afterwards, false, "first, second"},
        {"after-a-failed-click", Arrives::Afterwards, true, "first, first reports, second"},
    };
    for (const Row &row : rows) {
        INFO("row ", row.name);
        ClickGate gate;
        std::string happened;
        const auto record = [&happened](std::string_view event) {
            happened += (happened.empty() ? "" : ", ") + std::string(event);
        };
        const auto secondClick = [&] {
            const bool ran = gate.run([&] { record("second"); },
                                      [&](std::u16string_view) { record("second reports"); });
            if (!ran)
                record("second dropped");
        };
        const bool firstRan = gate.run(
            [&] {
                record("first");
                if (row.second == Arrives::DuringHandler)
                    secondClick();
                if (row.firstFails)
                    throw RuntimeError(ErrorKind::InvalidNumber, Box::Text3, u"abc");
            },
            [&](std::u16string_view) {
                record("first reports");
                CHECK(gate.clickRunning());
                if (row.second == Arrives::DuringErrorReport)
                    secondClick();
            });
        if (row.second == Arrives::Afterwards)
            secondClick();
        CHECK(firstRan);
        CHECK(happened == row.expected);
        CHECK_FALSE(gate.clickRunning());
    }
}

TEST_CASE("a click that throws leaves the window's clicks open")
{
    struct Row
    {
        std::string_view name;
        std::function<void()> handler;
        ClickGate::ErrorReport report;
    };
    const auto failing = [] { throw RuntimeError(ErrorKind::EmptyNumber, Box::Text1, u""); };
    const std::vector<Row> rows{
        {"handler-fails-unexpectedly", [] { throw std::logic_error("broken handler"); },
         [](std::u16string_view) {}},
        {"error-report-cannot-be-shown", failing,
         [](std::u16string_view) { throw std::bad_alloc(); }},
        {"error-report-fails-otherwise", failing,
         [](std::u16string_view) { throw std::runtime_error("no window"); }},
    };
    for (const Row &row : rows) {
        INFO("row ", row.name);
        ClickGate gate;
        CHECK_THROWS(gate.run(row.handler, row.report));
        CHECK_FALSE(gate.clickRunning());
        bool ran = false;
        CHECK(gate.run([&ran] { ran = true; }, [](std::u16string_view) {}));
        CHECK(ran);
    }
}

// The prompt is modal, yet a click can reach the window's buttons while it
// is open (a posted BM_CLICK, an assistive technology's invoke action).
TEST_CASE("with a prompt open, 计算 and 输入成绩 do nothing")
{
    TextTable boxes{u"", u"", u"", u"", u"", u"结果6", u"结果7", u"结果8"};
    ClickGate gate;
    std::vector<std::u16string> reports;
    const auto report = [&reports](std::u16string_view message) { reports.emplace_back(message); };

    ScriptedPrompt answers({u"85", u"90", u"78", u"92", u"88"}, boxes);
    int nestedClicksRun = 0;
    PromptWithClicksUnder prompt(answers, [&] {
        nestedClicksRun += gate.run([&] { Command1_Click(boxes); }, report) ? 1 : 0;
        nestedClicksRun += gate.run([&] { Command2_Click(boxes, answers); }, report) ? 1 : 0;
    });
    CHECK(gate.run([&] { Command2_Click(boxes, prompt); }, report));

    CHECK(nestedClicksRun == 0);
    CHECK(answers.asked().size() == std::size_t{judgeCount});
    CHECK(reports.empty());
    CHECK(scoreTextsOf(boxes) == ScoreTexts{u"85", u"90", u"78", u"92", u"88"});
    CHECK(boxes.text(Box::Text6) == u"结果6"s);
    CHECK(boxes.text(Box::Text8) == u"结果8"s);

    // The round over, 计算 works again.
    CHECK(gate.run([&] { Command1_Click(boxes); }, report));
    CHECK(boxes.text(Box::Text8) == u"87.666664"s);
}
