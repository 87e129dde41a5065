// The window under Qt's offscreen platform: its controls against the layout,
// real clicks and keys, and the error report.

#include "runtime/box_texts.h"
#include "runtime/startup.h"
#include "test_support.h"
#include "ui/fonts.h"
#include "ui/form1.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QGroupBox>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRawFont>
#include <QStyle>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace tavrel;
using namespace tavrel::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

// Types `text` as an input method commits it: full-width and Chinese text
// cannot go through QTest::keyClicks.
void commitText(QWidget *widget, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

QString standInFor(const QString &face)
{
    if (face == u"宋体"_s)
        return u"AR PL SungtiL GB"_s;
    if (face == u"黑体"_s)
        return u"WenQuanYi Micro Hei"_s;
    if (face == u"华文新魏"_s)
        return u"AR PL KaitiM GB"_s;
    return {};
}

// Answers the next modal dialog from inside its own event loop.
void answerNextModal(const std::function<void(QWidget *)> &answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        answer(modal);
    });
}

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void clientAreaAndTitle();
    void controlGeometry_data();
    void controlGeometry();
    void captionsAndFonts_data();
    void captionsAndFonts();
    void captionKeepsMergingOnlyWhereItsFaceLacksACharacter_data();
    void captionKeepsMergingOnlyWhereItsFaceLacksACharacter();
    void textBoxesLieAboveTheirLabels();
    void stampIsDrawnForTheScreen();
    void enterScoresCaptionWrapsOntoTwoLines();
    void tabOrderAndInitialFocus();
    void wholeRoundByKeyboard();
    void accessibleNamesComeFromTheLabels();
    void calculateClickFillsTheResults();
    void boxesDrawWhatTheirFaceLacks_data();
    void boxesDrawWhatTheirFaceLacks();
    void resultBoxesTakeTypingButNeverCount();
    void errorClickReportsAndTheProgramGoesOn();
    void enterAndEscapePressNoButton();
    void longResultShowsItsBeginning();
    void qtStandardTextsAreChinese();
    void contextMenuDrawsInTheWindowsFace();
    void screenReaderNamesAndRoles_data();
    void screenReaderNamesAndRoles();
    void finalScoreReadableUnderEveryPalette_data();
    void finalScoreReadableUnderEveryPalette();

private:
    template<typename T = QWidget> T *control(const char *name) const
    {
        T *found = form_->findChild<T *>(QString::fromLatin1(name));
        if (found == nullptr)
            qFatal("no control %s", name);
        return found;
    }
    void typeScores(const QStringList &scores);

    std::unique_ptr<ui::Form1> form_;
};

void Form1Test::init()
{
    form_ = std::make_unique<ui::Form1>();
    form_->show();
    QApplication::setActiveWindow(form_.get());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
}

void Form1Test::cleanup()
{
    form_.reset();
}

void Form1Test::typeScores(const QStringList &scores)
{
    for (int k = 1; k <= judgeCount; ++k) {
        auto *box = control<QLineEdit>(qPrintable(u"Text%1"_s.arg(k)));
        box->setFocus();
        QTest::keyClicks(box, scores.at(k - 1));
    }
}

void Form1Test::clientAreaAndTitle()
{
    QCOMPARE(form_->windowTitle(), u"Tavrel"_s);
    QCOMPARE(form_->size(), QSize(582, 453));
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
    QVERIFY(!form_->windowIcon().isNull());
    QCOMPARE(control<QGroupBox>("Frame1")->title(), QString());
    for (int k = 1; k <= boxCount; ++k)
        QCOMPARE(control<QLineEdit>(qPrintable(u"Text%1"_s.arg(k)))->text(), QString());
}

