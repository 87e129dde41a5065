// The window in use, under Qt's offscreen platform: real keys and clicks,
// typing as an input method commits it, pasting, the error report after a
// bad score, and clicks that reach the buttons while a dialog is open.

#include "core/box_texts.h"
#include "core/click_outcome.h"
#include "qt/click_dispatch.h"
#include "qt/form1.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputDialog>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>
#include <stdexcept>

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
    void longPastedScoreIsReadWhole_data();
    void longPastedScoreIsReadWhole();
    void clicksBehindAnOpenDialogDoNothing_data();
    void clicksBehindAnOpenDialogDoNothing();
    void failedClickLeavesTheWindowsClicksOpen();

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

namespace {

// Ctrl+V into `field`, with `text` on the clipboard.
void paste(QLineEdit *field, const QString &text)
{
    QApplication::clipboard()->setText(text);
    field->setFocus();
    field->clear();
    QTest::keySequence(field, QKeySequence::Paste);
}

// The message of an error box, which is then closed; empty for any other
// dialog, which is cancelled.
QString readAndClose(QWidget *modal)
{
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        QString message = box->text();
        box->buttons().constFirst()->click();
        return message;
    }
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    return {};
}

} // namespace

// Past the 32,767 characters a line edit keeps by default: the whole text is
// read, so leading zeros change nothing and a letter at the end is refused.
void Form1InteractionTest::longPastedScoreIsReadWhole_data()
{
    QTest::addColumn<bool>("throughPrompt");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<QString>("error");

    const QString zeros = QString(40000, u'0') + u"85"_s;
    const QString spaces = u"85"_s + QString(40000, u' ') + u"x"_s;
    const QStringList panelResults = panelExample().results;
    const QStringList unchanged{QString(), QString(), QString()};
    const QString notANumber = u"评委1的成绩“85"_s;
    QTest::newRow("box-leading-zeros") << false << zeros << panelResults << QString();
    QTest::newRow("box-spaces-then-letter") << false << spaces << unchanged << notANumber;
    QTest::newRow("prompt-leading-zeros") << true << zeros << panelResults << QString();
    QTest::newRow("prompt-spaces-then-letter") << true << spaces << unchanged << notANumber;
}

void Form1InteractionTest::longPastedScoreIsReadWhole()
{
    QFETCH(bool, throughPrompt);
    QFETCH(QString, pasted);
    QFETCH(QStringList, results);
    QFETCH(QString, error);

    QStringList scores = panelExample().scores;
    scores[0] = pasted;
    if (throughPrompt) {
        QStringList answered; // as each field held it when confirmed
        const ModalAnswerer answerer(
            [&](QWidget *modal) {
                auto *field = modal->findChild<QLineEdit *>();
                QVERIFY(field != nullptr);
                if (answered.isEmpty())
                    paste(field, pasted);
                else
                    commitText(field, scores.at(answered.size()));
                answered << field->text();
                QTest::keyClick(field, Qt::Key_Return);
            },
            ModalAnswerer::Times::EveryDialog);
        clickEnterScores(*form_);
        QCOMPARE(answered.size(), judgeCount);
        QCOMPARE(answered.constFirst().size(), pasted.size());
        QCOMPARE(answered, scores);
    } else {
        QStringList typed = scores;
        typed[0].clear(); // 40,002 key presses would take minutes
        typeScores(*form_, typed);
        paste(textBox(*form_, 1), pasted);
    }
    QCOMPARE(textBox(*form_, 1)->text().size(), pasted.size());
    QCOMPARE(textBox(*form_, 1)->text(), pasted);

    QString message;
    const ModalAnswerer answerer([&message](QWidget *modal) { message = readAndClose(modal); });
    clickCalculate(*form_);
    QVERIFY2(message.startsWith(error), qPrintable(message.left(40)));
    QCOMPARE(message.isEmpty(), error.isEmpty());
    QCOMPARE(resultTexts(*form_), results);
}

