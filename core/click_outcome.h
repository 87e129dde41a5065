#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel::core {

// Runs one click handler to completion, as every front-end's click dispatch
// does. A run-time error, or running out of memory, ends the handler; what
// comes back is then the message the runtime's error report shows, and the
// program goes on with every box as the handler left it. Nothing comes back
// when the handler ran through.
[[nodiscard]] std::optional<std::u16string> runClickHandler(const std::function<void()> &handler);

// One window's clicks, one at a time. A prompt or an error box opened by a
// click runs an event loop of its own, and a click can still reach a button
// of the window from there (a posted BM_CLICK, an assistive technology's
// invoke action, a timer): a second click would then write results under
// the prompt or start a second round of prompts inside the first. So a click
// that arrives while another is running, its error report included, is
// dropped.
class ClickGate
{
public:
    using ErrorReport = std::function<void(std::u16string_view message)>;

    // Runs `handler` through runClickHandler and then, if it failed, `report`
    // with the message, unless a click is already running. Returns whether
    // the handler ran. An exception from either passes through and leaves
    // the gate open.
    bool run(const std::function<void()> &handler, const ErrorReport &report);

    // True while a click is in its handler or its error report.
    [[nodiscard]] bool clickRunning() const noexcept { return running_ > 0; }

private:
    class RunningClick;

    int running_ = 0;
};

} // namespace tavrel::core
