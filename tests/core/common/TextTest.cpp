#include "common/Text.h"

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
}

TEST(EqualsNoCase, ComparesAsciiLettersOnlyWithoutCase) {
    EXPECT_TRUE(equalsNoCase("System", "SYSTEM"));
    EXPECT_FALSE(equalsNoCase("maps", "map"));
    EXPECT_FALSE(equalsNoCase("\xc9", "\xe9")); // accented letters are not folded
    EXPECT_FALSE(equalsNoCase("[", "{"));       // neighbours of the letters
    EXPECT_FALSE(equalsNoCase("@", "`"));
}

} // namespace
} // namespace quarnel
