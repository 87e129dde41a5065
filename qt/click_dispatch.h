#pragma once

#include <functional>

class QString;
class QWidget;

namespace tavrel::qt {

// Runs one click handler to completion. A run-time error it raises ends the
// handler; the error is shown in a modal message box over `window` and the
// program goes on with every box as the handler left it.
void dispatchClick(QWidget *window, const std::function<void()> &handler);

// The runtime's error report: a modal message box titled with the program's
// name, showing `message`, with one "确定" button.
void reportRuntimeError(QWidget *window, const QString &message);

} // namespace tavrel::qt
