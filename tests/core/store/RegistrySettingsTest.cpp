#include "store/RegistrySettings.h"

#include "TempDir.h"
#include "common/Error.h"
#include "store/ConfigFile.h"
#include "store/RegistryFile.h"
#include "store/RememberedSettings.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace quarnel {
namespace {

// The program's key lies below its own root (the user's part of the registry on Windows).
constexpr RegRoot LM = kProgramRoot;
using Entries = std::vector<std::pair<std::string, std::string>>;
using F = SettingsForm&;
using Names = std::vector<std::string>;

// A game folder with a blank in its name holding the given maps; its form lists every file
// ("Other": *.*) with Instagib and a bot skill picked.
struct GameFolder {
    explicit GameFolder(const std::vector<std::string>& maps) {
        for (const auto& name : maps)
            dir.writeFile("UT 2003/Maps/" + name, "");
    }
    SettingsForm form() const {
        SettingsForm f;
        f.setGameFolder((dir.path() / "UT 2003" / "").string());
        f.selectGameType(kGameTypeOther);
        f.selectArena(2);
        f.setBotSkillText("Average");
        return f;
    }
    test::TempDir dir;
};

std::unique_ptr<Registry> storeWithKey() {
    auto reg = makeMemoryRegistry();
    reg->createKey(LM, kProgramKey);
    return reg;
}

// The stored value, nullopt when absent.
std::optional<RegValue> stored(Registry& reg, std::string_view name) {
    try {
        return reg.readValue(LM, kProgramKey, name);
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::optional<RegValue> text(const char* t) {
    return RegValue(std::string(t));
}

TEST(RegistrySettings, SavedTextsAreStoredExactly) {
    // clang-format off
    const std::tuple<std::function<void(F)>, const char*, std::optional<RegValue>> cases[] = {
        {[](F f) { f.setText(Text::ServerName, " Big  Server "); }, "ServerName", text(" Big  Server  ")},
        {[](F f) { f.setText(Text::AdminPassword, " se cret "); }, "AdminPassword", text("secret ")},
        {[](F f) { f.setText(Text::ExtraMutators, "A.B, C.D,"); }, "Mutators", text("A.B, C.D, ")},
        {[](F f) { f.selectGameType(3); }, "GameType", text("DoubleDomination ")},
        {[](F f) { f.selectGameType(kGameTypeOther); f.setText(Text::CustomGameType, "My Mod.Game Info"); },
         "GameType", text("MyMod.GameInfo ")},
        {[](F f) { f.selectArena(3); }, "ArenaOptions", text("NoSuperWeapons ")},
        {[](F f) { f = SettingsForm(); }, "ArenaOptions", std::nullopt}, // not stored
        {[](F f) { f.setBotSkillText("Godlike!"); }, "BotsSkill", text("Godlike! ")},
        {[](F f) { f.setChecked(Check::BalanceTeams, true); }, "BalanceTeams", text("1 ")},
        {[](F f) { f.setChecked(Check::MapRotation, false); }, "UseMapRotation", text("0 ")},
        {[](F f) { f.setScroll(Scroll::GameSpeed, 150); }, "GameSpeed", text("150 ")},
        {[](F f) { f.setGameFolder("/games/ut 2003/"); }, "UTPATH", text("/games/ut 2003 ")},
        {[](F f) { f.setGameFolder("/games/ut"); }, "UTPATH", text("/games/ut ")},
        {[](F f) { f.setGameFolder(""); }, "UTPATH", text(" ")}};
    // clang-format on
    for (const auto& [edit, name, value] : cases) {
        SCOPED_TRACE(name);
        auto reg = storeWithKey();
        SettingsForm form;
        form.applyFirstRunDefaults();
        edit(form);
        saveSettings(*reg, form);
        EXPECT_EQ(stored(*reg, name), value);
    }
}

// Maps are saved in list order without ".ut2" ("DM-C.ut2.bak" comes back as "DM-C.bak.ut2"); a
// save removes every map entry past its count by name, whatever the old count; other values stay.
TEST(RegistrySettings, MapsAreSavedInListOrderWithoutStaleEntriesAndSelectedOnLoad) {
    GameFolder game({"DM-A.ut2", "DM-B.ut2", "DM-C.ut2", "DM-C.ut2.bak"});
    SettingsForm form = game.form();
    form.setMapSelected(3, true);
    form.setMapSelected(1, true);
    const std::optional<RegWriteValue> oldCounts[] = {std::nullopt, std::string("many "),
                                                      std::int32_t{2}, std::int32_t{40}};
    for (const auto& oldCount : oldCounts) {
        auto reg = storeWithKey();
        for (const char* name : {"Map1", "map3", "MAP9", "Map12", "Map01", "Mapper", "Map1x"})
            reg->writeValue(LM, kProgramKey, name, std::string("old "));
        if (oldCount)
            reg->writeValue(LM, kProgramKey, kMapCountValue, *oldCount);
        saveSettings(*reg, form);
        using Found = std::vector<std::optional<RegValue>>;
        Found found;
        for (const char* name :
             {"MapCount", "Map1", "Map2", "Map3", "Map9", "Map12", "Map01", "Mapper", "Map1x"})
            found.push_back(stored(*reg, name));
        // clang-format off
        EXPECT_EQ(found, (Found{RegValue(std::int32_t{2}), text("DM-B "), text("DM-C.bak "), {}, {}, {},
                                text("old "), text("old "), text("old ")}));
        // clang-format on
    }
    // Stored maps loaded into the list with DM-A selected.
    struct Case {
        std::optional<std::int32_t> mapCount; // nullopt: MapCount absent
        std::vector<std::pair<int, std::string>> maps;
        std::vector<bool> selected;
        std::vector<std::string> skipped;
    };
    // clang-format off
    const Case cases[] = {
        {0, {}, {0, 0, 0, 0}, {}}, {2, {{1, "DM-C "}, {2, " DM -B "}}, {0, 1, 1, 0}, {}},
        {3, {{1, "DM-A "}, {3, "DM-C "}}, {1, 0, 1, 0}, {"Map2"}},
        {1, {{1, "DM-Gone "}}, {0, 0, 0, 0}, {}}, {1, {{1, "dm-a "}}, {0, 0, 0, 0}, {}},
        {std::nullopt, {{1, "DM-B "}}, {1, 0, 0, 0}, {"MapCount"}},
        {2, {{1, "DM-B "}, {2, "DM-C.bak "}}, {0, 1, 0, 0}, {}}}; // as saved above
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.maps));
        auto reg = storeWithKey();
        SettingsForm loaded = game.form();
        saveSettings(*reg, loaded);
        ASSERT_TRUE(c.mapCount ? reg->writeValue(LM, kProgramKey, "MapCount", *c.mapCount)
                               : reg->deleteValue(LM, kProgramKey, "MapCount"));
        for (const auto& [n, name] : c.maps)
            reg->writeValue(LM, kProgramKey, "Map" + std::to_string(n), name);
        loaded.setMapSelected(0, true);
        const auto result = loadSettings(*reg, loaded);
        EXPECT_EQ(std::tie(loaded.mapList().selected, result.skipped, result.mapCount),
                  std::make_tuple(c.selected, c.skipped, c.mapCount.value_or(0)));
    }
}

