// A bare Qt main window of a given size, the yardstick for Quarnel's start-up:
//   bare_window WIDTH HEIGHT
#include <QApplication>
#include <QMainWindow>
#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    if (argc >= 3)
        window.setFixedSize(std::atoi(argv[1]), std::atoi(argv[2]));
    window.show();
    return QApplication::exec();
}
