#include "settings/SettingsForm.h"

#include "ExpectError.h"
#include "TempDir.h"
#include "common/Error.h"
#include "game/Installation.h"

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

// A game folder with the demo's maps, and the form pointed at it.
class SettingsFormWithGame : public ::testing::Test {
protected:
    void SetUp() override {
        gameFolder = test::copyDemoInstall(dir);
        form.setGameFolder(gameFolder);
    }
    TempDir dir;
    std::string gameFolder;
    SettingsForm form;
};

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

TEST(SettingsForm, ValueLabelsTakeTheChangeFormAndTheDragForm) {
    struct Case {
        Scroll bar;
        int value;
        const char* settled;
        const char* dragged;
    };
    const Case cases[] = {
        {Scroll::AirControl, 36, "Air Control = 36%", "Air Control = 36%"},
        {Scroll::FriendlyFire, 200, "Friendly Fire = 200%", "Friendly Fire = 200%"},
        {Scroll::GameSpeed, 101, "Game Speed = 101%", "Game Speed = 101%"},
        {Scroll::MaxPlayers, 32, "Max Players = 32", "Max Players = 32"},
        {Scroll::MaxSpectators, 0, "Max Spectators = 0", "Max Spectators = 0"},
        {Scroll::MinPlayers, 5, "Min Players = 5", "Min Players = 5"},
        {Scroll::NetStartDelay, 60, "Net Start Delay = 60", "Net Start Delay = 60 sec."},
        {Scroll::SpawnProtection, 5, "Spawn Protection Time = 5", "Spawn Protection Time = 5 sec."},
    };
    for (const auto& c : cases) {
        SettingsForm form;
        form.dragScroll(c.bar, c.value);
        EXPECT_EQ(form.caption(c.bar), c.dragged);
        EXPECT_EQ(form.scroll(c.bar), c.value);
        form.settleScroll(c.bar);
        EXPECT_EQ(form.caption(c.bar), c.settled);

        SettingsForm other;
        other.setScroll(c.bar, c.value);
        EXPECT_EQ(other.caption(c.bar), c.settled) << "a value set by code settles at once";
    }
}

TEST(SettingsForm, ScrollValuesOutsideTheBarAreRefusedAndChangeNothing) {
    SettingsForm form;
    for (const auto& bar : kScrollControls) {
        EXPECT_THROW(form.setScroll(bar.id, bar.min - 1), Error) << bar.name;
        EXPECT_THROW(form.setScroll(bar.id, bar.max + 1), Error) << bar.name;
        EXPECT_EQ(form.scroll(bar.id), bar.designValue);
        EXPECT_NO_THROW(form.setScroll(bar.id, bar.min));
        EXPECT_NO_THROW(form.setScroll(bar.id, bar.max));
    }
}

TEST(SettingsForm, BotSkillIsPickedByItemTextOnly) {
    SettingsForm form;
    form.setBotSkillText("Godlike!");
    EXPECT_EQ(form.botSkillIndex(), 7);
    test::expectError(errc::InvalidProperty, [&] { form.setBotSkillText("godlike!"); });
    EXPECT_EQ(form.botSkillIndex(), 7);
    EXPECT_THROW(form.setBotSkillText(""), Error);
}

TEST(SettingsForm, UseBotsAndWebAdminEnableTheirDependantsWithoutChangingValues) {
    SettingsForm form;
    form.setChecked(Check::BotSkill, true);
    form.setScroll(Scroll::MinPlayers, 8);
    form.setBotSkillText("Adept");
    form.setText(Text::WebAdminPort, "8080");

    form.useBotsClicked(); // start-up's call with Use Bots unchecked
    form.webAdminClicked();
    EXPECT_FALSE(form.enabled().botSkillCheck);
    EXPECT_FALSE(form.enabled().botSkillList);
    EXPECT_FALSE(form.enabled().minPlayers);
    EXPECT_EQ(form.enabled().botSkillListColor, BackColor::ButtonFace);
    EXPECT_FALSE(form.enabled().webAdminPort);

    form.setChecked(Check::UseBots, true);
    form.setChecked(Check::WebAdmin, true);
    EXPECT_TRUE(form.enabled().botSkillCheck);
    EXPECT_TRUE(form.enabled().botSkillList);
    EXPECT_TRUE(form.enabled().minPlayers);
    EXPECT_EQ(form.enabled().botSkillListColor, BackColor::Window);
    EXPECT_TRUE(form.enabled().webAdminPort);

    form.setChecked(Check::UseBots, false);
    EXPECT_TRUE(form.checked(Check::BotSkill));
    EXPECT_EQ(form.scroll(Scroll::MinPlayers), 8);
    EXPECT_EQ(form.botSkillText(), "Adept");
    EXPECT_EQ(form.text(Text::WebAdminPort), "8080");
}

TEST(SettingsForm, TextsSetByCodeAreKeptWholeWhateverTheTypingLimit) {
    SettingsForm form;
    for (const auto& box : kTextControls) {
        form.setText(box.id, std::string(300, '9'));
        EXPECT_EQ(form.text(box.id).size(), 300u) << box.name;
    }
}

TEST_F(SettingsFormWithGame, GameTypeFiltersTheMapsAndClearsTheSelection) {
    form.selectGameType(2);
    const std::vector<std::string> deathmatch = {
        "DM-Cellar.ut2", "DM-Lighthouse.ut2", "DM-Quarry.ut2", "DM-Reactor.ut2", "dm-sunken.ut2"};
    EXPECT_EQ(entries(form), deathmatch);
    EXPECT_EQ(form.mapList().pattern, "DM-*.*");
    EXPECT_EQ(form.mapList().folder, game::mapsFolder(gameFolder));
    EXPECT_FALSE(form.enabled().customGameType);

    form.setMapSelected(1, true);
    form.selectGameType(2); // the same type again: nothing runs, the selection stays
    EXPECT_EQ(form.mapList().selectedCount(), 1u);

    form.selectGameType(4); // Team Deathmatch lists the Deathmatch maps, afresh
    EXPECT_EQ(entries(form), deathmatch);
    EXPECT_EQ(form.mapList().selectedCount(), 0u);

    form.setText(Text::CustomGameType, "MyPkg.MyGame");
    form.selectGameType(8);
    EXPECT_EQ(entries(form).size(), 13u);
    EXPECT_TRUE(form.enabled().customGameType);
    form.selectGameType(1);
    EXPECT_EQ(entries(form),
              (std::vector<std::string>{"CTF-Foundry.ut2", "CTF-Glacier.ut2", "CTF-Harbor.ut2"}));
    EXPECT_FALSE(form.enabled().customGameType);
    EXPECT_EQ(form.text(Text::CustomGameType), "MyPkg.MyGame");

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

} // namespace
} // namespace quarnel
