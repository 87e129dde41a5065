// The browser edition's two entry points, one per button of Form1; the page
// (app.js) calls them when a click reaches a button and no other click is
// still running. Each runs the core's handler through the same dispatch as
// the desktop programs, and a run-time error ends in the page's alert.

#include "core/calculate.h"
#include "core/click_outcome.h"
#include "core/score_entry.h"
#include "web/page_bridge.h"

#include <emscripten/emscripten.h>

#include <optional>
#include <string>

namespace {

void report(const std::optional<std::u16string> &error)
{
    if (error)
        tavrel::web::showErrorReport(*error);
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void tavrel_command1_click()
{
    tavrel::web::PageBoxTexts boxes;
    report(tavrel::core::runClickHandler([&boxes] { tavrel::core::Command1_Click(boxes); }));
}

// Suspends (Asyncify) while each prompt is open: the page calls it with
// ccall(…, {async: true}) and awaits the promise it returns.
EMSCRIPTEN_KEEPALIVE void tavrel_command2_click()
{
    tavrel::web::PageBoxTexts boxes;
    tavrel::web::DialogPrompt prompt;
    report(tavrel::core::runClickHandler(
        [&boxes, &prompt] { tavrel::core::Command2_Click(boxes, prompt); }));
}

} // extern "C"

int main()
{
    // Nothing to do at start: the page is drawn by the browser from the
    // markup, and the buttons call the entry points above.
    return 0;
}
