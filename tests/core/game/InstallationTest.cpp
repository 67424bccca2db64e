#include "game/Installation.h"

#include "TempDir.h"
#include "game/MapFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel::game {
namespace {

constexpr char N = kNativeSeparator;

// A game copied from Windows: folders and files spelled with capitals.
TEST(CopiedGame, NativePathsUseTheSpellingOnDisk) {
    test::TempDir dir;
    dir.writeFile("UT/System/UT2003.ini", "[URL]\r\n");
    dir.writeFile("UT/System/ucc.exe", "");
    dir.makeFolder("UT/Maps");
    const std::string gameFolder = dir.withSeparator() + "UT" + N;
    const std::string system = gameFolder + test::spelled("system", "System") + N;
    EXPECT_EQ(std::tuple(systemFolder(gameFolder), templateIni(gameFolder), uccExe(gameFolder),
                         mapsFolder(gameFolder), join(gameFolder, "")),
              std::tuple(system, system + test::spelled("ut2003.ini", "UT2003.ini"),
                         system + "ucc.exe", gameFolder + test::spelled("maps", "Maps"),
                         gameFolder));
    // Nothing of that name on disk: the name as asked for.
    EXPECT_EQ(bonusPackMarker(gameFolder), system + "BonusPack.int");
    EXPECT_FALSE(hasBonusPack(gameFolder) || hasBonusPack(""));
    dir.writeFile("UT/System/bonuspack.INT", "");
    EXPECT_TRUE(hasBonusPack(gameFolder));
    // An exact match wins; of several spellings the smallest byte by byte ("SYSTEM" before
    // "System"; on Windows both are one folder).
    dir.makeFolder("UT/maps");
    dir.makeFolder("UT/SYSTEM");
    EXPECT_EQ(std::pair(mapsFolder(gameFolder), systemFolder(gameFolder)),
              std::pair(gameFolder + "maps", gameFolder + test::spelled("system", "SYSTEM") + N));
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

// Without regard to case; for a name without a dot the ".*" at the end is optional.
TEST(WildcardMatch, MatchesAsWindowsListsFiles) {
    const std::vector<std::tuple<std::string, std::string, bool>> cases = {
        {"DM-*.*", "dm-mymap.ut2", true},
        {"DM-*.*", "DM-Foo", true},
        {"DM-*.*", "DOM-Outpost.ut2", false},
        {"DM-*.*", "XDM-Foo.ut2", false},
        {"*.*", "a.b.c", true},
        {"*.ut2", "x.ut2b", false},
        {"?", "ab", false},
        {"?", "", false},
        {"DM-?.ut2", "DM-A.ut2", true},
        {"a*b*c", "aXbYc", true},
        {"a*b*c", "acb", false},
        {"a*b", "aab", true}, // the letter before the star may stand after it too
        {"*", "", true},
        {"", "", true},
        {"", "a", false}};
    for (const auto& [pattern, name, matches] : cases)
        EXPECT_EQ(wildcardMatch(pattern, name), matches) << pattern << " / " << name;
}

// A matcher that backtracks at every star would not finish this in the lifetime of the
// test run; how fast it is lies with bench_game (BM_WildcardManyStars).
TEST(WildcardMatch, ManyStarsFinish) {
    EXPECT_FALSE(wildcardMatch("*a*a*a*a*a*a*a*a*a*a*b", std::string(20000, 'a')));
}

TEST(ListFolder, ListsMatchingFilesSortedWithoutRegardToCase) {
    test::TempDir dir;
    for (const char* name : {"DM-B.ut2", "dm-a.ut2", "DM-a.ut2", "DM-C.ut2", "CTF-X.ut2",
                             ".DM-Hidden.ut2", "DM-NoDot", "readme.txt"})
        dir.writeFile(std::string("maps/") + name, "x");
    dir.makeFolder("maps/DM-Folder.ut2");
#ifndef _WIN32
    // A link counts as what it points to.
    std::filesystem::create_symlink(dir.path() / "maps" / "DM-C.ut2",
                                    dir.path() / "maps" / "DM-Link");
    std::filesystem::create_directory_symlink(dir.path() / "maps" / "DM-Folder.ut2",
                                              dir.path() / "maps" / "DM-LinkedFolder");
#endif
    const std::string folder = (dir.path() / "maps").string();
    using Names = std::vector<std::string>;
#ifdef _WIN32
    const Names twins = {"dm-a.ut2"}; // one file: the name first written stays
    const Names link = {};
#else
    const Names twins = {"DM-a.ut2", "dm-a.ut2"};
    const Names link = {"DM-Link"};
#endif
    const auto listed = [&](Names before, const Names& after) {
        before.insert(before.end(), twins.begin(), twins.end());
        before.insert(before.end(), {"DM-B.ut2", "DM-C.ut2"});
        before.insert(before.end(), link.begin(), link.end());
        before.insert(before.end(), after.begin(), after.end());
        return before;
    };
    EXPECT_EQ(listFolder(folder, "DM-*.*"), listed({}, {"DM-NoDot"}));
    EXPECT_EQ(listFolder(folder, "*.*"), listed({"CTF-X.ut2"}, {"DM-NoDot", "readme.txt"}));
    EXPECT_EQ(listFolder(folder, "BR-*.*"), Names{});
    // A missing folder, a file or no folder at all lists nothing.
    for (const std::string& other : {folder + "-missing", folder + "/readme.txt", std::string()})
        EXPECT_TRUE(listFolder(other, "*.*").empty()) << other;
}

} // namespace
} // namespace quarnel::game
