#include "ui/form1.h"

#include "runtime/click_dispatch.h"
#include "scoring/calculate.h"
#include "ui/fonts.h"
#include "ui/form1_description.h"
#include "ui/score_entry.h"
#include "ui/wrapping_push_button.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRect>

#include <algorithm>
#include <vector>

namespace tavrel::ui {

namespace {

QString qs(std::string_view ascii)
{
    return QString::fromLatin1(ascii.data(), static_cast<qsizetype>(ascii.size()));
}

QString qs(std::u16string_view text)
{
    return QStringView(text).toString();
}

constexpr int pixels(int twips) { return twips / twipsPerPixel; }

QWidget *createControl(const ControlSpec &spec, QWidget *container)
{
    const QString caption = qs(spec.caption);
    switch (spec.kind) {
    case ControlKind::PushButton: {
        auto *button = new WrappingPushButton(caption, container);
        // Enter and Esc press no button of this window.
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    case ControlKind::GroupFrame:
        return new QGroupBox(caption, container);
    case ControlKind::TextBox:
        return new QLineEdit(container);
    case ControlKind::Label: {
        auto *label = new QLabel(caption, container);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::Picture: {
        auto *picture = new QLabel(container);
        picture->setPixmap(QPixmap(QStringLiteral(":/tavrel/stamp.jpg")));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return picture;
    }
    }
    return nullptr;
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/tavrel/icons/tavrel-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(qs(formTitle));
    setWindowIcon(applicationIcon());
    setFixedSize(pixels(formClientWidth), pixels(formClientHeight));
    const QFont platformDefault = font();
    setFont(fontFor(defaultFont, platformDefault));

    // The frame is listed before the controls it holds.
    QWidget *frame = nullptr;
    std::vector<std::pair<int, QWidget *>> focusable;
    for (const ControlSpec &spec : form1Controls) {
        QWidget *container = spec.container == Container::Frame1 ? frame : this;
        QWidget *control = createControl(spec, container);
        control->setObjectName(qs(spec.name));
        control->setGeometry(pixels(spec.left), pixels(spec.top), pixels(spec.width),
                             pixels(spec.height));
        if (spec.kind != ControlKind::Picture)
            control->setFont(fontFor(spec.font, platformDefault));
        if (spec.kind == ControlKind::GroupFrame)
            frame = control;
        if (spec.kind == ControlKind::Label)
            control->lower(); // the boxes lie above the label rectangles
        if (spec.kind == ControlKind::TextBox || spec.kind == ControlKind::PushButton)
            focusable.emplace_back(spec.tabIndex, control);
    }

    std::sort(focusable.begin(), focusable.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusable.size(); ++i)
        setTabOrder(focusable[i - 1].second, focusable[i].second);
    focusable.front().second->setFocus();

    for (const BoxLabel &pair : boxLabels)
        findChild<QLineEdit *>(qs(pair.box))
            ->setAccessibleName(findChild<QLabel *>(qs(pair.label))->text());

    connect(findChild<QPushButton *>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            [this] { dispatchClick(this, [this] { Command1_Click(*this); }); });
    connect(findChild<QPushButton *>(QStringLiteral("Command2")), &QPushButton::clicked, this,
            [this] { dispatchClick(this, [this] { Command2_Click(*this, prompt_); }); });
}

QLineEdit *Form1::textBox(Box box) const
{
    return findChild<QLineEdit *>(QStringLiteral("Text%1").arg(numberOf(box)));
}

std::u16string Form1::text(Box box) const
{
    return textBox(box)->text().toStdU16String();
}

void Form1::setText(Box box, std::u16string_view text)
{
    QLineEdit *const edit = textBox(box);
    edit->setText(qs(text));
    edit->setCursorPosition(0);
}

} // namespace tavrel::ui
