#include "common/TextFile.h"

#include "TempDir.h"
#include "common/Error.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

struct SplitCase {
    const char* name;
    std::string bytes;
    Lines lines;
};

class SplitLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, FromMemoryAndFromAFile) {
    EXPECT_EQ(splitTextLines(GetParam().bytes), GetParam().lines);
    const auto views = splitTextLineViews(GetParam().bytes);
    EXPECT_EQ(Lines(views.begin(), views.end()), GetParam().lines);
    test::TempDir dir;
    const auto file = dir.writeFile("f.txt", GetParam().bytes);
    EXPECT_EQ(readTextLines(file.string()), GetParam().lines);
    EXPECT_EQ(readFileBytes(file.string()), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Bytes, SplitLines,
                         ::testing::Values(SplitCase{"Empty", "", {}},
                                           SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                                           SplitCase{"BareLf", "a\nb\n", {"a", "b"}},
                                           SplitCase{"Mixed", "a\r\nb\nc", {"a", "b", "c"}},
                                           SplitCase{"NoFinalLineEnd", "a\r\nb", {"a", "b"}},
                                           SplitCase{"EmptyLines", "\r\n\n\r\n", {"", "", ""}},
                                           SplitCase{"LoneCrStays", "a\rb\r\nc\r", {"a\rb", "c\r"}},
                                           SplitCase{"CrBeforeCrLf", "a\r\r\n", {"a\r"}},
                                           SplitCase{"OtherBytesStay",
                                                     std::string("x\0y\xe9\t \r\n", 8),
                                                     {std::string("x\0y\xe9\t ", 6)}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JoinTextLines, EndsEveryLineWithCrLf) {
    EXPECT_EQ(joinTextLines({}), "");
    EXPECT_EQ(joinTextLines({""}), "\r\n");
    EXPECT_EQ(joinTextLines({"a", "", "b\r"}), "a\r\n\r\nb\r\r\n");
}

TEST(ReadTextLines, MissingFileOrAFolderIsFileNotFound) {
    test::TempDir dir;
    for (const auto& path : {(dir.path() / "missing.ini").string(), dir.path().string()}) {
        for (const bool lines : {true, false}) {
            try {
                if (lines)
                    readTextLines(path);
                else
                    readFileBytes(path);
                ADD_FAILURE() << path;
            } catch (const Error& e) {
                EXPECT_EQ(e.number(), errc::FileNotFound) << path;
            }
        }
    }
}

#ifdef __linux__
// A file whose size the system reports as 0 is still read to its end.
TEST(ReadFileBytes, ReadsFilesWithoutAKnownSize) {
    const std::string bytes = readFileBytes("/proc/self/status");
    EXPECT_NE(bytes.find("Name:"), std::string::npos);
}
#endif

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(WriteFileAtomically, CreatesAndReplacesWithNoTemporaryLeft) {
    test::TempDir dir;
    const std::string target = (dir.path() / "out.bat").string();
    writeFileAtomically(target, "first", false);
    EXPECT_EQ(test::readFile(target), "first");
    writeFileAtomically(target, std::string("sec\0nd", 6), true);
    EXPECT_EQ(test::readFile(target), std::string("sec\0nd", 6));
    writeFileAtomically(target, "", true);
    EXPECT_EQ(test::readFile(target), "");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"out.bat"});
}

TEST(WriteFileAtomically, KeepsThePermissionsOfTheFileItReplaces) {
    test::TempDir dir;
    const fs::path target = dir.writeFile("registry.cfg", "old");
    for (const auto perms :
         {fs::perms::owner_read | fs::perms::owner_write,
          fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read}) {
        fs::permissions(target, perms);
        writeFileAtomically(target.string(), "new", true);
        EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, perms);
        EXPECT_EQ(test::readFile(target), "new");
    }
}

struct FailCase {
    const char* name;
    int error;
};

class WriteFailure : public ::testing::TestWithParam<FailCase> {};

// A write that fails leaves the existing file as it was and no other file behind.
TEST_P(WriteFailure, LeavesEverythingAsItWas) {
    test::TempDir dir;
    dir.writeFile("keep.ini", "old");
    dir.writeFile("plain.txt", "a file, not a folder");
    dir.makeFolder("sub");
    const std::string what = GetParam().name;
    std::string target;
    bool overwrite = true;
    if (what == "NoOverwrite") {
        target = (dir.path() / "keep.ini").string();
        overwrite = false;
    } else if (what == "MissingFolder") {
        target = (dir.path() / "nowhere" / "keep.ini").string();
    } else if (what == "FolderIsAFile") {
        target = (dir.path() / "plain.txt" / "keep.ini").string();
    } else if (what == "NoFileName") {
        target = (dir.path() / "").string();
    } else if (what == "TargetIsAFolder") {
        target = (dir.path() / "sub").string();
    }
    const auto before = namesIn(dir.path());
    try {
        writeFileAtomically(target, "new", overwrite);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), GetParam().error);
    }
    EXPECT_EQ(test::readFile(dir.path() / "keep.ini"), "old");
    EXPECT_EQ(namesIn(dir.path()), before);
    EXPECT_TRUE(fs::is_empty(dir.path() / "sub"));
}

INSTANTIATE_TEST_SUITE_P(Targets, WriteFailure,
                         ::testing::Values(FailCase{"NoOverwrite", 58},
                                           FailCase{"MissingFolder", errc::PathNotFound},
                                           FailCase{"FolderIsAFile", errc::PathNotFound},
                                           FailCase{"NoFileName", errc::PathNotFound},
                                           FailCase{"TargetIsAFolder", errc::FileIO}),
                         [](const auto& info) { return std::string(info.param.name); });

#ifdef __linux__
// A folder where no file can be created, whoever runs the test.
TEST(WriteFileAtomically, FolderThatRefusesNewFilesIsAnAccessError) {
    try {
        writeFileAtomically("/proc/quarnel-cannot-be-here.ini", "x", true);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::FileIO);
    }
    EXPECT_FALSE(fs::exists("/proc/quarnel-cannot-be-here.ini"));
}
#endif

} // namespace
} // namespace quarnel