// A modal dialog keeps the mouse away from the window, but an assistive
// technology's press action and a programmatic click still reach its
// buttons. Neither may start a second click inside the first.
void Form1InteractionTest::clicksBehindAnOpenDialogDoNothing_data()
{
    QTest::addColumn<bool>("duringErrorBox"); // else during the first prompt
    QTest::addColumn<QString>("invoked");
    QTest::addColumn<bool>("throughAccessibility"); // else QAbstractButton::click from a timer

    for (const bool duringErrorBox : {false, true}) {
        for (const char *invoked : {"Command1", "Command2"}) {
            for (const bool throughAccessibility : {true, false}) {
                const QByteArray name = QByteArray(duringErrorBox ? "error-box" : "prompt") + '-'
                    + invoked + (throughAccessibility ? "-press-action" : "-click-from-timer");
                QTest::newRow(name.constData())
                    << duringErrorBox << QString::fromLatin1(invoked) << throughAccessibility;
            }
        }
    }
}

void Form1InteractionTest::clicksBehindAnOpenDialogDoNothing()
{
    QFETCH(bool, duringErrorBox);
    QFETCH(QString, invoked);
    QFETCH(bool, throughAccessibility);

    const JudgingRound panel = panelExample();
    QStringList scores = panel.scores;
    if (duringErrorBox)
        scores[2] = u"abc"_s;
    typeScores(*form_, scores);
    form_->setText(Box::Text6, u"旧的最高分");
    form_->setText(Box::Text7, u"旧的最低分");
    form_->setText(Box::Text8, u"旧的平均分");
    auto *button = testing::control<QPushButton>(*form_, invoked);

    int dialogs = 0;
    int dialogsOpenedBehind = 0;
    QStringList before;
    QStringList during;
    const auto invokeBehind = [&](QWidget *outer) {
        QTimer watch; // closes any other dialog the invocation opens
        watch.callOnTimeout([&] {
            QWidget *const modal = QApplication::activeModalWidget();
            if (modal != nullptr && modal != outer) {
                ++dialogsOpenedBehind;
                readAndClose(modal);
            }
        });
        watch.start(0);
        before = boxTexts(*form_);
        if (throughAccessibility) {
            QAccessibleInterface *const accessible = QAccessible::queryAccessibleInterface(button);
            QVERIFY(accessible != nullptr && accessible->actionInterface() != nullptr);
            accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else {
            QTimer::singleShot(0, button, &QAbstractButton::click);
        }
        QTest::qWait(300); // the press action releases the button after 100 ms
        during = boxTexts(*form_);
    };
    const ModalAnswerer answerer(
        [&](QWidget *modal) {
            if (++dialogs == 1)
                invokeBehind(modal);
            if (auto *prompt = qobject_cast<QInputDialog *>(modal)) {
                prompt->setTextValue(panel.scores.at(dialogs - 1));
                prompt->accept();
            } else {
                readAndClose(modal);
            }
        },
        ModalAnswerer::Times::EveryDialog);
    if (duringErrorBox)
        clickCalculate(*form_);
    else
        clickEnterScores(*form_);

    QCOMPARE(dialogsOpenedBehind, 0);
    QCOMPARE(during, before);
    QCOMPARE(dialogs, duringErrorBox ? 1 : judgeCount);
    // Once the dialog has closed, clicks work again.
    textBox(*form_, 3)->setText(u"78"_s);
    clickCalculate(*form_);
    QCOMPARE(resultTexts(*form_), panel.results);
}

// A failure that is not a run-time error leaves the handler by an exception;
// the window's clicks must not stay blocked behind it.
void Form1InteractionTest::failedClickLeavesTheWindowsClicksOpen()
{
    core::ClickGate clicks;
    QVERIFY_THROWS_EXCEPTION(std::logic_error, dispatchClick(clicks, &*form_, [] {
                                 throw std::logic_error("broken handler");
                             }));
    QVERIFY(!clicks.clickRunning());
    bool ran = false;
    dispatchClick(clicks, &*form_, [&ran] { ran = true; });
    QVERIFY(ran);
    QVERIFY(form_->close());
}

QTEST_MAIN(Form1InteractionTest)
#include "form1_interaction_test.moc"
