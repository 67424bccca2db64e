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
    EXPECT_EQ(buildcommandline(example.form, "quarnel.ini", '\\'), GetParam().expected);
}

const std::string kTail = "AllowBehindview=False?difficulty=2";

INSTANTIATE_TEST_SUITE_P(
    WorkedExampleAndEdges, CommandLineCase,
    ::testing::Values(
        LineCase{"WorkedExample", [](SettingsForm&) {}, kExampleLine},
        LineCase{"PortAndExtraOptions",
                 [](SettingsForm& f) {
                     f.setText(Text::Port, "7778");
                     f.setText(Text::CmdLineOptions, "X=1");
                 },
                 exampleWith(kTail + " INI=quarnel.ini -log=quarnel.log",
                             kTail + "?X=1 INI=quarnel.ini port=7778 -log=quarnel.log")},
        LineCase{"EmptyPortWritesNoSwitch", [](SettingsForm& f) { f.setText(Text::Port, ""); },
                 kExampleLine},
        LineCase{"PortWithLeadingZero", [](SettingsForm& f) { f.setText(Text::Port, "07777"); },
                 exampleWith(" -log=", " port=07777 -log=")},
        LineCase{"PortWithTrailingBlank", [](SettingsForm& f) { f.setText(Text::Port, "7777 "); },
                 exampleWith(" -log=", " port=7777  -log=")},
        LineCase{"HalfSpeed", [](SettingsForm& f) { f.setScroll(Scroll::GameSpeed, 50); },
                 exampleWith("GameSpeed=1?", "GameSpeed=0.5?")},
        LineCase{"SpeedAndHalf", [](SettingsForm& f) { f.setScroll(Scroll::GameSpeed, 150); },
                 exampleWith("GameSpeed=1?", "GameSpeed=1.5?")},
        LineCase{"DoubleFriendlyFire",
                 [](SettingsForm& f) { f.setScroll(Scroll::FriendlyFire, 200); },
                 exampleWith("FriendlyFireScale=0?", "FriendlyFireScale=2?")},
        LineCase{"FriendlyFireHundredths",
                 [](SettingsForm& f) { f.setScroll(Scroll::FriendlyFire, 57); },
                 exampleWith("FriendlyFireScale=0?", "FriendlyFireScale=0.57?")},
        LineCase{"OtherGameTypeWithoutClass", [](SettingsForm& f) { f.selectGameType(8); },
                 exampleWith("Game=XGame.xDeathMatch?", "Game=?")},
        LineCase{"OtherGameTypeWithClass",
                 [](SettingsForm& f) {
                     f.selectGameType(8);
                     f.setText(Text::Gametype, "MyPkg.MyGame");
                 },
                 exampleWith("Game=XGame.xDeathMatch?", "Game=MyPkg.MyGame?")},
        LineCase{"Invasion", [](SettingsForm& f) { f.selectGameType(7); },
                 exampleWith("Game=XGame.xDeathMatch?", "Game=SkaarjPack.Invasion?")},
        // The folder holds no "BR-" map, so the URL starts with an empty map name.
        LineCase{"BombingRunWithoutItsMaps", [](SettingsForm& f) { f.selectGameType(0); },
                 exampleWith("DM-Example?Game=XGame.xDeathMatch?", "?Game=XGame.xBombingRun?")},
        LineCase{"BotsAddMinPlayers",
                 [](SettingsForm& f) {
                     f.setChecked(Check::UseBots, true);
                     f.setScroll(Scroll::MinPlayers, 4);
                 },
                 exampleWith("MaxPlayers=", "MinPlayers=4?MaxPlayers=")},
        LineCase{"LanGame", [](SettingsForm& f) { f.setChecked(chkServerOptions(1), true); },
                 exampleWith("BalanceTeams=False?", "BalanceTeams=False?LAN?")},
        LineCase{"BalanceTeamsBox",
                 [](SettingsForm& f) { f.setChecked(chkServerOptions(7), true); },
                 exampleWith("BalanceTeams=False?", "BalanceTeams=True?")},
        LineCase{"MegaSpeedIsNotBalanceTeams",
                 [](SettingsForm& f) { f.setChecked(chkServerOptions(8), true); }, kExampleLine},
        LineCase{"ServerOptionsInTheLine",
                 [](SettingsForm& f) {
                     f.setChecked(chkServerOptions(0), true);
                     f.setChecked(chkServerOptions(5), true);
                     f.setChecked(chkServerOptions(6), true);
                 },
                 replaceAll(replaceAll(exampleWith("GameStats=False?", "GameStats=True?"),
                                       "PlayersMustBeReady=False?", "PlayersMustBeReady=True?"),
                            "AllowBehindview=False?", "AllowBehindview=True?")},
        LineCase{"NamesAndPasswordsAsTyped",
                 [](SettingsForm& f) {
                     f.setText(Text::AdminName, "Big Boss");
                     f.setText(Text::AdminPassword, "s3cret");
                     f.setText(Text::GamePassword, "join");
                 },
                 exampleWith("AdminName=?AdminPassword=?GamePassword=?",
                             "AdminName=Big Boss?AdminPassword=s3cret?GamePassword=join?")},
        LineCase{"LineBreaksInATextAreDropped",
                 [](SettingsForm& f) { f.setText(Text::AdminName, "Big\r\nBoss\n"); },
                 exampleWith("AdminName=?", "AdminName=BigBoss?")},
        LineCase{"OneMutator", [](SettingsForm& f) { f.setChecked(chkMutator(0), true); },
                 exampleWith("ForceRespawn=False?",
                             "ForceRespawn=False?Mutator=UnrealGame.MutBigHead?")},
        LineCase{
            "ArenaAlone", [](SettingsForm& f) { f.selectArena(1); },
            exampleWith("ForceRespawn=False?", "ForceRespawn=False?Mutator=XWeapons.MutArena?")},
        LineCase{"ExtraMutatorText", [](SettingsForm& f) { f.setText(Text::Mutator, "Pkg.MutA,"); },
                 exampleWith("ForceRespawn=False?", "ForceRespawn=False?Mutator=Pkg.MutA?")},
        LineCase{"NoBotSkillPicked", [](SettingsForm& f) { f.setBotSkillIndex(-1); },
                 exampleWith("difficulty=2", "difficulty=-1")},
        LineCase{"GodlikeBots", [](SettingsForm& f) { f.setBotSkillText("Godlike!"); },
                 exampleWith("difficulty=2", "difficulty=7")}),
    [](const auto& info) { return std::string(info.param.name); });

