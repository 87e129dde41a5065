#include "test_support.h"

#include <QInputMethodEvent>
#include <QPushButton>

#include <cstdio>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace tavrel::testing {

JudgingRound panelExample()
{
    return {{u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s}, {u"92"_s, u"78"_s, u"87.666664"_s}};
}

QStringList resultTexts(const core::BoxTexts &boxes)
{
    return {q(boxes.text(core::Box::Text6)), q(boxes.text(core::Box::Text7)),
            q(boxes.text(core::Box::Text8))};
}

QLineEdit *textBox(const QWidget &window, int k)
{
    return control<QLineEdit>(window, u"Text%1"_s.arg(k));
}

bool showActive(QWidget &window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

void typeScores(const QWidget &window, const QStringList &scores)
{
    for (int k = 1; k <= core::judgeCount; ++k) {
        QLineEdit *box = textBox(window, k);
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, scores.at(k - 1));
    }
}

void commitText(QWidget *box, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

void clickCalculate(const QWidget &window)
{
    QTest::mouseClick(control<QPushButton>(window, u"Command1"_s), Qt::LeftButton);
}

void clickEnterScores(const QWidget &window)
{
    QTest::mouseClick(control<QPushButton>(window, u"Command2"_s), Qt::LeftButton);
}

ModalAnswerer::ModalAnswerer(std::function<void(QWidget *)> answer, Times times)
    : answer_(std::move(answer)), times_(times)
{
    poll_.callOnTimeout([this] { answerOpenDialog(); });
    poll_.start(0);
}

void ModalAnswerer::answerOpenDialog()
{
    QWidget *const modal = QApplication::activeModalWidget();
    if (modal == nullptr)
        return;
    if (times_ == Times::Once)
        poll_.stop();
    ++answered_;
    answer_(modal);
}

bool MissingPreconditions::missing(const QString &reason)
{
    if (reason.isEmpty())
        return false;
    if (!reasons_.contains(reason)) // every row of a table may miss the same
        reasons_ << reason;
    return true;
}

int exitCode(int failures, const MissingPreconditions &preconditions)
{
    if (failures > 0)
        return failures == skippedExitCode ? failures + 1 : failures;
    if (preconditions.reasons().isEmpty())
        return 0;
    std::fprintf(stderr, "skipped: %s\n", qPrintable(preconditions.reasons().join(u"; "_s)));
    return skippedExitCode;
}

} // namespace tavrel::testing
