#include "qt/form1.h"

#include "core/calculate.h"
#include "core/form1_description.h"
#include "core/score_entry.h"
#include "qt/click_dispatch.h"
#include "qt/fonts.h"
#include "qt/wrapping_push_button.h"

#include <QApplication>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRect>

#include <vector>

namespace tavrel::qt {

namespace {

QString qs(std::string_view ascii)
{
    return QString::fromLatin1(ascii.data(), static_cast<qsizetype>(ascii.size()));
}

QString qs(std::u16string_view text)
{
    return QStringView(text).toString();
}

// Qt places widgets in device-independent pixels, which it scales itself.
constexpr int pixels(int twips)
{
    return core::twipsToPixels(twips);
}

// The stamp at its natural size of 57 x 57 screen pixels at 1x; screens with
// more device pixels get the drawing made at twice the size, not an enlarged
// one. Naming the format loads just the JPEG reader, not every image plugin.
QPixmap stampPicture(qreal devicePixelRatio)
{
    if (devicePixelRatio <= 1.0)
        return {QStringLiteral(":/tavrel/stamp.jpg"), "JPG"};
    QPixmap sharp(QStringLiteral(":/tavrel/stamp@2x.jpg"), "JPG");
    sharp.setDevicePixelRatio(2.0);
    return sharp;
}

QWidget *createControl(const core::ControlEntry &entry, QWidget *container)
{
    const QString caption = qs(entry.caption);
    switch (entry.kind) {
    case core::ControlKind::PushButton: {
        auto *button = new WrappingPushButton(caption, container);
        // Enter and Esc press no button of this window.
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    case core::ControlKind::GroupFrame:
        return new QGroupBox(caption, container);
    case core::ControlKind::TextBox: {
        auto *box = new QLineEdit(container);
        takeWholeTexts(*box);
        return box;
    }
    case core::ControlKind::Label: {
        auto *label = new QLabel(caption, container);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case core::ControlKind::Picture: {
        auto *picture = new QLabel(container);
        picture->setPixmap(stampPicture(container->devicePixelRatioF()));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return picture;
    }
    }
    return nullptr;
}

// Creates every control of the table inside `form`.
void buildControls(QWidget &form, const FontFaces &faces, const QFont &platformDefault)
{
    QWidget *frame = nullptr; // listed before the controls it holds
    for (const core::ControlEntry &entry : core::form1Controls) {
        QWidget *container = entry.container == core::Container::Frame1 ? frame : &form;
        QWidget *control = createControl(entry, container);
        control->setObjectName(qs(entry.name));
        control->setGeometry(pixels(entry.left), pixels(entry.top), pixels(entry.width),
                             pixels(entry.height));
        if (entry.kind != core::ControlKind::Picture) {
            const QFont font = faces.fontFor(entry.font, platformDefault);
            control->setFont(entry.kind == core::ControlKind::TextBox
                                 ? font
                                 : ownFaceWhereItCovers(font, qs(entry.caption)));
        }
        if (entry.kind == core::ControlKind::GroupFrame)
            frame = control;
        if (entry.kind == core::ControlKind::Label)
            control->lower(); // the boxes lie above the label rectangles
    }
}

// Focus follows the core's tab order, wrapping from the last back to the
// first, and starts at the first.
void applyTabOrder(const QWidget &form)
{
    std::vector<QWidget *> stops;
    for (const std::size_t row : core::tabOrder) {
        const core::ControlEntry &entry = core::form1Controls.at(row);
        if (entry.kind == core::ControlKind::TextBox || entry.kind == core::ControlKind::PushButton)
            stops.push_back(form.findChild<QWidget *>(qs(entry.name)));
    }
    for (std::size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1], stops[i]);
    stops.front()->setFocus();
}

// A screen reader announces each box by the caption beside it.
void nameBoxesAfterTheirLabels(const QWidget &form)
{
    for (const core::BoxLabel &pair : core::boxLabels)
        form.findChild<QLineEdit *>(qs(pair.box))
            ->setAccessibleName(form.findChild<QLabel *>(qs(pair.label))->text());
}

// The sizes a title bar and a task switcher use; the desktop's menus take
// the larger ones from the icon theme. Each size added here is decoded at
// start-up.
QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/tavrel/icons/tavrel-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                  | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                  | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(qs(core::formTitle));
    setWindowIcon(applicationIcon());
    setFixedSize(pixels(core::formClientWidth), pixels(core::formClientHeight));
    const QFont platformDefault = font();
    const FontFaces faces;
    setFont(faces.fontFor(core::defaultFont, platformDefault));
    // Qt's own windows over this one (a text box's context menu) take the
    // application's font: in the window's face they draw their Chinese texts
    // without falling back to another face per character. And a text box
    // lays out its first, empty text in the application's font before it
    // takes its own, which then needs no face of its own loaded.
    QApplication::setFont(font());

    buildControls(*this, faces, platformDefault);
    applyTabOrder(*this);
    nameBoxesAfterTheirLabels(*this);

    connect(findChild<QPushButton *>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            [this] { dispatchClick(clicks_, this, [this] { core::Command1_Click(*this); }); });
    connect(
        findChild<QPushButton *>(QStringLiteral("Command2")), &QPushButton::clicked, this,
        [this] { dispatchClick(clicks_, this, [this] { core::Command2_Click(*this, prompt_); }); });
}

QLineEdit *Form1::textBox(core::Box box) const
{
    return findChild<QLineEdit *>(QLatin1StringView(core::nameOf(box)));
}

std::u16string Form1::text(core::Box box) const
{
    return textBox(box)->text().toStdU16String();
}

void Form1::setText(core::Box box, std::u16string_view text)
{
    QLineEdit *const edit = textBox(box);
    edit->setText(qs(text));
    edit->setCursorPosition(0);
}

} // namespace tavrel::qt
