#include "app/Application.h"

#include "FakeDialogs.h"
#include "FakeShellOpener.h"
#include "MemoryRegistry.h"
#include "TempDir.h"
#include "store/RegistrySettings.h"

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace quarnel {
namespace {

namespace fs = std::filesystem;

// The whole program on a copy of the demo installation: the real window, offscreen, with
// scripted dialogs, a recording opener and a store in memory.
class ApplicationTest : public testing::Test {
protected:
    ApplicationTest() : install(test::copyDemoInstall(dir)) {
        programFolder = dir.makeFolder("program").string();
    }

    void useGameEntry() {
        registry.put(RegRoot::LocalMachine, kGameKey, kGameFolderValue,
                     install.substr(0, install.size() - 1));
    }

    // Starts the program and brings its window to the front, as the desktop would.
    void start() {
        app = std::make_unique<Application>(registry, dialogs, opener, programFolder);
        app->start();
        app->window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window()));
    }

    // Lets a close that the program asked for take place.
    bool closesSoon() {
        return QTest::qWaitFor([this] { return !app->window().isVisible(); }, 2000);
    }

    std::string storedUtpath() {
        const RegValue value =
            registry.readregvalue(RegRoot::LocalMachine, kProgramKey, kUtpathValue, {});
        return storedPathToUtpath(std::get<std::string>(value));
    }

    test::TempDir dir;
    std::string install;
    std::string programFolder;
    test::MemoryRegistry registry;
    test::FakeDialogs dialogs;
    test::FakeShellOpener opener;
    std::unique_ptr<Application> app;
};

TEST_F(ApplicationTest, LaunchServerButtonStartsTheBatchAndClosesWithTheSettingsSaved) {
    useGameEntry();
    start();
    EXPECT_EQ(app->window().windowTitle(), "Quarnel");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "First Run Time");

    auto* launch = app->window().findChild<QPushButton*>("cmdOptions_0");
    ASSERT_NE(launch, nullptr);
    QTest::mouseClick(launch, Qt::LeftButton);

    const fs::path system = fs::path(install) / "System";
    EXPECT_TRUE(fs::is_regular_file(system / "quarnel.ini"));
    EXPECT_EQ(opener.opened, std::vector<std::string>{(system / "quarnel.bat").string()});
    EXPECT_TRUE(closesSoon());
    EXPECT_EQ(storedUtpath(), install);
}

TEST_F(ApplicationTest, WithoutAGameFolderTheFirstActivationClosesTheWindow) {
    start(); // the browse dialog is cancelled
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[2].text, "UT2003 Path not set properly.  App will close");
    EXPECT_TRUE(closesSoon());
    EXPECT_TRUE(app->shell().unloaded());
    EXPECT_TRUE(registry.regkeyexists(RegRoot::LocalMachine, kProgramKey));
}

TEST_F(ApplicationTest, SaveConfigMenuItemNamesTheFileInTheTitle) {
    useGameEntry();
    start();
    const std::string file = dir.withSeparator() + "myserver.cfg";
    FileDialogResult chosen;
    chosen.cancelled = false;
    chosen.path = file;
    chosen.title = "myserver.cfg";
    dialogs.answerFileDialog(chosen);

    auto* save = app->window().findChild<QAction*>("SaveMenuItem");
    ASSERT_NE(save, nullptr);
    save->trigger();

    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(app->window().windowTitle(), "Quarnel - myserver.cfg");
    EXPECT_TRUE(app->window().isVisible());
}

} // namespace
} // namespace quarnel
