#include "store/RememberedSettings.h"

#include "TempDir.h"
#include "common/Error.h"
#include "store/ConfigFile.h"
#include "store/RegistryFile.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

constexpr RegRoot Own = kProgramRoot; // the program's key

// The first run's look-up of the game's own entry, and the fall-back to it for a stored
// folder that is gone, are tested through start-up, which shares them.
class RememberedSettingsTest : public ::testing::Test {
protected:
    // The settings of a run in a game folder with a blank in its name: Deathmatch, DM-Beta
    // selected, a changed server name and player limit.
    RememberedSettingsTest() {
        for (const char* name : {"DM-Alpha.ut2", "DM-Beta.ut2", "CTF-Gamma.ut2"})
            dir.writeFile(std::string("UT 2003/Maps/") + name, "");
        dir.writeFile("UT 2003/System/BonusPack.int", "");
        imported.setGameFolder((dir.path() / "UT 2003" / "").string());
        imported.applyFirstRunDefaults();
        imported.setText(Text::ServerName, "Big Server");
        imported.setScroll(Scroll::MaxPlayers, 24);
        imported.setMapSelected(1, true);
    }

    test::TempDir dir;
    const std::string appFolder = dir.makeFolder("app").string() + "/";
    SettingsForm imported;
    std::unique_ptr<Registry> reg = makeMemoryRegistry();
};

TEST_F(RememberedSettingsTest, ImportThenExportGivesTheSameSettings) {
    ASSERT_EQ(imported.mapList().entries[1], "DM-Beta.ut2");
    rememberSettings(*reg, imported, appFolder);
    EXPECT_EQ(reg->readValue(Own, kProgramKey, kPathValue), RegValue(appFolder));

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
    exportRememberedSettings(*reg, appFolder, file, false);
    EXPECT_EQ(readConfigLines(file), configLines(imported));
    EXPECT_THROW(exportRememberedSettings(*reg, appFolder, file, false), Error);
    // Importing again keeps the program's own "Path".
    rememberSettings(*reg, imported, "/another/");
    EXPECT_EQ(reg->readValue(Own, kProgramKey, kPathValue), RegValue(appFolder));
}

} // namespace
} // namespace quarnel