struct MapCase {
    const char* name;
    std::vector<std::string> files;
    std::vector<std::size_t> selected;
    std::string expectedStart;
};

class MapChoice : public ::testing::TestWithParam<MapCase> {};

TEST_P(MapChoice, TakesTheFirstSelectedOrTheFirstEntry) {
    const MapCase& c = GetParam();
    ExampleForm example(c.files);
    example.form.setMapPattern("*.*");
    for (const auto entry : c.selected)
        example.form.setMapSelected(entry, true);
    const std::string line = buildcommandline(example.form, "quarnel.ini", '\\');
    EXPECT_EQ(line.substr(0, line.find("Game=")), c.expectedStart);
}

INSTANTIATE_TEST_SUITE_P(
    Maps, MapChoice,
    ::testing::Values(
        MapCase{"NoneSelected",
                {"DM-B.ut2", "DM-A.ut2"},
                {},
                "C:\\UT2003\\system\\ucc.exe server DM-A?"},
        MapCase{"LowestSelected",
                {"DM-A.ut2", "DM-B.ut2", "DM-C.ut2"},
                {2, 1},
                "C:\\UT2003\\system\\ucc.exe server DM-B?"},
        MapCase{"UpperCaseExtensionStays",
                {"DM-Foo.UT2"},
                {0},
                "C:\\UT2003\\system\\ucc.exe server DM-Foo.UT2?"},
        MapCase{"EveryUt2Removed", {"a.ut2b.ut2"}, {0}, "C:\\UT2003\\system\\ucc.exe server ab?"},
        MapCase{"EmptyFolderGivesAnEmptyName", {}, {}, "C:\\UT2003\\system\\ucc.exe server ?"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, LogNameFollowsTheIniName) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"my.ini.ini", "INI=my.ini.ini -log=my.log.log"},
        {"server.cfg", "INI=server.cfg -log=server.cfg"},
        {"Server.INI", "INI=Server.INI -log=Server.INI"}};
    ExampleForm example;
    for (const auto& [ininame, tail] : cases) {
        const std::string line = buildcommandline(example.form, ininame, '\\');
        ASSERT_GE(line.size(), tail.size());
        EXPECT_EQ(line.substr(line.size() - tail.size()), tail) << ininame;
    }
}

TEST(CommandLine, NativeSeparatorFindsTheSystemFolderAsSpelledOnDisk) {
    test::TempDir dir;
    const std::string utpath = test::copyDemoInstall(dir);
    ExampleForm example({"DM-Example.ut2"}, utpath);
    const std::string expectedProgram = utpath + "System" + game::kNativeSeparator + "ucc.exe";
    EXPECT_EQ(buildcommandline(example.form, "quarnel.ini"),
              expectedProgram + kExampleLine.substr(kExampleLine.find(" server ")));
    EXPECT_EQ(commandLineParts(example.form, "quarnel.ini").program, expectedProgram);
}

// A numeric punctuation that writes a comma, standing in for a locale such as German.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(Hundredths, ShortestFormWithAPointWhateverTheLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale(), new CommaPunct));
    const std::vector<std::pair<int, std::string>> cases = {
        {100, "1"}, {150, "1.5"}, {75, "0.75"},  {57, "0.57"}, {0, "0"},
        {200, "2"}, {50, "0.5"},  {199, "1.99"}, {1, "0.01"},  {-25, "-0.25"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(hundredths(value), text) << value;
    std::locale::global(previous);
}

} // namespace
} // namespace quarnel
