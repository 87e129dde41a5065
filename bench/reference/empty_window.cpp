// The least a Qt Widgets program does to show a window: an application
// object and one empty top-level widget of Tavrel's client size. What
// Tavrel's start-up costs beyond this is the price of its controls, fonts
// and picture.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    window.setFixedSize(582, 453);
    window.show();
    return QApplication::exec();
}
