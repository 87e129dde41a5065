// The window in use, under Qt's offscreen platform: real keys and clicks,
// typing as an input method commits it, and the error report after a bad
// score.

#include "core/box_texts.h"
#include "qt/form1.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <optional>

using namespace tavrel;
using namespace tavrel::core;
using namespace tavrel::qt;
using namespace tavrel::testing;
using namespace Qt::Literals::StringLiterals;

class Form1InteractionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void tabOrderAndInitialFocus();
    void wholeRoundByKeyboard();
    void calculateClickFillsTheResults();
    void resultBoxesTakeTypingButNeverCount();
    void errorClickReportsAndTheProgramGoesOn();
    void enterAndEscapePressNoButton();

private:
    [[nodiscard]] QWidget *control(const char *name) const
    {
        return testing::control(*form_, name);
    }

    std::optional<qt::Form1> form_;
};

void Form1InteractionTest::init()
{
    form_.emplace();
    QVERIFY(showActive(*form_));
}

void Form1InteractionTest::cleanup()
{
    form_.reset();
}

// Tab visits every stop in order and wraps round; Shift+Tab goes back.
void Form1InteractionTest::tabOrderAndInitialFocus()
{
    QCOMPARE(QApplication::focusWidget(), control("Text1"));
    const QStringList expected{u"Text2"_s, u"Text3"_s,    u"Text4"_s, u"Text5"_s,    u"Text6"_s,
                               u"Text7"_s, u"Command1"_s, u"Text8"_s, u"Command2"_s, u"Text1"_s};
    QStringList visited;
    for (qsizetype stop = 0; stop < expected.size(); ++stop) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), control("Command2"));
}

// Five scores typed, Tab past the two result boxes to 计算, Space: no mouse.
void Form1InteractionTest::wholeRoundByKeyboard()
{
    const JudgingRound panel = panelExample();
    for (const QString &score : panel.scores) {
        QTest::keyClicks(QApplication::focusWidget(), score);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control("Command1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(resultTexts(*form_), panel.results);
}

void Form1InteractionTest::calculateClickFillsTheResults()
{
    const JudgingRound panel = panelExample();
    typeScores(*form_, panel.scores);
    clickCalculate(*form_);
    QCOMPARE(resultTexts(*form_), panel.results);

    // Full-width text as an input method commits it.
    QLineEdit *third = textBox(*form_, 3);
    third->clear();
    commitText(third, u"７０．５"_s);
    QCOMPARE(third->text(), u"７０．５"_s);
    clickCalculate(*form_);
    QCOMPARE(textBox(*form_, 7)->text(), u"70.5"_s);
}

void Form1InteractionTest::resultBoxesTakeTypingButNeverCount()
{
    const JudgingRound panel = panelExample();
    typeScores(*form_, panel.scores);
    for (int k = 6; k <= boxCount; ++k) {
        QLineEdit *edit = textBox(*form_, k);
        edit->setFocus();
        QTest::keyClicks(edit, u"1000"_s);
        QCOMPARE(edit->text(), u"1000"_s);
    }
    clickCalculate(*form_);
    QCOMPARE(resultTexts(*form_), panel.results);
}

void Form1InteractionTest::errorClickReportsAndTheProgramGoesOn()
{
    QStringList scores = panelExample().scores;
    scores[2] = u"abc"_s;
    typeScores(*form_, scores);
    form_->setText(Box::Text8, u"旧的平均分");
    QString title;
    QString message;
    QStringList buttons;
    const ModalAnswerer answerer([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box != nullptr);
        title = box->windowTitle();
        message = box->text();
        for (const QAbstractButton *button : box->buttons())
            buttons << button->text();
        box->buttons().constFirst()->click();
    });
    clickCalculate(*form_);

    QCOMPARE(answerer.answered(), 1);
    QCOMPARE(title, u"Tavrel"_s);
    QCOMPARE(message, u"评委3的成绩“abc”不是有效的数字。"_s);
    QCOMPARE(buttons, QStringList{u"确定"_s});
    QCOMPARE(textBox(*form_, 3)->text(), u"abc"_s);
    QCOMPARE(textBox(*form_, 6)->text(), QString());
    QCOMPARE(textBox(*form_, 8)->text(), u"旧的平均分"_s);

    // Corrected, the next click works in the same window.
    QLineEdit *third = textBox(*form_, 3);
    third->clear();
    QTest::keyClicks(third, u"78"_s);
    clickCalculate(*form_);
    QCOMPARE(resultTexts(*form_), panelExample().results);
}

void Form1InteractionTest::enterAndEscapePressNoButton()
{
    typeScores(*form_, panelExample().scores);
    // A key that pressed 输入成绩 would open prompts waiting for answers.
    QStringList dialogs;
    const ModalAnswerer closer(
        [&dialogs](QWidget *modal) {
            dialogs << modal->windowTitle();
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
        },
        ModalAnswerer::Times::EveryDialog);
    for (const char *name : {"Text5", "Command1", "Command2"}) {
        QWidget *focused = control(name);
        focused->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(focused, key);
    }
    QCOMPARE(dialogs, QStringList{});
    QCOMPARE(textBox(*form_, 8)->text(), QString());
    QVERIFY(form_->isVisible());
    for (const char *name : {"Command1", "Command2"}) {
        const auto *button = testing::control<QPushButton>(*form_, name);
        QVERIFY(!button->isDefault() && !button->autoDefault());
    }

    // Space on the focused button is the keyboard's click.
    control("Command1")->setFocus();
    QTest::keyClick(control("Command1"), Qt::Key_Space);
    QCOMPARE(textBox(*form_, 8)->text(), panelExample().results.at(2));
}

QTEST_MAIN(Form1InteractionTest)
#include "form1_interaction_test.moc"
