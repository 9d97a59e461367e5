// The yardstick: the least a Qt Widgets program does to put a window on the
// screen, an empty QMainWindow of the given size.
//   soranika-bare-window WIDTH HEIGHT
#include <QApplication>
#include <QMainWindow>

#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    if (argc > 2) {
        window.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    }
    window.show();
    return app.exec();
}
