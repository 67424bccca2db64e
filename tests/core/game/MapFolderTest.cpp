#include "game/MapFolder.h"

#include "TempDir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel::game {
namespace {

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
        {"*", "", true},
        {"", "", true},
        {"", "a", false}};
    for (const auto& [pattern, name, matches] : cases)
        EXPECT_EQ(wildcardMatch(pattern, name), matches) << pattern << " / " << name;
}

TEST(WildcardMatch, ManyStarsStayFast) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(wildcardMatch("*a*a*a*a*a*a*a*a*a*a*b", std::string(20000, 'a')));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(ListFolder, ListsMatchingFilesSortedWithoutRegardToCase) {
    test::TempDir dir;
    for (const char* name : {"DM-B.ut2", "dm-a.ut2", "DM-a.ut2", "DM-C.ut2", "CTF-X.ut2",
                             ".DM-Hidden.ut2", "DM-NoDot", "readme.txt"})
        dir.writeFile(std::string("maps/") + name, "x");
    dir.makeFolder("maps/DM-Folder.ut2");
    // A link counts as what it points to.
    std::filesystem::create_symlink(dir.path() / "maps" / "DM-C.ut2",
                                    dir.path() / "maps" / "DM-Link");
    std::filesystem::create_directory_symlink(dir.path() / "maps" / "DM-Folder.ut2",
                                              dir.path() / "maps" / "DM-LinkedFolder");
    const std::string folder = (dir.path() / "maps").string();
    using Names = std::vector<std::string>;
    EXPECT_EQ(listFolder(folder, "DM-*.*"),
              (Names{"DM-a.ut2", "dm-a.ut2", "DM-B.ut2", "DM-C.ut2", "DM-Link", "DM-NoDot"}));
    EXPECT_EQ(listFolder(folder, "*.*"), (Names{"CTF-X.ut2", "DM-a.ut2", "dm-a.ut2", "DM-B.ut2",
                                                "DM-C.ut2", "DM-Link", "DM-NoDot", "readme.txt"}));
    EXPECT_EQ(listFolder(folder, "BR-*.*"), Names{});
    // A missing folder, a file or no folder at all lists nothing.
    for (const std::string& other : {folder + "-missing", folder + "/readme.txt", std::string()})
        EXPECT_TRUE(listFolder(other, "*.*").empty()) << other;
}

} // namespace
} // namespace quarnel::game
