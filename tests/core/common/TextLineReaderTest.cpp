#include "common/TextLineReader.h"

#include "TempDir.h"
#include "common/Text.h"
#include "common/TextFile.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel {
namespace {

// replaceAll and removeAll as the launch files use them (".bat", ".ut2") are covered there.
TEST(TextHelpers, KeepTheirEdgeCases) {
    // Blanks only: tabs, line ends and bytes above 127 (0xa0 a blank in some code pages) stay.
    EXPECT_EQ(withoutBlanks(" a\tb c\r\n\xe9 \xa0 "), "a\tbc\r\n\xe9\xa0");
    // Left to right, without overlap, without scanning the replacement again.
    EXPECT_EQ(replaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(replaceAll("ab", "a", "aa"), "aab");
    EXPECT_EQ(replaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(removeAll("..ut2ut2", ".ut2"), ".ut2");
    EXPECT_EQ(replaceAllNoCase("UCC.exe ucc.EXE", "ucc.exe", "x"), "x x");
    EXPECT_EQ(lowerAscii("AbC-\xc9\xe9Z"), "abc-\xc9\xe9z");
    EXPECT_EQ(trimRightBlanks("  C:\\Program Files\t  "), "  C:\\Program Files\t");
    EXPECT_EQ(trimRightBlanks("   "), "");
    // ASCII letters only: not accented ones, nor the neighbours of the letters.
    EXPECT_TRUE(equalsNoCase("System", "SYSTEM"));
    EXPECT_FALSE(equalsNoCase("maps", "map") || equalsNoCase("\xc9", "\xe9") ||
                 equalsNoCase("[", "{") || equalsNoCase("@", "`"));
}

using Lines = std::vector<std::string>;

// The lines of a file: as the whole-file functions split it, and as the reader hands them out
// at every block size, a long line's first piece long enough to recognise it by. A CR counts
// only right before a LF; every other byte stays; a final line end starts no further line.
TEST(TextLineReader, SplitsAlikeAtEveryBlockSize) {
    const std::string longLine(100, 'L');
    const std::vector<std::pair<std::string, Lines>> cases = {
        {"", {}},
        {"a\r\nb\nc", {"a", "b", "c"}},
        {"\r\n\n\r\n", {"", "", ""}},
        {"a\rb\r\nc\r", {"a\rb", "c\r"}},
        {"a\r\r\n", {"a\r"}},
        {std::string("x\0y\xe9\t \r\n", 8), {std::string("x\0y\xe9\t ", 6)}},
        {longLine + "\r\n\r" + longLine + "\r\r\n" + longLine,
         {longLine, "\r" + longLine + "\r", longLine}},
        {longLine + "\r", {longLine + "\r"}}};
    constexpr std::size_t kFirstPiece = 10;
    test::TempDir dir;
    for (const auto& [bytes, lines] : cases) {
        const std::string file = dir.writeFile("f.txt", bytes).string();
        EXPECT_EQ(splitTextLines(bytes), lines);
        EXPECT_EQ(readTextLines(file), lines);
        EXPECT_EQ(readFileBytes(file), bytes);
        for (const std::size_t block : {1, 2, 3, 7, 16, 64, 64 * 1024}) {
            SCOPED_TRACE(::testing::PrintToString(bytes) + ", block " + std::to_string(block));
            TextLineReader reader(file, block, kFirstPiece);
            Lines read;
            TextLineReader::Piece piece;
            while (reader.next(piece)) {
                if (piece.lineStart) {
                    read.emplace_back();
                    EXPECT_TRUE(piece.lineEnd || piece.bytes.size() >= kFirstPiece);
                }
                read.back().append(piece.bytes);
            }
            EXPECT_EQ(read, lines);
            EXPECT_EQ(reader.bytesRead(), bytes.size());
        }
    }
}

} // namespace
} // namespace quarnel
