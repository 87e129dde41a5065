#pragma once

// Form1 as Qt widgets (the whole program is described in
// core/form1_description.h). What is Qt's own here: the controls are
// QLineEdit, QLabel, QGroupBox and a push button that wraps its caption; the
// fonts are resolved from the core's family lists to installed faces; a click
// arrives as QPushButton::clicked and goes through dispatchClick, whose error
// report is a QMessageBox; the prompt is a QInputDialog (dialog_prompt.h).

#include "core/box_texts.h"
#include "core/click_outcome.h"
#include "qt/dialog_prompt.h"

#include <QWidget>

#include <string_view>

class QLineEdit;

namespace tavrel::qt {

class Form1 final : public QWidget, public core::BoxTexts
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    [[nodiscard]] std::u16string text(core::Box box) const override;
    // Shows the text from its beginning, however long it is.
    void setText(core::Box box, std::u16string_view text) override;

private:
    [[nodiscard]] QLineEdit *textBox(core::Box box) const;

    DialogPrompt prompt_{this};
    core::ClickGate clicks_;
};

} // namespace tavrel::qt
