#include "settings/SettingsForm.h"

#include "ExpectError.h"
#include "TempDir.h"
#include "game/Installation.h"
#include "settings/FieldCheck.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace quarnel {
namespace {

using Names = std::vector<std::string>;

// A dragged bar shows its value at once, the time bars with " sec." until the drag ends; a value
// set by code settles at once. Values outside a bar are refused and change nothing.
TEST(SettingsForm, ScrollBarsLabelTheirValuesAndRefuseOthers) {
    const std::tuple<Scroll, int, std::string, bool> cases[] = {
        {Scroll::FriendlyFire, 200, "Friendly Fire = 200%", false},
        {Scroll::SpawnProtection, 5, "Spawn Protection Time = 5", true}};
    for (const auto& [bar, value, settled, timed] : cases) {
        SettingsForm form, other;
        form.dragScroll(bar, value);
        other.setScroll(bar, value);
        EXPECT_EQ(std::tuple(form.caption(bar), form.scroll(bar), other.caption(bar)),
                  std::tuple(settled + (timed ? " sec." : ""), value, settled));
        form.settleScroll(bar);
        EXPECT_EQ(form.caption(bar), settled);
    }
    SettingsForm form;
    for (const auto& bar : kScrollControls) {
        SCOPED_TRACE(bar.name);
        for (const int value : {bar.min - 1, bar.max + 1})
            test::expectError(errc::InvalidProperty, [&] { form.setScroll(bar.id, value); });
        EXPECT_EQ(form.scroll(bar.id), bar.designValue);
        form.setScroll(bar.id, bar.min);
        form.setScroll(bar.id, bar.max);
    }
}

TEST(SettingsForm, UseBotsAndWebAdminEnableTheirDependantsWithoutChangingValues) {
    SettingsForm form;
    form.setChecked(Check::BotSkill, true);
    form.setScroll(Scroll::MinPlayers, 8);
    form.setBotSkillText("Adept");
    for (const char* skill : {"adept", ""}) // no such item: refused, nothing changes
        test::expectError(errc::InvalidProperty, [&] { form.setBotSkillText(skill); });
    form.setText(Text::WebAdminPort, "8080");
    const auto enabled = [&form] {
        const auto& e = form.enabled();
        return std::tuple(e.botSkillCheck, e.botSkillList, e.minPlayers, e.botSkillListColor,
                          e.webAdminPort);
    };
    form.bringPanelsInStep(); // as start-up does, with Use Bots unchecked
    EXPECT_EQ(enabled(), std::tuple(false, false, false, BackColor::ButtonFace, false));
    form.setChecked(Check::UseBots, true);
    form.setChecked(Check::WebAdmin, true);
    EXPECT_EQ(enabled(), std::tuple(true, true, true, BackColor::Window, true));
    form.setChecked(Check::UseBots, false);
    EXPECT_EQ(std::tuple(form.checked(Check::BotSkill), form.scroll(Scroll::MinPlayers),
                         form.botSkillText(), form.text(Text::WebAdminPort)),
              std::tuple(true, 8, std::string_view("Adept"), std::string("8080")));
}

// The first run picks Deathmatch and Experienced; a game type (0-8) lists its maps afresh, from
// the current folder when the game has no maps folder.
TEST(SettingsForm, GameTypeFiltersTheMapsAndClearsTheSelection) {
    const std::string gameFolder = (test::demoInstall() / "").string();
    SettingsForm form;
    form.setGameFolder(gameFolder + "Maps" + game::kNativeSeparator);
    form.selectGameType(0);
    EXPECT_EQ(form.mapList().folder, game::currentFolder());
    form.setGameFolder(gameFolder);
    form.applyFirstRunDefaults();
    EXPECT_EQ(std::tuple(form.mapList().entries, form.mapList().folder,
                         form.enabled().customGameType, form.botSkillIndex()),
              std::tuple(Names{"DM-Cellar.ut2", "DM-Lighthouse.ut2", "DM-Quarry.ut2",
                               "DM-Reactor.ut2", "dm-sunken.ut2"},
                         game::mapsFolder(gameFolder), false, 2));
    form.setMapSelected(1, true);
    form.selectGameType(2); // the same type again: nothing runs, the selection stays
    EXPECT_EQ(form.mapList().selectedCount(), 1u);
    form.setText(Text::CustomGameType, "MyPkg.MyGame");
    form.selectGameType(8); // Other: every map, none selected, the custom type to fill in
    form.gameTypeClicked(kGameTypeCount); // no such type: the list is read again as it was
    EXPECT_EQ(std::tuple(form.mapList().count(), form.mapList().selectedCount(),
                         form.enabled().customGameType),
              std::tuple(std::size_t{13}, std::size_t{0}, true));
    form.selectGameType(1); // the custom type is kept for later
    EXPECT_EQ(std::tuple(form.enabled().customGameType, form.text(Text::CustomGameType)),
              std::tuple(false, "MyPkg.MyGame"));
    form.setGameTypeEnabled(0, false);
    for (const int type : {-1, kGameTypeCount}) {
        test::expectError(errc::InvalidProperty, [&] { form.selectGameType(type); });
        test::expectError(errc::InvalidProperty, [&] { form.setGameTypeEnabled(type, true); });
    }
    EXPECT_EQ(std::pair(form.gameType(), form.enabled().gameTypes[0]), std::pair(1, false));
}

// Within a load each folder is read once and its files matched against every pattern the load
// passes through; a load that ends, even by an error, forgets them, so the next read sees the disk.
TEST(SettingsForm, ALoadReadsEachFolderOnceAndForgetsItsFilesWhenItEnds) {
    test::TempDir dir;
    dir.writeFile("Maps/DM-One.ut2", "");
    dir.writeFile("Maps/CTF-One.ut2", "");
    const std::string maps = (dir.path() / "Maps").string();
    SettingsForm form;
    std::vector<Names> listed;
    EXPECT_THROW(form.loadAtOnce([&] {
        form.setMapFolder(maps);
        for (const char* pattern : {"DM-*.*", "CTF-*.*", "*.ut2"}) {
            form.setMapPattern(pattern);
            listed.push_back(form.mapList().entries);
        }
        form.setMapFolder(dir.path().string()); // another folder: only a folder in it
        listed.push_back(form.mapList().entries);
        throw std::runtime_error("the load fails");
    }),
                 std::runtime_error);
    EXPECT_EQ(listed, (std::vector<Names>{
                          {"DM-One.ut2"}, {"CTF-One.ut2"}, {"CTF-One.ut2", "DM-One.ut2"}, {}}));
    dir.writeFile("Maps/CTF-Two.ut2", "");
    form.setMapFolder(maps);
    EXPECT_EQ(form.mapList().entries, (Names{"CTF-One.ut2", "CTF-Two.ut2", "DM-One.ut2"}));
}

// A value is accepted when it reads as a number that rounds (a half to even) into the range.
TEST(FieldCheck, AcceptsOrRefusesAsTheRangeSays) {
    const std::tuple<Text, std::vector<std::string>, std::vector<std::string>> cases[] = {
        {Text::GamePort, {"65000", "1", "1.5", "65000.5"}, {"65001", "0", "0.5", "abc", ""}},
        {Text::NetSpeed, {"25000.5"}, {"25000.6"}},
        {Text::LanTickRate, {"50"}, {"51"}},
        {Text::TimeLimit, {"abc"}, {}}}; // a field without a check accepts anything
    for (const auto& [field, accepted, refused] : cases) {
        for (const auto& text : accepted)
            EXPECT_EQ(refusalFor(field, text), nullptr) << '"' << text << '"';
        for (const auto& text : refused)
            EXPECT_NE(refusalFor(field, text), nullptr) << '"' << text << '"';
    }
    const FieldCheck* lanTickRate = refusalFor(Text::LanTickRate, "");
    ASSERT_NE(lanTickRate, nullptr);
    EXPECT_EQ(std::tuple(lanTickRate->message, lanTickRate->title, lanTickRate->defaultText),
              std::tuple("Must be a number between 1 and 50", "LAN Tick Rate", "35"));
}

} // namespace
} // namespace quarnel
