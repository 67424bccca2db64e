#include "store/RegistrySettings.h"

#include "TempDir.h"
#include "common/Error.h"
#include "store/RegistryFile.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace quarnel {
namespace {

constexpr RegRoot LM = RegRoot::LocalMachine;

// A game folder whose maps folder holds the given files.
struct GameFolder {
    explicit GameFolder(const std::vector<std::string>& maps) {
        dir.makeFolder("Maps");
        for (const auto& name : maps)
            dir.writeFile("Maps/" + name, "");
    }
    // A form pointed at this game, listing every file of the maps folder ("Other": *.*),
    // with an arena option and a bot skill picked, as after any first run.
    SettingsForm form() const {
        SettingsForm f;
        f.setUtpath(dir.withSeparator());
        f.selectGameType(kGameTypeOther);
        f.selectArena(0);
        f.setBotSkillText("Average");
        return f;
    }
    test::TempDir dir;
};

std::vector<std::string> twentyMaps() {
    std::vector<std::string> maps;
    for (int i = 0; i < 20; ++i)
        maps.push_back("DM-Map" + std::to_string(10 + i) + ".ut2");
    return maps;
}

std::unique_ptr<MRegistry> storeWithKey() {
    auto reg = makeMemoryRegistry();
    reg->createregkey(LM, kProgramKey);
    return reg;
}

std::optional<RegValue> stored(MRegistry& reg, std::string_view name) {
    try {
        return reg.readregvalue(LM, kProgramKey, name);
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::optional<std::string> storedText(MRegistry& reg, std::string_view name) {
    const auto value = stored(reg, name);
    if (!value)
        return std::nullopt;
    const auto* text = std::get_if<std::string>(&*value);
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

TEST(RegistrySettings, ValueNamesInTheOrderOfWriting) {
    SettingsForm form;
    form.applyFirstRunDefaults();
    std::vector<std::string> names;
    for (const auto& [name, text] : registryEntries(form))
        names.push_back(name);
    const std::vector<std::string> expected = {"UTPATH",
                                               "GameType",
                                               "TimeLimit",
                                               "GoalLimit",
                                               "MaxLives",
                                               "WeaponsStay",
                                               "Translocator",
                                               "WeaponThrowing",
                                               "ForceRespawn",
                                               "AirControl",
                                               "GameSpeed",
                                               "FriendlyFire",
                                               "SpawnProtectionTime",
                                               "ArenaOptions",
                                               "BigHead",
                                               "FloatyCadavers",
                                               "LowGrav",
                                               "NoAdrenaline",
                                               "QuadJump",
                                               "Regeneration",
                                               "SlowMotionCorpses",
                                               "Vampire",
                                               "Mutators",
                                               "UseBots",
                                               "AdjustBotSkill",
                                               "MinPlayers",
                                               "BotsSkill",
                                               "ServerName",
                                               "ShortServerName",
                                               "AdminName",
                                               "AdminE-Mail",
                                               "MOTD1",
                                               "MOTD2",
                                               "MOTD3",
                                               "MOTD4",
                                               "AdminPassword",
                                               "GamePassword",
                                               "EnableWebAdmin",
                                               "WebPort",
                                               "GamePort",
                                               "NetSpeed",
                                               "LANSpeed",
                                               "NetTickRate",
                                               "LANTickRate",
                                               "xoptions",
                                               "WorldStatsLogging",
                                               "LANGame",
                                               "AllowAdminPausing",
                                               "AllowTaunts",
                                               "BrightSkins",
                                               "WaitForPlayers",
                                               "AllowBehindView",
                                               "BalanceTeams",
                                               "MegaSpeed",
                                               "MasterServerUplink",
                                               "GameSpyUplink",
                                               "MaxSpectators",
                                               "MaxPlayers",
                                               "NetStartDelay",
                                               "UseMapRotation"};
    EXPECT_EQ(names, expected);
}

struct SavedCase {
    const char* label;
    std::function<void(SettingsForm&)> edit;
    const char* name;
    std::optional<std::string> text; // nullopt: no such value is stored
};

class SavedText : public ::testing::TestWithParam<SavedCase> {};

TEST_P(SavedText, IsStoredExactly) {
    const auto& c = GetParam();
    auto reg = storeWithKey();
    SettingsForm form;
    form.applyFirstRunDefaults();
    c.edit(form);
    savetoreg(*reg, form);
    EXPECT_EQ(storedText(*reg, c.name), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SavedText,
    ::testing::Values(
        SavedCase{"server_name_inner_blanks",
                  [](SettingsForm& f) { f.setText(Text::ServerName, "Big Server"); }, "ServerName",
                  "Big Server "},
        SavedCase{"password_loses_blanks",
                  [](SettingsForm& f) { f.setText(Text::AdminPassword, " se cret "); },
                  "AdminPassword", "secret "},
        SavedCase{"time_limit_leading_blank",
                  [](SettingsForm& f) { f.setText(Text::TimeLimit, " 20"); }, "TimeLimit", "20 "},
        SavedCase{"email_as_typed", [](SettingsForm& f) { f.setText(Text::AdminEmail, "a@b.c "); },
                  "AdminE-Mail", "a@b.c  "},
        SavedCase{"mutators_as_typed",
                  [](SettingsForm& f) { f.setText(Text::Mutator, "A.B, C.D,"); }, "Mutators",
                  "A.B, C.D, "},
        SavedCase{"xoptions_with_equals",
                  [](SettingsForm& f) { f.setText(Text::CmdLineOptions, "?a=1 ?b=2"); }, "xoptions",
                  "?a=1 ?b=2 "},
        SavedCase{"game_type_word", [](SettingsForm& f) { f.selectGameType(6); }, "GameType",
                  "Mutant "},
        SavedCase{"game_type_two_words", [](SettingsForm& f) { f.selectGameType(3); }, "GameType",
                  "DoubleDomination "},
        SavedCase{"custom_game_type",
                  [](SettingsForm& f) {
                      f.selectGameType(kGameTypeOther);
                      f.setText(Text::Gametype, "My Mod.Game Info");
                  },
                  "GameType", "MyMod.GameInfo "},
        SavedCase{"arena_option", [](SettingsForm& f) { f.selectArena(3); }, "ArenaOptions",
                  "NoSuperWeapons "},
        SavedCase{"no_arena_option_no_entry", [](SettingsForm& f) { f = SettingsForm(); },
                  "ArenaOptions", std::nullopt},
        SavedCase{"bot_skill", [](SettingsForm& f) { f.setBotSkillText("Godlike!"); }, "BotsSkill",
                  "Godlike! "},
        SavedCase{"flag_checked", [](SettingsForm& f) { f.setChecked(chkServerOptions(7), true); },
                  "BalanceTeams", "1 "},
        SavedCase{"flag_clear", [](SettingsForm& f) { f.setChecked(Check::MapRotation, false); },
                  "UseMapRotation", "0 "},
        SavedCase{"scroll_value", [](SettingsForm& f) { f.setScroll(Scroll::GameSpeed, 150); },
                  "GameSpeed", "150 "},
        SavedCase{"game_folder_keeps_inner_blanks",
                  [](SettingsForm& f) { f.setUtpath("/games/ut 2003/"); }, "UTPATH",
                  "/games/ut 2003 "},
        SavedCase{"game_folder_without_separator_kept_whole",
                  [](SettingsForm& f) { f.setUtpath("/games/ut"); }, "UTPATH", "/games/ut "},
        SavedCase{"no_game_folder", [](SettingsForm& f) { f.setUtpath(""); }, "UTPATH", " "}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RegistrySettings, SelectedMapsAreStoredInListOrder) {
    auto names = twentyMaps();
    names.push_back("readme.txt");
    GameFolder game(names);
    SettingsForm form = game.form();
    const auto& entries = form.mapList().entries;
    ASSERT_EQ(entries.size(), 21u);
    // Select the 18th, 3rd and 7th entries, and the text file.
    for (std::size_t i : {17u, 2u, 6u})
        form.setMapSelected(i, true);
    const auto readme = std::find(entries.begin(), entries.end(), "readme.txt") - entries.begin();
    form.setMapSelected(static_cast<std::size_t>(readme), true);

    auto reg = storeWithKey();
    savetoreg(*reg, form);
    EXPECT_EQ(stored(*reg, "MapCount"), RegValue(std::int32_t{4}));
    EXPECT_EQ(storedText(*reg, "Map1"), "DM-Map12 ");
    EXPECT_EQ(storedText(*reg, "Map2"), "DM-Map16 ");
    EXPECT_EQ(storedText(*reg, "Map3"), "DM-Map27 ");
    EXPECT_EQ(storedText(*reg, "Map4"), "readme.txt ");
    EXPECT_EQ(stored(*reg, "Map5"), std::nullopt);

    // On load the text file is looked for as "readme.txt.ut2" and not found.
    SettingsForm loaded = game.form();
    const auto result = loadfromreg(*reg, loaded);
    EXPECT_EQ(result.mapCount, 4);
    EXPECT_TRUE(result.skipped.empty());
    std::vector<bool> expected(entries.size(), false);
    expected[2] = expected[6] = expected[17] = true;
    EXPECT_EQ(loaded.mapList().selected, expected);
}

// A form with every setting away from its design value.
SettingsForm everythingChanged(const GameFolder& game) {
    SettingsForm f = game.form();
    f.setText(Text::Gametype, "Custom.Game");
    for (const auto& box : kCheckControls)
        f.setChecked(box.id, true);
    for (const auto& text : kTextControls) {
        if (text.id == Text::Gametype)
            continue;
        f.setText(text.id, text.id == Text::ServerName ? "Big  Server" : "7");
    }
    for (const auto& bar : kScrollControls)
        f.setScroll(bar.id, bar.max);
    f.selectArena(4);
    f.setBotSkillText("Masterful");
    f.setMapSelected(1, true);
    f.setMapSelected(4, true);
    return f;
}

TEST(RegistrySettings, EverySettingComesBack) {
    GameFolder game(twentyMaps());
    const SettingsForm saved = everythingChanged(game);
    auto reg = storeWithKey();
    savetoreg(*reg, saved);

    SettingsForm loaded = game.form();
    loaded.setText(Text::Gametype, "");
    const auto result = loadfromreg(*reg, loaded);
    EXPECT_TRUE(result.skipped.empty());
    EXPECT_EQ(result.mapCount, 2);
    EXPECT_EQ(loaded.game(), kGameTypeOther);
    const ServerSettings& a = saved.settings();
    const ServerSettings& b = loaded.settings();
    EXPECT_EQ(b.checks, a.checks);
    EXPECT_EQ(b.texts, a.texts);
    EXPECT_EQ(b.scrolls, a.scrolls);
    EXPECT_EQ(b.optGameType, a.optGameType);
    EXPECT_EQ(b.optMutator, a.optMutator);
    EXPECT_EQ(b.cboBotSkill, a.cboBotSkill);
    EXPECT_EQ(b.filMapList.selected, a.filMapList.selected);
}

struct LoadCase {
    const char* label;
    const char* name;
    std::optional<RegValue> value; // nullopt: the value is deleted
    bool skipped;
    std::function<void(const SettingsForm&)> check;
};

class LoadedValue : public ::testing::TestWithParam<LoadCase> {};

// Stores the settings of a changed form, replaces one value, and loads into a form at its
// design values: the value is used, or skipped with its control left alone, and the load
// goes on with the settings after it.
TEST_P(LoadedValue, IsAppliedOrSkipped) {
    const auto& c = GetParam();
    GameFolder game(twentyMaps());
    auto reg = storeWithKey();
    savetoreg(*reg, everythingChanged(game));
    if (c.value)
        ASSERT_TRUE(std::visit(
            [&](const auto& v) { return reg->writeregvalue(LM, kProgramKey, c.name, v); },
            *c.value));
    else
        ASSERT_TRUE(reg->deleteregvalue(LM, kProgramKey, c.name));

    SettingsForm form = game.form();
    const auto result = loadfromreg(*reg, form);
    const std::vector<std::string> skipped =
        c.skipped ? std::vector<std::string>{c.name} : std::vector<std::string>{};
    EXPECT_EQ(result.skipped, skipped);
    c.check(form);
    // The last setting and the maps were still restored.
    EXPECT_TRUE(form.checked(Check::MapRotation));
    EXPECT_EQ(result.mapCount, 2);
    ASSERT_EQ(form.mapList().count(), 20u);
    EXPECT_TRUE(form.mapList().selected[4]);
}

const SettingsForm& designForm() {
    static const SettingsForm form;
    return form;
}

INSTANTIATE_TEST_SUITE_P(Values, LoadedValue,
                         ::testing::
                             Values(
                                 LoadCase{"flag_two_checks", "WeaponsStay",
                                          RegValue(std::string("2 ")), false,
                                          [](const SettingsForm& f) {
                                              EXPECT_TRUE(f.checked(chkGameOptions(0)));
                                          }},
                                 LoadCase{"flag_as_integer", "LANGame", RegValue(std::int32_t{1}),
                                          false,
                                          [](const SettingsForm& f) {
                                              EXPECT_TRUE(f.checked(chkServerOptions(1)));
                                          }},
                                 LoadCase{"flag_not_a_number", "LANGame",
                                          RegValue(std::string("yes ")), true,
                                          [](const SettingsForm& f) {
                                              EXPECT_FALSE(f.checked(chkServerOptions(1)));
                                          }},
                                 LoadCase{"flag_as_bytes", "UseBots",
                                          RegValue(std::vector<std::uint8_t>{1}), true,
                                          [](const SettingsForm& f) {
                                              EXPECT_FALSE(f.checked(Check::UseBots));
                                          }},
                                 LoadCase{"flag_absent", "Vampire", std::nullopt, true,
                                          [](const SettingsForm& f) {
                                              EXPECT_FALSE(f.checked(chkMutator(7)));
                                          }},
                                 LoadCase{"scroll_blanks_removed", "AirControl",
                                          RegValue(std::string(" 4 2 ")), false,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.scroll(Scroll::AirControl), 42);
                                              EXPECT_EQ(f.caption(Scroll::AirControl),
                                                        "Air Control = 42%");
                                          }},
                                 LoadCase{"scroll_half_to_even", "AirControl",
                                          RegValue(std::string("36.5 ")), false,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.scroll(Scroll::AirControl), 36);
                                          }},
                                 LoadCase{"scroll_out_of_range", "AirControl",
                                          RegValue(std::string("101 ")), true,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.scroll(Scroll::AirControl), 35);
                                          }},
                                 LoadCase{"scroll_beyond_16_bits", "MaxPlayers",
                                          RegValue(std::string("40000 ")), true,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.scroll(Scroll::MaxPlayers), 16);
                                          }},
                                 LoadCase{"bot_skill_unknown", "BotsSkill",
                                          RegValue(std::string("Wizard ")), true,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.botSkillText(), "Average");
                                          }},
                                 LoadCase{"game_type_word", "GameType",
                                          RegValue(std::string("Mutant ")), false,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.gameType(), 6);
                                              EXPECT_EQ(f.game(), 6);
                                          }},
                                 LoadCase{"game_type_with_blanks", "GameType",
                                          RegValue(std::string("Last Man Standing ")), false,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.gameType(), 5);
                                          }},
                                 LoadCase{"game_type_other_case_is_custom", "GameType",
                                          RegValue(std::string("deathmatch ")), false,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.gameType(), kGameTypeOther);
                                              EXPECT_EQ(f.game(), kGameTypeOther);
                                              EXPECT_EQ(f.text(Text::Gametype), "deathmatch");
                                          }},
                                 LoadCase{"arena_unknown_word",
                                          "ArenaOptions", RegValue(std::string("Bogus ")), true,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.arena(), 0);
                                          }},
                                 LoadCase{"arena_word", "ArenaOptions",
                                          RegValue(std::string("Arena ")), false,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.arena(), 1);
                                          }},
                                 LoadCase{"server_name_trailing_blanks_lost", "ServerName",
                                          RegValue(std::string(" Big Server   ")), false,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.text(Text::ServerName), " Big Server");
                                          }},
                                 LoadCase{"password_blanks_removed", "AdminPassword",
                                          RegValue(std::string("se cret ")), false,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.text(Text::AdminPassword), "secret");
                                          }},
                                 LoadCase{"mutators_blanks_removed", "Mutators",
                                          RegValue(std::string(" A.B, C.D ")), false,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.text(Text::Mutator), "A.B,C.D");
                                          }},
                                 LoadCase{"xoptions_trailing_blanks_lost", "xoptions",
                                          RegValue(std::string("?a=1 ?b=2  ")), false,
                                          [](const SettingsForm& f) {
                                              EXPECT_EQ(f.text(Text::CmdLineOptions), "?a=1 ?b=2");
                                          }},
                                 LoadCase{
                                     "text_absent_keeps_design", "TimeLimit", std::nullopt, true,
                                     [](const SettingsForm& f) {
                                         EXPECT_EQ(f.text(Text::TimeLimit),
                                                   designForm().text(Text::TimeLimit));
                                     }}),
                         [](const auto& info) { return std::string(info.param.label); });

