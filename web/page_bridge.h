#pragma once

// The browser edition's side of the core's two interfaces. The page itself
// (app.js) holds the controls; these classes only carry texts between it and
// the core, as UTF-16 code units in both directions, so a box's text passes
// through unchanged, unpaired surrogates included.
//
// The prompt is synchronous in the core's terms and a <dialog> in the page's:
// Asyncify unwinds the wasm stack while the dialog is open and rewinds it
// when the promise of the answer settles, so Command2_Click runs as it is.

#include "core/box_texts.h"
#include "core/prompt.h"

#include <string>
#include <string_view>

namespace tavrel::web {

class PageBoxTexts final : public core::BoxTexts
{
public:
    [[nodiscard]] std::u16string text(core::Box box) const override;
    void setText(core::Box box, std::u16string_view text) override;
};

class DialogPrompt final : public core::Prompt
{
public:
    [[nodiscard]] std::u16string ask(std::u16string_view message,
                                     std::u16string_view title) override;
};

// Shows the run-time error report: the page's modal alert named "Tavrel".
void showErrorReport(std::u16string_view message);

} // namespace tavrel::web
