#include "runtime/click_dispatch.h"

#include "runtime/program_info.h"
#include "runtime/runtime_error.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <new>

namespace tavrel {

void reportRuntimeError(QWidget *window, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringView(programName).toString(), message,
                    QMessageBox::NoButton, window);
    // A dialog does not inherit its parent's font; the window's face is the
    // one chosen to cover Chinese.
    if (window != nullptr)
        box.setFont(window->font());
    // Set explicitly: the standard button's text depends on the desktop theme.
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

void dispatchClick(QWidget *window, const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const RuntimeError &error) {
        reportRuntimeError(window, QString::fromStdU16String(error.message()));
    } catch (const std::bad_alloc &) {
        reportRuntimeError(window, QStringLiteral("内存不足，无法完成这次操作。"));
    }
}

} // namespace tavrel
