#include "store/ConfigFile.h"

#include "TempDir.h"
#include "common/TextFile.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

using test::TempDir;

// The lines a fresh installation's settings save to, after "UTPATH=" and the folder.
// clang-format off
const std::vector<std::string> kFreshLines = {
    "GameType=Deathmatch", "TimeLimit=15", "GoalLimit=35", "MaxLives=0", "WeaponsStay=0",
    "Translocator=0", "WeaponThrowing=0", "ForceRespawn=0", "AirControl=35", "GameSpeed=100",
    "FriendlyFire=0", "SpawnProtectionTime=0", "ArenaOptions=None", "BigHead=0",
    "FloatyCadavers=0", "LowGrav=0", "NoAdrenaline=0", "QuadJump=0", "Regeneration=0",
    "SlowMotionCorpses=0", "Vampire=0", "Mutators=", "UseBots=0", "AdjustBotSkill=0",
    "MinPlayers=0", "BotsSkill=Experienced", "ServerName=", "ShortServerName=", "AdminName=",
    "AdminE-Mail=", "MOTD1=", "MOTD2=", "MOTD3=", "MOTD4=", "AdminPassword=", "GamePassword=",
    "EnableWebAdmin=0", "WebPort=80", "GamePort=7777", "NetSpeed=7000", "LANSpeed=10000",
    "NetTickRate=20", "LANTickRate=35", "xoptions=", "WorldStatsLogging=0", "LANGame=0",
    "AllowAdminPausing=0", "AllowTaunts=0", "BrightSkins=0", "WaitForPlayers=0",
    "AllowBehindView=0", "BalanceTeams=0", "MegaSpeed=0", "MasterServerUplink=0",
    "GameSpyUplink=0", "MaxSpectators=2", "MaxPlayers=16", "NetStartDelay=0", "UseMapRotation=1"};
// clang-format on

// A game folder with a maps folder of known files, and forms whose map list reads it.
class ConfigFileTest : public ::testing::Test {
protected:
    ConfigFileTest() {
        for (const char* name : {"CTF-Alpha.ut2", "CTF-Beta.ut2", "CTF-Gamma.UT2", "DM-One.ut2",
                                 "DM-Two.ut2", "BR-Ball.ut2"})
            dir.writeFile(std::string("maps/") + name, "map");
    }

    SettingsForm freshForm() const {
        SettingsForm form;
        form.setGameFolder(dir.withSeparator());
        form.applyFirstRunDefaults();
        form.gameTypeClicked(form.gameType());
        form.useBotsClicked();
        form.webAdminClicked();
        return form;
    }

    // Settings that differ from the first-run ones after the game type, with DM-One selected.
    SettingsForm changedForm() const {
        const SettingsForm fresh = freshForm();
        SettingsForm form = fresh;
        for (const auto& box : kCheckControls)
            form.setChecked(box.id, !fresh.checked(box.id));
        for (const auto& box : kTextControls)
            form.setText(box.id, "7");
        for (const auto& bar : kScrollControls)
            form.setScroll(bar.id, bar.max);
        form.selectArena(4);
        form.setBotSkillText("Godlike!");
        form.setMapSelected(0, true);
        return form;
    }

    std::string cfg(const std::string& name = "test.cfg") const {
        return (dir.path() / name).string();
    }
    std::string writeCfg(const std::vector<std::string>& lines) const {
        writeTextFile(cfg(), lines, true);
        return cfg();
    }

    TempDir dir;
};

// What a load stops with: error number, line and key; zeros when it does not stop.
std::tuple<int, std::size_t, std::string> loadStop(SettingsForm& form, const std::string& path) {
    try {
        loadConfigFile(form, path);
    } catch (const ConfigLoadError& e) {
        return {e.number(), e.line(), e.key()};
    }
    return {0, 0, ""};
}

