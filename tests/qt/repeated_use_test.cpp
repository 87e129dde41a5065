// A long session through the real window and dialogs: many calculate clicks,
// error reports and prompt rounds leave the process's memory where it was.

#include "runtime/box_texts.h"
#include "test_support.h"
#include "ui/form1.h"

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace tavrel;
using namespace Qt::Literals::StringLiterals;

namespace {

// AddressSanitizer holds freed memory back in quarantine, so the resident
// size grows by design there; its leak checker answers the question instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool residentSizeMeaningful = false;
#else
constexpr bool residentSizeMeaningful = true;
#endif

// Resident set size in kB, from /proc (Linux only).
long residentKb()
{
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLong() * 4;
}

// Answers every modal dialog that opens while it lives: a prompt gets the
// next score, an error report is acknowledged.
class DialogAnswerer : public QObject
{
public:
    DialogAnswerer()
    {
        timer_.callOnTimeout(this, &DialogAnswerer::answer);
        timer_.start(0);
    }
    [[nodiscard]] int promptsAnswered() const { return answered_; }

private:
    void answer()
    {
        if (auto *prompt = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
            prompt->setTextValue(QString::number(70 + (answered_++ % 30)));
            prompt->accept();
        } else if (auto *report = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            report->buttons().constFirst()->click();
        }
    }

    QTimer timer_;
    int answered_ = 0;
};

} // namespace

class RepeatedUseTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void memoryStaysFlat();
};

// The offscreen platform warns at every dialog that it cannot pass on size
// hints; thousands of those would drown the figures this test prints.
void RepeatedUseTest::initTestCase()
{
    static QtMessageHandler next = nullptr;
    next = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (!text.contains(u"propagateSizeHints"_s))
                next(type, context, text);
        });
}

void RepeatedUseTest::memoryStaysFlat()
{
    if (residentKb() < 0)
        QSKIP("no /proc to read the resident size from");
    ui::Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *calculate = form.findChild<QPushButton *>(u"Command1"_s);
    auto *enterScores = form.findChild<QPushButton *>(u"Command2"_s);
    DialogAnswerer answerer;

    const auto session = [&](int clicks, int rounds) {
        for (int i = 0; i < clicks; ++i) {
            // Every hundredth click is on a bad score and shows the report.
            form.setText(Box::Text3, i % 100 == 99 ? u"abc" : u"78");
            QTest::mouseClick(calculate, Qt::LeftButton);
        }
        for (int i = 0; i < rounds; ++i)
            QTest::mouseClick(enterScores, Qt::LeftButton);
        QCoreApplication::processEvents();
    };

    session(500, 50); // warm caches: fonts, glyphs, dialog layouts
    const long before = residentKb();
    session(10000, 1000);
    const long after = residentKb();
    qInfo("resident %ld kB before, %ld kB after", before, after);
    if (residentSizeMeaningful)
        QVERIFY2(after <= before + before / 100, "memory grew by more than 1 %");
    QCOMPARE(answerer.promptsAnswered(), 5 * (50 + 1000));
}

QTEST_MAIN(RepeatedUseTest)
#include "repeated_use_test.moc"
