#include "settings/SettingsForm.h"

#include "ExpectError.h"
#include "TempDir.h"
#include "common/Error.h"
#include "game/Installation.h"
#include "settings/FieldCheck.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel {
namespace {

using test::TempDir;

std::vector<std::string> entries(const SettingsForm& form) {
    return form.mapList().entries;
}

// The first-run values of every saved setting are checked in the saved file's bytes.
TEST(SettingsForm, FreshStartShowsTheBotSkillItemAndBareCaptions) {
    SettingsForm form;
    form.applyFirstRunDefaults();
    EXPECT_EQ(form.botSkillIndex(), 2);
    EXPECT_EQ(form.text(Text::CustomGameType), "");
    // Labels show their bare captions until the start-up handlers have run.
    for (const auto& bar : kScrollControls)
        EXPECT_EQ(form.caption(bar.id), bar.caption);
}

// A dragged bar shows its value at once, seconds only while dragged.
TEST(SettingsForm, ValueLabelsTakeTheChangeFormAndTheDragForm) {
    const std::tuple<Scroll, int, std::string, std::string> cases[] = {
        {Scroll::AirControl, 36, "Air Control = 36%", ""},
        {Scroll::FriendlyFire, 200, "Friendly Fire = 200%", ""},
        {Scroll::GameSpeed, 101, "Game Speed = 101%", ""},
        {Scroll::MaxPlayers, 32, "Max Players = 32", ""},
        {Scroll::MinPlayers, 5, "Min Players = 5", ""},
        {Scroll::MaxSpectators, 0, "Max Spectators = 0", ""},
        {Scroll::NetStartDelay, 60, "Net Start Delay = 60", " sec."},
        {Scroll::SpawnProtection, 5, "Spawn Protection Time = 5", " sec."}};
    for (const auto& [bar, value, settled, unit] : cases) {
        SettingsForm form, other;
        form.dragScroll(bar, value);
        EXPECT_EQ(std::make_pair(form.caption(bar), form.scroll(bar)),
                  std::make_pair(settled + unit, value));
        form.settleScroll(bar);
        other.setScroll(bar, value); // a value set by code settles at once
        EXPECT_EQ(std::make_pair(form.caption(bar), other.caption(bar)),
                  std::make_pair(settled, settled));
    }
}

// Scroll values outside the bar and unknown bot skills are refused and change nothing; texts
// set by code are kept whole whatever the typing limit.
TEST(SettingsForm, ValuesSetByCodeAreCheckedOrKeptWhole) {
    SettingsForm form;
    for (const auto& bar : kScrollControls) {
        EXPECT_THROW(form.setScroll(bar.id, bar.min - 1), Error) << bar.name;
        EXPECT_THROW(form.setScroll(bar.id, bar.max + 1), Error) << bar.name;
        EXPECT_EQ(form.scroll(bar.id), bar.designValue);
        EXPECT_NO_THROW(form.setScroll(bar.id, bar.min));
        EXPECT_NO_THROW(form.setScroll(bar.id, bar.max));
    }
    form.setBotSkillText("Godlike!");
    test::expectError(errc::InvalidProperty, [&] { form.setBotSkillText("godlike!"); });
    EXPECT_THROW(form.setBotSkillText(""), Error);
    EXPECT_EQ(form.botSkillIndex(), 7);
    for (const auto& box : kTextControls) {
        form.setText(box.id, std::string(300, '9'));
        EXPECT_EQ(form.text(box.id).size(), 300u) << box.name;
    }
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
    form.useBotsClicked(); // start-up's call with Use Bots unchecked
    form.webAdminClicked();
    EXPECT_EQ(enabled(), std::tuple(false, false, false, BackColor::ButtonFace, false));
    form.setChecked(Check::UseBots, true);
    form.setChecked(Check::WebAdmin, true);
    EXPECT_EQ(enabled(), std::tuple(true, true, true, BackColor::Window, true));
    form.setChecked(Check::UseBots, false);
    EXPECT_EQ(std::tuple(form.checked(Check::BotSkill), form.scroll(Scroll::MinPlayers),
                         form.botSkillText(), form.text(Text::WebAdminPort)),
              std::tuple(true, 8, std::string_view("Adept"), std::string("8080")));
}

TEST(SettingsForm, GameTypeFiltersTheMapsAndClearsTheSelection) {
    TempDir dir;
    const std::string gameFolder = test::copyDemoInstall(dir);
    SettingsForm form;
    form.setGameFolder(gameFolder);
    form.selectGameType(2);
    const std::vector<std::string> deathmatch = {
        "DM-Cellar.ut2", "DM-Lighthouse.ut2", "DM-Quarry.ut2", "DM-Reactor.ut2", "dm-sunken.ut2"};
    EXPECT_EQ(std::tuple(entries(form), form.mapList().pattern, form.mapList().folder,
                         form.enabled().customGameType),
              std::tuple(deathmatch, "DM-*.*", game::mapsFolder(gameFolder), false));

    form.setMapSelected(1, true);
    form.selectGameType(2); // the same type again: nothing runs, the selection stays
    EXPECT_EQ(form.mapList().selectedCount(), 1u);

    form.selectGameType(4); // Team Deathmatch lists the Deathmatch maps, afresh
    EXPECT_EQ(std::pair(entries(form), form.mapList().selectedCount()),
              std::pair(deathmatch, std::size_t{0}));

    form.setText(Text::CustomGameType, "MyPkg.MyGame");
    form.selectGameType(8);
    EXPECT_EQ(std::pair(entries(form).size(), form.enabled().customGameType),
              std::pair(std::size_t{13}, true));
    form.selectGameType(1);
    EXPECT_EQ(
        std::tuple(entries(form), form.enabled().customGameType, form.text(Text::CustomGameType)),
        std::tuple(std::vector<std::string>{"CTF-Foundry.ut2", "CTF-Glacier.ut2", "CTF-Harbor.ut2"},
                   false, "MyPkg.MyGame"));

    EXPECT_THROW(form.selectGameType(9), Error);
    EXPECT_EQ(form.gameType(), 1);
}

TEST(SettingsForm, WithoutAMapsFolderTheListShowsTheCurrentFolder) {
    TempDir dir;
    dir.writeFile("DM-Here.ut2", "");
    dir.writeFile("CTF-There.ut2", "");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    SettingsForm form;
    form.setGameFolder((dir.path() / "no-game" / "").string());
    form.selectGameType(2);
    std::filesystem::current_path(previous);
    EXPECT_EQ(form.mapList().folder, game::currentFolder());
    EXPECT_EQ(entries(form), std::vector<std::string>{"DM-Here.ut2"});
}

TEST(SettingsForm, ListenersHearEveryChangeAfterItsHandlingRan) {
    SettingsForm form;
    std::vector<FormChange::Kind> heard;
    form.subscribe([&](const FormChange& change) { heard.push_back(change.kind); });
    form.setScroll(Scroll::AirControl, 50);
    EXPECT_EQ(heard,
              (std::vector<FormChange::Kind>{FormChange::Kind::Scroll, FormChange::Kind::Caption}));
    heard.clear();
    form.setScroll(Scroll::AirControl, 50); // unchanged: nothing runs
    form.setText(Text::ServerName, "");
    form.setChecked(Check::BigHead, false);
    EXPECT_TRUE(heard.empty());
    form.setChecked(Check::UseBots, true);
    EXPECT_EQ(heard,
              (std::vector<FormChange::Kind>{FormChange::Kind::Check, FormChange::Kind::Enabled}));
}

// A value is accepted when it reads as a number that rounds (a half to even) into the range.
TEST(FieldCheck, AcceptsOrRefusesAsTheRangeSays) {
    const std::tuple<Text, std::vector<std::string>, std::vector<std::string>> cases[] = {
        {Text::GamePort,
         {"65000", "1", " 7777 ", "+80", "1.5", "65000.5", "64999.5"},
         {"65001", "0", "abc", "", "0.5", "-1", "1e3", "12 34", "."}},
        {Text::WebAdminPort, {}, {"12345678901234567890"}},
        {Text::NetSpeed, {"7000.4", "25000.5"}, {"25000.6"}},
        {Text::LanTickRate, {"50"}, {"abc", ""}},
        {Text::NetTickRate, {}, {"51"}},
        {Text::LanSpeed, {"25000"}, {}},
        {Text::TimeLimit, {"abc"}, {}}, // fields without a check accept anything
        {Text::ServerName, {""}, {}}};
    for (const auto& [field, accepted, refused] : cases) {
        for (const auto& text : accepted)
            EXPECT_EQ(refusalFor(field, text), nullptr) << '"' << text << '"';
        for (const auto& text : refused)
            EXPECT_NE(refusalFor(field, text), nullptr) << '"' << text << '"';
    }
    const auto refusal = [](Text field, std::string_view text) {
        const FieldCheck* check = refusalFor(field, text);
        return check ? std::tuple(check->message, check->title, check->defaultText)
                     : std::tuple<std::string_view, std::string_view, std::string_view>();
    };
    EXPECT_EQ(refusal(Text::GamePort, "65001"),
              std::tuple("Must be a number between 1 and 65000", "Game Port", "7777"));
    EXPECT_EQ(refusal(Text::LanTickRate, ""),
              std::tuple("Must be a number between 1 and 50", "LAN Tick Rate", "35"));
    for (const auto& check : kFieldChecks)
        EXPECT_EQ(check.defaultText, control(check.field).designText) << check.title;
}

} // namespace
} // namespace quarnel
