#include "LaunchFixture.h"
#include "common/Text.h"
#include "launch/LaunchFiles.h"

#include <functional>
#include <gtest/gtest.h>
#include <locale>

namespace quarnel {
namespace {

using test::Edits;
using test::ExampleForm;
using test::exampleWith;

std::string commandLine(const ExampleForm& example, std::string_view ininame = "quarnel.ini") {
    return serverCommandLine(example.form, ininame, '\\');
}

// Boxes that could be read for one another are set in different cases.
TEST(CommandLine, WorkedExampleAndEachChange) {
    const std::string respawn = "ForceRespawn=False?";
    const std::pair<std::function<void(SettingsForm&)>, Edits> cases[] = {
        {[](SettingsForm&) {}, {}},
        {[](SettingsForm& f) {
             f.selectGameType(8);
             f.setText(Text::CustomGameType, "MyPkg.MyGame");
             f.setText(Text::GamePort, "7778");
             f.setText(Text::ExtraCommandLine, "X=1");
             f.setText(Text::AdminName, "Big\r\n Boss\n");
             f.setText(Text::AdminPassword, "s3cret");
             f.setText(Text::GamePassword, "join");
             f.setScroll(Scroll::GameSpeed, 50);
             f.setScroll(Scroll::FriendlyFire, 57);
             f.setBotSkillIndex(-1);
         },
         {{"Game=XGame.xDeathMatch?GameSpeed=1?", "Game=MyPkg.MyGame?GameSpeed=0.5?"},
          {"FriendlyFireScale=0?", "FriendlyFireScale=0.57?"},
          {"AdminName=?AdminPassword=?GamePassword=?",
           "AdminName=Big Boss?AdminPassword=s3cret?GamePassword=join?"},
          {"difficulty=2 INI=quarnel.ini -log",
           "difficulty=-1?X=1 INI=quarnel.ini port=7778 -log"}}},
        {[](SettingsForm& f) { f.setText(Text::GamePort, ""); }, {}},
        // Compared as text: 7777 with a blank is not the default port.
        {[](SettingsForm& f) { f.setText(Text::GamePort, "7777 "); },
         {{" -log=", " port=7777  -log="}}},
        // The folder holds no "BR-" map, so the URL starts with an empty map name.
        {[](SettingsForm& f) { f.selectGameType(0); },
         {{"DM-Example?Game=XGame.xDeathMatch?", "?Game=XGame.xBombingRun?"}}},
        {[](SettingsForm& f) {
             f.setChecked(Check::UseBots, true);
             f.setScroll(Scroll::MinPlayers, 4);
         },
         {{"MaxPlayers=", "MinPlayers=4?MaxPlayers="}}},
        {[](SettingsForm& f) { f.setChecked(Check::LanGame, true); },
         {{"BalanceTeams=False?", "BalanceTeams=False?LAN?"}}},
        // The box captioned "Balance Teams" (7), not "Mega Speed" (8).
        {[](SettingsForm& f) { f.setChecked(Check::BalanceTeams, true); },
         {{"BalanceTeams=False?", "BalanceTeams=True?"}}},
        {[](SettingsForm& f) {
             for (const int box : {0, 5, 6})
                 f.setChecked(serverOptionBox(box), true);
         },
         {{"GameStats=False?", "GameStats=True?"},
          {"Ready=False?AllowBehindview=False?", "Ready=True?AllowBehindview=True?"}}},
        // Each of box, arena and text alone asks for a mutator option.
        {[](SettingsForm& f) { f.setChecked(Check::BigHead, true); },
         {{respawn, respawn + "Mutator=UnrealGame.MutBigHead?"}}},
        {[](SettingsForm& f) { f.selectArena(1); },
         {{respawn, respawn + "Mutator=XWeapons.MutArena?"}}},
        {[](SettingsForm& f) { f.setText(Text::ExtraMutators, "Pkg.MutA,"); },
         {{respawn, respawn + "Mutator=Pkg.MutA?"}}},
    };
    for (const auto& [change, edits] : cases) {
        ExampleForm example;
        change(example.form);
        example.pointAtMaps();
        EXPECT_EQ(commandLine(example), exampleWith(edits));
    }
}

TEST(CommandLine, TakesTheFirstSelectedMapOrTheFirstEntry) {
    const std::tuple<std::vector<std::string>, std::vector<std::size_t>, std::string> cases[] = {
        {{"DM-B.ut2", "DM-A.ut2"}, {}, "DM-A"},
        {{"DM-A.ut2", "DM-B.ut2", "DM-C.ut2"}, {2, 1}, "DM-B"},
        {{"DM-Foo.UT2"}, {0}, "DM-Foo.UT2"},
        {{"a.ut2b.ut2"}, {0}, "ab"},
        {{}, {}, ""}};
    for (const auto& [files, selected, map] : cases) {
        ExampleForm example(files);
        example.form.setMapPattern("*.*");
        for (const auto entry : selected)
            example.form.setMapSelected(entry, true);
        EXPECT_EQ(commandLine(example), exampleWith({{" DM-Example?", " " + map + "?"}}));
    }
    // Only ".ini" exactly becomes ".log" ("a.bat.bat" in the batch file tests: every one).
    EXPECT_TRUE(
        commandLine(ExampleForm(), "Server.INI").ends_with(" INI=Server.INI -log=Server.INI"));
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

// Boxes set (mutatorBox indexes as digits), the extra text, the arena, the list.
TEST(MutatorLine, JoinsBoxesExtraTextAndArena) {
    const std::tuple<std::string, std::string, int, std::string> cases[] = {
        {"02", "", 0, "UnrealGame.MutBigHead,UnrealGame.MutLowGrav"},
        {"0", "", 2, "UnrealGame.MutBigHead,XGame.MutInstaGib"},
        {"", "", 1, "XWeapons.MutArena"},
        {"7", "Pkg.MutA,", 4, "XGame.MutVampire,Pkg.MutA,XGame.MutZoomInstagib"},
        {"", "Pkg.MutA,Pkg.MutB,", 0, "Pkg.MutA,Pkg.MutB"},
        {"", "Pkg.MutA", 1, "Pkg.MutAXWeapons.MutArena"},
        {"", "Pkg.MutA,,", 0, "Pkg.MutA,"},
        {"", ",", 0, ""},
        {"", ",Pkg.MutA", 0, ",Pkg.MutA"},
        {"", "", 0, ""},
        {"", "Pkg.Mut A, Pkg.MutB", 0, "Pkg.Mut A, Pkg.MutB"},
        {"01234567", "", 3,
         "UnrealGame.MutBigHead,XGame.MutHeliumCorpses,UnrealGame.MutLowGrav,XGame.MutNoAdrenaline,"
         "XGame.MutQuadJump,XGame.MutRegen,XGame.MutSlomoDeath,XGame.MutVampire,"
         "XWeapons.MutNoSuperWeapon"}};
    for (const auto& [boxes, extra, arena, list] : cases) {
        ServerSettings s = ServerSettings::design();
        for (const char box : boxes)
            s.checks[index(mutatorBox(box - '0'))] = true;
        s.texts[index(Text::ExtraMutators)] = extra;
        s.arena = arena;
        EXPECT_EQ(mutatorLine(s), list) << boxes << " / " << extra << " / " << arena;
    }
}

} // namespace
} // namespace quarnel