struct MapLoadCase {
    const char* label;
    std::optional<std::int32_t> mapCount; // nullopt: MapCount absent
    std::vector<std::pair<int, std::string>> maps;
    std::vector<std::size_t> selected;
    std::vector<std::string> skipped;
};

class MapLoad : public ::testing::TestWithParam<MapLoadCase> {};

TEST_P(MapLoad, SelectsStoredMaps) {
    const auto& c = GetParam();
    GameFolder game({"DM-A.ut2", "DM-B.ut2", "DM-C.ut2", "DM-C.ut2.bak"});
    auto reg = storeWithKey();
    SettingsForm form = game.form();
    savetoreg(*reg, form);
    if (c.mapCount)
        reg->writeregvalue(LM, kProgramKey, "MapCount", *c.mapCount);
    else
        reg->deleteregvalue(LM, kProgramKey, "MapCount");
    for (const auto& [n, text] : c.maps)
        reg->writeregvalue(LM, kProgramKey, "Map" + std::to_string(n), text);

    form.setMapSelected(0, true); // the selection before the load
    const auto result = loadfromreg(*reg, form);
    std::vector<bool> expected(form.mapList().count(), false);
    for (auto i : c.selected)
        expected[i] = true;
    EXPECT_EQ(form.mapList().selected, expected);
    EXPECT_EQ(result.skipped, c.skipped);
    EXPECT_EQ(result.mapCount, c.mapCount.value_or(0));
}

