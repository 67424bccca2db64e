#include "game/MapFolder.h"

#include "TempDir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel::game {
namespace {

struct WildcardCase {
    const char* pattern;
    const char* name;
    bool matches;
};

class Wildcard : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(Wildcard, MatchesAsWindowsListsFiles) {
    EXPECT_EQ(wildcardMatch(GetParam().pattern, GetParam().name), GetParam().matches)
        << GetParam().pattern << " / " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, Wildcard,
    ::testing::Values(
        WildcardCase{"DM-*.*", "dm-mymap.ut2", true}, WildcardCase{"DM-*.*", "DM-Foo", true},
        WildcardCase{"DM-*.*", "DM-", true}, WildcardCase{"DM-*.*", "DOM-Outpost.ut2", false},
        WildcardCase{"DM-*.*", "XDM-Foo.ut2", false},
        WildcardCase{"CTF-*.*", "ctf-harbor.UT2", true}, WildcardCase{"*.*", "anything", true},
        WildcardCase{"*.*", "a.b.c", true}, WildcardCase{"*.*", ".hidden", true},
        WildcardCase{"*.ut2", "x.UT2", true}, WildcardCase{"*.ut2", "x.ut2b", false},
        WildcardCase{"?", "a", true}, WildcardCase{"?", "ab", false}, WildcardCase{"?", "", false},
        WildcardCase{"DM-?.ut2", "DM-A.ut2", true}, WildcardCase{"DM-?.ut2", "DM-AB.ut2", false},
        WildcardCase{"a*b*c", "aXbYc", true}, WildcardCase{"a*b*c", "acb", false},
        WildcardCase{"*", "", true}, WildcardCase{"", "", true}, WildcardCase{"", "a", false}));

TEST(WildcardMatch, ManyStarsStayFast) {
    const std::string pattern = "*a*a*a*a*a*a*a*a*a*a*b";
    const std::string name(20000, 'a');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(wildcardMatch(pattern, name));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

class MapsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"DM-B.ut2", "dm-a.ut2", "DM-a.ut2", "DM-C.ut2", "CTF-X.ut2",
                                 ".DM-Hidden.ut2", "DM-NoDot", "readme.txt"})
            dir.writeFile(std::string("maps/") + name, "x");
        dir.makeFolder("maps/DM-Folder.ut2");
        folder = (dir.path() / "maps").string();
    }
    test::TempDir dir;
    std::string folder;
};

TEST_F(MapsFolder, ListsMatchingFilesSortedWithoutRegardToCase) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(listFolder(folder, "DM-*.*"),
              (Names{"DM-a.ut2", "dm-a.ut2", "DM-B.ut2", "DM-C.ut2", "DM-NoDot"}));
    EXPECT_EQ(listFolder(folder, "*.*"), (Names{"CTF-X.ut2", "DM-a.ut2", "dm-a.ut2", "DM-B.ut2",
                                                "DM-C.ut2", "DM-NoDot", "readme.txt"}));
    EXPECT_EQ(listFolder(folder, "BR-*.*"), Names{});
}

TEST_F(MapsFolder, MissingFolderOrAFileListsNothing) {
    EXPECT_TRUE(listFolder(folder + "-missing", "*.*").empty());
    EXPECT_TRUE(listFolder(folder + "/readme.txt", "*.*").empty());
    EXPECT_TRUE(listFolder("", "*.*").empty());
}

} // namespace
} // namespace quarnel::game