// Pixels at 96 dots per inch, relative to the container's outer corner.
void Form1Test::controlGeometry_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("geometry");

    const auto row = [](const char *name, const char *container, QRect geometry) {
        QTest::newRow(name) << QString::fromLatin1(container) << geometry;
    };
    row("Command2", "Form1", {472, 56, 65, 49});
    row("Frame1", "Form1", {40, 144, 497, 305});
    row("Text8", "Frame1", {184, 184, 161, 65});
    row("Command1", "Frame1", {352, 56, 97, 49});
    row("Text7", "Frame1", {184, 88, 97, 41});
    row("Text6", "Frame1", {184, 32, 97, 41});
    row("Image1", "Frame1", {416, 232, 57, 57});
    row("Label9", "Frame1", {24, 200, 169, 33});
    row("Label8", "Frame1", {32, 96, 161, 25});
    row("Label7", "Frame1", {32, 40, 161, 25});
    row("Text5", "Form1", {392, 56, 57, 49});
    row("Text4", "Form1", {304, 56, 57, 49});
    row("Text3", "Form1", {216, 56, 57, 49});
    row("Text2", "Form1", {128, 56, 57, 49});
    row("Text1", "Form1", {40, 56, 57, 49});
    row("Label6", "Form1", {400, 120, 41, 17});
    row("Label5", "Form1", {312, 120, 41, 17});
    row("Label4", "Form1", {224, 120, 41, 17});
    row("Label3", "Form1", {136, 120, 41, 17});
    row("Label2", "Form1", {48, 120, 41, 17});
    row("Label1", "Form1", {40, 16, 185, 33});
}

void Form1Test::controlGeometry()
{
    QFETCH(QString, container);
    QFETCH(QRect, geometry);
    const QWidget *widget = control(QTest::currentDataTag());
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->geometry(), geometry);
    QVERIFY(widget->isVisible());
}

void Form1Test::captionsAndFonts_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("family"); // the face named first; empty: the default font
    QTest::addColumn<double>("points"); // 0: the default size
    QTest::addColumn<bool>("bold");

    const auto row
        = [](const char *name, const QString &caption, const QString &family, double points,
             bool bold) { QTest::newRow(name) << caption << family << points << bold; };
    row("Command2", u"输入成绩"_s, u"宋体"_s, 14.25, true);
    row("Command1", u"计算"_s, u"华文新魏"_s, 21.75, false);
    row("Label9", u"最终平均分"_s, u"黑体"_s, 21.75, true);
    row("Label8", u"去掉一个最低分"_s, u"黑体"_s, 14.25, false);
    row("Label7", u"去掉一个最高分"_s, u"黑体"_s, 14.25, false);
    row("Label6", u"评委5"_s, QString(), 0, false);
    row("Label5", u"评委4"_s, QString(), 0, false);
    row("Label4", u"评委3"_s, QString(), 0, false);
    row("Label3", u"评委2"_s, QString(), 0, false);
    row("Label2", u"评委1"_s, QString(), 0, false);
    row("Label1", u"评委的打分"_s, u"宋体"_s, 21.75, false);
    row("Text8", QString(), u"宋体"_s, 42, true);
    row("Text7", QString(), u"黑体"_s, 18, false);
    row("Text6", QString(), u"黑体"_s, 18, false);
    row("Text1", QString(), u"宋体"_s, 26.25, true);
    row("Text5", QString(), u"宋体"_s, 26.25, true);
}

void Form1Test::captionsAndFonts()
{
    QFETCH(QString, caption);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    const QWidget *widget = control(QTest::currentDataTag());

    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        QCOMPARE(button->text(), caption);
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        QCOMPARE(label->text(), caption);

    const QFont font = widget->font();
    if (!family.isEmpty()) {
        // The named face where it is installed, else the stand-in the setup installs.
        const QString expected = QFontDatabase::hasFamily(family) ? family : standInFor(family);
        QCOMPARE(font.families().value(0), expected);
        QCOMPARE(QFontInfo(font).family(), expected);
        QCOMPARE(font.pointSizeF(), points);
    }
    QCOMPARE(font.weight(), bold ? QFont::Bold : QFont::Normal);
    QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
    // Whatever is typed into a box must find a face, the frame's boxes too.
    if (qobject_cast<const QLineEdit *>(widget) != nullptr)
        QVERIFY(!(font.styleStrategy() & QFont::NoFontMerging));

    // The face the font really resolves to must draw every character of the
    // caption (and the digits a box shows): no missing-glyph boxes, whatever
    // the locale.
    const QRawFont resolved = QRawFont::fromFont(font);
    QVERIFY(resolved.isValid());
    for (const QChar c : caption + u"0123456789.-e"_s)
        QVERIFY2(resolved.supportsCharacter(c),
                 qPrintable(u"%1 lacks %2"_s.arg(resolved.familyName()).arg(c)));
}

