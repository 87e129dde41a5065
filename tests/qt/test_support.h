#pragma once

// What the Qt front-end's tests share: readable UTF-16 literals in QtTest
// data, bit-exact float comparison (QCOMPARE on floats is fuzzy), the
// judging round most checks use, a user's hands on the window (typing,
// clicking, answering its modal dialogs) and an exit code that tells CTest
// when a check could not run on this machine.

#include "core/box_texts.h"

#include <QApplication>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <bit>
#include <cstdint>
#include <functional>
#include <string>

namespace tavrel::testing {

inline std::u16string u16(const QString &text)
{
    return text.toStdU16String();
}

inline QString q(std::u16string_view text)
{
    return QStringView(text).toString();
}

// The texts of Text1 … Text`count`, as the window holds them.
inline QStringList boxTexts(const core::BoxTexts &boxes, int count = core::boxCount)
{
    QStringList texts;
    for (int k = 1; k <= count; ++k)
        texts << q(boxes.text(core::boxNumber(k)));
    return texts;
}

inline std::uint32_t bitsOf(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}
inline std::uint64_t bitsOf(double value)
{
    return std::bit_cast<std::uint64_t>(value);
}

// Five scores and what "计算" shows for them, in the order of the boxes.
struct JudgingRound
{
    QStringList scores; // Text1 … Text5
    QStringList results; // Text6 (highest), Text7 (lowest), Text8 (final score)
};

// The panel's worked example: 92 and 78 go, (85 + 90 + 88) / 3 stays, as the
// single nearest 87.666…
JudgingRound panelExample();

// Texts of Text6, Text7 and Text8, in that order.
QStringList resultTexts(const core::BoxTexts &boxes);

// A control of `window` by its name. The test program stops if there is no
// such control: every check after it would only fail less clearly.
template<typename Control = QWidget> Control *control(const QWidget &window, const QString &name)
{
    auto *found = window.findChild<Control *>(name);
    if (found == nullptr)
        qFatal("no control %s", qPrintable(name));
    return found;
}
template<typename Control = QWidget> Control *control(const QWidget &window, const char *name)
{
    return control<Control>(window, QString::fromLatin1(name));
}

// Text1 … Text8.
QLineEdit *textBox(const QWidget &window, int k);

// Shows `window` and makes it the active one, as it is when the program
// starts; false if the platform never activated it.
[[nodiscard]] bool showActive(QWidget &window);

// Replaces the text of Text1 … Text5 key by key, each box focused as when a
// user clicks into it.
void typeScores(const QWidget &window, const QStringList &scores);

// Types `text` as an input method commits it: full-width and Chinese text
// cannot go through QTest::keyClicks.
void commitText(QWidget *box, const QString &text);

// A mouse click on "计算" (Command1) or "输入成绩" (Command2).
void clickCalculate(const QWidget &window);
void clickEnterScores(const QWidget &window);

// Answers modal dialogs from inside their own event loops, the way Qt's
// own tests do: made before the click that opens a dialog, it looks for one
// on every pass of the event loop while it lives, so a dialog that never
// opens cannot be answered by a later test's click.
class ModalAnswerer
{
public:
    enum class Times { Once, EveryDialog };

    explicit ModalAnswerer(std::function<void(QWidget *modal)> answer, Times times = Times::Once);

    [[nodiscard]] int answered() const { return answered_; }

private:
    void answerOpenDialog();

    std::function<void(QWidget *)> answer_;
    Times times_;
    int answered_ = 0;
    QTimer poll_;
};

// Checks a test program skipped because this machine lacks what they need
// (a font, a translation file). Qt Test counts a skipped check as passed;
// runQtTest turns them into CTest's "skipped" instead.
class MissingPreconditions
{
public:
    // True, and noted, when `reason` says something is missing; the caller
    // then skips with that reason.
    [[nodiscard]] bool missing(const QString &reason);
    [[nodiscard]] const QStringList &reasons() const { return reasons_; }

private:
    QStringList reasons_;
};

// The exit code CTest counts as skipped (cmake/Testing.cmake).
inline constexpr int skippedExitCode = TAVREL_SKIP_CODE;

// Qt Test's failure count as the program's exit code: 0 only when every
// check ran and passed, skippedExitCode when none failed but some could not
// run.
int exitCode(int failures, const MissingPreconditions &preconditions);

// QTEST_MAIN for a test object with `preconditions()`: the same application
// set-up, and the exit code above.
template<typename Test> int runQtTest(int argc, char **argv)
{
    QApplication application(argc, argv);
    // As QTEST_MAIN: fonts are sized for 96 dots per inch on every screen.
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    Test test;
    const int failures = QTest::qExec(&test, argc, argv);
    return exitCode(failures, test.preconditions());
}

} // namespace tavrel::testing
