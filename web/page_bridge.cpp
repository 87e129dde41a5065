#include "web/page_bridge.h"

#include <emscripten/emscripten.h>

#include <cstddef>

// The page object (Module.tavrelPage) is handed to the module by app.js when
// it creates it. Texts cross as pointers into the wasm memory and lengths in
// UTF-16 units; JavaScript strings are UTF-16 already.

// NOLINTBEGIN: the macros expand to declarations the checks do not know.
EM_JS(int, tavrel_box_text_length, (int box), { return Module.tavrelPage.boxText(box).length; });

EM_JS(void, tavrel_box_text_copy, (int box, char16_t *destination), {
    const text = Module.tavrelPage.boxText(box);
    for (let i = 0; i < text.length; ++i)
        HEAPU16[(destination >> 1) + i] = text.charCodeAt(i);
});

EM_JS(void, tavrel_set_box_text, (int box, const char16_t *text, int length),
      { Module.tavrelPage.setBoxText(box, tavrelString(text, length)); });

EM_ASYNC_JS(int, tavrel_ask,
            (const char16_t *message, int messageLength, const char16_t *title, int titleLength), {
                const answer = await Module.tavrelPage.ask(tavrelString(message, messageLength),
                                                           tavrelString(title, titleLength));
                Module.tavrelAnswer = answer;
                return answer.length;
            });

EM_JS(void, tavrel_take_answer, (char16_t *destination), {
    const answer = Module.tavrelAnswer;
    Module.tavrelAnswer = "";
    for (let i = 0; i < answer.length; ++i)
        HEAPU16[(destination >> 1) + i] = answer.charCodeAt(i);
});

EM_JS(void, tavrel_show_error, (const char16_t *message, int length),
      { Module.tavrelPage.showError(tavrelString(message, length)); });
// NOLINTEND

namespace tavrel::web {

namespace {

int lengthOf(std::u16string_view text)
{
    return static_cast<int>(text.size());
}

} // namespace

std::u16string PageBoxTexts::text(core::Box box) const
{
    const int number = core::numberOf(box);
    std::u16string text(static_cast<std::size_t>(tavrel_box_text_length(number)), u'\0');
    tavrel_box_text_copy(number, text.data());
    return text;
}

void PageBoxTexts::setText(core::Box box, std::u16string_view text)
{
    tavrel_set_box_text(core::numberOf(box), text.data(), lengthOf(text));
}

std::u16string DialogPrompt::ask(std::u16string_view message, std::u16string_view title)
{
    const int length = tavrel_ask(message.data(), lengthOf(message), title.data(), lengthOf(title));
    std::u16string answer(static_cast<std::size_t>(length), u'\0');
    tavrel_take_answer(answer.data());
    return answer;
}

void showErrorReport(std::u16string_view message)
{
    tavrel_show_error(message.data(), lengthOf(message));
}

} // namespace tavrel::web
