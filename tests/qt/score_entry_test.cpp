// The enter-scores command: against scripted answers and a table of texts,
// and through the window with the real dialog answered from its event loop.

#include "runtime/text_table.h"
#include "scoring/calculate.h"
#include "test_support.h"
#include "ui/form1.h"
#include "ui/score_entry.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <deque>
#include <optional>

using namespace tavrel;
using namespace tavrel::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

// Gives the answers in turn and records what each prompt asked and what the
// boxes held at that moment.
class ScriptedPrompt final : public Prompt
{
public:
    ScriptedPrompt(const QStringList &answers, const BoxTexts &boxes) : boxes_(boxes)
    {
        for (const QString &answer : answers)
            answers_.push_back(u16(answer));
    }

    std::u16string ask(std::u16string_view message, std::u16string_view title) override
    {
        asked << q(title) + u": "_s + q(message);
        QStringList snapshot;
        for (int k = 1; k <= judgeCount; ++k)
            snapshot << q(boxes_.text(boxNumber(k)));
        boxesWhenAsked << snapshot;
        std::u16string answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    QStringList asked;
    QList<QStringList> boxesWhenAsked;

private:
    const BoxTexts &boxes_;
    std::deque<std::u16string> answers_;
};

QStringList scoreTexts(const BoxTexts &boxes)
{
    QStringList texts;
    for (int k = 1; k <= judgeCount; ++k)
        texts << q(boxes.text(boxNumber(k)));
    return texts;
}

} // namespace

class ScoreEntryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fillsTheScoreBoxesInOrder_data();
    void fillsTheScoreBoxesInOrder();
    void eachAnswerIsWrittenBeforeTheNextPrompt();
    void answeredScoresCalculate();
    void realDialogThroughTheWindow();
};

void ScoreEntryTest::fillsTheScoreBoxesInOrder_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("answers");

    QTest::newRow("panel-example")
        << QStringList(5, QString()) << QStringList{u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s};
    QTest::newRow("name-kept-unchanged")
        << QStringList(5, QString())
        << QStringList{u"85"_s, u"张三"_s, u" 78 "_s, u"９２"_s, u"88"_s};
    QTest::newRow("earlier-contents-replaced")
        << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}
        << QStringList{u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s};
    // A dismissed prompt answers with an empty text, which replaces the old one.
    QTest::newRow("third-prompt-dismissed")
        << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}
        << QStringList{u"85"_s, u"90"_s, QString(), u"92"_s, u"88"_s};
}

void ScoreEntryTest::fillsTheScoreBoxesInOrder()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, answers);
    TextTable boxes{u16(before[0]), u16(before[1]), u16(before[2]), u16(before[3]),
                    u16(before[4]), u"结果6",       u"结果7",       u"结果8"};
    ScriptedPrompt prompt(answers, boxes);
    ui::Command2_Click(boxes, prompt);

    QCOMPARE(scoreTexts(boxes), answers);
    QCOMPARE(prompt.asked, QStringList(5, u"提示: 请输入成绩"_s));
    QCOMPARE(q(boxes.text(Box::Text8)), u"结果8"_s); // results are not touched
}

void ScoreEntryTest::eachAnswerIsWrittenBeforeTheNextPrompt()
{
    TextTable boxes{u"a", u"b", u"c", u"d", u"e"};
    ScriptedPrompt prompt({u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}, boxes);
    ui::Command2_Click(boxes, prompt);
    const QList<QStringList> expected{{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s},
                                      {u"1"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s},
                                      {u"1"_s, u"2"_s, u"c"_s, u"d"_s, u"e"_s},
                                      {u"1"_s, u"2"_s, u"3"_s, u"d"_s, u"e"_s},
                                      {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"e"_s}};
    QCOMPARE(prompt.boxesWhenAsked, expected);
}

void ScoreEntryTest::answeredScoresCalculate()
{
    TextTable boxes;
    ScriptedPrompt prompt({u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s}, boxes);
    ui::Command2_Click(boxes, prompt);
    Command1_Click(boxes);
    QCOMPARE(q(boxes.text(Box::Text6)), u"92"_s);
    QCOMPARE(q(boxes.text(Box::Text7)), u"78"_s);
    QCOMPARE(q(boxes.text(Box::Text8)), u"87.666664"_s);
}

// Five real dialogs, each checked and answered from inside its own event
// loop: typed and confirmed with Enter, except the third, dismissed with Esc.
void ScoreEntryTest::realDialogThroughTheWindow()
{
    ui::Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.setText(Box::Text3, u"旧的成绩");

    const QStringList typed{u"85"_s, u"90"_s, QString(), u"92"_s, u"８８"_s};
    int shown = 0;
    QStringList problems;
    std::function<void()> answer = [&] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            QTimer::singleShot(10, answer); // not open yet
            return;
        }
        const int k = ++shown;
        const auto *label = dialog->findChild<QLabel *>();
        auto *field = dialog->findChild<QLineEdit *>();
        QStringList buttons;
        for (const QPushButton *button : dialog->findChildren<QPushButton *>())
            buttons << button->text();
        buttons.sort();
        const auto expect = [&](bool holds, const char *what) {
            if (!holds)
                problems << u"prompt %1: %2"_s.arg(k).arg(QLatin1StringView(what));
        };
        expect(dialog->windowTitle() == u"提示"_s, "title");
        expect(label != nullptr && label->text() == u"请输入成绩"_s, "message");
        expect(field != nullptr && field->text().isEmpty(), "empty answer field");
        expect(field != nullptr && dialog->focusWidget() == field, "focus in the answer field");
        expect(buttons == QStringList{u"取消"_s, u"确定"_s}, "buttons");
        expect(dialog->isModal(), "modal");
        // While it is open, the window's boxes before this one are already filled.
        if (k > 1 && form.text(boxNumber(k - 1)) != u16(typed[k - 2]))
            problems << u"box %1 not written before prompt %2"_s.arg(k - 1).arg(k);

        if (k == 3) {
            QTest::keyClicks(field, u"99"_s);
            QTest::keyClick(field, Qt::Key_Escape);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(typed[k - 1]);
            QApplication::sendEvent(field, &commit);
            QTest::keyClick(field, Qt::Key_Return);
        }
        if (k < judgeCount)
            QTimer::singleShot(0, answer);
    };
    QTimer::singleShot(0, answer);
    QTest::mouseClick(form.findChild<QPushButton *>(u"Command2"_s), Qt::LeftButton);

    QCOMPARE(shown, 5);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"; "_s)));
    QCOMPARE(scoreTexts(form), typed);
}

QTEST_MAIN(ScoreEntryTest)
#include "score_entry_test.moc"