void Form1Test::captionKeepsMergingOnlyWhereItsFaceLacksACharacter_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("merging");
    QTest::newRow("Chinese and digits") << u"评委1"_s << false;
    QTest::newRow("empty") << QString() << false;
    // Characters the Song face does not have: another face must draw them.
    QTest::newRow("emoji") << u"评委\U0001F600"_s << true;
    QTest::newRow("Hangul") << u"评委한"_s << true;
}

void Form1Test::captionKeepsMergingOnlyWhereItsFaceLacksACharacter()
{
    QFETCH(QString, caption);
    QFETCH(bool, merging);
    QFont song(u"AR PL SungtiL GB"_s, 14);
    QVERIFY(QFontInfo(song).family() == song.family());
    const QFont chosen = ui::ownFaceWhereItCovers(song, caption);
    QCOMPARE(!(chosen.styleStrategy() & QFont::NoFontMerging), merging);
    QCOMPARE(chosen.families(), song.families());
    QCOMPARE(chosen.pointSizeF(), song.pointSizeF());
}

void Form1Test::textBoxesLieAboveTheirLabels()
{
    const QWidget *frame = control("Frame1");
    for (const char *box : {"Text6", "Text7", "Text8"}) {
        const QWidget *edit = control(box);
        const QPoint insideOverlap = edit->geometry().topLeft() + QPoint(2, edit->height() / 2);
        QCOMPARE(frame->childAt(insideOverlap), edit);
    }
}

// 57 x 57 on every screen, from the picture made for 2x wherever the screen
// has more device pixels than 1x, so it is never an enlarged bitmap.
void Form1Test::stampIsDrawnForTheScreen()
{
    const auto *image = control<QLabel>("Image1");
    const QPixmap stamp = image->pixmap();
    QVERIFY(!stamp.isNull());
    QCOMPARE(stamp.deviceIndependentSize(), QSizeF(57, 57));
    QCOMPARE(stamp.devicePixelRatio(), image->devicePixelRatioF() > 1.0 ? 2.0 : 1.0);
    QCOMPARE(image->geometry().topLeft() + image->parentWidget()->geometry().topLeft(),
             QPoint(456, 376));
}

// The caption has no line break of its own but is drawn in two lines: two
// separate bands of dark rows in the button's picture.
void Form1Test::enterScoresCaptionWrapsOntoTwoLines()
{
    auto *button = control<QPushButton>("Command2");
    QCOMPARE(button->text(), u"输入成绩"_s);
    const QImage image = button->grab().toImage();
    const QColor text = button->palette().color(QPalette::ButtonText);
    int bands = 0;
    bool inBand = false;
    for (int y = 4; y < image.height() - 4; ++y) {
        bool ink = false;
        for (int x = 4; x < image.width() - 4 && !ink; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            ink = std::abs(pixel.lightness() - text.lightness()) < 60;
        }
        bands += (ink && !inBand) ? 1 : 0;
        inBand = ink;
    }
    QCOMPARE(bands, 2);
}

// Tab visits every stop in order, and each stop shows that it has the focus
// (a caret and frame in a box, a focus frame on a button).
void Form1Test::tabOrderAndInitialFocus()
{
    QCOMPARE(QApplication::focusWidget(), control("Text1"));
    const QStringList expected{u"Text2"_s, u"Text3"_s,    u"Text4"_s, u"Text5"_s,    u"Text6"_s,
                               u"Text7"_s, u"Command1"_s, u"Text8"_s, u"Command2"_s, u"Text1"_s};
    QStringList visited;
    QStringList focusNotShown;
    for (const QString &next : expected) {
        QWidget *const stop = control(qPrintable(next));
        const QImage unfocused = stop->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
        if (stop->grab().toImage() == unfocused)
            focusNotShown << next;
    }
    QCOMPARE(visited, expected);
    QCOMPARE(focusNotShown, QStringList{});

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), control("Command2"));
}

