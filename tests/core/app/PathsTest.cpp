#include "app/Paths.h"

#include <gtest/gtest.h>

namespace quarnel::app {
namespace {

TEST(UtpathFromUccExe, NamesTheGameFolder) {
    // The chosen path and its title, the separator, whether case counts, the game folder.
    const std::tuple<const char*, const char*, char, bool, const char*> choices[] = {
        // Windows: the chosen path is lower-cased as a whole.
        {"C:\\UT2003\\System\\UCC.EXE", "UCC.EXE", '\\', false, "c:\\ut2003\\"},
        // Outside a System folder: one separator, not two.
        {"D:\\Games\\UT2003\\ucc.exe", "ucc.exe", '\\', false, "d:\\games\\ut2003\\"},
        // Only the final System folder goes; one further up stays.
        {"E:\\System\\UT2003\\System\\ucc.exe", "ucc.exe", '\\', false, "e:\\system\\ut2003\\"},
        // A file name containing "ucc.exe" elsewhere in the path is not cut out.
        {"C:\\ucc.exe.d\\System\\ucc.exe", "ucc.exe", '\\', false, "c:\\ucc.exe.d\\"},
        // Case-sensitive file systems keep the spelling.
        {"/home/ann/UT2003/System/UCC.EXE", "UCC.EXE", '/', true, "/home/ann/UT2003/"},
        {"/home/ann/UT2003/system/ucc.exe", "ucc.exe", '/', true, "/home/ann/UT2003/"},
        {"/srv/Games/UT 2003/ucc.exe", "ucc.exe", '/', true, "/srv/Games/UT 2003/"},
        // The game's Linux server names its folder as well.
        {"/srv/UT2003/System/ucc-bin", "ucc-bin", '/', true, "/srv/UT2003/"},
        {"/srv/UT2003/SYSTEM/UCC-BIN", "UCC-BIN", '/', true, "/srv/UT2003/"},
        {"/srv/UT2003/System/ucc-bin-old", "ucc-bin-old", '/', true, ""},
        // Anything but ucc.exe names no folder.
        {"C:\\UT2003\\System\\ucc.exe.bak", "ucc.exe.bak", '\\', false, ""},
        // The top of the file system is no game folder.
        {"/System/ucc.exe", "ucc.exe", '/', true, ""},
        {"", "", '/', true, ""}};
    for (const auto& [path, title, sep, caseSensitive, gameFolder] : choices)
        EXPECT_EQ(gameFolderFromUccExe(path, title, sep, caseSensitive), gameFolder) << path;
}

TEST(UtpathUnset, OnlyEmptySeparatorOrCurrentFolder) {
    for (const char* unset : {"", "\\", ".\\"})
        EXPECT_TRUE(gameFolderUnset(unset, '\\')) << unset;
    for (const char* set : {"c:\\nowhere\\", "..\\", "\\\\", "x"})
        EXPECT_FALSE(gameFolderUnset(set, '\\')) << set;
    EXPECT_TRUE(gameFolderUnset("./", '/'));
    EXPECT_FALSE(gameFolderUnset(".\\", '/'));
}

} // namespace
} // namespace quarnel::app
