#pragma once

#include <functional>
#include <memory>

class QTranslator;
class QWidget;

namespace tavrel::qt {

// Loads Qt's own Simplified Chinese texts into `translator`; false where
// they are not installed, which leaves those texts in English.
[[nodiscard]] bool loadQtChineseTexts(QTranslator &translator);

// The start-up operation: sets up the application (name, version, the
// Chinese (PRC) locale and Qt's own Chinese texts), builds the start-up
// window with `buildStartupWindow`, shows it centred on the screen and runs
// the event loop until the window is closed or the program is asked to end
// (see TerminationRequests). Returns the exit code.
//
// Without a display to open a window on, says so in one line on standard
// error and returns 1 instead of letting the toolkit abort.
int startUp(int &argc, char **argv,
            const std::function<std::unique_ptr<QWidget>()> &buildStartupWindow);

} // namespace tavrel::qt
