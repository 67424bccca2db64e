#include "LaunchFixture.h"
#include "common/Text.h"
#include "launch/LaunchFiles.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::exampleArguments;
using test::ExampleForm;
using test::kExampleLine;

const std::string kCopyLine =
    "copy C:\\UT2003\\system\\quarnel.log C:\\UT2003\\system\\quarnelcrash.log";

struct BatchCase {
    const char* name;
    std::string gameFolder;
    std::string filename;
    std::function<void(SettingsForm&)> change;
    std::string serverLine;
    std::string copyLine;
};

class BatchLines : public ::testing::TestWithParam<BatchCase> {};

TEST_P(BatchLines, AreTheLoopAroundTheServer) {
    const BatchCase& c = GetParam();
    ExampleForm example({"DM-Example.ut2"}, c.gameFolder);
    c.change(example.form);
    EXPECT_EQ(batchLines(example.form, c.filename, '\\'),
              (std::vector<std::string>{"@echo off", ":10", c.serverLine, c.copyLine, "goto 10"}));
}

void nothing(SettingsForm&) {}

std::string exampleWith(std::string_view what, std::string_view with) {
    return replaceAll(kExampleLine, what, with);
}

const std::string kUt = "C:\\UT2003\\";
const std::string kIniLog = "INI=quarnel.ini -log=quarnel.log";

INSTANTIATE_TEST_SUITE_P(
    Files, BatchLines,
    ::testing::Values(
        BatchCase{"LaunchServer", kUt, "quarnel.bat", nothing, kExampleLine, kCopyLine},
        BatchCase{"UpperCaseExtensionIsNotReplaced", kUt, "Server.BAT", nothing,
                  exampleWith(kIniLog, "INI=Server.BAT -log=Server.BAT"),
                  "copy C:\\UT2003\\system\\Server.BAT C:\\UT2003\\system\\Server.BATcrash.log"},
        BatchCase{"EveryBatReplaced", kUt, "a.bat.bat", nothing,
                  exampleWith(kIniLog, "INI=a.ini.ini -log=a.log.log"),
                  "copy C:\\UT2003\\system\\a.log.log C:\\UT2003\\system\\acrash.log"},
        // Quoted for the blank; then "%" doubled even inside the quotes, "&" there kept.
        BatchCase{"PathWithBlankQuotedThenEscaped", "C:\\100% R&D Games\\", "quarnel.bat",
                  [](SettingsForm& f) { f.setText(Text::AdminPassword, "100%"); },
                  "\"C:\\100%% R&D Games\\system\\ucc.exe\"" +
                      replaceAll(exampleArguments(), "AdminPassword=?", "AdminPassword=100%%?"),
                  "copy \"C:\\100%% R&D Games\\system\\quarnel.log\" \"C:\\100%% R&D "
                  "Games\\system\\quarnelcrash.log\""},
        // cmd ends a word at ",", ";" and "=" as at a blank.
        BatchCase{"PathWithWordBreaksQuoted", "C:\\Games;Old,UT=2003\\", "quarnel.bat", nothing,
                  "\"C:\\Games;Old,UT=2003\\system\\ucc.exe\"" + exampleArguments(),
                  "copy \"C:\\Games;Old,UT=2003\\system\\quarnel.log\" "
                  "\"C:\\Games;Old,UT=2003\\system\\quarnelcrash.log\""},
        BatchCase{"OperatorsEscapedOutsideQuotes", kUt, "quarnel.bat",
                  [](SettingsForm& f) { f.setText(Text::GamePassword, "a&b|c<d>e^f"); },
                  exampleWith("GamePassword=?", "GamePassword=a^&b^|c^<d^>e^^f?"), kCopyLine},
        BatchCase{"QuotesInTheTextToggleEscaping", kUt, "quarnel.bat",
                  [](SettingsForm& f) { f.setText(Text::ExtraCommandLine, "Msg=\"a&b\"&c"); },
                  exampleWith("difficulty=2 ", "difficulty=2?Msg=\"a&b\"^&c "), kCopyLine},
        BatchCase{"LineBreaksNeverReachALine", kUt, "quar\r\nnel.bat",
                  [](SettingsForm& f) { f.setText(Text::ExtraCommandLine, "A=1\nB=2"); },
                  exampleWith("difficulty=2 ", "difficulty=2?A=1B=2 "), kCopyLine}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MakeGameBat, NativeSeparatorPointsIntoTheSystemFolderOnDisk) {
    test::TempDir dir;
    const std::string gameFolder = test::copyDemoInstall(dir);
    ExampleForm example({"DM-Example.ut2"}, gameFolder);
    const std::string system =
        gameFolder + test::spelled("system", "System") + game::kNativeSeparator;
    EXPECT_EQ(batchLines(example.form, "quarnel.bat"),
              (std::vector<std::string>{
                  "@echo off", ":10", system + "ucc.exe" + exampleArguments(),
                  "copy " + system + "quarnel.log " + system + "quarnelcrash.log", "goto 10"}));
}

TEST(MakeGameBat, WritesFiveCrLfLinesTheSameEachTimeAndFailsWithoutHarm) {
    ExampleForm example;
    const fs::path out = example.dir().makeFolder("out");
    const std::string folder = out.string() + game::kNativeSeparator;
    const std::string expected =
        "@echo off\r\n:10\r\n" + kExampleLine + "\r\n" + kCopyLine + "\r\ngoto 10\r\n";
    for (int run = 0; run < 2; ++run) {
        writeBatchFile(example.form, folder, "quarnel.bat", true, '\\');
        EXPECT_EQ(test::readFile(out / "quarnel.bat"), expected);
    }
    EXPECT_EQ(test::namesIn(out), std::set<std::string>{"quarnel.bat"});
    example.form.setText(Text::AdminName, "changed");
    test::expectFailureLeaves(out / "quarnel.bat", 58, [&] {
        writeBatchFile(example.form, folder, "quarnel.bat", false, '\\');
    });
}

} // namespace
} // namespace quarnel
