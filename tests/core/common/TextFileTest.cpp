#include "common/TextFile.h"

#include "ExpectError.h"
#include "TempDir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::expectError;

TEST(JoinTextLines, EndsEveryLineWithCrLf) {
    EXPECT_EQ(joinTextLines({}), "");
    EXPECT_EQ(joinTextLines({"a", "", "b\r"}), "a\r\n\r\nb\r\r\n");
}

#ifndef _WIN32
// Only a regular file is read. A named pipe without a writer is refused at once instead of
// waiting for one; a device is never read from; the message says what stands there.
TEST(ReadFileBytes, RefusesWhatIsNoRegularFileWithoutWaitingOnIt) {
    test::TempDir dir;
    const std::string pipe = (dir.path() / "ut2003.ini").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {(dir.path() / "missing.ini").string(), "File not found"},
        {dir.path().string(), "Not a file but a folder"},
        {pipe, "Not a file but a named pipe"},
        {"/dev/zero", "Not a file but a device"}};
    for (const auto& [path, message] : cases) {
        EXPECT_EQ(expectError(errc::FileNotFound, [&] { readFileBytes(path); }), message);
        EXPECT_EQ(expectError(errc::FileNotFound, [&] { requireRegularFile(path); }), message);
    }
    const std::string big = dir.writeFile("big.cfg", std::string(11, 'x')).string();
    EXPECT_EQ(readFileBytes(big, 11), std::string(11, 'x'));
    expectError(errc::FileIO, [&] { readFileBytes(big, 10); });
}
#endif

#ifndef _WIN32
unsigned modeOf(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
    return info.st_mode & 07777u;
}

// The files written hold passwords: a new one is its owner's alone, whatever the umask; a
// script is its owner's to run. A file replaced keeps the mode someone gave it.
TEST(WriteFileAtomically, NewFilesArePrivateAndReplacedOnesKeepTheirMode) {
    test::TempDir dir;
    const fs::path target = dir.path() / "out.bat";
    const fs::path script = dir.path() / "out.sh";
    const mode_t umaskBefore = ::umask(0);
    writeFileAtomically(target.string(), "first", false);
    writeFileAtomically(script.string(), "#!/bin/sh\n", false, NewFileMode::PrivateExecutable);
    ::umask(umaskBefore);
    EXPECT_EQ(std::make_pair(modeOf(target), modeOf(script)), std::make_pair(0600u, 0700u));
    for (const unsigned mode : {0640u, 0744u}) {
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        writeFileAtomically(target.string(), std::string("sec\0nd", 6), true,
                            NewFileMode::PrivateExecutable);
        EXPECT_EQ(test::readFile(target), std::string("sec\0nd", 6));
        EXPECT_EQ(modeOf(target), mode);
    }
    // The owner and group stay too, where the process may set them (only a privileged one may
    // give a file away).
    const uid_t owner = ::geteuid() == 0 ? 65534 : ::geteuid();
    const gid_t group = ::geteuid() == 0 ? 65534 : ::getegid();
    ASSERT_EQ(::chown(target.c_str(), owner, group), 0);
    writeFileAtomically(target.string(), "third", true);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(std::make_pair(info.st_uid, info.st_gid), std::make_pair(owner, group));
    EXPECT_EQ(test::namesIn(dir.path()), (std::set<std::string>{"out.bat", "out.sh"}));
}
#endif

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
        // The bindings are captured as copies: clang 14 cannot capture them by reference.
        expectError(error, [path = (dir.path() / target).string(), overwrite = overwrite] {
            writeFileAtomically(path, "new", overwrite);
        });
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