// Changed settings stored, one value replaced, loaded into a form at its design values: the
// value is used or skipped (its control left alone), and everything else comes back.
TEST(RegistrySettings, LoadedValueIsAppliedOrSkipped) {
    GameFolder game({"DM-A.ut2", "DM-B.ut2", "DM-C.ut2", "DM-D.ut2", "DM-E.ut2"});
    SettingsForm changed = game.form();
    changed.setText(Text::CustomGameType, "Custom.Game");
    for (const auto& box : kCheckControls)
        changed.setChecked(box.id, true);
    for (const auto& t : kTextControls)
        if (t.id != Text::CustomGameType)
            changed.setText(t.id, t.id == Text::ServerName ? "Big  Server" : "7");
    for (const auto& bar : kScrollControls)
        changed.setScroll(bar.id, bar.max);
    changed.selectArena(4);
    changed.setBotSkillText("Masterful");
    changed.setMapSelected(1, true);
    changed.setMapSelected(4, true);
    const Entries saved = registryEntries(changed);

    struct Case {
        const char* name;
        std::optional<RegValue> value; // nullopt: the value is deleted
        bool skipped;
        const char* entry; // what the loaded form would store
        int game = kGameTypeOther;
    };
    // clang-format off
    const Case cases[] = {
        {"MaxLives", text("7 "), false, "7"}, {"WeaponsStay", text("2 "), false, "1"},
        {"LANGame", RegValue(std::int32_t{1}), false, "1"}, {"LANGame", text("yes "), true, "0"},
        {"UseBots", RegValue(std::vector<std::uint8_t>{1}), true, "0"}, {"Vampire", std::nullopt, true, "0"},
        {"AirControl", text(" 4 2 "), false, "42"}, {"AirControl", text("101 "), true, "35"},
        {"MaxPlayers", text("40000 "), true, "16"}, {"BotsSkill", text("Wizard "), true, "Average"},
        {"GameType", text("Last Man Standing "), false, "LastManStanding", 5},
        {"GameType", text("deathmatch "), false, "deathmatch"}, // a custom type
        {"ArenaOptions", text("Bogus "), true, "Instagib"}, {"ArenaOptions", text("None "), false, "None"},
        {"ArenaOptions", text("Arena "), false, "Arena"}, {"AdminPassword", text("se cret "), false, "secret"},
        {"ServerName", text(" Big Server   "), false, " Big Server"},
        {"Mutators", text(" A.B, C.D "), false, "A.B,C.D"}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " " << testing::PrintToString(c.value));
        auto reg = storeWithKey();
        saveSettings(*reg, changed);
        const auto write = [&](const auto& v) {
            return reg->writeValue(LM, kProgramKey, c.name, v);
        };
        ASSERT_TRUE(c.value ? std::visit(write, *c.value)
                            : reg->deleteValue(LM, kProgramKey, c.name));

        SettingsForm form = game.form();
        const auto result = loadSettings(*reg, form);
        EXPECT_EQ(std::tie(result.skipped, result.mapCount),
                  std::tuple(c.skipped ? Names{c.name} : Names{}, 2));
        Entries expected = saved;
        for (auto& [name, t] : expected)
            if (name == c.name)
                t = c.entry;
        EXPECT_EQ(std::tuple(registryEntries(form), form.game()), std::tuple(expected, c.game));
    }
}

// Importing keeps the program's first "Path"; what was imported is remembered and exported.
TEST(RememberedSettingsTest, ImportThenExportGivesTheSameSettings) {
    GameFolder game({"DM-Alpha.ut2", "DM-Beta.ut2", "CTF-Gamma.ut2"});
    SettingsForm imported = game.form();
    imported.setText(Text::ServerName, "Big Server");
    imported.setMapSelected(1, true);
    const std::string appFolder = game.dir.makeFolder("app").string() + "/";
    const auto reg = makeMemoryRegistry();
    rememberSettings(*reg, imported, appFolder);
    rememberSettings(*reg, imported, "/another/");
    EXPECT_EQ(reg->readValue(kProgramRoot, kProgramKey, kPathValue), RegValue(appFolder));
    const auto remembered = rememberedSettings(*reg, "/elsewhere/");
    EXPECT_EQ(std::tie(remembered.firstRun, remembered.load.skipped), std::tuple(false, Names{}));
    const auto file = (game.dir.path() / "out.cfg").string();
    exportRememberedSettings(*reg, appFolder, file, false);
    EXPECT_EQ(readConfigLines(file), configLines(imported));
}

} // namespace
} // namespace quarnel
