#include "store/ConfigFile.h"

#include "TempDir.h"
#include "common/Text.h"
#include "common/TextFile.h"

#include <functional>
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

    // The first-run settings with this folder as the game folder.
    SettingsForm freshForm() const {
        SettingsForm form;
        form.setGameFolder(gameFolder());
        form.applyFirstRunDefaults();
        form.gameTypeClicked(form.gameType());
        form.useBotsClicked();
        form.webAdminClicked();
        return form;
    }

    // Settings that differ from the first-run ones in every line after the game type's, with
    // DM-One selected.
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

    std::string gameFolder() const { return dir.withSeparator(); }
    std::string cfg(const std::string& name = "test.cfg") const {
        return (dir.path() / name).string();
    }
    std::string writeCfg(const std::vector<std::string>& lines) const {
        const std::string path = cfg();
        writeTextFile(path, lines, true);
        return path;
    }

    TempDir dir;
};

// What a load stops with: error number, line and key; zeros when it does not stop.
using Stop = std::tuple<int, std::size_t, std::string>;
Stop loadStop(SettingsForm& form, const std::string& path) {
    try {
        loadConfigFile(form, path);
    } catch (const ConfigLoadError& e) {
        return {e.number(), e.line(), e.key()};
    }
    return {0, 0, "the load did not stop"};
}

Stop stopAt(int number, std::size_t line) {
    return {number, line, line ? std::string(kCfgLines[line - 1].key) : std::string()};
}

TEST_F(ConfigFileTest, FreshSettingsSaveToTheSixtyLinesOfTheExampleAndTheirMaps) {
    SettingsForm form = freshForm();
    form.setMapSelected(1, true);
    writeConfigFile(form, cfg(), true);
    std::string expected = "UTPATH=" + gameFolder() + "\r\n";
    for (const auto& line : kFreshLines)
        expected += line + "\r\n";
    expected += "Map1=DM-Two\r\n"; // one line per selected map, numbered from 1
    EXPECT_EQ(test::readFile(cfg()), expected);
    // With no arena option selected the line still holds its place.
    EXPECT_EQ(configLines(SettingsForm())[13], "ArenaOptions=");
}

// Blank-free lines lose their blanks, free texts keep them, every line its line breaks.
TEST_F(ConfigFileTest, BlanksAndLineBreaksAreLostOnlyWhereTheFileDropsThem) {
    // clang-format off
    const std::tuple<Text, const char*, std::size_t, const char*> texts[] = {
        {Text::CustomGameType, "My Game", 2, "GameType=MyGame"},
        {Text::AdminPassword, "pass word", 36, "AdminPassword=password"},
        {Text::GamePort, " 7 7 ", 40, "GamePort=77"}, {Text::AdminEmail, "a b@c", 31, "AdminE-Mail=a b@c"},
        {Text::MOTD1, "one\r\ntwo\nthree", 32, "MOTD1=onetwothree"}};
    // clang-format on
    SettingsForm saved = freshForm();
    saved.selectGameType(kGameTypeOther);
    for (const auto& [box, typed, line, written] : texts)
        saved.setText(box, typed);
    const auto lines = configLines(saved);
    for (const auto& [box, typed, line, written] : texts)
        EXPECT_EQ(lines[line - 1], written);
}

// One fixed line replaced, and the line the loaded form (Instagib picked before) saves to.
TEST_F(ConfigFileTest, LineIsLoadedAsTheReaderTakesIt) {
    // clang-format off
    const std::tuple<std::size_t, const char*, const char*> cases[] = {
        {2, "GameType=Other", "GameType=Other"}, // a custom type of that name
        {2, "GameType=capturetheflag", "GameType=capturetheflag"},
        {28, "ServerName=ServerName=Bob's", "ServerName=Bob's"},
        {28, "Name=Bob", "ServerName=Name=Bob"},
        {6, "WeaponsStay=9", "WeaponsStay=1"},  // the last character, whatever the key
        {22, "whatever1", "Vampire=1"},
        {47, "LANGame=2", "LANGame=0"},         // server options: only a final "1" checks
        {53, "Nonsense=1", "BalanceTeams=1"},
        {10, "AirControl= 40 ", "AirControl=40"},
        {14, "ArenaOptions=None", "ArenaOptions=None"},
        {14, "ArenaOptions=Bogus", "ArenaOptions=Instagib"}, // the arena option stays
        {14, "ArenaOptions=", "ArenaOptions=Instagib"}, // as written with no arena option
        {38, "EnableWebAdmin=-1", "EnableWebAdmin=1"},
        {60, "UseMapRotation=0", "UseMapRotation=0"},
    };
    // clang-format on
    for (const auto& [line, text, saved] : cases) {
        std::vector<std::string> lines = configLines(freshForm());
        lines[line - 1] = text;
        SettingsForm form = freshForm();
        form.selectArena(2);
        loadConfigFile(form, writeCfg(lines));
        EXPECT_EQ(configLines(form)[line - 1], saved) << text;
    }
}

