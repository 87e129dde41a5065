// From a click on "计算" to all three result boxes painted with their new
// texts, through the real window (offscreen or xcb, as QT_QPA_PLATFORM says).

#include "core/box_texts.h"
#include "qt/form1.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <array>

namespace {

using namespace tavrel;
using namespace tavrel::core;
using namespace tavrel::qt;

// Counts paint events of the result boxes.
class PaintCounter : public QObject
{
public:
    int painted = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++painted;
        return QObject::eventFilter(watched, event);
    }
};

void clickToResultsPainted(benchmark::State &state)
{
    qt::Form1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        state.SkipWithError("the window was never shown");
        return;
    }
    for (const auto &[box, text] :
         std::array<std::pair<Box, std::u16string_view>, 5>{{{Box::Text1, u"85"},
                                                             {Box::Text2, u"90"},
                                                             {Box::Text3, u"78"},
                                                             {Box::Text4, u"92"},
                                                             {Box::Text5, u"88"}}})
        form.setText(box, text);
    PaintCounter counter;
    for (const char *name : {"Text6", "Text7", "Text8"})
        form.findChild<QLineEdit *>(QString::fromLatin1(name))->installEventFilter(&counter);
    auto *calculate = form.findChild<QPushButton *>(QStringLiteral("Command1"));

    int round = 0;
    for (auto _ : state) {
        // A different fifth score each round, so every click changes all three texts.
        state.PauseTiming();
        form.setText(Box::Text1, (round++ % 2) ? u"85" : u"86");
        QCoreApplication::processEvents();
        counter.painted = 0;
        state.ResumeTiming();

        QTest::mouseClick(calculate, Qt::LeftButton);
        while (counter.painted < 3)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}
BENCHMARK(clickToResultsPainted)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
