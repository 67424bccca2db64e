#include "LaunchFixture.h"
#include "launch/LaunchFiles.h"

#include <functional>
#include <gtest/gtest.h>
#include <locale>

namespace quarnel {
namespace {

// A numeric punctuation that writes a comma, standing in for a locale such as German.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

// Boxes that could be read for one another are set in different cases. Hundredths keep a
// point under a locale that writes a comma.
TEST(CommandLine, WorkedExampleAndEachChange) {
    const std::locale previous = std::locale::global(std::locale(std::locale(), new CommaPunct));
    const std::string respawn = "ForceRespawn=False?";
    const std::pair<std::function<void(SettingsForm&)>, test::Edits> cases[] = {
        {[](SettingsForm& f) {
             f.selectGameType(8);
             f.setText(Text::CustomGameType, "MyPkg.MyGame");
             f.setText(Text::GamePort, "7777 "); // compared as text: not the default
             f.setChecked(Check::LanGame, true);
             f.setText(Text::ExtraCommandLine, "X=1");
             f.setText(Text::AdminName, "Big\r\n Boss\n");
             f.setText(Text::AdminPassword, "s3cret");
             f.setText(Text::GamePassword, "join");
             f.setScroll(Scroll::GameSpeed, 150);
             f.setScroll(Scroll::FriendlyFire, 7);
             f.setBotSkillIndex(-1);
         },
         {{"Game=XGame.xDeathMatch?GameSpeed=1?", "Game=MyPkg.MyGame?GameSpeed=1.5?"},
          {"FriendlyFireScale=0?", "FriendlyFireScale=0.07?"},
          {"AdminName=?AdminPassword=?GamePassword=?",
           "AdminName=Big Boss?AdminPassword=s3cret?GamePassword=join?"},
          {"BalanceTeams=False?", "BalanceTeams=False?LAN?"},
          {"difficulty=2 INI=quarnel.ini -log",
           "difficulty=-1?X=1 INI=quarnel.ini port=7777  -log"}}},
        {[](SettingsForm& f) { f.setText(Text::GamePort, ""); }, {}},
        // The folder holds no "BR-" map, so the URL starts with an empty map name.
        {[](SettingsForm& f) { f.selectGameType(0); },
         {{"DM-Example?Game=XGame.xDeathMatch?", "?Game=XGame.xBombingRun?"}}},
        {[](SettingsForm& f) {
             f.setChecked(Check::UseBots, true);
             f.setScroll(Scroll::MinPlayers, 4);
         },
         {{"MaxPlayers=", "MinPlayers=4?MaxPlayers="}}},
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
        test::ExampleForm example;
        change(example.form);
        example.pointAtMaps();
        EXPECT_EQ(serverCommandLine(example.form, "quarnel.ini", '\\'), test::exampleWith(edits));
    }
    std::locale::global(previous);
}

// Boxes set (mutatorBox indexes as digits), the extra text, the arena, the list.
TEST(MutatorLine, JoinsBoxesExtraTextAndArena) {
    const std::tuple<std::string, std::string, int, std::string> cases[] = {
        {"02", "", 0, "UnrealGame.MutBigHead,UnrealGame.MutLowGrav"},
        {"0", "", 2, "UnrealGame.MutBigHead,XGame.MutInstaGib"},
        {"7", "Pkg.MutA,", 4, "XGame.MutVampire,Pkg.MutA,XGame.MutZoomInstagib"},
        {"0", "", 5, "UnrealGame.MutBigHead,"}, // no arena past the last one
        {"", "Pkg.MutA,", -1, "Pkg.MutA,"},
        {"", "Pkg.MutA,Pkg.MutB,", 0, "Pkg.MutA,Pkg.MutB"},
        {"", "Pkg.MutA", 1, "Pkg.MutAXWeapons.MutArena"},
        {"", "Pkg.MutA,,", 0, "Pkg.MutA,"},
        {"", ",", 0, ""},
        {"", ",Pkg.MutA", 0, ",Pkg.MutA"},
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
