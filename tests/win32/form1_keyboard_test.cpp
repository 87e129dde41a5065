// Form1 used from the keyboard and through its dialogs, as a judge's
// assistant would: the focus order, keys that must do nothing, a round of
// scores typed and calculated, the five prompts of 输入成绩, the error box
// of a score that is not a number, long pasted scores, and clicks that reach
// the buttons while a dialog is open.

#include "window_session.h"

#include "core/click_outcome.h"
#include "win32/click_dispatch.h"
#include "win32/dialog_prompt.h"

#include <doctest/doctest.h>

#include <windows.h>

#include <array>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

using namespace tavrel::testing;

namespace {

constexpr std::array<const char *, 8> boxes{"Text1", "Text2", "Text3", "Text4",
                                            "Text5", "Text6", "Text7", "Text8"};

// The eight texts, one line each, so a failed comparison shows them.
std::string boxTexts(const User &user)
{
    std::string texts;
    for (const char *box : boxes)
        texts += std::string(box) + ": \"" + textOf(user.control(box)) + "\"\n";
    return texts;
}

// Earlier results in the result boxes, so a test sees whether they changed.
void fillResultBoxes(const User &user)
{
    setTextOf(user.control("Text6"), L"旧的最高分");
    setTextOf(user.control("Text7"), L"旧的最低分");
    setTextOf(user.control("Text8"), L"旧的平均分");
}

// Types `score` into the focused box and waits until the box shows it.
void typeScore(const User &user, std::string_view box, std::wstring_view score)
{
    const HWND target = user.control(box);
    REQUIRE(user.focus() == target);
    user.type(score);
    const std::string expected = utf8(score);
    REQUIRE_MESSAGE(waitUntil([&] { return textOf(target) == expected; }), box, " shows \"",
                    textOf(target), "\"");
}

// Tabs to Text1 and types a score into each of the five boxes.
void typeScores(const User &user, const std::array<std::wstring_view, 5> &scores)
{
    REQUIRE(waitUntil([&] { return user.focus() != nullptr; }));
    REQUIRE(user.tabTo("Text1"));
    for (std::size_t k = 0; k < scores.size(); ++k) {
        if (k > 0)
            REQUIRE(user.tabTo(boxes[k]));
        typeScore(user, boxes[k], scores[k]);
    }
}

// Puts `text` on the clipboard, owned by `owner` (a window is needed: with
// none, the clipboard refuses the data).
void putOnClipboard(HWND owner, std::wstring_view text)
{
    REQUIRE(OpenClipboard(owner));
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    REQUIRE(memory != nullptr);
    auto *const copy = static_cast<wchar_t *>(GlobalLock(memory));
    std::memcpy(copy, text.data(), text.size() * sizeof(wchar_t));
    copy[text.size()] = L'\0';
    GlobalUnlock(memory);
    const bool taken = SetClipboardData(CF_UNICODETEXT, memory) != nullptr; // owns it now
    if (!taken)
        GlobalFree(memory);
    CloseClipboard();
    REQUIRE(taken);
}

// Pastes `text` into the edit control `field`, replacing what it held.
void paste(HWND field, std::wstring_view text)
{
    putOnClipboard(field, text);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(field, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 20000, &ignored);
    SendMessageTimeoutW(field, WM_PASTE, 0, 0, SMTO_ABORTIFHUNG, 20000, &ignored);
}

BOOL CALLBACK countVisibleDialog(HWND window, LPARAM count)
{
    if (IsWindowVisible(window) && classOf(window) == "#32770")
        ++*reinterpret_cast<int *>(count);
    return TRUE;
}

// The modal dialogs open on the window's thread.
int openDialogs(const User &user)
{
    int count = 0;
    EnumThreadWindows(GetWindowThreadProcessId(user.window(), nullptr), countVisibleDialog,
                      reinterpret_cast<LPARAM>(&count));
    return count;
}

// Types `answer` into the open prompt and confirms it.
void answerPrompt(const User &user, std::wstring_view answer)
{
    // The box before it may have just taken a long text, which a loaded
    // machine lays out slowly.
    HWND prompt = nullptr;
    REQUIRE(waitUntil([&] { return (prompt = user.dialog()) != nullptr; }, 20s));
    setTextOf(GetDlgItem(prompt, tavrel::win32::promptAnswerId), answer);
    user.click(GetDlgItem(prompt, IDOK));
    REQUIRE(waitUntil([&] { return !IsWindow(prompt); }));
}

// The text of an error box's message, after which it is closed.
std::string readAndCloseErrorBox(const User &user, HWND box)
{
    std::string message;
    for (const HWND child : childrenOf(box)) {
        if (IsWindowVisible(child) && classOf(child) == "Static")
            message += textOf(child);
    }
    user.click(buttonCaptioned(box, "确定"));
    CHECK(waitUntil([&] { return !IsWindow(box); }));
    return message;
}

} // namespace

