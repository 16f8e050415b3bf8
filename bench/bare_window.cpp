#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(492, 194);
    QLabel label(QStringLiteral("Hello"), &window);
    label.move(8, 8);
    window.show();
    return QApplication::exec();
}
