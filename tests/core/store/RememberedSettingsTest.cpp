#include "store/RememberedSettings.h"

#include "TempDir.h"
#include "common/Error.h"
#include "store/ConfigFile.h"
#include "store/RegistryFile.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

constexpr RegRoot LM = RegRoot::LocalMachine;

// The first run and the fall-back to the game's own entry are tested through start-up, which
// shares them; the import and export commands through the command-line program.
class RememberedSettingsTest : public ::testing::Test {
protected:
    // The settings of a run in a game folder with a blank in its name: Deathmatch, DM-Beta
    // selected, a changed server name and player limit.
    RememberedSettingsTest() {
        for (const char* name : {"DM-Alpha.ut2", "DM-Beta.ut2", "CTF-Gamma.ut2"})
            dir.writeFile(std::string("UT 2003/Maps/") + name, "");
        imported.setUtpath((dir.path() / "UT 2003" / "").string());
        imported.applyFirstRunDefaults();
        imported.setText(Text::ServerName, "Big Server");
        imported.setScroll(Scroll::MaxPlayers, 24);
        imported.setMapSelected(1, true);
    }

    test::TempDir dir;
    const std::string apppath = dir.makeFolder("app").string() + "/";
    SettingsForm imported;
    std::unique_ptr<MRegistry> reg = makeMemoryRegistry();
};

TEST_F(RememberedSettingsTest, ImportThenExportGivesTheSameSettings) {
    ASSERT_EQ(imported.mapList().entries[1], "DM-Beta.ut2");
    rememberSettings(*reg, imported, apppath);
    EXPECT_EQ(reg->readregvalue(LM, kProgramKey, kPathValue), RegValue(apppath));

    const auto remembered = rememberedSettings(*reg, "/elsewhere/");
    EXPECT_FALSE(remembered.firstRun);
    EXPECT_TRUE(remembered.load.skipped.empty());
    const SettingsForm& form = remembered.form;
    // The game folder keeps the blank in its name.
    EXPECT_EQ(configLines(form), configLines(imported));
    EXPECT_EQ(form.caption(Scroll::MaxPlayers), "Max Players = 24");
    EXPECT_EQ(form.game(), 2);
    // Exporting writes what the next start shows, and keeps an existing file.
    const auto file = (dir.path() / "out.cfg").string();
    exportRememberedSettings(*reg, apppath, file, false);
    EXPECT_EQ(readConfigLines(file), configLines(imported));
    EXPECT_THROW(exportRememberedSettings(*reg, apppath, file, false), Error);
    // Importing again keeps the program's own "Path".
    rememberSettings(*reg, imported, "/another/");
    EXPECT_EQ(reg->readregvalue(LM, kProgramKey, kPathValue), RegValue(apppath));
}

} // namespace
} // namespace quarnel
