// The yardstick for the program's start-up: an empty Qt window of the same
// size, built with the same toolchain and flags, shown the same way.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare Qt window"));
    window.setFixedSize(473, 303);
    window.show();
    return QApplication::exec();
}
