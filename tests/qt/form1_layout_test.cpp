// The window as it is drawn, under Qt's offscreen platform: its controls
// against the layout, their captions and fonts, which face draws what, the
// stamp, and Qt's own texts in Chinese.

#include "core/box_texts.h"
#include "qt/fonts.h"
#include "qt/form1.h"
#include "qt/startup.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>
#include <QTranslator>

#include <cmath>
#include <memory>
#include <optional>

using namespace tavrel;
using namespace tavrel::core;
using namespace tavrel::qt;
using namespace tavrel::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

// The free faces the setup script installs where the named ones are not.
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

// Empty when each of the window's faces, or its stand-in, is installed: the
// font checks name the face they expect, and without it could only fail.
QString missingFaces()
{
    QStringList missing;
    for (const QString &face : {u"宋体"_s, u"黑体"_s, u"华文新魏"_s})
        if (!QFontDatabase::hasFamily(face) && !QFontDatabase::hasFamily(standInFor(face)))
            missing << face + u" (or "_s + standInFor(face) + u')';
    return missing.isEmpty() ? QString() : u"fonts not installed: "_s + missing.join(u", "_s);
}

// Empty when Qt's Chinese texts are installed; the program runs without
// them, in English menus.
QString missingQtTranslations()
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    return QDir(folder).exists(u"qtbase_zh_CN.qm"_s) ? QString()
                                                     : u"no qtbase_zh_CN.qm in "_s + folder;
}

} // namespace

class Form1LayoutTest : public QObject
{
    Q_OBJECT

public:
    [[nodiscard]] const MissingPreconditions &preconditions() const { return preconditions_; }

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
    void boxesDrawWhatTheirFaceLacks_data();
    void boxesDrawWhatTheirFaceLacks();
    void longResultShowsItsBeginning();
    void qtStandardTextsAreChinese();
    void contextMenuDrawsInTheWindowsFace();

private:
    [[nodiscard]] QWidget *control(const char *name) const
    {
        return testing::control(*form_, name);
    }
    // True when `reason` names something missing; the check then skips.
    [[nodiscard]] bool lacks(const QString &reason) { return preconditions_.missing(reason); }

    std::optional<qt::Form1> form_;
    MissingPreconditions preconditions_;
};

void Form1LayoutTest::init()
{
    form_.emplace();
    QVERIFY(showActive(*form_));
}

void Form1LayoutTest::cleanup()
{
    form_.reset();
}

void Form1LayoutTest::clientAreaAndTitle()
{
    QCOMPARE(form_->windowTitle(), u"Tavrel"_s);
    QCOMPARE(form_->size(), QSize(582, 453));
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
    QVERIFY(!form_->windowIcon().isNull());
    QCOMPARE(testing::control<QGroupBox>(*form_, "Frame1")->title(), QString());
    for (int k = 1; k <= boxCount; ++k)
        QCOMPARE(textBox(*form_, k)->text(), QString());
}

// Pixels at 96 dots per inch, relative to the container's outer corner.
void Form1LayoutTest::controlGeometry_data()
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

void Form1LayoutTest::controlGeometry()
{
    QFETCH(QString, container);
    QFETCH(QRect, geometry);
    const QWidget *widget = control(QTest::currentDataTag());
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->geometry(), geometry);
    QVERIFY(widget->isVisible());
}

void Form1LayoutTest::captionsAndFonts_data()
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

void Form1LayoutTest::captionsAndFonts()
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

    if (const QString missing = missingFaces(); lacks(missing))
        QSKIP(qPrintable(missing));
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

void Form1LayoutTest::captionKeepsMergingOnlyWhereItsFaceLacksACharacter_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("merging");
    QTest::newRow("Chinese and digits") << u"评委1"_s << false;
    QTest::newRow("empty") << QString() << false;
    // Characters the Song face does not have: another face must draw them.
    QTest::newRow("emoji") << u"评委\U0001F600"_s << true;
    QTest::newRow("Hangul") << u"评委한"_s << true;
}

