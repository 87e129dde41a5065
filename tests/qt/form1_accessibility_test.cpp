// The window for those who do not see it the usual way, under Qt's offscreen
// platform: what the accessibility layer names each control, where the
// keyboard focus shows, and whether the final score stays readable under
// dark and high-contrast colours.

#include "core/box_texts.h"
#include "qt/form1.h"
#include "test_support.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPalette>
#include <QStyle>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <optional>

using namespace tavrel;
using namespace tavrel::core;
using namespace tavrel::qt;
using namespace tavrel::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

double relativeLuminance(const QColor &colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette darkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::AlternateBase, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    return dark;
}

QPalette highContrastPalette()
{
    QPalette contrast(Qt::black);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        contrast.setColor(role, Qt::yellow);
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        contrast.setColor(role, Qt::black);
    return contrast;
}

} // namespace

class Form1AccessibilityTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void screenReaderNamesAndRoles_data();
    void screenReaderNamesAndRoles();
    void everyTabStopShowsItsFocus();
    void finalScoreReadableUnderEveryPalette_data();
    void finalScoreReadableUnderEveryPalette();

private:
    std::optional<qt::Form1> form_;
};

void Form1AccessibilityTest::init()
{
    form_.emplace();
    QVERIFY(showActive(*form_));
}

void Form1AccessibilityTest::cleanup()
{
    form_.reset();
}

// What a screen reader says for each control: every box by the label beside
// or under it, each button by its caption, with the role that tells the user
// what to do with it.
void Form1AccessibilityTest::screenReaderNamesAndRoles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    const auto row = [](const char *control, const QString &name, QAccessible::Role role) {
        QTest::newRow(control) << name << static_cast<int>(role);
    };
    row("Text1", u"评委1"_s, QAccessible::EditableText);
    row("Text2", u"评委2"_s, QAccessible::EditableText);
    row("Text3", u"评委3"_s, QAccessible::EditableText);
    row("Text4", u"评委4"_s, QAccessible::EditableText);
    row("Text5", u"评委5"_s, QAccessible::EditableText);
    row("Text6", u"去掉一个最高分"_s, QAccessible::EditableText);
    row("Text7", u"去掉一个最低分"_s, QAccessible::EditableText);
    row("Text8", u"最终平均分"_s, QAccessible::EditableText);
    row("Command1", u"计算"_s, QAccessible::Button);
    row("Command2", u"输入成绩"_s, QAccessible::Button);
}

void Form1AccessibilityTest::screenReaderNamesAndRoles()
{
    QFETCH(QString, name);
    QFETCH(int, role);
    QWidget *const widget = control(*form_, QTest::currentDataTag());
    if (qobject_cast<QLineEdit *>(widget) != nullptr)
        QCOMPARE(widget->accessibleName(), name);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    QCOMPARE(static_cast<int>(accessible->role()), role);
}

// Each stop Tab reaches looks different once it has the focus (a caret and
// frame in a box, a focus frame on a button), so a keyboard user sees where
// the next key goes.
void Form1AccessibilityTest::everyTabStopShowsItsFocus()
{
    QStringList focusNotShown;
    for (const char *name : {"Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Command1",
                             "Text8", "Command2", "Text1"}) {
        QWidget *const stop = control(*form_, name);
        const QImage unfocused = stop->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), stop);
        if (stop->grab().toImage() == unfocused)
            focusNotShown << stop->objectName();
    }
    QCOMPARE(focusNotShown, QStringList{});
}

void Form1AccessibilityTest::finalScoreReadableUnderEveryPalette_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::newRow("platform") << QApplication::style()->standardPalette();
    QTest::newRow("dark") << darkPalette();
    QTest::newRow("high-contrast") << highContrastPalette();
}

// The final score's drawn text against its box, as a screenshot shows them.
void Form1AccessibilityTest::finalScoreReadableUnderEveryPalette()
{
    QFETCH(QPalette, palette);
    const QPalette before = QApplication::palette();
    QApplication::setPalette(palette);
    typeScores(*form_, panelExample().scores);
    clickCalculate(*form_);
    QLineEdit *finalScore = textBox(*form_, 8);
    const QImage shot = finalScore->grab().toImage();
    const QColor background = finalScore->palette().color(QPalette::Base);
    double best = 1.0;
    for (int y = shot.height() / 4; y < shot.height() * 3 / 4; ++y)
        for (int x = 4; x < shot.width() - 4; ++x)
            best = std::max(best, contrastRatio(shot.pixelColor(x, y), background));
    QApplication::setPalette(before);
    QVERIFY2(best >= 4.5, qPrintable(u"contrast %1:1"_s.arg(best)));
}

QTEST_MAIN(Form1AccessibilityTest)
#include "form1_accessibility_test.moc"
