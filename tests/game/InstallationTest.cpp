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
        utpath = dir.withSeparator() + "UT" + N;
    }
    test::TempDir dir;
    std::string utpath;
};

TEST_F(CopiedGame, NativePathsUseTheSpellingOnDisk) {
    const std::string system = utpath + "System" + N;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {systemFolder(utpath), system},
        {templateIni(utpath), system + "UT2003.ini"},
        {uccExe(utpath), system + "ucc.exe"},
        {mapsFolder(utpath), utpath + "Maps"},
        // Nothing of that name on disk: the name as asked for.
        {bonusPackMarker(utpath), system + "BonusPack.int"},
        {join(utpath, "textures"), utpath + "textures"},
        {join(utpath, ""), utpath}};
    for (const auto& [got, expected] : cases)
        EXPECT_EQ(got, expected);
    EXPECT_TRUE(fileExists(templateIni(utpath)));
    EXPECT_TRUE(folderExists(mapsFolder(utpath)));
    EXPECT_FALSE(hasBonusPack(utpath));
}

TEST_F(CopiedGame, AnExactMatchWinsAndSeveralSpellingsGiveTheSmallest) {
    dir.makeFolder("UT/maps");
    EXPECT_EQ(mapsFolder(utpath), utpath + "maps");
    dir.makeFolder("UT/SYSTEM");
    // "SYSTEM" sorts before "System" byte by byte.
    EXPECT_EQ(systemFolder(utpath), utpath + "SYSTEM" + N);
}

TEST(WindowsPaths, AnotherSeparatorJoinsTheTextAsItStands) {
    const std::string utpath = "C:\\UT2003\\";
    EXPECT_EQ(systemFolder(utpath, '\\'), "C:\\UT2003\\system\\");
    EXPECT_EQ(templateIni(utpath, '\\'), "C:\\UT2003\\system\\ut2003.ini");
    EXPECT_EQ(uccExe(utpath, '\\'), "C:\\UT2003\\system\\ucc.exe");
    EXPECT_EQ(mapsFolder(utpath, '\\'), "C:\\UT2003\\maps");
    EXPECT_EQ(bonusPackMarker(utpath, '\\'), "C:\\UT2003\\system\\BonusPack.int");
    EXPECT_EQ(currentFolder('\\'), ".\\");
}

TEST(DemoInstall, HasTheBonusPackAndItsTemplate) {
    const std::string utpath = (test::demoInstall() / "").string();
    EXPECT_TRUE(hasBonusPack(utpath));
    EXPECT_TRUE(fileExists(templateIni(utpath)));
    EXPECT_TRUE(fileExists(uccExe(utpath)));
    EXPECT_FALSE(hasBonusPack(""));
}

TEST(Exists, FilesAndFoldersAreToldApart) {
    test::TempDir dir;
    const auto file = dir.writeFile("a.txt", "x").string();
    const auto folder = dir.makeFolder("f").string();
    EXPECT_TRUE(fileExists(file));
    EXPECT_FALSE(folderExists(file));
    EXPECT_TRUE(folderExists(folder));
    EXPECT_FALSE(fileExists(folder));
    EXPECT_FALSE(fileExists(""));
    EXPECT_FALSE(folderExists(""));
    EXPECT_FALSE(fileExists(folder + N + "missing"));
}

TEST(BuiltInIniNames, AreRecognisedWithoutRegardToCase) {
    for (const auto name : kBuiltInIniNames)
        EXPECT_TRUE(isBuiltInIniName(name)) << name;
    const std::vector<std::pair<std::string, bool>> cases = {
        {"UT2003.INI", true},   {"User.ini", true},        {"DefUser.INI", true},
        {"quarnel.ini", false}, {"ut2003.ini ", false},    {"ut2003", false},
        {"system.ini", false},  {"ut2003.ini.bak", false}, {"", false}};
    for (const auto& [name, builtIn] : cases)
        EXPECT_EQ(isBuiltInIniName(name), builtIn) << name;
}

} // namespace
} // namespace quarnel::game
