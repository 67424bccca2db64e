#include "app/Application.h"

#include "ShellFixture.h"

#include <QAction>
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
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window()));
    }

    // Lets a close that the program asked for take place.
    bool closesSoon() {
        return QTest::qWaitFor([this] { return !app->window().isVisible(); }, 2000);
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
    start();                                // the browse dialog is cancelled
    EXPECT_EQ(dialogs.messages.size(), 3u); // the last says the program closes
    EXPECT_TRUE(closesSoon());
    EXPECT_TRUE(app->shell().unloaded());
}

} // namespace
} // namespace quarnel::test
