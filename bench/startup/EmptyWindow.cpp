// The least a Qt program does to put a window on screen: an empty widget window, 1900 x 1000 at
// the top-left, titled "empty window", shown and painted. The reference of a start that has
// nothing to show yet.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("empty window"));
    window.setGeometry(0, 0, 1900, 1000);
    window.show();
    return app.exec();
}