// Five scores typed, Tab past the two result boxes to 计算, Space: no mouse.
void Form1Test::wholeRoundByKeyboard()
{
    for (const QString &score : {u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s}) {
        QTest::keyClicks(QApplication::focusWidget(), score);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control("Command1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(control<QLineEdit>("Text6")->text(), u"92"_s);
    QCOMPARE(control<QLineEdit>("Text7")->text(), u"78"_s);
    QCOMPARE(control<QLineEdit>("Text8")->text(), u"87.666664"_s);
}

void Form1Test::accessibleNamesComeFromTheLabels()
{
    const QStringList names{u"评委1"_s, u"评委2"_s,          u"评委3"_s,          u"评委4"_s,
                            u"评委5"_s, u"去掉一个最高分"_s, u"去掉一个最低分"_s, u"最终平均分"_s};
    for (int k = 1; k <= boxCount; ++k)
        QCOMPARE(control(qPrintable(u"Text%1"_s.arg(k)))->accessibleName(), names.at(k - 1));
}

void Form1Test::calculateClickFillsTheResults()
{
    typeScores({u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s});
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(control<QLineEdit>("Text6")->text(), u"92"_s);
    QCOMPARE(control<QLineEdit>("Text7")->text(), u"78"_s);
    QCOMPARE(control<QLineEdit>("Text8")->text(), u"87.666664"_s);

    // Full-width text as an input method commits it.
    auto *third = control<QLineEdit>("Text3");
    third->clear();
    commitText(third, u"７０．５"_s);
    QCOMPARE(third->text(), u"７０．５"_s);
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(control<QLineEdit>("Text7")->text(), u"70.5"_s);
}

void Form1Test::boxesDrawWhatTheirFaceLacks_data()
{
    QTest::addColumn<QString>("text");
    // Hangul is in the Hei stand-in but not in the Song face of these boxes.
    QTest::newRow("Text1") << u"评委한"_s;
    QTest::newRow("Text8") << u"87한"_s; // inside the frame
}

// Whatever is typed or pasted into a box is drawn, from another face where
// the box's own lacks a character: no missing-glyph boxes.
void Form1Test::boxesDrawWhatTheirFaceLacks()
{
    QFETCH(QString, text);
    const QFont font = control(QTest::currentDataTag())->font();
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList faces;
    for (const QGlyphRun &run : layout.glyphRuns()) {
        faces << run.rawFont().familyName();
        const QList<quint32> glyphs = run.glyphIndexes();
        QVERIFY2(!glyphs.contains(0), qPrintable(run.rawFont().familyName()));
    }
    QVERIFY2(faces.size() == 2, qPrintable(faces.join(u", ")));
}

void Form1Test::resultBoxesTakeTypingButNeverCount()
{
    typeScores({u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s});
    for (const char *box : {"Text6", "Text7", "Text8"}) {
        auto *edit = control<QLineEdit>(box);
        edit->setFocus();
        QTest::keyClicks(edit, u"1000"_s);
        QCOMPARE(edit->text(), u"1000"_s);
    }
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(control<QLineEdit>("Text6")->text(), u"92"_s);
    QCOMPARE(control<QLineEdit>("Text7")->text(), u"78"_s);
    QCOMPARE(control<QLineEdit>("Text8")->text(), u"87.666664"_s);
}

void Form1Test::errorClickReportsAndTheProgramGoesOn()
{
    typeScores({u"85"_s, u"90"_s, u"abc"_s, u"92"_s, u"88"_s});
    form_->setText(Box::Text8, u"旧的平均分");
    QString title;
    QString message;
    QStringList buttons;
    answerNextModal([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box != nullptr);
        title = box->windowTitle();
        message = box->text();
        for (const QAbstractButton *button : box->buttons())
            buttons << button->text();
        box->buttons().constFirst()->click();
    });
    QTest::mouseClick(control("Command1"), Qt::LeftButton);

    QCOMPARE(title, u"Tavrel"_s);
    QCOMPARE(message, u"评委3的成绩“abc”不是有效的数字。"_s);
    QCOMPARE(buttons, QStringList{u"确定"_s});
    QCOMPARE(control<QLineEdit>("Text3")->text(), u"abc"_s);
    QCOMPARE(control<QLineEdit>("Text6")->text(), QString());
    QCOMPARE(control<QLineEdit>("Text8")->text(), u"旧的平均分"_s);

    // Corrected, the next click works in the same window.
    auto *third = control<QLineEdit>("Text3");
    third->clear();
    QTest::keyClicks(third, u"78"_s);
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(control<QLineEdit>("Text8")->text(), u"87.666664"_s);
}

void Form1Test::enterAndEscapePressNoButton()
{
    typeScores({u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s});
    for (const char *focus : {"Text5", "Command1", "Command2"}) {
        control(focus)->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(QApplication::focusWidget(), key);
    }
    QCOMPARE(control<QLineEdit>("Text8")->text(), QString());
    QVERIFY(form_->isVisible());
    for (const char *name : {"Command1", "Command2"}) {
        const auto *button = control<QPushButton>(name);
        QVERIFY(!button->isDefault() && !button->autoDefault());
    }

    // Space on the focused button is the keyboard's click.
    control("Command1")->setFocus();
    QTest::keyClick(control("Command1"), Qt::Key_Space);
    QCOMPARE(control<QLineEdit>("Text8")->text(), u"87.666664"_s);
}

void Form1Test::longResultShowsItsBeginning()
{
    form_->setText(Box::Text8, u"12345678901234567890123456789");
    const auto *edit = control<QLineEdit>("Text8");
    QCOMPARE(edit->text(), u"12345678901234567890123456789"_s);
    QCOMPARE(edit->cursorPosition(), 0);
}

void Form1Test::qtStandardTextsAreChinese()
{
    QTranslator translator;
    QVERIFY(loadQtChineseTexts(translator));
    QCOMPARE(translator.translate("QLineEdit", "&Copy"), u"复制(&C)"_s);
    QCOMPARE(translator.translate("QLineEdit", "Select All"), u"全选"_s);
}

// A text box's menu is a window of its own, drawn in the application's font:
// the window's face, which has every character of Qt's Chinese texts.
void Form1Test::contextMenuDrawsInTheWindowsFace()
{
    QTranslator chinese;
    QVERIFY(loadQtChineseTexts(chinese));
    QApplication::installTranslator(&chinese);
    const std::unique_ptr<QMenu> menu(control<QLineEdit>("Text1")->createStandardContextMenu());
    QApplication::removeTranslator(&chinese);

    const QRawFont face = QRawFont::fromFont(menu->font());
    QCOMPARE(face.familyName(), QFontInfo(form_->font()).family());
    QStringList texts;
    QStringList uncovered;
    for (const QAction *action : menu->actions()) {
        texts << action->text();
        for (const QChar c : action->text())
            if (!c.isSpace() && !face.supportsCharacter(c))
                uncovered << action->text();
    }
    QVERIFY(
        texts.contains(u"复制(&C)"_s + QChar(u'\t') + QKeySequence(QKeySequence::Copy).toString()));
    QCOMPARE(uncovered, QStringList{});
}

void Form1Test::screenReaderNamesAndRoles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    const auto row = [](const char *control, const QString &name, QAccessible::Role role) {
        QTest::newRow(control) << name << static_cast<int>(role);
    };
    row("Text1", u"评委1"_s, QAccessible::EditableText);
    row("Text5", u"评委5"_s, QAccessible::EditableText);
    row("Text6", u"去掉一个最高分"_s, QAccessible::EditableText);
    row("Text7", u"去掉一个最低分"_s, QAccessible::EditableText);
    row("Text8", u"最终平均分"_s, QAccessible::EditableText);
    row("Command1", u"计算"_s, QAccessible::Button);
    row("Command2", u"输入成绩"_s, QAccessible::Button);
}

