#include "qt/startup.h"

#include "core/program_info.h"
#include "qt/termination_requests.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace tavrel::qt {

namespace {

bool environmentSet(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// On Linux the toolkit aborts with a long plugin message when no display is
// reachable; a missing DISPLAY and WAYLAND_DISPLAY is the common case (a
// terminal over ssh, a container) and deserves a plain sentence instead.
bool noDisplayToOpen()
{
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return !environmentSet("QT_QPA_PLATFORM") && !environmentSet("DISPLAY")
        && !environmentSet("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

void centreOnScreen(QWidget &window)
{
    const QScreen *screen = window.screen();
    if (screen == nullptr)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace

bool loadQtChineseTexts(QTranslator &translator)
{
    return translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

int startUp(int &argc, char **argv,
            const std::function<std::unique_ptr<QWidget>()> &buildStartupWindow)
{
    if (noDisplayToOpen()) {
        std::fputs("tavrel: no graphical display (DISPLAY and WAYLAND_DISPLAY are unset), "
                   "so the window cannot be shown.\n",
                   stderr);
        return 1;
    }

    // Before the application object, which may start threads of its own.
    const TerminationRequests terminationRequests;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringView(core::programName).toString());
    QApplication::setApplicationVersion(QString::fromLatin1(core::programVersion));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(core::applicationId));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));

    // Qt's own texts (a text box's context menu, standard dialogs) in Chinese.
    // Missing translations leave them in English but change nothing else.
    QTranslator qtTexts;
    if (loadQtChineseTexts(qtTexts))
        QApplication::installTranslator(&qtTexts);

    const std::unique_ptr<QWidget> window = buildStartupWindow();
    centreOnScreen(*window);
    window->show();
    terminationRequests.quitOnRequest();
    return QApplication::exec();
}

} // namespace tavrel::qt
