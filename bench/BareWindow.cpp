// A bare Qt main window of a given size, the yardstick for Quarnel's start-up:
//   bare_window WIDTH HEIGHT [--text]
// With --text the window shows one line of text, so that it sets up fonts as every window
// with a caption in it has to; without, it draws no text at all.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    if (argc >= 3)
        window.setFixedSize(std::atoi(argv[1]), std::atoi(argv[2]));
    if (argc >= 4 && std::strcmp(argv[3], "--text") == 0)
        window.setCentralWidget(new QLabel(QStringLiteral("Game Type"), &window));
    window.show();
    return QApplication::exec();
}