void Form1Test::screenReaderNamesAndRoles()
{
    QFETCH(QString, name);
    QFETCH(int, role);
    QAccessibleInterface *accessible
        = QAccessible::queryAccessibleInterface(control(QTest::currentDataTag()));
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    QCOMPARE(static_cast<int>(accessible->role()), role);
}

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

void Form1Test::finalScoreReadableUnderEveryPalette_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::newRow("platform") << QApplication::style()->standardPalette();
    QTest::newRow("dark") << darkPalette();
    QTest::newRow("high-contrast") << highContrastPalette();
}

// The final score's drawn text against its box, as a screenshot shows them.
void Form1Test::finalScoreReadableUnderEveryPalette()
{
    QFETCH(QPalette, palette);
    const QPalette before = QApplication::palette();
    QApplication::setPalette(palette);
    typeScores({u"85"_s, u"90"_s, u"78"_s, u"92"_s, u"88"_s});
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    auto *finalScore = control<QLineEdit>("Text8");
    const QImage shot = finalScore->grab().toImage();
    const QColor background = finalScore->palette().color(QPalette::Base);
    double best = 1.0;
    for (int y = shot.height() / 4; y < shot.height() * 3 / 4; ++y)
        for (int x = 4; x < shot.width() - 4; ++x)
            best = std::max(best, contrastRatio(shot.pixelColor(x, y), background));
    QApplication::setPalette(before);
    QVERIFY2(best >= 4.5, qPrintable(u"contrast %1:1"_s.arg(best)));
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
