#include "app/Application.h"
#include "common/Product.h"
#include "common/Resources.h"
#include "dialogs/QtDialogs.h"
#include "store/SystemStore.h"

#ifdef _WIN32
#include "app/WinShellOpener.h"
#else
#include "app/QtShellOpener.h"
#endif

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <memory>
#include <thread>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The font database is built on a thread of its own (its functions are thread-safe), and
    // the icon and the logo are decoded on another, while this one opens the store and
    // restores the settings; the window's first text waits for the fonts there. Reading the
    // system's font configuration is the largest single cost of a start.
    const std::jthread fonts([] { (void)QFontDatabase::families(); });
    quarnel::readPicturesAhead();
    QApplication::setApplicationName(QString::fromLatin1(quarnel::kProductName));

    quarnel::OpenedStore store = quarnel::openSystemStore();
    quarnel::QtDialogs dialogs;
#ifdef _WIN32
    quarnel::WinShellOpener opener;
    quarnel::ServerLoops* loops = nullptr;
#else
    quarnel::QtShellOpener opener;
    const std::unique_ptr<quarnel::ServerLoops> posixLoops = quarnel::makePosixServerLoops();
    quarnel::ServerLoops* loops = posixLoops.get();
#endif
    const QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    quarnel::Application quarnel(*store.registry, dialogs, opener,
                                 QFile::encodeName(folder).toStdString(), loops);
    dialogs.setParent(&quarnel.window());

    // What happened to the store on the way in (a damaged file moved aside, a store that
    // lives in memory only) is told once, before start-up.
    for (const std::string& note : store.notes)
        dialogs.message(note, quarnel::kProductName);
    quarnel.start();
    return QApplication::exec();
}
