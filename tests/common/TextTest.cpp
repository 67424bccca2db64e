#include "common/Text.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel {
namespace {

struct TextCase {
    const char* name;
    std::function<std::string()> run;
    std::string expected;
};

class TextHelpers : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextHelpers, GiveTheExpectedText) {
    EXPECT_EQ(GetParam().run(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextHelpers,
    ::testing::Values(
        TextCase{"NospacesEveryBlank", [] { return nospaces(" Time Limit  "); }, "TimeLimit"},
        TextCase{"NospacesKeepsTabs", [] { return nospaces("a\tb c\r\n"); }, "a\tbc\r\n"},
        TextCase{"NospacesEmpty", [] { return nospaces(""); }, ""},
        TextCase{"NospacesOnlyBlanks", [] { return nospaces("   "); }, ""},
        TextCase{"NospacesHighBytes", [] { return nospaces("\xe9 \xa0"); }, "\xe9\xa0"},
        TextCase{"ReplaceEvery", [] { return replaceAll("a.bat.bat", ".bat", ".ini"); },
                 "a.ini.ini"},
        TextCase{"ReplaceIsCaseSensitive", [] { return replaceAll("Server.BAT", ".bat", ".ini"); },
                 "Server.BAT"},
        TextCase{"ReplaceLeftToRightWithoutOverlap", [] { return replaceAll("aaaa", "aa", "b"); },
                 "bb"},
        TextCase{"ReplaceOddOverlap", [] { return replaceAll("aaa", "aa", "b"); }, "ba"},
        TextCase{"ReplaceDoesNotRescan", [] { return replaceAll("ab", "a", "aa"); }, "aab"},
        TextCase{"ReplaceEmptyWhatKeepsText", [] { return replaceAll("abc", "", "x"); }, "abc"},
        TextCase{"ReplaceInEmpty", [] { return replaceAll("", "a", "b"); }, ""},
        TextCase{"RemoveAllJoinsTheRest", [] { return removeAll("a.ut2b.ut2", ".ut2"); }, "ab"},
        TextCase{"RemoveAllUpperCaseStays", [] { return removeAll("DM-Foo.UT2", ".ut2"); },
                 "DM-Foo.UT2"},
        TextCase{"RemoveAllCanMakeANewHit", [] { return removeAll("..ut2ut2", ".ut2"); }, ".ut2"},
        TextCase{"ReplaceNoCase",
                 [] { return replaceAllNoCase("C:\\GAMES\\System\\", "system\\", ""); },
                 "C:\\GAMES\\"},
        TextCase{"ReplaceNoCaseKeepsUnmatchedSpelling",
                 [] { return replaceAllNoCase("UCC.exe ucc.EXE", "ucc.exe", "x"); }, "x x"},
        TextCase{"LowerAsciiOnly", [] { return lowerAscii("AbC-\xc9\xe9Z"); }, "abc-\xc9\xe9z"},
        TextCase{"TrimRightBlanksOnly", [] { return trimRightBlanks("  C:\\Program Files\\  "); },
                 "  C:\\Program Files\\"},
        TextCase{"TrimRightKeepsTabs", [] { return trimRightBlanks("a\t "); }, "a\t"},
        TextCase{"TrimRightAllBlanks", [] { return trimRightBlanks("   "); }, ""},
        TextCase{"TrimRightEmpty", [] { return trimRightBlanks(""); }, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EqualsNoCase, ComparesAsciiLettersOnlyWithoutCase) {
    const std::vector<std::tuple<std::string, std::string, bool>> cases = {
        {"System", "SYSTEM", true}, {"ut2003.ini", "UT2003.INI", true},
        {"maps", "map", false},     {"", "", true},
        {"\xc9", "\xe9", false},                       // accented letters are not folded
        {"a b", "A B", true},       {"[", "{", false}, // neighbours of the letters
        {"@", "`", false}};
    for (const auto& [a, b, equal] : cases)
        EXPECT_EQ(equalsNoCase(a, b), equal) << a << " / " << b;
}

} // namespace
} // namespace quarnel
