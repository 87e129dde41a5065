#pragma once

// Tavrel: one window for a judging panel.
//
// Five judges score a candidate. The scores are typed into Text1 … Text5 (or
// asked for one after another by "输入成绩"); a click on "计算" runs the
// calculate command, which drops one highest and one lowest score and shows
// them in Text6 and Text7 beside the mean of the middle three in Text8.
//
// The pieces:
//  - Form1 (here) is a passive view: it builds its controls from the table in
//    form1_description.h, holds them, and forwards the two button clicks to
//    the commands through the runtime's click dispatch. It offers its eight
//    box texts to the commands as BoxTexts, and the modal prompt as Prompt;
//    it keeps no other state.
//  - Command2_Click (score_entry.h) asks for the five scores through the
//    runtime's modal prompt and fills Text1 … Text5 with the answers.
//  - Command1_Click (scoring/) is the whole computation. It reads and writes
//    the boxes only through BoxTexts and the runtime's conversions, so it runs
//    unchanged against this window or against a plain table of texts.
//  - The runtime (runtime/) converts texts to numbers and back, raises the
//    run-time errors, and reports them: a message box, after which the program
//    goes on with every box as the failed click left it.
//
// Flow of a click on "计算": QPushButton::clicked -> dispatchClick ->
// Command1_Click -> text() of Text1 … Text5 -> textToNumber -> the selection
// and sums -> singleToText -> setText() of Text6, Text7, Text8.

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
