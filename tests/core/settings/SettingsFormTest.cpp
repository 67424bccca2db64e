#include "settings/SettingsForm.h"

#include "ExpectError.h"
#include "TempDir.h"
#include "game/Installation.h"
#include "settings/FieldCheck.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel {
namespace {

using Names = std::vector<std::string>;

// Labels show their bare captions until set; a dragged bar shows its value at once, the time
// bars with " sec." until the drag ends; a value set by code settles at once.
TEST(SettingsForm, ValueLabelsTakeTheChangeFormAndTheDragForm) {
    const std::tuple<Scroll, int, std::string, bool> cases[] = {
        {Scroll::FriendlyFire, 200, "Friendly Fire = 200%", false},
        {Scroll::MaxSpectators, 0, "Max Spectators = 0", false},
        {Scroll::SpawnProtection, 5, "Spawn Protection Time = 5", true}};
    for (const auto& [bar, value, settled, timed] : cases) {
        SettingsForm form, other;
        EXPECT_EQ(form.caption(bar), settled.substr(0, settled.find(" = ")));
        form.dragScroll(bar, value);
        other.setScroll(bar, value);
        EXPECT_EQ(std::tuple(form.caption(bar), form.scroll(bar), other.caption(bar)),
                  std::tuple(settled + (timed ? " sec." : ""), value, settled));
        form.settleScroll(bar);
        EXPECT_EQ(form.caption(bar), settled);
    }
}

// Values outside a control's range are refused and change nothing.
TEST(SettingsForm, ValuesOutsideTheirRangeAreRefused) {
    SettingsForm form;
    for (const auto& bar : kScrollControls) {
        SCOPED_TRACE(bar.name);
        for (const int value : {bar.min - 1, bar.max + 1})
            test::expectError(errc::InvalidProperty, [&] { form.setScroll(bar.id, value); });
        EXPECT_EQ(form.scroll(bar.id), bar.designValue);
        form.setScroll(bar.id, bar.min);
        form.setScroll(bar.id, bar.max);
    }
    form.setBotSkillText("Godlike!");
    form.selectGameType(0);
    form.setGameTypeEnabled(0, false);
    for (const char* skill : {"godlike!", ""})
        test::expectError(errc::InvalidProperty, [&] { form.setBotSkillText(skill); });
    for (const int type : {-1, kGameTypeCount}) {
        test::expectError(errc::InvalidProperty, [&] { form.selectGameType(type); });
        test::expectError(errc::InvalidProperty, [&] { form.setGameTypeEnabled(type, true); });
    }
    EXPECT_EQ(std::tuple(form.botSkillIndex(), form.gameType(), form.enabled().gameTypes[0]),
              std::tuple(7, 0, false));
}

TEST(SettingsForm, UseBotsAndWebAdminEnableTheirDependantsWithoutChangingValues) {
    SettingsForm form;
    form.setChecked(Check::BotSkill, true);
    form.setScroll(Scroll::MinPlayers, 8);
    form.setBotSkillText("Adept");
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
    // Listeners hear a change after its handling ran, and nothing when nothing changed.
    std::vector<FormChange::Kind> heard;
    form.subscribe([&](const FormChange& change) { heard.push_back(change.kind); });
    form.setChecked(Check::UseBots, false);
    form.setChecked(Check::UseBots, false);
    form.setScroll(Scroll::MinPlayers, 8);
    form.setText(Text::WebAdminPort, "8080");
    EXPECT_EQ(heard, (std::vector{FormChange::Kind::Check, FormChange::Kind::Enabled}));
    EXPECT_EQ(std::tuple(form.checked(Check::BotSkill), form.scroll(Scroll::MinPlayers),
                         form.botSkillText(), form.text(Text::WebAdminPort)),
              std::tuple(true, 8, std::string_view("Adept"), std::string("8080")));
}

// The first run picks Deathmatch and Experienced; a game type lists its maps afresh, from the
// current folder when the game has no maps folder.
TEST(SettingsForm, GameTypeFiltersTheMapsAndClearsTheSelection) {
    const std::string gameFolder = (test::demoInstall() / "").string();
    SettingsForm form;
    form.setGameFolder((test::demoInstall() / "Maps" / "").string());
    form.selectGameType(0);
    EXPECT_EQ(form.mapList().folder, game::currentFolder());
    form.setGameFolder(gameFolder);
    form.applyFirstRunDefaults();
    const Names deathmatch = {"DM-Cellar.ut2", "DM-Lighthouse.ut2", "DM-Quarry.ut2",
                              "DM-Reactor.ut2", "dm-sunken.ut2"};
    EXPECT_EQ(std::tuple(form.mapList().entries, form.mapList().pattern, form.mapList().folder,
                         form.enabled().customGameType, form.botSkillIndex()),
              std::tuple(deathmatch, "DM-*.*", game::mapsFolder(gameFolder), false, 2));
    form.setMapSelected(1, true);
    form.selectGameType(2); // the same type again: nothing runs, the selection stays
    EXPECT_EQ(form.mapList().selectedCount(), 1u);
    form.selectGameType(4); // Team Deathmatch lists the Deathmatch maps, afresh
    EXPECT_EQ(std::pair(form.mapList().entries, form.mapList().selectedCount()),
              std::pair(deathmatch, std::size_t{0}));

    form.setText(Text::CustomGameType, "MyPkg.MyGame");
    form.selectGameType(8);
    form.setMapPattern("BR-*.*");
    form.gameTypeClicked(kGameTypeCount); // no such type: the list is read again as it was
    EXPECT_EQ(std::tuple(form.mapList().entries, form.enabled().customGameType),
              std::tuple(Names{"BR-Canyon.ut2", "BR-Skyline.ut2"}, true));
    form.selectGameType(1);
    EXPECT_EQ(std::tuple(form.mapList().entries, form.enabled().customGameType,
                         form.text(Text::CustomGameType)),
              std::tuple(Names{"CTF-Foundry.ut2", "CTF-Glacier.ut2", "CTF-Harbor.ut2"}, false,
                         "MyPkg.MyGame"));
}

// A value is accepted when it reads as a number that rounds (a half to even) into the range;
// how numbers read is the config reader's test.
TEST(FieldCheck, AcceptsOrRefusesAsTheRangeSays) {
    const std::tuple<Text, std::vector<std::string>, std::vector<std::string>> cases[] = {
        {Text::GamePort, {"65000", "1", "1.5", "65000.5"}, {"65001", "0", "0.5", "-1", "abc", ""}},
        {Text::WebAdminPort, {"64999.5"}, {"12345678901234567890"}},
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
    for (const auto& check : kFieldChecks)
        EXPECT_EQ(check.defaultText, control(check.field).designText) << check.title;
}

} // namespace
} // namespace quarnel
