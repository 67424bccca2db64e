#include "app/Paths.h"

#include <gtest/gtest.h>

namespace quarnel::app {
namespace {

struct BrowseCase {
    const char* path;
    const char* title;
    char sep;
    bool caseSensitive;
    const char* utpath;
};

class UtpathFromUccExe : public testing::TestWithParam<BrowseCase> {};

TEST_P(UtpathFromUccExe, NamesTheGameFolder) {
    const auto& c = GetParam();
    EXPECT_EQ(utpathFromUccExe(c.path, c.title, c.sep, c.caseSensitive), c.utpath);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, UtpathFromUccExe,
    testing::Values(
        // Windows: the chosen path is lower-cased as a whole.
        BrowseCase{"C:\\UT2003\\System\\UCC.EXE", "UCC.EXE", '\\', false, "c:\\ut2003\\"},
        // Outside a System folder: one separator, not two.
        BrowseCase{"D:\\Games\\UT2003\\ucc.exe", "ucc.exe", '\\', false, "d:\\games\\ut2003\\"},
        // Only the final System folder goes; one further up stays.
        BrowseCase{"E:\\System\\UT2003\\System\\ucc.exe", "ucc.exe", '\\', false,
                   "e:\\system\\ut2003\\"},
        // A file name containing "ucc.exe" elsewhere in the path is not cut out.
        BrowseCase{"C:\\ucc.exe.d\\System\\ucc.exe", "ucc.exe", '\\', false, "c:\\ucc.exe.d\\"},
        BrowseCase{"C:\\Program Files\\UT2003\\System\\ucc.exe", "ucc.exe", '\\', false,
                   "c:\\program files\\ut2003\\"},
        // Case-sensitive file systems keep the spelling.
        BrowseCase{"/home/ann/UT2003/System/UCC.EXE", "UCC.EXE", '/', true, "/home/ann/UT2003/"},
        BrowseCase{"/home/ann/UT2003/system/ucc.exe", "ucc.exe", '/', true, "/home/ann/UT2003/"},
        BrowseCase{"/srv/Games/UT 2003/ucc.exe", "ucc.exe", '/', true, "/srv/Games/UT 2003/"},
        // Anything but ucc.exe names no folder.
        BrowseCase{"/home/ann/UT2003/System/ut2003.exe", "ut2003.exe", '/', true, ""},
        BrowseCase{"C:\\UT2003\\System\\ucc.exe.bak", "ucc.exe.bak", '\\', false, ""},
        // The top of the file system is no game folder.
        BrowseCase{"/System/ucc.exe", "ucc.exe", '/', true, ""},
        BrowseCase{"", "", '/', true, ""}));

TEST(UtpathUnset, OnlyEmptySeparatorOrCurrentFolder) {
    for (const char* unset : {"", "\\", ".\\"})
        EXPECT_TRUE(utpathUnset(unset, '\\')) << unset;
    for (const char* set : {"c:\\nowhere\\", "..\\", "\\\\", "x"})
        EXPECT_FALSE(utpathUnset(set, '\\')) << set;
    EXPECT_TRUE(utpathUnset("./", '/'));
    EXPECT_FALSE(utpathUnset(".\\", '/'));
}

} // namespace
} // namespace quarnel::app