// A load that stops: its error, line and key; the lines before it applied, the others and
// the map selection as they were. The file holds the changed settings with one line replaced
// (cut false), or only their first `line` lines (cut true): a file cut short reads one empty
// line, which leaves `text`, then stops. A file that cannot be read changes nothing.
TEST_F(ConfigFileTest, FailingLoadStopsKeepingEarlierLinesOnly) {
    struct Case {
        bool cut;
        std::size_t line;
        const char* text;
        int number;
        std::size_t stopsAt;
        std::string path = {}; // the file loaded instead
    };
    // clang-format off
    const Case cases[] = {
        {false, 11, "GameSpeed=49", 380, 11}, {false, 10, "AirControl=abc", errc::TypeMismatch, 10},
        {false, 26, "MinPlayers=40000", errc::Overflow, 26}, {false, 58, "MaxPlayers=33", 380, 58},
        {false, 7, "Translocator=x", errc::TypeMismatch, 7}, {false, 15, "", errc::TypeMismatch, 15},
        {false, 27, "BotsSkill=Expert", 380, 27}, {false, 27, "BotsSkill=godlike!", 380, 27},
        {false, 27, "BotsSkill=", 380, 27},
        {false, 38, "EnableWebAdmin=yes", errc::TypeMismatch, 38},
        {false, 60, "UseMapRotation=", errc::TypeMismatch, 60},
        {true, 0, "UTPATH=", errc::SubscriptRange, 2},
        {true, 30, "AdminE-Mail=", errc::SubscriptRange, 32},
        {true, 47, "AllowAdminPausing=0", errc::SubscriptRange, 49},
        {true, 59, "", errc::TypeMismatch, 60},
        {false, 0, "", errc::FileNotFound, 0, cfg("missing.cfg")},
        {false, 0, "", errc::FileNotFound, 0, dir.makeFolder("folder.cfg").string()},
        {false, 0, "", errc::FileIO, 0,
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
        form.setMapSelected(1, true);
        std::vector<std::string> expected = configLines(form);
        EXPECT_EQ(loadStop(form, c.path.empty() ? writeCfg(file) : c.path),
                  stopAt(c.number, c.stopsAt));
        for (std::size_t i = 0; i + 1 < c.stopsAt; ++i)
            expected[i] = i < file.size() ? file[i] : c.text;
        EXPECT_EQ(configLines(form), expected);
    }
}

TEST_F(ConfigFileTest, MapLinesSelectListedMapsWhateverTheirKeys) {
    std::vector<std::string> file = configLines(freshForm());
    file[1] = "GameType=CaptureTheFlag";
    for (const char* line : {"Map9=CTF-Gamma", "Map1=CTF-Beta", "CTF-Alpha", "Map2=CTF-Missing",
                             "Map3=DM-One", "Map4=CTF-Beta.ut2", "=", ""})
        file.emplace_back(line);
    SettingsForm form = freshForm();
    loadConfigFile(form, writeCfg(file));
    // CTF-Gamma.UT2 has its extension in capitals and is not found again; a line without
    // "=" is a name of its own.
    EXPECT_EQ(form.mapList().selected, (std::vector<bool>{true, true, false}));
}

TEST_F(ConfigFileTest, SameGameTypeKeepsTheListEvenWhenTheFolderChanges) {
    SettingsForm form = freshForm();
    std::vector<std::string> file = configLines(form);
    form.selectAllMaps();
    const MapList before = form.mapList();
    file[0] = "UTPATH=/nowhere/";
    file.emplace_back("Map1=DM-Two");
    loadConfigFile(form, writeCfg(file));
    EXPECT_EQ(form.gameFolder(), "/nowhere/");
    EXPECT_EQ(form.mapList().folder, before.folder);
    // The earlier selection is cleared, the file's maps selected.
    EXPECT_EQ(form.mapList().selected, (std::vector<bool>{false, true}));
}

TEST_F(ConfigFileTest, FailedSaveLeavesTheExistingFile) {
    const std::string path = dir.writeFile("keep.cfg", "old bytes").string();
    EXPECT_THROW(writeConfigFile(freshForm(), path, false), Error);
    EXPECT_EQ(test::readFile(path), "old bytes");
    EXPECT_THROW(writeConfigFile(freshForm(), cfg("no/such/folder.cfg"), true), Error);
}

TEST(ConfigNumberTest, ConvertsLikeASixteenBitInteger) {
    struct Case {
        const char* text;
        int value;  // when number is 0
        int number; // the error, 0 for none
    };
    // clang-format off
    const Case cases[] = {
        {"35", 35, 0}, {" -2 ", -2, 0}, {"+7", 7, 0}, {"\t12\t", 12, 0}, {"32767", 32767, 0},
        {"-32768", -32768, 0}, {"40.5", 40, 0}, {"41.5", 42, 0}, {"007", 7, 0},
        {"32768", 0, errc::Overflow}, {"-32769", 0, errc::Overflow},
        {"32767.5", 0, errc::Overflow}, {"99999999999999999999999", 0, errc::Overflow},
        {"", 0, errc::TypeMismatch}, {"abc", 0, errc::TypeMismatch},
        {"35%", 0, errc::TypeMismatch}, {"1e3", 0, errc::TypeMismatch},
        {"&H10", 0, errc::TypeMismatch}, {"5 sec.", 0, errc::TypeMismatch},
        {"-", 0, errc::TypeMismatch}};
    // clang-format on
    const auto convert = [](const char* text) -> std::pair<int, int> {
        try {
            return {toInteger16(text), 0};
        } catch (const Error& e) {
            return {0, e.number()};
        }
    };
    for (const Case& c : cases)
        EXPECT_EQ(convert(c.text), std::make_pair(c.value, c.number)) << c.text;
}

} // namespace
} // namespace quarnel
