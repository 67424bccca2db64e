#include "store/ConfigForm.h"

#include "TempDir.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "store/ConfigFile.h"

#include <gtest/gtest.h>
#include <tuple>

namespace quarnel {
namespace {

class ConfigFormTest : public ::testing::Test {
protected:
    test::TempDir dir;
    const std::string game = test::copyDemoInstall(dir);
    const std::string path = (dir.path() / "server.cfg").string();
};

// A given game folder overrides line one (the demo's bytes: the launch files' tests).
TEST_F(ConfigFormTest, GameFolderOfLineOneOrGivenStaysWhenTheLoadStops) {
    const std::vector<std::string> demo = readTextLines(QUARNEL_DEMO_CFG);
    std::vector<std::string> named = demo, stopped = demo;
    named[0] = "UTPATH=" + game.substr(0, game.size() - 1);
    stopped[10] = "GameSpeed=500";
    const std::tuple<std::vector<std::string>, std::optional<std::string>, std::size_t, std::string,
                     std::vector<bool>>
        cases[] = {{demo, game.substr(0, game.size() - 1), 0, game, {true, false, true}},
                   {named, std::nullopt, 0, game, {true, false, true}},
                   {stopped, game, 11, game, {false, false, false}},
                   {{}, std::nullopt, 2, "", {}}};
    for (const auto& [lines, gameDir, stopsAt, gameFolder, selected] : cases) {
        SettingsForm form;
        std::size_t stop = 0;
        try {
            writeTextFile(path, lines, true);
            formFromConfig(form, {path, gameDir, "/opt/quarnel"});
        } catch (const ConfigLoadError& e) {
            stop = e.line();
        }
        EXPECT_EQ(std::tie(stop, form.gameFolder(), form.mapList().selected),
                  std::tie(stopsAt, gameFolder, selected));
        if (gameFolder.empty())
            continue;
        // The demo has the bonus pack; the bars are in step.
        EXPECT_EQ(std::tuple(form.appFolder(), form.mapList().folder, form.enabled().gameTypes[5],
                             form.caption(Scroll::MaxPlayers)),
                  std::tuple(std::string("/opt/quarnel") + game::kNativeSeparator,
                             game::mapsFolder(game), true,
                             stopsAt ? "Max Players = 16" : "Max Players = 12"));
    }
}

// Every game type, arena, bot skill and awkward text (checks, bars, maps: ConfigFileTest).
TEST_F(ConfigFormTest, ReachableStatesLoadBackFromTheirFile) {
    const std::string texts[] = {"", " a = b ", "50%\t?", "x\r\ny", "\"q' \xe9\xff", "7"};
    for (int i = 0; i < kGameTypeCount; ++i) {
        SCOPED_TRACE(i);
        SettingsForm saved;
        saved.setGameFolder(game);
        saved.applyFirstRunDefaults();
        saved.selectGameType(i);
        saved.selectArena(i % kArenaCount);
        saved.setBotSkillIndex(i % static_cast<int>(kBotSkills.size()));
        for (std::size_t t = 0; t < kTextControls.size(); ++t)
            saved.setText(kTextControls[t].id, texts[(t + i) % std::size(texts)]);
        writeConfigFile(saved, path, true);
        SettingsForm loaded;
        ASSERT_NO_THROW(formFromConfig(loaded, {path, std::nullopt, "/opt/quarnel/"}));
        EXPECT_EQ(std::tuple(configLines(loaded), loaded.game(), loaded.settings().botSkill),
                  std::tuple(configLines(saved), saved.game(), saved.settings().botSkill));
    }
}

} // namespace
} // namespace quarnel