INSTANTIATE_TEST_SUITE_P(
    Maps, MapLoad,
    ::testing::Values(
        MapLoadCase{"none_stored_deselects_all", 0, {}, {}, {}},
        MapLoadCase{"names_with_blanks", 2, {{1, "DM-C "}, {2, " DM -B "}}, {1, 2}, {}},
        MapLoadCase{"absent_entry_skipped", 3, {{1, "DM-A "}, {3, "DM-C "}}, {0, 2}, {"Map2"}},
        MapLoadCase{"unlisted_map_selects_nothing", 1, {{1, "DM-Gone "}}, {}, {}},
        MapLoadCase{"case_must_match", 1, {{1, "dm-a "}}, {}, {}},
        MapLoadCase{
            "count_absent_keeps_selection", std::nullopt, {{1, "DM-B "}}, {0}, {"MapCount"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RegistrySettings, SaveRemovesEntriesBeyondTheNewCount) {
    GameFolder game(twentyMaps());
    auto reg = storeWithKey();
    SettingsForm form = game.form();
    form.cmdselectall_Click();
    savetoreg(*reg, form);
    ASSERT_EQ(storedText(*reg, "Map20"), "DM-Map29 ");

    form.cmdclearall_Click();
    form.setMapSelected(5, true);
    form.setMapSelected(9, true);
    savetoreg(*reg, form);
    EXPECT_EQ(stored(*reg, "MapCount"), RegValue(std::int32_t{2}));
    EXPECT_EQ(storedText(*reg, "Map1"), "DM-Map15 ");
    EXPECT_EQ(storedText(*reg, "Map2"), "DM-Map19 ");
    for (int n = 3; n <= 20; ++n)
        EXPECT_EQ(stored(*reg, "Map" + std::to_string(n)), std::nullopt) << n;
}

TEST(RegistrySettings, SaveWithoutTheKeyWritesNothing) {
    auto reg = makeMemoryRegistry();
    SettingsForm form;
    form.applyFirstRunDefaults();
    savetoreg(*reg, form);
    EXPECT_FALSE(reg->regkeyexists(LM, kProgramKey));
}

TEST(RegistrySettings, RemoveMapsReportsFailedDeletions) {
    struct Case {
        int stored;
        int nummaps;
        bool result;
    };
    for (const Case c : {Case{3, 5, false}, Case{3, 3, true}, Case{3, 2, true}, Case{3, 0, true},
                         Case{3, -1, true}}) {
        auto reg = storeWithKey();
        reg->writeregvalue(LM, kProgramKey, "MapCount", std::int32_t{c.stored});
        for (int n = 1; n <= c.stored; ++n)
            reg->writeregvalue(LM, kProgramKey, "Map" + std::to_string(n), std::string("DM-X "));
        EXPECT_EQ(removemaps(*reg, c.nummaps), c.result) << c.nummaps;
        for (int n = 1; n <= c.stored; ++n)
            EXPECT_EQ(stored(*reg, "Map" + std::to_string(n)).has_value(), n > c.nummaps);
        EXPECT_EQ(stored(*reg, "MapCount"), RegValue(std::int32_t{c.stored}));
    }
}

TEST(RegistrySettings, StoredPathBecomesTheGameFolder) {
    struct Case {
        std::string stored;
        char sep;
        std::string utpath;
    };
    const Case cases[] = {
        {"C:\\Program Files\\UT2003 ", '\\', "C:\\Program Files\\UT2003\\"},
        {"/opt/ut 2003", '/', "/opt/ut 2003/"},
        {"/opt/ut2003/   ", '/', "/opt/ut2003/"},
        {"   ", '/', ""},
        {"", '/', ""},
        {" /lead", '/', " /lead/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(storedPathToUtpath(c.stored, c.sep), c.utpath) << c.stored;
}

} // namespace
} // namespace quarnel