void Form1LayoutTest::captionKeepsMergingOnlyWhereItsFaceLacksACharacter()
{
    QFETCH(QString, caption);
    QFETCH(bool, merging);
    // The rows know which characters this Song face has.
    const QFont song(u"AR PL SungtiL GB"_s, 14);
    if (const QString missing = QFontInfo(song).family() == song.family()
            ? QString()
            : u"fonts not installed: AR PL SungtiL GB"_s;
        lacks(missing))
        QSKIP(qPrintable(missing));
    const QFont chosen = qt::ownFaceWhereItCovers(song, caption);
    QCOMPARE(!(chosen.styleStrategy() & QFont::NoFontMerging), merging);
    QCOMPARE(chosen.families(), song.families());
    QCOMPARE(chosen.pointSizeF(), song.pointSizeF());
}

void Form1LayoutTest::textBoxesLieAboveTheirLabels()
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
void Form1LayoutTest::stampIsDrawnForTheScreen()
{
    const auto *image = testing::control<QLabel>(*form_, "Image1");
    const QPixmap stamp = image->pixmap();
    QVERIFY(!stamp.isNull());
    QCOMPARE(stamp.deviceIndependentSize(), QSizeF(57, 57));
    QCOMPARE(stamp.devicePixelRatio(), image->devicePixelRatioF() > 1.0 ? 2.0 : 1.0);
    QCOMPARE(image->geometry().topLeft() + image->parentWidget()->geometry().topLeft(),
             QPoint(456, 376));
}

// The caption has no line break of its own but is drawn in two lines: two
// separate bands of dark rows in the button's picture. Where the break falls
// depends on the widths of its face's glyphs.
void Form1LayoutTest::enterScoresCaptionWrapsOntoTwoLines()
{
    auto *button = testing::control<QPushButton>(*form_, "Command2");
    QCOMPARE(button->text(), u"输入成绩"_s);
    if (const QString missing = missingFaces(); lacks(missing))
        QSKIP(qPrintable(missing));
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

void Form1LayoutTest::boxesDrawWhatTheirFaceLacks_data()
{
    QTest::addColumn<QString>("text");
    // Hangul is in the Hei stand-in but not in the Song face of these boxes.
    QTest::newRow("Text1") << u"评委한"_s;
    QTest::newRow("Text8") << u"87한"_s; // inside the frame
}

// Whatever is typed or pasted into a box is drawn, from another face where
// the box's own lacks a character: no missing-glyph boxes.
void Form1LayoutTest::boxesDrawWhatTheirFaceLacks()
{
    QFETCH(QString, text);
    if (const QString missing = missingFaces(); lacks(missing))
        QSKIP(qPrintable(missing));
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

void Form1LayoutTest::longResultShowsItsBeginning()
{
    form_->setText(Box::Text8, u"12345678901234567890123456789");
    const QLineEdit *edit = textBox(*form_, 8);
    QCOMPARE(edit->text(), u"12345678901234567890123456789"_s);
    QCOMPARE(edit->cursorPosition(), 0);
}

void Form1LayoutTest::qtStandardTextsAreChinese()
{
    if (const QString missing = missingQtTranslations(); lacks(missing))
        QSKIP(qPrintable(missing));
    QTranslator translator;
    QVERIFY(loadQtChineseTexts(translator));
    QCOMPARE(translator.translate("QLineEdit", "&Copy"), u"复制(&C)"_s);
    QCOMPARE(translator.translate("QLineEdit", "Select All"), u"全选"_s);
}

// A text box's menu is a window of its own, drawn in the application's font:
// the window's face, which has every character of Qt's Chinese texts.
void Form1LayoutTest::contextMenuDrawsInTheWindowsFace()
{
    if (const QString missing = missingQtTranslations(); lacks(missing))
        QSKIP(qPrintable(missing));
    if (const QString missing = missingFaces(); lacks(missing))
        QSKIP(qPrintable(missing));
    QTranslator chinese;
    QVERIFY(loadQtChineseTexts(chinese));
    QApplication::installTranslator(&chinese);
    const std::unique_ptr<QMenu> menu(textBox(*form_, 1)->createStandardContextMenu());
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

int main(int argc, char *argv[])
{
    return runQtTest<Form1LayoutTest>(argc, argv);
}

#include "form1_layout_test.moc"