TEST_CASE("focus starts in Text1 and Tab walks the boxes and buttons in their order")
{
    runSession([](User &user) {
        REQUIRE(waitUntil([&] { return user.focus() == user.control("Text1"); }));

        struct Step
        {
            const char *name;
            bool shift;
            const char *next;
        };
        constexpr std::array<Step, 12> steps{{
            {"Tab from Text1", false, "Text2"},
            {"Tab from Text2", false, "Text3"},
            {"Tab from Text3", false, "Text4"},
            {"Tab from Text4", false, "Text5"},
            {"Tab from Text5", false, "Text6"},
            {"Tab from Text6", false, "Text7"},
            {"Tab from Text7", false, "Command1"},
            {"Tab from Command1", false, "Text8"},
            {"Tab from Text8", false, "Command2"},
            {"Tab from Command2 goes round", false, "Text1"},
            {"Shift+Tab from Text1 goes back round", true, "Command2"},
            {"Shift+Tab from Command2", true, "Text8"},
        }};
        for (const Step &step : steps) {
            INFO(std::string(step.name));
            const HWND before = user.focus();
            user.press(VK_TAB, step.shift);
            waitUntil([&] { return user.focus() != before; }, 2s);
            CHECK(user.nameOf(user.focus()) == std::string(step.next));
        }
    });
}

TEST_CASE("Enter and Esc press no button")
{
    struct Row
    {
        const char *name;
        const char *focus;
        WORD key;
        const char *nextFocus; // where Tab goes next: proof the key was handled
    };
    constexpr std::array<Row, 8> rows{{
        {"Enter in a score box", "Text1", VK_RETURN, "Text2"},
        {"Esc in a score box", "Text1", VK_ESCAPE, "Text2"},
        {"Enter on 计算", "Command1", VK_RETURN, "Text8"},
        {"Esc on 计算", "Command1", VK_ESCAPE, "Text8"},
        {"Enter on 输入成绩", "Command2", VK_RETURN, "Text1"},
        {"Esc on 输入成绩", "Command2", VK_ESCAPE, "Text1"},
        {"Enter in the result box", "Text8", VK_RETURN, "Command2"},
        {"Esc in the result box", "Text8", VK_ESCAPE, "Command2"},
    }};
    for (const Row &row : rows) {
        INFO(std::string(row.name));
        runSession([&](User &user) {
            const std::array<const wchar_t *, 5> scores{L"85", L"90", L"78", L"92", L"88"};
            for (std::size_t k = 0; k < scores.size(); ++k)
                setTextOf(user.control(boxes[k]), scores[k]);
            fillResultBoxes(user);
            const auto before = boxTexts(user);

            REQUIRE(waitUntil([&] { return user.focus() != nullptr; }));
            REQUIRE(user.tabTo(row.focus));
            user.press(row.key);
            // Keys are handled in order: once Tab has moved on, the key
            // before it has been handled too.
            user.press(VK_TAB);
            CHECK(waitUntil([&] { return user.focus() == user.control(row.nextFocus); }, 2s));
            CHECK(user.dialog() == nullptr);
            CHECK(boxTexts(user) == before);
            CHECK(IsWindowVisible(user.window()));
        });
    }
}

