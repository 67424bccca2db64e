#include "store/RememberedSettings.h"

#include "TempDir.h"
#include "common/Error.h"
#include "store/ConfigFile.h"
#include "store/RegistryFile.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

// Importing keeps the program's first "Path"; the settings of a game folder with a blank in
// its name come back as they were imported, and exporting writes them but keeps an existing
// file. The first run's look-up of the game's own entry, and the fall-back to it for a stored
// folder that is gone, are tested through start-up, which shares them.
TEST(RememberedSettingsTest, ImportThenExportGivesTheSameSettings) {
    test::TempDir dir;
    for (const char* name : {"DM-Alpha.ut2", "DM-Beta.ut2", "CTF-Gamma.ut2"})
        dir.writeFile(std::string("UT 2003/Maps/") + name, "");
    SettingsForm imported;
    imported.setGameFolder((dir.path() / "UT 2003" / "").string());
    imported.applyFirstRunDefaults();
    imported.setText(Text::ServerName, "Big Server");
    imported.setScroll(Scroll::MaxPlayers, 24);
    imported.setMapSelected(1, true);
    const std::string appFolder = dir.makeFolder("app").string() + "/";
    const auto reg = makeMemoryRegistry();
    rememberSettings(*reg, imported, appFolder);
    rememberSettings(*reg, imported, "/another/");
    EXPECT_EQ(reg->readValue(kProgramRoot, kProgramKey, kPathValue), RegValue(appFolder));

    const auto remembered = rememberedSettings(*reg, "/elsewhere/");
    EXPECT_FALSE(remembered.firstRun);
    EXPECT_TRUE(remembered.load.skipped.empty());
    EXPECT_EQ(configLines(remembered.form), configLines(imported));
    const auto file = (dir.path() / "out.cfg").string();
    exportRememberedSettings(*reg, appFolder, file, false);
    EXPECT_EQ(readConfigLines(file), configLines(imported));
    dir.writeFile("out.cfg", "kept");
    EXPECT_THROW(exportRememberedSettings(*reg, appFolder, file, false), Error);
    EXPECT_EQ(test::readFile(file), "kept");
}

} // namespace
} // namespace quarnel
