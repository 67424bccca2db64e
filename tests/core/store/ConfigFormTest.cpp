#include "store/ConfigForm.h"

#include "TempDir.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "store/ConfigFile.h"

#include <gtest/gtest.h>
#include <random>
#include <string_view>
#include <tuple>

namespace quarnel {
namespace {

using test::TempDir;

std::vector<std::string> demoLines() {
    return readTextLines(QUARNEL_DEMO_CFG);
}

class ConfigFormTest : public ::testing::Test {
protected:
    std::string writeCfg(std::vector<std::string> lines) const {
        const std::string path = (dir.path() / "server.cfg").string();
        writeTextFile(path, lines, true);
        return path;
    }

    TempDir dir;
    const std::string game = test::copyDemoInstall(dir);
};

// The game folder given overrides line one; without it line one names it; a stopped load
// keeps it. What the demo gives (the maps, the texts, the game type) is checked byte for byte
// by the Windows-form test of the launch files.
TEST_F(ConfigFormTest, GameFolderOfLineOneOrGivenStaysWhenTheLoadStops) {
    std::vector<std::string> named = demoLines(), stopped = demoLines();
    named[0] = "UTPATH=" + game.substr(0, game.size() - 1);
    stopped[10] = "GameSpeed=500";
    const std::tuple<std::vector<std::string>, std::optional<std::string>, std::size_t, std::string,
                     std::vector<bool>>
        cases[] = {{demoLines(), game.substr(0, game.size() - 1), 0, game, {true, false, true}},
                   {named, std::nullopt, 0, game, {true, false, true}},
                   {stopped, game, 11, game, {false, false, false}},
                   {{}, std::nullopt, 2, "", {}}};
    for (const auto& [lines, gameDir, stopsAt, gameFolder, selected] : cases) {
        SettingsForm form;
        std::size_t stop = 0;
        try {
            formFromConfig(form, {writeCfg(lines), gameDir, "/opt/quarnel"});
        } catch (const ConfigLoadError& e) {
            stop = e.line();
        }
        EXPECT_EQ(std::tie(stop, form.gameFolder(), form.mapList().selected),
                  std::tie(stopsAt, gameFolder, selected));
        if (gameFolder.empty())
            continue;
        EXPECT_EQ(form.appFolder(), std::string("/opt/quarnel") + game::kNativeSeparator);
        EXPECT_EQ(form.mapList().folder, game::mapsFolder(game));
        EXPECT_TRUE(form.enabled().gameTypes[5]); // the demo has the bonus pack
        if (!stopsAt) {
            EXPECT_EQ(form.caption(Scroll::MaxPlayers), "Max Players = 12");
        }
    }
}

// A state of the form as the user reaches it after start-up: every check box, text, bar,
// game type (a custom one with its text), arena option, bot skill and map picked at random.
// Texts mix blanks, "=", "%", tabs, line breaks and bytes beyond ASCII.
SettingsForm randomState(std::mt19937& random, const std::string& game) {
    const auto pick = [&](int lo, int hi) {
        return std::uniform_int_distribution(lo, hi)(random);
    };
    const auto text = [&] {
        static constexpr std::string_view kBytes = "aZ09 =%?,.-_\t\r\n\"'\xe9\xff";
        std::string t(static_cast<std::size_t>(pick(0, 12)), ' ');
        for (char& c : t)
            c = kBytes[static_cast<std::size_t>(pick(0, static_cast<int>(kBytes.size()) - 1))];
        return t;
    };
    SettingsForm form;
    form.setGameFolder(game);
    form.applyFirstRunDefaults();
    form.selectGameType(pick(0, kGameTypeCount - 1));
    for (const auto& box : kCheckControls)
        form.setChecked(box.id, pick(0, 1) == 1);
    for (const auto& box : kTextControls)
        form.setText(box.id, text());
    for (const auto& bar : kScrollControls)
        form.setScroll(bar.id, pick(bar.min, bar.max));
    form.selectArena(pick(0, kArenaCount - 1));
    form.setBotSkillIndex(pick(0, static_cast<int>(kBotSkills.size()) - 1));
    for (std::size_t i = 0; i < form.mapList().count(); ++i)
        form.setMapSelected(i, pick(0, 1) == 1);
    return form;
}

// Whatever state the form reaches, the file written from it loads back without a failure
// to the same state: the same file again, the same game type, arena, bot skill, checks,
// bars and maps. (What the file cannot carry, such as blanks in a blank-free text, is the
// same after a load as in the file.)
TEST_F(ConfigFormTest, EveryReachableStateLoadsBackFromItsFile) {
    std::mt19937 random(20261206u);
    const std::string path = (dir.path() / "state.cfg").string();
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const SettingsForm saved = randomState(random, game);
        writeConfigFile(saved, path, true);
        SettingsForm loaded;
        ASSERT_NO_THROW(formFromConfig(loaded, {path, std::nullopt, "/opt/quarnel/"}));
        EXPECT_EQ(configLines(loaded), configLines(saved));
        const ServerSettings& a = loaded.settings();
        const ServerSettings& b = saved.settings();
        EXPECT_EQ(std::tie(a.gameType, a.arena, a.botSkill, a.checks, a.scrolls),
                  std::tie(b.gameType, b.arena, b.botSkill, b.checks, b.scrolls));
        EXPECT_EQ(a.maps.entries, b.maps.entries);
        EXPECT_EQ(a.maps.selected, b.maps.selected);
    }
}

} // namespace
} // namespace quarnel
