#include "store/ConfigForm.h"

#include "TempDir.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "store/ConfigFile.h"

#include <gtest/gtest.h>

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

TEST_F(ConfigFormTest, GameFolderGivenOverridesTheFileAndFindsItsMaps) {
    SettingsForm form;
    const std::string folder = game.substr(0, game.size() - 1); // without the separator
    formFromConfig(form, {QUARNEL_DEMO_CFG, folder, "/opt/quarnel"});

    EXPECT_EQ(form.utpath(), game);
    EXPECT_EQ(form.apppath(), std::string("/opt/quarnel") + game::kNativeSeparator);
    EXPECT_EQ(form.gameType(), 1);
    EXPECT_EQ(form.mapList().folder, game::mapsFolder(game));
    EXPECT_EQ(form.mapList().entries,
              (std::vector<std::string>{"CTF-Foundry.ut2", "CTF-Glacier.ut2", "CTF-Harbor.ut2"}));
    EXPECT_EQ(form.mapList().selected, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(form.text(Text::ServerName), "Quarnel Demo CTF");
    EXPECT_EQ(form.caption(Scroll::MaxPlayers), "Max Players = 12");
    EXPECT_TRUE(form.enabled().optGameType[5]); // the demo has the bonus pack
}

TEST_F(ConfigFormTest, WithoutAGameFolderTheFirstLineNamesIt) {
    std::vector<std::string> lines = demoLines();
    lines[0] = "UTPATH=" + game.substr(0, game.size() - 1);
    SettingsForm form;
    formFromConfig(form, {writeCfg(lines), std::nullopt, "/opt/quarnel/"});
    EXPECT_EQ(form.utpath(), game);
    EXPECT_EQ(form.mapList().selectedCount(), 2u);
}

TEST_F(ConfigFormTest, StoppedLoadKeepsTheGameFolderOfLineOne) {
    std::vector<std::string> lines = demoLines();
    lines[10] = "GameSpeed=500";
    struct Case {
        std::vector<std::string> lines;
        std::optional<std::string> gameDir;
        std::size_t stopsAt;
        std::string utpath;
    };
    const Case cases[] = {{lines, game, 11, game}, {{}, std::nullopt, 2, ""}};
    for (const Case& c : cases) {
        SettingsForm form;
        try {
            formFromConfig(form, {writeCfg(c.lines), c.gameDir, "/opt/quarnel/"});
            ADD_FAILURE() << "the load should stop";
        } catch (const ConfigLoadError& e) {
            EXPECT_EQ(e.line(), c.stopsAt);
        }
        EXPECT_EQ(form.utpath(), c.utpath);
    }
}

} // namespace
} // namespace quarnel