// Blank-free lines lose their blanks, free texts keep them, every line its line breaks.
TEST_F(ConfigFileTest, FreshSettingsSaveToTheSixtyLinesOfTheExampleAndTheirMaps) {
    SettingsForm form = freshForm();
    form.setMapSelected(1, true);
    writeConfigFile(form, cfg(), true);
    std::string expected = "UTPATH=" + dir.withSeparator() + "\r\n";
    for (const auto& line : kFreshLines)
        expected += line + "\r\n";
    expected += "Map1=DM-Two\r\n"; // one line per selected map, numbered from 1
    EXPECT_EQ(test::readFile(cfg()), expected);
    // A save refused (no overwriting, no folder) leaves what was there.
    EXPECT_THROW(writeConfigFile(SettingsForm(), cfg(), false), Error);
    EXPECT_EQ(test::readFile(cfg()), expected);
    EXPECT_THROW(writeConfigFile(form, cfg("no/such/folder.cfg"), true), Error);
    // With no arena option selected the line still holds its place.
    EXPECT_EQ(configLines(SettingsForm())[13], "ArenaOptions=");
    const std::tuple<Text, const char*, std::size_t, const char*> texts[] = {
        {Text::CustomGameType, "My Game", 2, "GameType=MyGame"},
        {Text::AdminPassword, "pass word", 36, "AdminPassword=password"},
        {Text::GamePort, " 7 7 ", 40, "GamePort=77"},
        {Text::AdminEmail, "a b@c", 31, "AdminE-Mail=a b@c"},
        {Text::MOTD1, "one\r\ntwo\nthree", 32, "MOTD1=onetwothree"}};
    form.selectGameType(kGameTypeOther);
    for (const auto& [box, typed, line, written] : texts)
        form.setText(box, typed);
    const auto lines = configLines(form);
    for (const auto& [box, typed, line, written] : texts)
        EXPECT_EQ(lines[line - 1], written);
}

