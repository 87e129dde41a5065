// What a screen reader hears of a judging round. Runs on a real X server with
// the desktop's accessibility bus turned on (see screen_reader_session.sh),
// because only then does Qt pass accessibility events on at all.

#include "core/box_texts.h"
#include "qt/form1.h"
#include "test_support.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <optional>
#include <utility>
#include <vector>

using namespace tavrel;
using namespace tavrel::core;
using namespace tavrel::qt;
using namespace tavrel::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

// Each change of a box's text as the accessibility layer received it, as
// "name: inserted text" (the box's accessible name, the text put in).
QString announcement(const QString &name, const QString &inserted)
{
    return name + u": "_s + inserted;
}

// Stands where the platform's accessibility bridge would receive events and
// keeps the text changes; the previous receiver is put back when it goes.
class ScreenReaderStandIn
{
public:
    ScreenReaderStandIn() : previous_(QAccessible::installUpdateHandler(&record))
    {
        heard().clear();
    }
    ~ScreenReaderStandIn() { QAccessible::installUpdateHandler(previous_); }
    ScreenReaderStandIn(const ScreenReaderStandIn &) = delete;
    ScreenReaderStandIn &operator=(const ScreenReaderStandIn &) = delete;
    ScreenReaderStandIn(ScreenReaderStandIn &&) = delete;
    ScreenReaderStandIn &operator=(ScreenReaderStandIn &&) = delete;

    // The text changes of the boxes named in `names`, in the order they came.
    [[nodiscard]] static QStringList heardFrom(const QStringList &names)
    {
        QStringList kept;
        for (const auto &[name, inserted] : heard())
            if (names.contains(name))
                kept.push_back(announcement(name, inserted));
        return kept;
    }

private:
    // An update handler is a plain function, so what it hears has to live
    // outside any object.
    static std::vector<std::pair<QString, QString>> &heard()
    {
        static std::vector<std::pair<QString, QString>> changes;
        return changes;
    }

    static void record(QAccessibleEvent *event)
    {
        if (event->type() != QAccessible::TextUpdated && event->type() != QAccessible::TextInserted)
            return;
        const QString name = event->accessibleInterface()->text(QAccessible::Name);
        const QString inserted = event->type() == QAccessible::TextUpdated
            ? static_cast<QAccessibleTextUpdateEvent *>(event)->textInserted()
            : static_cast<QAccessibleTextInsertEvent *>(event)->textInserted();
        heard().emplace_back(name, inserted);
    }

    QAccessible::UpdateHandler previous_;
};

const QStringList resultNames{u"去掉一个最高分"_s, u"去掉一个最低分"_s, u"最终平均分"_s};

} // namespace

class ScreenReaderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void typedScoresAreHeard();
    void newResultsAreHeard_data();
    void newResultsAreHeard();

private:
    std::optional<qt::Form1> form_;
};

void ScreenReaderTest::initTestCase()
{
    // The bridge turns accessibility on once it has found the bus.
    QTRY_VERIFY2_WITH_TIMEOUT(QAccessible::isActive(), "no accessibility bus", 10000);
}

void ScreenReaderTest::init()
{
    form_.emplace();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(&*form_));
}

void ScreenReaderTest::cleanup()
{
    form_.reset();
}

void ScreenReaderTest::typedScoresAreHeard()
{
    const ScreenReaderStandIn reader;
    QTest::keyClicks(textBox(*form_, 3), u"78"_s);
    QCOMPARE(ScreenReaderStandIn::heardFrom({u"评委3"_s}),
             (QStringList{announcement(u"评委3"_s, u"7"_s), announcement(u"评委3"_s, u"8"_s)}));
}

void ScreenReaderTest::newResultsAreHeard_data()
{
    QTest::addColumn<QStringList>("earlier");
    QTest::addColumn<QStringList>("scores");
    QTest::addColumn<QStringList>("heard");

    const JudgingRound panel = panelExample();
    QTest::newRow("first round") << QStringList{} << panel.scores << panel.results;
    // Every click is heard in full, a result the same as last round's too.
    QTest::newRow("next round") << panel.scores
                                << QStringList{u"80"_s, u"95"_s, u"78"_s, u"99"_s, u"85"_s}
                                << QStringList{u"99"_s, u"78"_s, u"86.666664"_s};
}

// After "计算" each result box's new text reaches the accessibility layer,
// in the order the boxes are filled, so a reader can announce the score.
void ScreenReaderTest::newResultsAreHeard()
{
    QFETCH(QStringList, earlier);
    QFETCH(QStringList, scores);
    QFETCH(QStringList, heard);
    if (!earlier.isEmpty()) {
        typeScores(*form_, earlier);
        clickCalculate(*form_);
    }
    typeScores(*form_, scores);

    const ScreenReaderStandIn reader;
    clickCalculate(*form_);

    QStringList expected;
    for (int k = 0; k < resultNames.size(); ++k)
        expected.push_back(announcement(resultNames.at(k), heard.at(k)));
    QCOMPARE(ScreenReaderStandIn::heardFrom(resultNames), expected);
    QCOMPARE(resultTexts(*form_), heard);
}

QTEST_MAIN(ScreenReaderTest)
#include "screen_reader_test.moc"
