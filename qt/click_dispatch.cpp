#include "qt/click_dispatch.h"

#include "core/prompt.h"

#include "core/click_outcome.h"
#include "core/program_info.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace tavrel::qt {

void reportRuntimeError(QWidget *window, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringView(core::programName).toString(), message,
                    QMessageBox::NoButton, window);
    // A dialog does not inherit its parent's font; the window's face is the
    // one chosen to cover Chinese.
    if (window != nullptr)
        box.setFont(window->font());
    // Set explicitly: the standard button's text depends on the desktop theme.
    box.addButton(QStringView(core::confirmCaption).toString(), QMessageBox::AcceptRole);
    box.exec();
}

void dispatchClick(core::ClickGate &clicks, QWidget *window, const std::function<void()> &handler)
{
    clicks.run(handler, [window](std::u16string_view message) {
        reportRuntimeError(window, QStringView(message).toString());
    });
}

} // namespace tavrel::qt
