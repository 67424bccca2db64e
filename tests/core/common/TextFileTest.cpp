#include "common/TextFile.h"

#include "ExpectError.h"
#include "TempDir.h"
#include "common/Text.h"
#include "common/TextLineReader.h"

#include <filesystem>
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

// Blanks are code 32 only; replacing runs left to right, never over its own output.
TEST(TextHelpers, KeepTheirEdgeCases) {
    EXPECT_EQ(withoutBlanks(" a\tb c\r\n\xe9 \xa0 "), "a\tbc\r\n\xe9\xa0");
    EXPECT_EQ(trimRightBlanks("  C:\\Program Files\t  "), "  C:\\Program Files\t");
    EXPECT_EQ(replaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(replaceAll("ab", "a", "aa"), "aab");
    EXPECT_EQ(replaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(removeAll("..ut2ut2", ".ut2"), ".ut2");
    EXPECT_EQ(lowerAscii("AbC-\xc9\xe9Z"), "abc-\xc9\xe9z");
    EXPECT_FALSE(equalsNoCase("maps", "map") || equalsNoCase("\xc9", "\xe9") ||
                 equalsNoCase("[", "{") || equalsNoCase("@", "`"));
    EXPECT_EQ(joinTextLines({"a", "", "b\r"}), "a\r\n\r\nb\r\r\n");
}

using Lines = std::vector<std::string>;

// A CR ends a line only before a LF; a final line end starts no further line. The reader splits
// alike at every block size, a long line's first piece long enough to recognise it by.
TEST(TextLineReader, SplitsAlikeAtEveryBlockSize) {
    const std::string longLine(100, 'L');
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {std::string("\r\n\n\r\nx\0y\xe9\t \r\nb\nc", 16),
         {"", "", "", std::string("x\0y\xe9\t ", 6), "b", "c"}},
        {"a\r\r\nb\rc\r\nd\r", {"a\r", "b\rc", "d\r"}},
        {longLine + "\r\n\r" + longLine + "\r\r\n" + longLine + "\r",
         {longLine, "\r" + longLine + "\r", longLine + "\r"}}};
    test::TempDir dir;
    for (const auto& [bytes, lines] : cases) {
        const std::string file = dir.writeFile("f.txt", bytes).string();
        EXPECT_EQ(std::tuple(splitTextLines(bytes), readTextLines(file), readFileBytes(file)),
                  std::tuple(lines, lines, bytes));
        for (const std::size_t block : {1, 2, 3, 7, 16, 64, 64 * 1024}) {
            SCOPED_TRACE(::testing::PrintToString(bytes) + ", block " + std::to_string(block));
            TextLineReader reader(file, block, 10);
            Lines read;
            for (TextLineReader::Piece piece; reader.next(piece);) {
                if (piece.lineStart)
                    read.emplace_back();
                EXPECT_TRUE(!piece.lineStart || piece.lineEnd || piece.bytes.size() >= 10);
                read.back().append(piece.bytes);
            }
            EXPECT_EQ(std::pair(read, reader.bytesRead()), std::pair(lines, bytes.size()));
        }
    }
}

#ifndef _WIN32
// Only a regular file is read, never waiting on a pipe or reading a device. A failed write leaves
// all as it was; a new file is its owner's alone (it holds passwords), a replaced one keeps its
// mode, a link written through stays a link. (Windows runs this code in the launch and CLI tests.)
TEST(TextFile, ReadsOnlyRegularFilesAndWritesAtomicallyAndPrivately) {
    const auto mode = [](const fs::path& file) {
        return static_cast<unsigned>(fs::status(file).permissions());
    };
    test::TempDir dir;
    const std::string pipe = (dir.path() / "ut2003.ini").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {(dir.path() / "missing.ini").string(), "File not found"},
        {dir.path().string(), "Not a file but a folder"},
        {pipe, "Not a file but a named pipe"},
        {"/dev/zero", "Not a file but a device"}};
    for (const auto& c : cases)
        EXPECT_EQ(expectError(errc::FileNotFound, [&] { readFileBytes(c.first); }), c.second);
    const std::string big = dir.writeFile("big.cfg", std::string(11, 'x')).string();
    EXPECT_EQ(readFileBytes(big, 11), std::string(11, 'x'));
    expectError(errc::FileIO, [&] { readFileBytes(big, 10); });
    const std::vector<std::tuple<std::string, bool, int>> failures = {
        {"keep.ini", false, 58},
        {"nowhere/keep.ini", true, errc::PathNotFound},
        {"keep.ini/keep.ini", true, errc::PathNotFound}, // a file where the folder should be
        {"sub/", true, errc::PathNotFound},              // no file name
        {"sub", true, errc::FileIO},                     // the target is a folder
        {"/proc/quarnel-cannot-be-here.ini", true, errc::FileIO}}; // refused whoever runs it
    dir.writeFile("keep.ini", "old");
    dir.makeFolder("sub");
    const auto before = test::namesIn(dir.path());
    for (const auto& [target, overwrite, error] : failures) {
        SCOPED_TRACE(target);
        // The bindings are captured as copies: clang 14 cannot capture them by reference.
        expectError(error, [path = (dir.path() / target).string(), overwrite = overwrite] {
            writeFileAtomically(path, "new", overwrite);
        });
        EXPECT_EQ(test::readFile(dir.path() / "keep.ini"), "old");
        EXPECT_EQ(test::namesIn(dir.path()), before);
        EXPECT_TRUE(fs::is_empty(dir.path() / "sub"));
    }
    const fs::path target = dir.path() / "out.bat", script = dir.path() / "out.sh";
    const mode_t umaskBefore = ::umask(0);
    writeFileAtomically(target.string(), "first", false);
    writeFileAtomically(script.string(), "#!/bin/sh\n", false, NewFileMode::PrivateExecutable);
    ::umask(umaskBefore);
    EXPECT_EQ(std::pair(mode(target), mode(script)), std::pair(0600u, 0700u));
    ASSERT_EQ(::chmod(target.c_str(), 0744), 0);
    writeFileAtomically(target.string(), std::string("sec\0nd", 6), true, NewFileMode::Private);
    EXPECT_EQ(std::pair(test::readFile(target), mode(target)),
              std::pair(std::string("sec\0nd", 6), 0744u));
    const fs::path link = dir.makeFolder("server") / "quarnel.ini";
    fs::create_symlink("../out.bat", link);
    writeFileAtomically(link.string(), "new", true);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::readFile(target), "new");
    EXPECT_EQ(test::namesIn(dir.path()),
              (std::set<std::string>{"big.cfg", "keep.ini", "out.bat", "out.sh", "server", "sub",
                                     "ut2003.ini"}));
}
#endif

} // namespace
} // namespace quarnel
