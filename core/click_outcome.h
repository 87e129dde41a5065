#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tavrel::core {

// Runs one click handler to completion, as every front-end's click dispatch
// does. A run-time error, or running out of memory, ends the handler; what
// comes back is then the message the runtime's error report shows, and the
// program goes on with every box as the handler left it. Nothing comes back
// when the handler ran through.
[[nodiscard]] std::optional<std::u16string> runClickHandler(const std::function<void()> &handler);

} // namespace tavrel::core
