#include "LaunchFixture.h"
#include "common/Text.h"
#include "launch/LaunchFiles.h"

#include <functional>
#include <gtest/gtest.h>
#include <locale>

namespace quarnel {
namespace {

using test::ExampleForm;
using test::kExampleLine;

std::string exampleWith(std::string_view what, std::string_view with) {
    EXPECT_NE(kExampleLine.find(what), std::string::npos) << what;
    return replaceAll(kExampleLine, what, with);
}

struct LineCase {
    const char* name;
    std::function<void(SettingsForm&)> change;
    std::string expected;
};

class CommandLineCase : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineCase, GivesTheExpectedLine) {
    ExampleForm example;
    GetParam().change(example.form);
    example.pointAtMaps();
    EXPECT_EQ(serverCommandLine(example.form, "quarnel.ini", '\\'), GetParam().expected);
}

const std::string kTail = "AllowBehindview=False?difficulty=2";
const std::string kRespawn = "ForceRespawn=False?";

INSTANTIATE_TEST_SUITE_P(
    WorkedExampleAndEdges, CommandLineCase,
    ::testing::Values(
        LineCase{"WorkedExample", [](SettingsForm&) {}, kExampleLine},
        LineCase{"PortAndExtraOptions",
                 [](SettingsForm& f) {
                     f.setText(Text::GamePort, "7778");
                     f.setText(Text::ExtraCommandLine, "X=1");
                 },
                 exampleWith(kTail + " INI=quarnel.ini -log=quarnel.log",
                             kTail + "?X=1 INI=quarnel.ini port=7778 -log=quarnel.log")},
        LineCase{"EmptyPortWritesNoSwitch", [](SettingsForm& f) { f.setText(Text::GamePort, ""); },
                 kExampleLine},
        // Compared as text: 7777 with a blank is not the default port.
        LineCase{"PortWithTrailingBlank",
                 [](SettingsForm& f) { f.setText(Text::GamePort, "7777 "); },
                 exampleWith(" -log=", " port=7777  -log=")},
        LineCase{"HalfSpeed", [](SettingsForm& f) { f.setScroll(Scroll::GameSpeed, 50); },
                 exampleWith("GameSpeed=1?", "GameSpeed=0.5?")},
        LineCase{"FriendlyFireHundredths",
                 [](SettingsForm& f) { f.setScroll(Scroll::FriendlyFire, 57); },
                 exampleWith("FriendlyFireScale=0?", "FriendlyFireScale=0.57?")},
        LineCase{"OtherGameTypeWithClass",
                 [](SettingsForm& f) {
                     f.selectGameType(8);
                     f.setText(Text::CustomGameType, "MyPkg.MyGame");
                 },
                 exampleWith("Game=XGame.xDeathMatch?", "Game=MyPkg.MyGame?")},
        // The folder holds no "BR-" map, so the URL starts with an empty map name.
        LineCase{"BombingRunWithoutItsMaps", [](SettingsForm& f) { f.selectGameType(0); },
                 exampleWith("DM-Example?Game=XGame.xDeathMatch?", "?Game=XGame.xBombingRun?")},
        LineCase{"BotsAddMinPlayers",
                 [](SettingsForm& f) {
                     f.setChecked(Check::UseBots, true);
                     f.setScroll(Scroll::MinPlayers, 4);
                 },
                 exampleWith("MaxPlayers=", "MinPlayers=4?MaxPlayers=")},
        LineCase{"LanGame", [](SettingsForm& f) { f.setChecked(Check::LanGame, true); },
                 exampleWith("BalanceTeams=False?", "BalanceTeams=False?LAN?")},
        // The box captioned "Balance Teams" (7), not "Mega Speed" (8).
        LineCase{"BalanceTeamsBox",
                 [](SettingsForm& f) { f.setChecked(Check::BalanceTeams, true); },
                 exampleWith("BalanceTeams=False?", "BalanceTeams=True?")},
        LineCase{"ServerOptionsInTheLine",
                 [](SettingsForm& f) {
                     for (const int box : {0, 5, 6})
                         f.setChecked(serverOptionBox(box), true);
                 },
                 replaceAll(replaceAll(exampleWith("GameStats=False?", "GameStats=True?"),
                                       "PlayersMustBeReady=False?", "PlayersMustBeReady=True?"),
                            "AllowBehindview=False?", "AllowBehindview=True?")},
        LineCase{"NamesAndPasswordsAsTypedWithoutLineBreaks",
                 [](SettingsForm& f) {
                     f.setText(Text::AdminName, "Big\r\n Boss\n");
                     f.setText(Text::AdminPassword, "s3cret");
                     f.setText(Text::GamePassword, "join");
                 },
                 exampleWith("AdminName=?AdminPassword=?GamePassword=?",
                             "AdminName=Big Boss?AdminPassword=s3cret?GamePassword=join?")},
        LineCase{"OneMutator", [](SettingsForm& f) { f.setChecked(Check::BigHead, true); },
                 exampleWith(kRespawn, kRespawn + "Mutator=UnrealGame.MutBigHead?")},
        LineCase{"ArenaAlone", [](SettingsForm& f) { f.selectArena(1); },
                 exampleWith(kRespawn, kRespawn + "Mutator=XWeapons.MutArena?")},
        LineCase{"ExtraMutatorText",
                 [](SettingsForm& f) { f.setText(Text::ExtraMutators, "Pkg.MutA,"); },
                 exampleWith(kRespawn, kRespawn + "Mutator=Pkg.MutA?")},
        LineCase{"NoBotSkillPicked", [](SettingsForm& f) { f.setBotSkillIndex(-1); },
                 exampleWith("difficulty=2", "difficulty=-1")}),
    [](const auto& info) { return std::string(info.param.name); });

struct MapCase {
    const char* name;
    std::vector<std::string> files;
    std::vector<std::size_t> selected;
    std::string expectedMap;
};

class MapChoice : public ::testing::TestWithParam<MapCase> {};

TEST_P(MapChoice, TakesTheFirstSelectedOrTheFirstEntry) {
    ExampleForm example(GetParam().files);
    example.form.setMapPattern("*.*");
    for (const auto entry : GetParam().selected)
        example.form.setMapSelected(entry, true);
    EXPECT_EQ(serverCommandLine(example.form, "quarnel.ini", '\\'),
              exampleWith(" DM-Example?", " " + GetParam().expectedMap + "?"));
}

INSTANTIATE_TEST_SUITE_P(
    Maps, MapChoice,
    ::testing::Values(MapCase{"NoneSelected", {"DM-B.ut2", "DM-A.ut2"}, {}, "DM-A"},
                      MapCase{
                          "LowestSelected", {"DM-A.ut2", "DM-B.ut2", "DM-C.ut2"}, {2, 1}, "DM-B"},
                      MapCase{"UpperCaseExtensionStays", {"DM-Foo.UT2"}, {0}, "DM-Foo.UT2"},
                      MapCase{"EveryUt2Removed", {"a.ut2b.ut2"}, {0}, "ab"},
                      MapCase{"EmptyFolderGivesAnEmptyName", {}, {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Every ".ini" (exact, case-sensitive) of the INI name becomes ".log"; "a.bat.bat" and
// "Server.BAT" in the batch file tests cover several occurrences and a name without ".ini".
TEST(CommandLine, LogNameReplacesOnlyLowerCaseIni) {
    EXPECT_TRUE(serverCommandLine(ExampleForm().form, "Server.INI", '\\')
                    .ends_with(" INI=Server.INI -log=Server.INI"));
}

// A numeric punctuation that writes a comma, standing in for a locale such as German.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(Hundredths, ShortestFormWithAPointWhateverTheLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale(), new CommaPunct));
    for (const auto& [value, text] : std::vector<std::pair<int, std::string>>{
             {100, "1"}, {150, "1.5"}, {57, "0.57"}, {0, "0"}, {199, "1.99"}, {1, "0.01"}})
        EXPECT_EQ(hundredths(value), text) << value;
    std::locale::global(previous);
}

} // namespace
} // namespace quarnel
