// A long session through the real window and dialogs: many calculate clicks,
// error reports and prompt rounds leave the process's memory where it was.

#include "core/box_texts.h"
#include "qt/form1.h"
#include "test_support.h"

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace tavrel;
using namespace tavrel::core;
using namespace tavrel::qt;
using namespace tavrel::testing;
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

} // namespace

class RepeatedUseTest : public QObject
{
    Q_OBJECT

public:
    [[nodiscard]] const MissingPreconditions &preconditions() const { return preconditions_; }

private Q_SLOTS:
    void initTestCase();
    void memoryStaysFlat();

private:
    MissingPreconditions preconditions_;
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
    const QString missing
        = residentKb() < 0 ? u"no /proc to read the resident size from"_s : QString();
    if (preconditions_.missing(missing))
        QSKIP(qPrintable(missing));
    qt::Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Every dialog that opens is answered: a prompt gets the next score, an
    // error report is acknowledged.
    int promptsAnswered = 0;
    const ModalAnswerer answerer(
        [&promptsAnswered](QWidget *modal) {
            if (auto *prompt = qobject_cast<QInputDialog *>(modal)) {
                prompt->setTextValue(QString::number(70 + (promptsAnswered++ % 30)));
                prompt->accept();
            } else if (auto *report = qobject_cast<QMessageBox *>(modal)) {
                report->buttons().constFirst()->click();
            }
        },
        ModalAnswerer::Times::EveryDialog);

    const auto session = [&](int clicks, int rounds) {
        for (int i = 0; i < clicks; ++i) {
            // Every hundredth click is on a bad score and shows the report.
            form.setText(Box::Text3, i % 100 == 99 ? u"abc" : u"78");
            clickCalculate(form);
        }
        for (int i = 0; i < rounds; ++i)
            clickEnterScores(form);
        QCoreApplication::processEvents();
    };

    session(500, 50); // warm caches: fonts, glyphs, dialog layouts
    const long before = residentKb();
    session(10000, 1000);
    const long after = residentKb();
    qInfo("resident %ld kB before, %ld kB after", before, after);
    if (residentSizeMeaningful)
        QVERIFY2(after <= before + before / 100, "memory grew by more than 1 %");
    QCOMPARE(promptsAnswered, 5 * (50 + 1000));
}

int main(int argc, char *argv[])
{
    return runQtTest<RepeatedUseTest>(argc, argv);
}

#include "repeated_use_test.moc"
