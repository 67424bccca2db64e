#include "store/RememberedSettings.h"

#include "TempDir.h"
#include "common/Error.h"
#include "store/ConfigFile.h"
#include "store/RegistryFile.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

constexpr RegRoot LM = RegRoot::LocalMachine;
constexpr RegRoot Own = kProgramRoot; // the program's key

class RememberedSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"DM-Alpha.ut2", "DM-Beta.ut2", "CTF-Gamma.ut2"})
            dir.writeFile(std::string("UT 2003/Maps/") + name, "");
        dir.writeFile("UT 2003/System/BonusPack.int", "");
        for (const char* name : {"DM-Other.ut2", "DM-Beta.ut2"})
            dir.writeFile(std::string("Elsewhere/Maps/") + name, "");
        dir.makeFolder("app");
        gameFolder = (dir.path() / "UT 2003" / "").string();
        otherFolder = (dir.path() / "Elsewhere" / "").string();
        apppath = (dir.path() / "app" / "").string();
    }

    // The settings of a run: Deathmatch, one map selected, a changed server name.
    SettingsForm runSettings(const std::string& utpath) {
        SettingsForm form;
        form.setUtpath(utpath);
        form.applyFirstRunDefaults();
        form.setText(Text::ServerName, "Big Server");
        form.setScroll(Scroll::MaxPlayers, 24);
        const auto& entries = form.mapList().entries;
        const auto beta = std::find(entries.begin(), entries.end(), "DM-Beta.ut2");
        if (beta != entries.end())
            form.setMapSelected(static_cast<std::size_t>(beta - entries.begin()), true);
        return form;
    }

    test::TempDir dir;
    std::string gameFolder, otherFolder, apppath;
    std::unique_ptr<MRegistry> reg = makeMemoryRegistry();
};

TEST_F(RememberedSettingsTest, FirstRunFindsTheGameThroughItsOwnEntry) {
    const auto empty = rememberedSettings(*reg, apppath);
    EXPECT_TRUE(empty.firstRun);
    EXPECT_EQ(empty.form.utpath(), "");
    EXPECT_EQ(empty.form.mapList().folder, apppath);
    EXPECT_FALSE(empty.form.enabled().optGameType[7]);
    EXPECT_FALSE(reg->regkeyexists(Own, kProgramKey)); // reading creates nothing

    reg->createregkey(LM, kGameKey);
    reg->writeregvalue(LM, kGameKey, kGameFolderValue, gameFolder.substr(0, gameFolder.size() - 1));
    const auto remembered = rememberedSettings(*reg, apppath);
    EXPECT_TRUE(remembered.firstRun);
    EXPECT_EQ(remembered.form.utpath(), gameFolder);
    EXPECT_EQ(remembered.form.mapList().entries,
              (std::vector<std::string>{"DM-Alpha.ut2", "DM-Beta.ut2"}));
    EXPECT_TRUE(remembered.form.enabled().optGameType[7]);
}

TEST_F(RememberedSettingsTest, ImportThenExportGivesTheSameSettings) {
    const SettingsForm imported = runSettings(gameFolder);
    rememberSettings(*reg, imported, apppath);
    EXPECT_EQ(reg->readregvalue(Own, kProgramKey, kPathValue), RegValue(apppath));

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
    EXPECT_EQ(reg->readregvalue(Own, kProgramKey, kPathValue), RegValue(apppath));
}

TEST_F(RememberedSettingsTest, MissingStoredFolderFallsBackToTheGameEntry) {
    rememberSettings(*reg, runSettings(dir.withSeparator() + "gone" + "/"), apppath);
    reg->createregkey(LM, kGameKey);
    reg->writeregvalue(LM, kGameKey, kGameFolderValue, otherFolder + "  ");

    const auto remembered = rememberedSettings(*reg, apppath);
    EXPECT_EQ(remembered.form.utpath(), otherFolder);
    EXPECT_EQ(remembered.form.mapList().folder, otherFolder + test::spelled("maps", "Maps"));
    // The list was read again from the new folder: the restored selection is gone.
    EXPECT_EQ(remembered.form.mapList().selectedCount(), 0u);
    EXPECT_EQ(remembered.form.settings().txt(Text::ServerName), "Big Server");
    EXPECT_FALSE(remembered.form.enabled().optGameType[7]);
}

} // namespace
} // namespace quarnel
