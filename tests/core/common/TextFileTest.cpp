#include "common/TextFile.h"

#include "ExpectError.h"
#include "TempDir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::expectError;
using Lines = std::vector<std::string>;

TEST(SplitLines, FromMemoryAndFromAFile) {
    // A CR counts only right before a LF; every other byte stays; a final line end starts no
    // further line.
    const std::vector<std::pair<std::string, Lines>> cases = {
        {"", {}},
        {"a\r\nb\nc", {"a", "b", "c"}},
        {"\r\n\n\r\n", {"", "", ""}},
        {"a\rb\r\nc\r", {"a\rb", "c\r"}},
        {"a\r\r\n", {"a\r"}},
        {std::string("x\0y\xe9\t \r\n", 8), {std::string("x\0y\xe9\t ", 6)}}};
    test::TempDir dir;
    for (const auto& [bytes, lines] : cases) {
        SCOPED_TRACE(::testing::PrintToString(bytes));
        EXPECT_EQ(splitTextLines(bytes), lines);
        const auto file = dir.writeFile("f.txt", bytes).string();
        EXPECT_EQ(readTextLines(file), lines);
        EXPECT_EQ(readFileBytes(file), bytes);
    }
}

TEST(JoinTextLines, EndsEveryLineWithCrLf) {
    EXPECT_EQ(joinTextLines({}), "");
    EXPECT_EQ(joinTextLines({"a", "", "b\r"}), "a\r\n\r\nb\r\r\n");
}

TEST(ReadTextLines, MissingFileOrAFolderIsFileNotFound) {
    test::TempDir dir;
    for (const auto& path : {(dir.path() / "missing.ini").string(), dir.path().string()}) {
        expectError(errc::FileNotFound, [&] { readTextLines(path); });
        expectError(errc::FileNotFound, [&] { readFileBytes(path); });
    }
}

TEST(WriteFileAtomically, CreatesAndReplacesKeepingThePermissionsAndNoTemporary) {
    test::TempDir dir;
    const fs::path target = dir.path() / "out.bat";
    writeFileAtomically(target.string(), "first", false);
    EXPECT_EQ(test::readFile(target), "first");
    for (const auto perms :
         {fs::perms::owner_read | fs::perms::owner_write,
          fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read}) {
        fs::permissions(target, perms);
        writeFileAtomically(target.string(), std::string("sec\0nd", 6), true);
        EXPECT_EQ(test::readFile(target), std::string("sec\0nd", 6));
        EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, perms);
    }
    EXPECT_EQ(test::namesIn(dir.path()), std::set<std::string>{"out.bat"});
}

TEST(WriteFileAtomically, WritesThroughALinkAndKeepsTheLink) {
    test::TempDir dir;
    const fs::path real = dir.writeFile("shared/real.ini", "old");
    dir.makeFolder("server");
    const fs::path link = dir.path() / "server" / "quarnel.ini";
    fs::create_symlink("../shared/real.ini", link);
    writeFileAtomically(link.string(), "new", true);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::readFile(real), "new");
    EXPECT_EQ(test::namesIn(dir.path() / "shared"), std::set<std::string>{"real.ini"});
}

// A write that fails leaves the existing file as it was and no other file behind.
TEST(WriteFileAtomically, FailuresLeaveEverythingAsItWas) {
    const std::vector<std::tuple<std::string, bool, int>> cases = {
        {"keep.ini", false, 58},
        {"nowhere/keep.ini", true, errc::PathNotFound},
        {"plain.txt/keep.ini", true, errc::PathNotFound}, // a file where the folder should be
        {"sub/", true, errc::PathNotFound},               // no file name
        {"sub", true, errc::FileIO}};                     // the target is a folder
    test::TempDir dir;
    dir.writeFile("keep.ini", "old");
    dir.writeFile("plain.txt", "a file, not a folder");
    dir.makeFolder("sub");
    const auto before = test::namesIn(dir.path());
    for (const auto& [target, overwrite, error] : cases) {
        SCOPED_TRACE(target);
        expectError(error,
                    [&] { writeFileAtomically((dir.path() / target).string(), "new", overwrite); });
        EXPECT_EQ(test::readFile(dir.path() / "keep.ini"), "old");
        EXPECT_EQ(test::namesIn(dir.path()), before);
        EXPECT_TRUE(fs::is_empty(dir.path() / "sub"));
    }
}

#ifdef __linux__
// Files whose size the system reports as 0 are still read to their end; a folder where no file
// can be created, whoever runs the test, is an access error.
TEST(TextFile, SystemFilesWithoutASizeAndFoldersThatRefuseNewFiles) {
    EXPECT_NE(readFileBytes("/proc/self/status").find("Name:"), std::string::npos);
    expectError(errc::FileIO,
                [] { writeFileAtomically("/proc/quarnel-cannot-be-here.ini", "x", true); });
    EXPECT_FALSE(fs::exists("/proc/quarnel-cannot-be-here.ini"));
}
#endif

} // namespace
} // namespace quarnel
