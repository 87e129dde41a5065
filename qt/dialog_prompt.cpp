#include "qt/dialog_prompt.h"

#include "core/prompt.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <limits>

namespace tavrel::qt {

void takeWholeTexts(QLineEdit &edit)
{
    edit.setMaxLength(std::numeric_limits<int>::max());
}

std::u16string DialogPrompt::ask(std::u16string_view message, std::u16string_view title)
{
    QInputDialog dialog(owner_);
    dialog.setWindowTitle(QStringView(title).toString());
    dialog.setLabelText(QStringView(message).toString());
    dialog.setInputMode(QInputDialog::TextInput);
    if (auto *field = dialog.findChild<QLineEdit *>())
        takeWholeTexts(*field);
    dialog.setTextValue(QString());
    // Set explicitly: the standard texts depend on the desktop theme.
    dialog.setOkButtonText(QStringView(core::confirmCaption).toString());
    dialog.setCancelButtonText(QStringView(core::cancelCaption).toString());
    if (owner_ != nullptr)
        dialog.setFont(owner_->font()); // a dialog does not inherit it, and it covers Chinese
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue().toStdU16String();
}

} // namespace tavrel::qt