TEST_CASE("a round typed into the boxes and calculated with Space on 计算")
{
    runSession([](User &user) {
        typeScores(user, {L"85", L"90", L"78", L"92", L"88"});
        REQUIRE(user.tabTo("Command1"));
        user.press(VK_SPACE);
        const HWND text8 = user.control("Text8");
        REQUIRE(waitUntil([&] { return !textOf(text8).empty(); }));
        CHECK(textOf(user.control("Text6")) == "92");
        CHECK(textOf(user.control("Text7")) == "78");
        CHECK(textOf(text8) == "87.666664");

        // The score is wider than its box in its 42 pt type: the box shows
        // its beginning, not the end where the caret of a typed text is.
        DWORD_PTR font = 0;
        SendMessageTimeoutW(text8, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 5000, &font);
        const HDC screen = GetDC(nullptr);
        const HGDIOBJ previous = SelectObject(screen, reinterpret_cast<HFONT>(font));
        SIZE extent{};
        GetTextExtentPoint32W(screen, L"87.666664", 9, &extent);
        SelectObject(screen, previous);
        ReleaseDC(nullptr, screen);
        RECT box{};
        GetClientRect(text8, &box);
        REQUIRE(extent.cx > box.right);
        DWORD_PTR firstVisible = 99;
        SendMessageTimeoutW(text8, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG, 5000,
                            &firstVisible);
        CHECK(firstVisible == 0);
        CHECK(user.nameOf(user.focus()) == "Command1");
    });
}

TEST_CASE("输入成绩 asks five times and puts each answer into its box at once")
{
    struct Answer
    {
        const wchar_t *typed;
        bool confirmed; // 确定, else 取消
        const char *boxAfterwards;
    };
    struct Row
    {
        const char *name;
        std::array<Answer, 5> answers;
    };
    const std::array<Row, 2> rows{{
        {"all five confirmed",
         {{{L"85", true, "85"},
           {L"90", true, "90"},
           {L"78", true, "78"},
           {L"92", true, "92"},
           {L"88", true, "88"}}}},
        {"the third cancelled, a name kept as typed",
         {{{L"85", true, "85"},
           {L"90", true, "90"},
           {L"77", false, ""},
           {L" 92 ", true, " 92 "},
           {L"张三", true, "张三"}}}},
    }};

    for (const Row &row : rows) {
        INFO(std::string(row.name));
        runSession([&](User &user) {
            // Earlier scores, replaced box by box.
            for (std::size_t k = 0; k < 5; ++k)
                setTextOf(user.control(boxes[k]), L"旧");
            user.click(user.control("Command2"));
            for (std::size_t k = 0; k < 5; ++k) {
                INFO("prompt ", k + 1);
                const HWND prompt = user.waitForDialog();
                REQUIRE(prompt != nullptr);
                CHECK(textOf(prompt) == "提示");
                CHECK(textOf(GetDlgItem(prompt, tavrel::win32::promptMessageId)) == "请输入成绩");
                const HWND answer = GetDlgItem(prompt, tavrel::win32::promptAnswerId);
                REQUIRE(answer != nullptr);
                CHECK(textOf(answer).empty());
                // The box is written only when its prompt closes.
                CHECK(textOf(user.control(boxes[k])) == "旧");
                REQUIRE(waitUntil([&] { return user.focus() == answer; }));
                user.type(row.answers[k].typed);
                REQUIRE(waitUntil([&] { return textOf(answer) == utf8(row.answers[k].typed); }));
                const HWND button
                    = buttonCaptioned(prompt, row.answers[k].confirmed ? "确定" : "取消");
                REQUIRE(button != nullptr);
                user.click(button);
                REQUIRE(waitUntil([&] { return !IsWindow(prompt); }));
                CHECK(waitUntil([&] {
                    return textOf(user.control(boxes[k]))
                        == std::string(row.answers[k].boxAfterwards);
                }));
            }
            // Five prompts and no sixth.
            CHECK_FALSE(waitUntil([&] { return user.dialog() != nullptr; }, 500ms));
            for (std::size_t k = 0; k < 5; ++k)
                CHECK(textOf(user.control(boxes[k])) == std::string(row.answers[k].boxAfterwards));
        });
    }
}

