#include "app/Application.h"
#include "app/Paths.h"
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
#include <QFontDatabase>
#include <future>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>

int main(int argc, char* argv[]) {
    // Declared first, so that it outlives everything below, the window above all; made once
    // the settings are being restored.
    std::optional<QApplication> app;
    // What needs no display comes first: the store is opened, and the settings are restored
    // on a thread of their own while the QApplication connects to the display. Nothing else
    // touches the application until that thread is joined.
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
    quarnel::Application quarnel(*store.registry, dialogs, opener,
                                 quarnel::app::programFolder(argc > 0 ? argv[0] : nullptr), loops);
    std::future<void> restored;
    try {
        restored = std::async(std::launch::async, [&quarnel] { quarnel.restore(); });
    } catch (const std::system_error&) {
        // No thread to spare: the window restores them when it is built.
    }

    app.emplace(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(quarnel::kProductName));
    // The font database is built on a thread of its own (its functions are thread-safe), and
    // the icon and the logo are decoded on another, while this one builds the window; its
    // first text waits for the fonts there. Reading the system's font configuration is the
    // largest single cost of a start.
    const std::jthread fonts([] { (void)QFontDatabase::families(); });
    quarnel::readPicturesAhead();

    if (restored.valid())
        restored.get();
    quarnel.buildWindow();
    dialogs.setParent(&quarnel.window());

    // What happened to the store on the way in (a damaged file moved aside, a store that
    // lives in memory only) is told once, before start-up.
    for (const std::string& note : store.notes)
        dialogs.message(note, quarnel::kProductName);
    quarnel.start();
    return QApplication::exec();
}
