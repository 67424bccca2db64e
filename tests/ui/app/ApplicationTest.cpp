#include "app/Application.h"

#include "ShellFixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <filesystem>

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;

// The whole program: the real window, offscreen, over the shell's test surroundings.
class ApplicationTest : public ShellTest {
protected:
    // Starts the program and brings its window to the front, as the desktop would.
    void start() {
        app = std::make_unique<Application>(*registry, dialogs, opener, programFolder);
        app->start();
        app->window().activateWindow();
        // Waits for the activation itself; the limit only ends a run where it never comes.
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window(), 60000));
    }

    // Lets a close that the program asked for take place: it is a queued call, delivered
    // with the events already posted, whatever the time it takes on a busy machine.
    bool closesSoon() {
        QCoreApplication::sendPostedEvents();
        return !app->window().isVisible();
    }

    FakeDialogs dialogs;
    FakeShellOpener opener;
    std::unique_ptr<Application> app;
};

TEST_F(ApplicationTest, MenuAndButtonsRunTheCommandsAndLaunchClosesWithTheSettingsSaved) {
    storeGameFolder(install);
    start();
    EXPECT_EQ(app->window().windowTitle(), "Quarnel");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "First Run Time");

    const std::string file = dir.withSeparator() + "myserver.cfg";
    dialogs.choose(file);
    app->window().findChild<QAction*>("SaveMenuItem")->trigger();
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(app->window().windowTitle(), "Quarnel - myserver.cfg");
    EXPECT_TRUE(app->window().isVisible());

    QTest::mouseClick(app->window().findChild<QPushButton*>("cmdOptions_0"), Qt::LeftButton);
    const fs::path system = fs::path(install) / "System";
    EXPECT_TRUE(fs::is_regular_file(system / "quarnel.ini"));
    EXPECT_EQ(opener.opened, std::vector<std::string>{(system / "quarnel.bat").string()});
    EXPECT_TRUE(closesSoon());
    EXPECT_EQ(storedPathToUtpath(text(kProgramKey, kUtpathValue)), install);
}

TEST_F(ApplicationTest, WithoutAGameFolderTheFirstActivationClosesTheWindow) {
    start(); // the browse dialog is cancelled
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[2].text, "UT2003 Path not set properly.  App will close");
    EXPECT_TRUE(closesSoon());
    EXPECT_TRUE(app->shell().unloaded());
    EXPECT_TRUE(stored("UseMapRotation"));
}

} // namespace
} // namespace quarnel::test