TEST_CASE("a score that is not a number brings up the error box and changes no box")
{
    runSession([](User &user) {
        typeScores(user, {L"85", L"90", L"abc", L"92", L"88"});
        fillResultBoxes(user);
        const auto before = boxTexts(user);

        user.click(user.control("Command1"));
        const HWND box = user.waitForDialog();
        REQUIRE(box != nullptr);
        CHECK(textOf(box) == "Tavrel");
        std::string message;
        int buttons = 0;
        for (const HWND child : childrenOf(box)) {
            if (!IsWindowVisible(child))
                continue;
            const std::string kind = classOf(child);
            if (kind == "Static")
                message += textOf(child);
            if (kind == "Button") {
                ++buttons;
                CHECK(textOf(child) == "确定");
            }
        }
        INFO("message: ", message);
        CHECK(message.find("评委3") != std::string::npos);
        CHECK(message.find("abc") != std::string::npos);
        CHECK(buttons == 1);

        user.click(buttonCaptioned(box, "确定"));
        REQUIRE(waitUntil([&] { return !IsWindow(box); }));
        CHECK(boxTexts(user) == before);
        // The program goes on: a corrected score calculates.
        setTextOf(user.control("Text3"), L"78");
        user.click(user.control("Command1"));
        CHECK(waitUntil([&] { return textOf(user.control("Text8")) == "87.666664"; }));
    });
}

// Past the 30,000 characters an edit control keeps by default under Wine:
// the whole text is read, so leading zeros change nothing and a letter at
// the end is refused.
TEST_CASE("a score pasted 40,002 characters long is read whole")
{
    const std::wstring zeros = std::wstring(40000, L'0') + L"85";
    const std::wstring spaces = L"85" + std::wstring(40000, L' ') + L"x";
    // Calculates, and gives the error box's message, or "" if none came up.
    const auto calculate = [](const User &user) {
        user.click(user.control("Command1"));
        HWND box = nullptr;
        const bool answered = waitUntil([&] {
            return (box = user.dialog()) != nullptr || !textOf(user.control("Text8")).empty();
        });
        REQUIRE(answered);
        return box != nullptr ? readAndCloseErrorBox(user, box) : std::string();
    };
    const auto expectResults = [](const User &user) {
        CHECK(textOf(user.control("Text6")) == "92");
        CHECK(textOf(user.control("Text7")) == "78");
        CHECK(textOf(user.control("Text8")) == "87.666664");
    };
    const auto clearAll = [](const User &user) {
        for (const char *box : boxes)
            setTextOf(user.control(box), L"");
    };

    runSession([&](User &user) {
        struct Row
        {
            const char *name;
            const std::wstring &pasted;
            bool refused;
        };
        const std::array<Row, 2> rows{{
            {"into Text1, leading zeros", zeros, false},
            {"into Text1, spaces then a letter", spaces, true},
        }};
        for (const Row &row : rows) {
            INFO(std::string(row.name));
            clearAll(user);
            const std::array<const wchar_t *, 4> others{L"90", L"78", L"92", L"88"};
            for (std::size_t k = 0; k < others.size(); ++k)
                setTextOf(user.control(boxes[k + 1]), others[k]);
            const HWND text1 = user.control("Text1");
            paste(text1, row.pasted);
            REQUIRE(waitUntil([&] { return textOf(text1).size() == row.pasted.size(); }, 20s));
            CHECK(textOf(text1) == utf8(row.pasted));
            const std::string message = calculate(user);
            INFO("message: ", message.substr(0, 60));
            if (row.refused) {
                CHECK(message.starts_with("评委1的成绩“85"));
                CHECK(textOf(user.control("Text8")).empty());
            } else {
                CHECK(message.empty());
                expectResults(user);
            }
        }

        // Through the prompt, in one round (every prompt is a window
        // made and destroyed): the first two answers pasted.
        clearAll(user);
        user.click(user.control("Command2"));
        for (const std::wstring *pasted : {&zeros, &spaces}) {
            HWND prompt = nullptr;
            REQUIRE(waitUntil([&] { return (prompt = user.dialog()) != nullptr; }, 20s));
            const HWND field = GetDlgItem(prompt, tavrel::win32::promptAnswerId);
            paste(field, *pasted);
            CHECK(textOf(field).size() == pasted->size());
            user.click(GetDlgItem(prompt, IDOK));
            REQUIRE(waitUntil([&] { return !IsWindow(prompt); }, 20s));
        }
        for (const wchar_t *score : {L"78", L"92", L"88"})
            answerPrompt(user, score);
        CHECK(textOf(user.control("Text1")) == utf8(zeros));
        CHECK(textOf(user.control("Text2")) == utf8(spaces));
        const std::string message = calculate(user);
        INFO("message: ", message.substr(0, 60));
        CHECK(message.starts_with("评委2的成绩“85"));
        CHECK(textOf(user.control("Text8")).empty());
        setTextOf(user.control("Text2"), L"90");
        CHECK(calculate(user).empty());
        expectResults(user);
    });
}

