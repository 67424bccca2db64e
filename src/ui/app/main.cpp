#include "app/Application.h"
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

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quarnel");

    quarnel::OpenedStore store = quarnel::openSystemStore();
    quarnel::QtDialogs dialogs;
#ifdef _WIN32
    quarnel::WinShellOpener opener;
#else
    quarnel::QtShellOpener opener;
#endif
    const QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    quarnel::Application quarnel(*store.registry, dialogs, opener,
                                 QFile::encodeName(folder).toStdString());
    dialogs.setParent(&quarnel.window());

    // What happened to the store on the way in (a damaged file moved aside, a store that
    // lives in memory only) is told once, before start-up.
    for (const std::string& note : store.notes)
        dialogs.message(note, "Quarnel");
    quarnel.start();
    return QApplication::exec();
}
