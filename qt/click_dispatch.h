#pragma once

#include <functional>

class QString;
class QWidget;

namespace tavrel::core {
class ClickGate;
}

namespace tavrel::qt {

// Runs one click handler of `window` to completion through the window's
// `clicks`, which drop it while another of its clicks is still running. A
// run-time error it raises ends the handler; the error is shown in a modal
// message box over `window` and the program goes on with every box as the
// handler left it.
void dispatchClick(core::ClickGate &clicks, QWidget *window, const std::function<void()> &handler);

// The runtime's error report: a modal message box titled with the program's
// name, showing `message`, with one "确定" button.
void reportRuntimeError(QWidget *window, const QString &message);

} // namespace tavrel::qt
