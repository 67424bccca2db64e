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

// A game copied from Windows: names spelled with capitals. Its maps folder lists files only, no
// hidden ones, links as what they point to, sorted without regard to case, then byte by byte.
TEST(CopiedGame, NativePathsUseTheSpellingOnDiskAndTheMapsAreListed) {
    test::TempDir dir;
    dir.writeFile("UT/System/UT2003.ini", "[URL]\r\n");
    dir.writeFile("UT/System/ucc.exe", "");
    for (const char* name : {"DM-B.ut2", "dm-a.ut2", "DM-a.ut2", "DM-Ab.ut2", "DM-C.ut2",
                             "CTF-X.ut2", ".DM-Hidden.ut2", "DM-NoDot"})
        dir.writeFile(std::string("UT/Maps/") + name, "x");
    const std::filesystem::path maps = dir.makeFolder("UT/Maps/DM-Folder.ut2").parent_path();
    const std::string gameFolder = dir.withSeparator() + "UT" + N;
    const std::string system = gameFolder + test::spelled("system", "System") + N;
    EXPECT_EQ(std::tuple(systemFolder(gameFolder), templateIni(gameFolder), uccExe(gameFolder),
                         mapsFolder(gameFolder), join(gameFolder, "")),
              std::tuple(system, system + test::spelled("ut2003.ini", "UT2003.ini"),
                         system + "ucc.exe", gameFolder + test::spelled("maps", "Maps"),
                         gameFolder));
    EXPECT_TRUE(fileExists(uccExe(gameFolder)) && folderExists(system));
    EXPECT_FALSE(folderExists(uccExe(gameFolder)) || fileExists(system) || fileExists("") ||
                 folderExists(""));
    // Nothing of that name on disk: the name as asked for.
    EXPECT_EQ(bonusPackMarker(gameFolder), system + "BonusPack.int");
    EXPECT_FALSE(hasBonusPack(gameFolder) || hasBonusPack(""));
    dir.writeFile("UT/System/bonuspack.INT", "");
    EXPECT_TRUE(hasBonusPack(gameFolder));
#ifdef _WIN32
    // One file: the name first written stays.
    const std::vector<std::string> listed = {"dm-a.ut2", "DM-Ab.ut2", "DM-B.ut2", "DM-C.ut2",
                                             "DM-NoDot"};
#else
    std::filesystem::create_symlink(maps / "DM-C.ut2", maps / "DM-Link");
    std::filesystem::create_directory_symlink(maps / "DM-Folder.ut2", maps / "DM-LinkedFolder");
    const std::vector<std::string> listed = {"DM-a.ut2", "dm-a.ut2", "DM-Ab.ut2", "DM-B.ut2",
                                             "DM-C.ut2", "DM-Link",  "DM-NoDot"};
#endif
    EXPECT_EQ(listFolder(mapsFolder(gameFolder), "*DM-*"), listed);
    for (const std::string& other :
         {mapsFolder(gameFolder) + "-missing", (maps / "DM-B.ut2").string(), std::string()})
        EXPECT_TRUE(listFolder(other, "*").empty()) << other; // no folder: nothing listed
    // An exact match wins, else the smallest spelling (on Windows these are one folder).
    dir.makeFolder("UT/maps");
    dir.makeFolder("UT/SYSTEM");
    EXPECT_EQ(std::pair(mapsFolder(gameFolder), systemFolder(gameFolder)),
              std::pair(gameFolder + "maps", gameFolder + test::spelled("system", "SYSTEM") + N));
}

// Without regard to case; ".*" at the end matches a name without a dot too. Many stars finish
// (a matcher backtracking at each would not; bench_game times it).
TEST(WildcardMatch, MatchesAsWindowsListsFiles) {
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"DM-*.*", "dm-mymap.ut2", true},
        {"DM-*.*", "DM-Foo", true},
        {"DM-*.*", "XDM-Foo.ut2", false},
        {"*.ut2", "x.ut2b", false},
        {"DM-?.ut2", "DM-A.ut2", true},
        {"a*b*c", "acb", false},
        {"a*b", "aab", true},
        {"*", "", true},
        {"", "a", false},
        {"*a*a*a*a*a*a*a*a*a*a*b", std::string(20000, 'a'), false}};
    for (const auto& [pattern, name, matches] : cases)
        EXPECT_EQ(wildcardMatch(pattern, name), matches) << pattern << " / " << name.substr(0, 20);
    EXPECT_TRUE(isBuiltInIniName("UT2003.INI") && isBuiltInIniName("DefUser.INI"));
    for (const char* name : {"quarnel.ini", "ut2003.ini ", "ut2003", "ut2003.ini.bak"})
        EXPECT_FALSE(isBuiltInIniName(name)) << name;
}

} // namespace
} // namespace quarnel::game
