#include "app/Application.h"

#include "ShellFixture.h"
#include "store/RememberedSettings.h"
#ifndef _WIN32
#include "StandInGame.h"
#endif

#include <QTest>
#include <QtWidgets>
#include <filesystem>

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;

// The whole program over the shell's test surroundings: that the window reaches the shell.
struct ApplicationTest : ShellTest {
    void start() {
        app = std::make_unique<Application>(*registry, dialogs, opener, programFolder, loops);
        app->start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window(), 60000)); // ends a run that hangs
    }
    // Clicks Launch Server; the close asked for is queued, delivered with the posted events.
    bool launchCloses() {
        QTest::mouseClick(app->window().findChild<QPushButton*>("cmdOptions_0"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents();
        return !app->window().isVisible();
    }

    FakeDialogs dialogs;
    FakeShellOpener opener;
    ServerLoops* loops = nullptr; // the batch file is opened, as on Windows
    std::unique_ptr<Application> app;
};

TEST_F(ApplicationTest, TheFirstActivationChecksTheFolderAndCommandsRunUntilLaunchCloses) {
    start();                                // without a game folder; the browse dialog is cancelled
    EXPECT_EQ(dialogs.messages.size(), 3u); // the last says the program closes
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(!app->window().isVisible() && app->shell().unloaded());

    storeGameFolder(install);
    start();
    EXPECT_EQ(dialogs.messages.size(), 3u); // nothing more to say
    dialogs.choose(dir.withSeparator() + "myserver.cfg");
    app->window().findChild<QAction*>("SaveMenuItem")->trigger();
    EXPECT_EQ(app->window().windowTitle(), "Quarnel - myserver.cfg");
    EXPECT_TRUE(launchCloses());
    EXPECT_EQ(opener.opened, std::vector{(fs::path(install) / "System" / "quarnel.bat").string()});
    EXPECT_EQ(storedPathToGameFolder(text(kProgramKey, kUtpathValue)), install);
}

// The settings are restored before the window is built: it shows them as it first shows.
TEST_F(ApplicationTest, TheWindowShowsTheStoredSettingsFromItsFirstShow) {
    SettingsForm last;
    last.setGameFolder(install);
    last.applyFirstRunDefaults();
    last.selectGameType(1); // Capture The Flag: the three CTF maps, the second one selected
    last.setMapSelected(1, true);
    last.setText(Text::ServerName, "Restored Server");
    rememberSettings(*registry, last, programFolder);
    start();
    const MainWindow& window = app->window();
    const auto* maps = window.findChild<QListView*>("filMapList");
    QStringList shown, selected;
    for (int row = 0; row < maps->model()->rowCount(); ++row)
        shown << maps->model()->index(row, 0).data().toString();
    for (const QModelIndex& index : maps->selectionModel()->selectedRows())
        selected << index.data().toString();
    EXPECT_EQ(std::tuple(window.findChild<QRadioButton*>("optGameType_1")->isChecked(),
                         window.findChild<QLineEdit*>("txtServerName")->text(), shown, selected),
              std::tuple(true, QString("Restored Server"),
                         QStringList{"CTF-Foundry.ut2", "CTF-Glacier.ut2", "CTF-Harbor.ut2"},
                         QStringList{"CTF-Glacier.ut2"}));
}

#ifndef _WIN32
TEST_F(ApplicationTest, LaunchServerStartsTheLoopThatOutlivesTheWindow) {
    const ProcessGuard guard;
    const StandInGame game(dir, "Linux UT");
    game.plan({"wait"});
    storeGameFolder(game.gameFolder);
    // The desktop's terminal: it notes how it was asked to run the loop, then runs it.
    const fs::path terminal = dir.writeFile(
        "bin/terminal", "#!/bin/sh\nprintf '%s\\n' \"$@\" >\"$0.args\"\nshift\nexec \"$@\"\n");
    fs::permissions(terminal, fs::perms::owner_all);
    setenv("TERMINAL", terminal.c_str(), 1);
    const std::unique_ptr<ServerLoops> posix = makePosixServerLoops();
    loops = posix.get();
    start();
    EXPECT_TRUE(launchCloses());
    app.reset();
    unsetenv("TERMINAL");

    // Quarnel has ended; the loop runs the server on its own, until it is stopped.
    ASSERT_TRUE(eventually([&] { return game.runs() == 1; }));
    const LoopFiles files = loopFiles(game.gameFolder, "quarnel.bat");
    EXPECT_EQ(readFile(terminal.string() + ".args"), "-e\n/bin/sh\n" + files.script() + "\n");
    const std::optional<int> pid = posix->running(files);
    EXPECT_TRUE(pid && posix->stop(files, std::chrono::seconds(5)) == pid);
}
#endif

} // namespace
} // namespace quarnel::test
