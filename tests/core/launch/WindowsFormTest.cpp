#include "WindowsForm.h"

#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "store/ConfigForm.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

// The demo configuration over the demo game's maps, written for the game folder C:\UT2003
// in Windows form: the same bytes on every platform.
TEST(WindowsForm, TheDemoGivesTheSameBytesOnEveryPlatform) {
    SettingsForm form;
    formFromConfig(form, {QUARNEL_DEMO_CFG, test::demoInstall().string(), "C:\\Quarnel\\"});
    form.setGameFolder(test::kWindowsGameFolder);
    const auto templateLines = readTextLines(game::templateIni(test::demoInstall().string() + "/"));

    EXPECT_EQ(serverCommandLine(form, "quarnel.ini", '\\'),
              test::readFile(test::windowsDemoFile("command-line.txt")));
    EXPECT_EQ(joinTextLines(batchLines(form, "quarnel.bat", '\\')),
              test::readFile(test::windowsDemoFile("quarnel.bat")));
    EXPECT_EQ(joinTextLines(rewriteServerIni(form.settings(), templateLines)),
              test::readFile(test::windowsDemoFile("quarnel.ini")));
}

} // namespace
} // namespace quarnel
