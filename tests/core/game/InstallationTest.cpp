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
    EXPECT_TRUE(fileExists(uccExe(gameFolder)) && !folderExists(uccExe(gameFolder)));
    EXPECT_TRUE(folderExists(system) && !fileExists(system));
    EXPECT_FALSE(fileExists("") || folderExists("") || fileExists(system + "missing"));
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

// Without regard to case; for a name without a dot the ".*" at the end is optional. A
// matcher that backtracks at every star would not finish the many stars (bench_game times it).
TEST(WildcardMatch, MatchesAsWindowsListsFiles) {
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"DM-*.*", "dm-mymap.ut2", true},
        {"DM-*.*", "DM-Foo", true},
        {"DM-*.*", "XDM-Foo.ut2", false},
        {"*.ut2", "x.ut2b", false},
        {"?", "ab", false},
        {"DM-?.ut2", "DM-A.ut2", true},
        {"a*b*c", "aXbYc", true},
        {"a*b*c", "acb", false},
        {"a*b", "aab", true},
        {"*", "", true},
        {"", "", true},
        {"", "a", false},
        {"*a*a*a*a*a*a*a*a*a*a*b", std::string(20000, 'a'), false}};
    for (const auto& [pattern, name, matches] : cases)
        EXPECT_EQ(wildcardMatch(pattern, name), matches) << pattern << " / " << name.substr(0, 20);
    const std::pair<const char*, bool> iniNames[] = {
        {"UT2003.INI", true},   {"DefUser.INI", true}, {"quarnel.ini", false},
        {"ut2003.ini ", false}, {"ut2003", false},     {"ut2003.ini.bak", false}};
    for (const auto& [name, builtIn] : iniNames)
        EXPECT_EQ(isBuiltInIniName(name), builtIn) << name;
}

// Files only, no hidden ones, a link as what it points to; sorted without regard to case, then
// byte by byte. A missing folder, a file or no folder at all lists nothing.
TEST(ListFolder, ListsMatchingFilesSortedWithoutRegardToCase) {
    test::TempDir dir;
    for (const char* name : {"DM-B.ut2", "dm-a.ut2", "DM-a.ut2", "DM-C.ut2", "CTF-X.ut2",
                             ".DM-Hidden.ut2", "DM-NoDot"})
        dir.writeFile(std::string("maps/") + name, "x");
    const std::filesystem::path maps = dir.makeFolder("maps/DM-Folder.ut2").parent_path();
#ifdef _WIN32
    // One file: the name first written stays.
    const std::vector<std::string> listed = {"dm-a.ut2", "DM-B.ut2", "DM-C.ut2", "DM-NoDot"};
#else
    std::filesystem::create_symlink(maps / "DM-C.ut2", maps / "DM-Link");
    std::filesystem::create_directory_symlink(maps / "DM-Folder.ut2", maps / "DM-LinkedFolder");
    const std::vector<std::string> listed = {"DM-a.ut2", "dm-a.ut2", "DM-B.ut2",
                                             "DM-C.ut2", "DM-Link",  "DM-NoDot"};
#endif
    EXPECT_EQ(listFolder(maps.string(), "*DM-*"), listed);
    for (const std::string& other :
         {maps.string() + "-missing", (maps / "DM-B.ut2").string(), std::string()})
        EXPECT_TRUE(listFolder(other, "*").empty()) << other;
}

} // namespace
} // namespace quarnel::game
