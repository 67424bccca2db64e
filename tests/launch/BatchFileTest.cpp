#include "LaunchFixture.h"
#include "common/Error.h"
#include "common/Text.h"
#include "launch/LaunchFiles.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::ExampleForm;
using test::kExampleLine;

const std::string kCopyLine =
    "copy C:\\UT2003\\system\\quarnel.log C:\\UT2003\\system\\quarnelcrash.log";

struct BatchCase {
    const char* name;
    std::string utpath;
    std::string filename;
    std::function<void(SettingsForm&)> change;
    std::string serverLine;
    std::string copyLine;
};

class BatchLines : public ::testing::TestWithParam<BatchCase> {};

TEST_P(BatchLines, AreTheLoopAroundTheServer) {
    const BatchCase& c = GetParam();
    ExampleForm example({"DM-Example.ut2"}, c.utpath);
    c.change(example.form);
    EXPECT_EQ(batchLines(example.form, c.filename, '\\'),
              (std::vector<std::string>{"@echo off", ":10", c.serverLine, c.copyLine, "goto 10"}));
}

void nothing(SettingsForm&) {}

std::string exampleWith(std::string_view what, std::string_view with) {
    return replaceAll(kExampleLine, what, with);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BatchLines,
    ::testing::Values(
        BatchCase{"LaunchServer", "C:\\UT2003\\", "quarnel.bat", nothing, kExampleLine, kCopyLine},
        BatchCase{"UpperCaseExtensionIsNotReplaced", "C:\\UT2003\\", "Server.BAT", nothing,
                  exampleWith("INI=quarnel.ini -log=quarnel.log", "INI=Server.BAT -log=Server.BAT"),
                  "copy C:\\UT2003\\system\\Server.BAT C:\\UT2003\\system\\Server.BATcrash.log"},
        BatchCase{"EveryBatReplaced", "C:\\UT2003\\", "a.bat.bat", nothing,
                  exampleWith("INI=quarnel.ini -log=quarnel.log", "INI=a.ini.ini -log=a.log.log"),
                  "copy C:\\UT2003\\system\\a.log.log C:\\UT2003\\system\\acrash.log"},
        BatchCase{"PathsWithBlanksAreQuoted", "C:\\Program Files\\UT2003\\", "quarnel.bat", nothing,
                  "\"C:\\Program Files\\UT2003\\system\\ucc.exe\"" +
                      kExampleLine.substr(kExampleLine.find(" server ")),
                  "copy \"C:\\Program Files\\UT2003\\system\\quarnel.log\" \"C:\\Program "
                  "Files\\UT2003\\system\\quarnelcrash.log\""},
        BatchCase{"PercentDoubledEvenInQuotes", "C:\\100% Games\\", "quarnel.bat",
                  [](SettingsForm& f) { f.setText(Text::AdminPassword, "100%"); },
                  "\"C:\\100%% Games\\system\\ucc.exe\"" +
                      replaceAll(kExampleLine.substr(kExampleLine.find(" server ")),
                                 "AdminPassword=?", "AdminPassword=100%%?"),
                  "copy \"C:\\100%% Games\\system\\quarnel.log\" \"C:\\100%% "
                  "Games\\system\\quarnelcrash.log\""},
        BatchCase{"OperatorsEscapedOutsideQuotes", "C:\\UT2003\\", "quarnel.bat",
                  [](SettingsForm& f) { f.setText(Text::GamePassword, "a&b|c<d>e^f"); },
                  exampleWith("GamePassword=?", "GamePassword=a^&b^|c^<d^>e^^f?"), kCopyLine},
        BatchCase{"QuotesInTheTextToggleEscaping", "C:\\UT2003\\", "quarnel.bat",
                  [](SettingsForm& f) { f.setText(Text::CmdLineOptions, "Msg=\"a&b\"&c"); },
                  exampleWith("difficulty=2 ", "difficulty=2?Msg=\"a&b\"^&c "), kCopyLine},
        BatchCase{"OperatorInQuotedPathKept", "C:\\R&D Games\\", "quarnel.bat", nothing,
                  "\"C:\\R&D Games\\system\\ucc.exe\"" +
                      kExampleLine.substr(kExampleLine.find(" server ")),
                  "copy \"C:\\R&D Games\\system\\quarnel.log\" \"C:\\R&D "
                  "Games\\system\\quarnelcrash.log\""},
        BatchCase{"OperatorInUnquotedPathEscaped", "C:\\R&D\\", "quarnel.bat", nothing,
                  exampleWith("C:\\UT2003\\", "C:\\R^&D\\"),
                  "copy C:\\R^&D\\system\\quarnel.log C:\\R^&D\\system\\quarnelcrash.log"},
        BatchCase{"LineBreaksNeverReachALine", "C:\\UT2003\\", "quar\r\nnel.bat",
                  [](SettingsForm& f) { f.setText(Text::CmdLineOptions, "A=1\nB=2"); },
                  exampleWith("difficulty=2 ", "difficulty=2?A=1B=2 "), kCopyLine}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EscapeForCmd, PlainTextStaysAsItIs) {
    for (const std::string& text :
         std::vector<std::string>{"", "@echo off", "goto 10", kExampleLine, kCopyLine})
        EXPECT_EQ(escapeForCmd(text), text);
}

TEST(MakeGameBat, NativeSeparatorPointsIntoTheSystemFolderOnDisk) {
    test::TempDir dir;
    const std::string utpath = test::copyDemoInstall(dir);
    ExampleForm example({"DM-Example.ut2"}, utpath);
    const std::string system = utpath + "System" + game::kNativeSeparator;
    const auto lines = batchLines(example.form, "quarnel.bat");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], system + "ucc.exe" + kExampleLine.substr(kExampleLine.find(" server ")));
    EXPECT_EQ(lines[3], "copy " + system + "quarnel.log " + system + "quarnelcrash.log");
}

TEST(MakeGameBat, WritesFiveCrLfLinesTheSameEachTime) {
    ExampleForm example;
    const fs::path out = example.dir().makeFolder("out");
    const std::string folder = out.string() + game::kNativeSeparator;
    const std::string expected =
        "@echo off\r\n:10\r\n" + kExampleLine + "\r\n" + kCopyLine + "\r\ngoto 10\r\n";
    makegamebat(example.form, folder, "quarnel.bat", true, '\\');
    EXPECT_EQ(test::readFile(out / "quarnel.bat"), expected);
    makegamebat(example.form, folder, "quarnel.bat", true, '\\');
    EXPECT_EQ(test::readFile(out / "quarnel.bat"), expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
}

TEST(MakeGameBat, FailuresLeaveTheOldFileAndNoStrayFile) {
    ExampleForm example;
    const fs::path out = example.dir().makeFolder("out");
    example.dir().writeFile("out/quarnel.bat", "old");
    const std::string folder = out.string() + game::kNativeSeparator;
    const std::vector<std::tuple<std::string, bool, int>> cases = {
        {folder, false, 58},
        {(out / "missing").string() + game::kNativeSeparator, true, errc::PathNotFound}};
    for (const auto& [path, overwrite, number] : cases) {
        try {
            makegamebat(example.form, path, "quarnel.bat", overwrite, '\\');
            ADD_FAILURE() << path;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), number) << path;
        }
        EXPECT_EQ(test::readFile(out / "quarnel.bat"), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
    }
}

} // namespace
} // namespace quarnel
