#include "game/Installation.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel::game {
namespace {

constexpr char N = kNativeSeparator;

// A game copied from Windows: folders and files spelled with capitals.
class CopiedGame : public ::testing::Test {
protected:
    void SetUp() override {
        dir.writeFile("UT/System/UT2003.ini", "[URL]\r\n");
        dir.writeFile("UT/System/ucc.exe", "");
        dir.makeFolder("UT/Maps");
    }
    test::TempDir dir;
    const std::string gameFolder = dir.withSeparator() + "UT" + N;
};

TEST_F(CopiedGame, NativePathsUseTheSpellingOnDisk) {
    const std::string system = gameFolder + test::spelled("system", "System") + N;
    EXPECT_EQ(systemFolder(gameFolder), system);
    EXPECT_EQ(templateIni(gameFolder), system + test::spelled("ut2003.ini", "UT2003.ini"));
    EXPECT_EQ(uccExe(gameFolder), system + "ucc.exe");
    EXPECT_EQ(mapsFolder(gameFolder), gameFolder + test::spelled("maps", "Maps"));
    // Nothing of that name on disk: the name as asked for.
    EXPECT_EQ(bonusPackMarker(gameFolder), system + "BonusPack.int");
    EXPECT_EQ(join(gameFolder, ""), gameFolder);
    EXPECT_FALSE(hasBonusPack(gameFolder));
    dir.writeFile("UT/System/bonuspack.INT", "");
    EXPECT_TRUE(hasBonusPack(gameFolder));
    EXPECT_FALSE(hasBonusPack(""));
}

TEST_F(CopiedGame, AnExactMatchWinsAndSeveralSpellingsGiveTheSmallest) {
    dir.makeFolder("UT/maps");
    EXPECT_EQ(mapsFolder(gameFolder), gameFolder + "maps");
    dir.makeFolder("UT/SYSTEM");
    // "SYSTEM" sorts before "System" byte by byte (on Windows both are one folder).
    EXPECT_EQ(systemFolder(gameFolder), gameFolder + test::spelled("system", "SYSTEM") + N);
}

TEST(Exists, FilesAndFoldersAreToldApart) {
    test::TempDir dir;
    const auto file = dir.writeFile("a.txt", "x").string();
    const auto folder = dir.makeFolder("f").string();
    EXPECT_TRUE(fileExists(file) && !folderExists(file));
    EXPECT_TRUE(folderExists(folder) && !fileExists(folder));
    EXPECT_FALSE(fileExists("") || folderExists("") || fileExists(folder + N + "missing"));
}

TEST(BuiltInIniNames, AreRecognisedWithoutRegardToCase) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"UT2003.INI", true},   {"DefUser.INI", true}, {"quarnel.ini", false},
        {"ut2003.ini ", false}, {"ut2003", false},     {"ut2003.ini.bak", false}};
    for (const auto& [name, builtIn] : cases)
        EXPECT_EQ(isBuiltInIniName(name), builtIn) << name;
}

} // namespace
} // namespace quarnel::game