// The changed file with one line replaced, or cut short after `line` lines, loaded: every line
// applied (the replaced one as `saved`), or the error, line and key, only the lines before applied.
TEST_F(ConfigFileTest, LoadAppliesTheLinesUpToWhereItStops) {
    struct Case {
        bool cut;
        std::size_t line;
        const char* text;
        const char* saved; // the line as the loaded settings save it, when the load goes through
        int number = 0;
        std::size_t stopsAt = 0;
        std::string path = {}; // the file loaded instead
    };
    // clang-format off
    const Case cases[] = {
        {false, 2, "GameType=Other", "GameType=Other"}, // a custom type of that name
        {false, 2, "GameType=capturetheflag", "GameType=capturetheflag"},
        {false, 28, "ServerName=ServerName=Bob's", "ServerName=Bob's"},
        {false, 28, "Name=Bob", "ServerName=Name=Bob"}, {false, 22, "whatever1", "Vampire=1"},
        {false, 6, "WeaponsStay=9", "WeaponsStay=1"}, // the last character, whatever the key
        {false, 47, "LANGame=2", "LANGame=0"}, // server options: only a final "1" checks
        {false, 53, "Nonsense=1", "BalanceTeams=1"}, {false, 10, "AirControl= 40 ", "AirControl=40"},
        // numbers convert like a 16-bit integer: signs, blanks, tabs, halves to even
        {false, 10, "AirControl=\t+40.5\t", "AirControl=40"}, {false, 10, "AirControl=041.5", "AirControl=42"},
        {false, 26, "MinPlayers=32767", "", 380, 26}, {false, 26, "MinPlayers=32767.5", "", errc::Overflow, 26},
        {false, 26, "MinPlayers=-99999999999999999999", "", errc::Overflow, 26},
        {false, 10, "AirControl=35%", "", errc::TypeMismatch, 10}, {false, 10, "AirControl=1e3", "", errc::TypeMismatch, 10},
        {false, 10, "AirControl=&H10", "", errc::TypeMismatch, 10}, {false, 10, "AirControl=-", "", errc::TypeMismatch, 10},
        {false, 14, "ArenaOptions=None", "ArenaOptions=None"},
        {false, 14, "ArenaOptions=Bogus", "ArenaOptions=Instagib"}, // the arena option stays
        {false, 14, "ArenaOptions=", "ArenaOptions=Instagib"}, // as written with no arena option
        {false, 38, "EnableWebAdmin=-1", "EnableWebAdmin=1"},
        {false, 60, "UseMapRotation=0", "UseMapRotation=0"},
        {false, 11, "GameSpeed=49", "", 380, 11}, {false, 10, "AirControl=abc", "", errc::TypeMismatch, 10},
        {false, 26, "MinPlayers=40000", "", errc::Overflow, 26}, {false, 58, "MaxPlayers=33", "", 380, 58},
        {false, 7, "Translocator=x", "", errc::TypeMismatch, 7}, {false, 15, "", "", errc::TypeMismatch, 15},
        {false, 27, "BotsSkill=Expert", "", 380, 27}, {false, 27, "BotsSkill=godlike!", "", 380, 27},
        {false, 27, "BotsSkill=", "", 380, 27}, {false, 38, "EnableWebAdmin=yes", "", errc::TypeMismatch, 38},
        {false, 60, "UseMapRotation=", "", errc::TypeMismatch, 60}, {true, 59, "", "", errc::TypeMismatch, 60},
        {true, 0, "UTPATH=", "", errc::SubscriptRange, 2},
        {true, 30, "AdminE-Mail=", "", errc::SubscriptRange, 32},
        {true, 47, "AllowAdminPausing=0", "", errc::SubscriptRange, 49},
        {false, 0, "", "", errc::FileNotFound, 0, cfg("missing.cfg")},
        {false, 0, "", "", errc::FileNotFound, 0, dir.makeFolder("folder.cfg").string()},
        {false, 0, "", "", errc::FileIO, 0,
         dir.writeFile("big.cfg", std::string(kMaxConfigFileBytes + 1, 'x')).string()}};
    // clang-format on
    const auto fresh = configLines(freshForm()), changed = configLines(changedForm());
    for (std::size_t i = 2; i < kCfgFixedLines; ++i)
        ASSERT_NE(changed[i], fresh[i]) << "applied and kept lines must differ";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.empty() ? c.text : c.path);
        std::vector<std::string> file = changed;
        if (c.cut)
            file.resize(c.line);
        else if (c.line)
            file[c.line - 1] = c.text;
        SettingsForm form = freshForm();
        form.setText(Text::AdminEmail, "x");
        form.setChecked(Check::AdminPausing, true);
        form.selectArena(2);
        form.setMapSelected(1, true);
        std::vector<std::string> expected = configLines(form);
        EXPECT_EQ(loadStop(form, c.path.empty() ? writeCfg(file) : c.path),
                  std::make_tuple(c.number, c.stopsAt,
                                  c.stopsAt ? std::string(kCfgLines[c.stopsAt - 1].key) : ""));
        std::vector<std::string> got = configLines(form);
        if (c.number == 0) {
            file[c.line - 1] = c.saved;
            file.resize(kCfgFixedLines);
            got.resize(kCfgFixedLines);
            expected = file;
        }
        for (std::size_t i = 0; i + 1 < c.stopsAt; ++i)
            expected[i] = i < file.size() ? file[i] : c.text;
        EXPECT_EQ(got, expected);
    }
}

// The list stays with a new folder; map lines select listed maps whatever their keys, after
// clearing the selection (not CTF-Gamma.UT2: capitals); a line without "=" is a name of its own.
TEST_F(ConfigFileTest, MapLinesSelectListedMapsWhateverTheirKeys) {
    SettingsForm form = freshForm();
    form.selectGameType(1);
    form.selectAllMaps();
    const std::string listFolder = form.mapList().folder;
    std::vector<std::string> file = configLines(form);
    file[0] = "UTPATH=/nowhere/";
    file.insert(file.end(), {"Map9=CTF-Gamma", "Map1=CTF-Beta", "CTF-Alpha", "Map2=CTF-Missing",
                             "Map3=DM-One", "Map4=CTF-Beta.ut2", "=", ""});
    loadConfigFile(form, writeCfg(file));
    EXPECT_EQ(std::tie(form.gameFolder(), form.mapList().folder, form.mapList().selected),
              std::make_tuple("/nowhere/", listFolder, std::vector<bool>{true, true, false}));
}

} // namespace
} // namespace quarnel
