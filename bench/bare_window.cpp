// The yardstick: the least a Qt Widgets program does to put a window on the
// screen, an empty QMainWindow of the given size.
//   soranika-bare-window WIDTH HEIGHT [menu] [text]
// The options build the floor that any program with ソラニカ's window pays
// (`menu text` is the floor the benchmark compares ソラニカ with):
//   menu  the main window's menu bar of two plain commands;
//   text  the 9-pt IPAPGothic application font and one line of Japanese
//         text in the window, the main window's prompt.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    bool menu = false;
    bool text = false;
    for (int i = 3; i < argc; ++i) {
        menu = menu || std::strcmp(argv[i], "menu") == 0;
        text = text || std::strcmp(argv[i], "text") == 0;
    }
    if (text) {
        QFont font(QStringLiteral("IPAPGothic"));
        font.setPointSizeF(9);
        font.setStyleHint(QFont::SansSerif);
        QApplication::setFont(font);
    }
    QMainWindow window;
    if (menu) {
        window.menuBar()->addAction(QStringLiteral("バージョン情報"));
        window.menuBar()->addAction(QStringLiteral("終了"));
    }
    if (text) {
        window.setCentralWidget(
            new QLabel(QStringLiteral("数字を入力して計算ボタンを押してください")));
    }
    if (argc > 2) {
        window.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    }
    window.show();
    return app.exec();
}
