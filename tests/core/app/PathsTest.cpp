#include "app/Paths.h"

#include <gtest/gtest.h>

namespace quarnel::app {
namespace {

TEST(UtpathFromUccExe, NamesTheGameFolder) {
    // The chosen path and its title, the separator, whether case counts, the game folder.
    const std::tuple<const char*, const char*, char, bool, const char*> choices[] = {
        {"C:\\UT2003\\System\\UCC.EXE", "UCC.EXE", '\\', false, "c:\\ut2003\\"},
        // Only the final System folder goes.
        {"E:\\System\\UT2003\\System\\ucc.exe", "ucc.exe", '\\', false, "e:\\system\\ut2003\\"},
        {"C:\\ucc.exe.d\\System\\ucc.exe", "ucc.exe", '\\', false, "c:\\ucc.exe.d\\"},
        {"/home/ann/UT2003/System/UCC.EXE", "UCC.EXE", '/', true, "/home/ann/UT2003/"},
        {"/srv/UT2003/SYSTEM/UCC-BIN", "UCC-BIN", '/', true, "/srv/UT2003/"},
        {"/srv/UT2003/System/ucc-bin-old", "ucc-bin-old", '/', true, ""},
        {"C:\\UT2003\\System\\ucc.exe.bak", "ucc.exe.bak", '\\', false, ""},
        {"/System/ucc.exe", "ucc.exe", '/', true, ""}, // the top is no game folder
        {"", "", '/', true, ""}};
    for (const auto& [path, title, sep, caseSensitive, gameFolder] : choices)
        EXPECT_EQ(gameFolderFromUccExe(path, title, sep, caseSensitive), gameFolder) << path;
}

TEST(UtpathUnset, OnlyEmptySeparatorOrCurrentFolder) {
    const std::tuple<const char*, char, bool> folders[] = {
        {"", '\\', true},      {"\\", '\\', true},    {".\\", '\\', true}, {"./", '/', true},
        {"..\\", '\\', false}, {"\\\\", '\\', false}, {"x", '\\', false},  {".\\", '/', false}};
    for (const auto& [folder, sep, unset] : folders)
        EXPECT_EQ(gameFolderUnset(folder, sep), unset) << folder;
}

} // namespace
} // namespace quarnel::app
