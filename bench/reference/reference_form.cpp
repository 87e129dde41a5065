// What any Qt Widgets program with Tavrel's window costs to start: the same
// kinds and number of controls (8 line edits, 9 labels, 2 push buttons, a
// group box and a picture), at the same places, with the same Chinese
// captions, faces, sizes and weights and the same stamp picture, written the
// plain way: each font named by the installed family that stands in for the
// face, the picture loaded from a resource, Qt's defaults for everything
// else. No start-up tuning of any kind, so the comparison shows what
// Tavrel's own code adds or saves.

#include <QApplication>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace {

// The Linux stand-ins for 宋体, 黑体 and 华文新魏 that Tavrel's packages
// install.
const QString song = QStringLiteral("AR PL SungtiL GB");
const QString hei = QStringLiteral("WenQuanYi Micro Hei");
const QString kai = QStringLiteral("AR PL KaitiM GB");

QFont font(const QString &family, qreal points, bool bold)
{
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// Positions in pixels at 96 dots per inch.
template<typename Widget> Widget *place(Widget *widget, int x, int y, int width, int height)
{
    widget->setGeometry(x, y, width, height);
    return widget;
}

void addScoreRow(QWidget &form)
{
    for (int judge = 0; judge < 5; ++judge) {
        const int x = 40 + judge * 88;
        place(new QLineEdit(&form), x, 56, 57, 49)->setFont(font(song, 26.25, true));
        place(new QLabel(QStringLiteral("评委%1").arg(judge + 1), &form), x + 8, 120, 41, 17);
    }
    auto *enter = place(new QPushButton(QStringLiteral("输入成绩"), &form), 472, 56, 65, 49);
    enter->setFont(font(song, 14.25, true));
    place(new QLabel(QStringLiteral("评委的打分"), &form), 40, 16, 185, 33)
        ->setFont(font(song, 21.75, false));
}

void addResultFrame(QWidget &form)
{
    auto *frame = place(new QGroupBox(&form), 40, 144, 497, 305);
    place(new QLabel(QStringLiteral("去掉一个最高分"), frame), 32, 40, 161, 25)
        ->setFont(font(hei, 14.25, false));
    place(new QLabel(QStringLiteral("去掉一个最低分"), frame), 32, 96, 161, 25)
        ->setFont(font(hei, 14.25, false));
    place(new QLabel(QStringLiteral("最终平均分"), frame), 24, 200, 169, 33)
        ->setFont(font(hei, 21.75, true));
    place(new QLineEdit(frame), 184, 32, 97, 41)->setFont(font(hei, 18, false));
    place(new QLineEdit(frame), 184, 88, 97, 41)->setFont(font(hei, 18, false));
    place(new QLineEdit(frame), 184, 184, 161, 65)->setFont(font(song, 42, true));
    place(new QPushButton(QStringLiteral("计算"), frame), 352, 56, 97, 49)
        ->setFont(font(kai, 21.75, false));
    place(new QLabel(frame), 416, 232, 57, 57)->setPixmap(QPixmap(QStringLiteral(":/stamp.jpg")));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget form;
    form.setWindowTitle(QStringLiteral("Reference"));
    form.setFixedSize(582, 453);
    addScoreRow(form);
    addResultFrame(form);
    form.show();
    return QApplication::exec();
}