// A modal dialog disables the window, but a BM_CLICK posted to one of its
// buttons still reaches it. It must not start a second click inside the first.
TEST_CASE("计算 and 输入成绩 clicked while a prompt or the error box is open do nothing")
{
    struct Row
    {
        const char *name;
        bool duringErrorBox; // else during the first prompt
    };
    constexpr std::array<Row, 2> rows{{
        {"under the prompt", false},
        {"under the error box", true},
    }};
    const std::array<const wchar_t *, 5> scores{L"85", L"90", L"78", L"92", L"88"};
    // One window for every row: each round must leave the clicks working.
    runSession([&](User &user) {
        for (const Row &row : rows) {
            INFO(std::string(row.name));
            for (std::size_t k = 0; k < scores.size(); ++k)
                setTextOf(user.control(boxes[k]), scores[k]);
            if (row.duringErrorBox)
                setTextOf(user.control("Text3"), L"abc");
            fillResultBoxes(user);
            user.click(user.control(row.duringErrorBox ? "Command1" : "Command2"));
            const HWND outer = user.waitForDialog();
            REQUIRE(outer != nullptr);
            const auto before = boxTexts(user);

            for (const char *clicked : {"Command1", "Command2"}) {
                INFO("clicked: ", clicked);
                user.click(user.control(clicked));
                CHECK_FALSE(waitUntil(
                    [&] { return openDialogs(user) > 1 || boxTexts(user) != before; }, 700ms));
                CHECK(openDialogs(user) == 1);
                CHECK(boxTexts(user) == before);
            }

            if (row.duringErrorBox) {
                readAndCloseErrorBox(user, outer);
            } else {
                for (const wchar_t *score : scores)
                    answerPrompt(user, score);
            }
            // Five prompts at most, and no dialog left: the dropped click
            // started nothing later either.
            CHECK_FALSE(waitUntil([&] { return user.dialog() != nullptr; }, 500ms));

            // The round over, clicks work again.
            setTextOf(user.control("Text3"), L"78");
            user.click(user.control("Command1"));
            CHECK(waitUntil([&] { return textOf(user.control("Text8")) == "87.666664"; }));
        }
    });
}

TEST_CASE("a click that fails unexpectedly leaves the window's clicks open")
{
    tavrel::core::ClickGate clicks;
    CHECK_THROWS_AS(tavrel::win32::dispatchClick(clicks, nullptr,
                                                 [] { throw std::logic_error("broken handler"); }),
                    std::logic_error);
    CHECK_FALSE(clicks.clickRunning());
    bool ran = false;
    tavrel::win32::dispatchClick(clicks, nullptr, [&ran] { ran = true; });
    CHECK(ran);
}
