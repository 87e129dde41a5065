// The enter-scores command through the window, with the real dialog answered
// from its event loop. (The command against scripted answers and a table of
// texts is a core test: tests/core/score_entry_test.cpp.)

#include "qt/form1.h"
#include "test_support.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tavrel;
using namespace tavrel::core;
using namespace tavrel::qt;
using namespace tavrel::testing;
using namespace Qt::Literals::StringLiterals;

class ScoreEntryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void realDialogThroughTheWindow();
};

// Five real dialogs, each checked and answered from inside its own event
// loop: typed and confirmed with Enter, except the third, dismissed with Esc.
void ScoreEntryTest::realDialogThroughTheWindow()
{
    qt::Form1 form;
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
    QCOMPARE(boxTexts(form, judgeCount), typed);
}

QTEST_MAIN(ScoreEntryTest)
#include "score_entry_test.moc"
