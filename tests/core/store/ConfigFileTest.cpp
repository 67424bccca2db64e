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

    // Settings that differ from the first-run ones in every line of the file.
    SettingsForm changedForm() const {
        SettingsForm form = freshForm();
        form.selectGameType(1);
        for (std::size_t i = 0; i < kCheckCount; ++i)
            form.setChecked(static_cast<Check>(i), true);
        form.setChecked(Check::MapRotation, false);
        for (const auto& bar : kScrollControls)
            form.setScroll(bar.id, bar.max);
        form.selectArena(4);
        form.setBotSkillText("Godlike!");
        // clang-format off
        const std::pair<Text, const char*> texts[] = {
            {Text::TimeLimit, "20"}, {Text::GoalLimit, "5"}, {Text::MaxLives, "3"},
            {Text::ExtraMutators, "Pkg.MutA, Pkg.MutB,"}, {Text::ServerName, " My  Server "},
            {Text::ShortServerName, "My S"}, {Text::AdminName, "Ad Min"},
            {Text::AdminEmail, "a@b.c"}, {Text::MOTD1, "Hello = world"}, {Text::MOTD2, "two"},
            {Text::MOTD3, "three"}, {Text::MOTD4, "four"}, {Text::AdminPassword, "secret"},
            {Text::GamePassword, "gp"}, {Text::WebAdminPort, "8080"}, {Text::GamePort, "7778"},
            {Text::NetSpeed, "9000"}, {Text::LanSpeed, "20000"}, {Text::NetTickRate, "30"},
            {Text::LanTickRate, "40"}, {Text::ExtraCommandLine, "a=b?c"}};
        // clang-format on
        for (const auto& [box, value] : texts)
            form.setText(box, value);
        form.setMapSelected(0, true);
        form.setMapSelected(2, true);
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

// Everything a load can change: the lines the form saves to, the hidden custom game type
// and the map list.
auto snapshot(const SettingsForm& form) {
    return std::make_tuple(configLines(form), form.text(Text::CustomGameType),
                           form.mapList().entries, form.mapList().selected);
}

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

TEST_F(ConfigFileTest, FreshSettingsSaveToTheSixtyLinesOfTheExample) {
    writeConfigFile(freshForm(), cfg(), true);
    std::string expected = "UTPATH=" + gameFolder() + "\r\n";
    for (const auto& line : kFreshLines)
        expected += line + "\r\n";
    EXPECT_EQ(test::readFile(cfg()), expected);
}

TEST_F(ConfigFileTest, SavingAndLoadingChangesNothing) {
    using F = SettingsForm&;
    // clang-format off
    const std::pair<const char*, std::function<void(F)>> cases[] = {
        {"fresh", [](F) {}},
        {"everything changed",
         [this](F f) {
             f = changedForm();
             for (std::size_t i = 0; i < kCheckCount; i += 2)
                 f.setChecked(static_cast<Check>(i), false);
             f.setText(Text::ServerName, "  Two  blanks = here ");
             f.setText(Text::MOTD4, "ServerName=kept in another line");
             f.setMapSelected(2, false); // CTF-Gamma.UT2, not found again
             f.setMapSelected(1, true);
         }},
        {"custom game type",
         [](F f) {
             f.selectGameType(kGameTypeOther);
             f.setText(Text::CustomGameType, "MyPkg.MyGame");
             // Every map whose extension the file keeps in a findable form.
             const auto& entries = f.mapList().entries;
             for (std::size_t i = 0; i < entries.size(); ++i)
                 f.setMapSelected(i, entries[i].ends_with(".ut2"));
         }},
        {"map rotation off keeps the selection",
         [](F f) {
             f.setChecked(Check::MapRotation, false);
             f.setMapSelected(1, true);
         }},
    };
    // clang-format on
    for (const auto& [name, edit] : cases) {
        SCOPED_TRACE(name);
        SettingsForm saved = freshForm();
        edit(saved);
        writeConfigFile(saved, cfg(), true);
        const std::string bytes = test::readFile(cfg());

        SettingsForm loaded = freshForm();
        loadConfigFile(loaded, cfg());
        EXPECT_EQ(snapshot(loaded), snapshot(saved));
        EXPECT_EQ(test::readFile(cfg()), bytes) << "loading must not touch the file";
    }
}

TEST_F(ConfigFileTest, NoArenaOptionStillHoldsLineFourteen) {
    SettingsForm design; // no arena option selected yet
    design.setChecked(Check::BigHead, true);
    design.setBotSkillText("Average");
    const std::vector<std::string> lines = configLines(design);
    ASSERT_EQ(lines.size(), kCfgFixedLines);
    EXPECT_EQ(lines[13], "ArenaOptions=");

    SettingsForm loaded = freshForm();
    loaded.selectArena(2);
    loadConfigFile(loaded, writeCfg(lines));
    EXPECT_EQ(loaded.arena(), 2);
    EXPECT_TRUE(loaded.checked(Check::BigHead));
}

TEST_F(ConfigFileTest, BlanksAndLineBreaksAreLostOnlyWhereTheFileDropsThem) {
    // clang-format off
    const std::tuple<Text, const char*, const char*> texts[] = {
        {Text::CustomGameType, "My Game", "MyGame"},  {Text::AdminPassword, "pass word", "password"},
        {Text::GamePort, " 7 7 ", "77"},            {Text::AdminEmail, "a b@c", "a b@c"},
        {Text::MOTD1, "one\r\ntwo\nthree", "onetwothree"}};
    // clang-format on
    SettingsForm saved = freshForm();
    saved.selectGameType(kGameTypeOther);
    for (const auto& [box, typed, read] : texts)
        saved.setText(box, typed);
    saved.setScroll(Scroll::MaxPlayers, 20);
    writeConfigFile(saved, cfg(), true);
    EXPECT_EQ(readTextLines(cfg()).size(), kCfgFixedLines);

    SettingsForm loaded = freshForm();
    loadConfigFile(loaded, cfg());
    for (const auto& [box, typed, read] : texts)
        EXPECT_EQ(loaded.text(box), read);
    EXPECT_EQ(loaded.scroll(Scroll::MaxPlayers), 20);
}

// One fixed line replaced, and the line the loaded form saves to.
TEST_F(ConfigFileTest, LineIsLoadedAsTheReaderTakesIt) {
    // clang-format off
    const std::tuple<std::size_t, const char*, const char*> cases[] = {
        {2, "GameType=Other", "GameType=Other"}, // a custom type of that name
        {2, "GameType=capturetheflag", "GameType=capturetheflag"},
        {28, "ServerName=ServerName=Bob's", "ServerName=Bob's"},
        {28, "Name=Bob", "ServerName=Name=Bob"},
        {6, "WeaponsStay=2", "WeaponsStay=1"},  // the last character, whatever the key
        {22, "whatever1", "Vampire=1"},
        {47, "LANGame=2", "LANGame=0"},         // server options: only a final "1" checks
        {53, "Nonsense=1", "BalanceTeams=1"},
        {10, "AirControl= 40 ", "AirControl=40"},
        {14, "ArenaOptions=Bogus", "ArenaOptions=None"},
        {38, "EnableWebAdmin=-1", "EnableWebAdmin=1"},
        {60, "UseMapRotation=0", "UseMapRotation=0"},
    };
    // clang-format on
    for (const auto& [line, text, saved] : cases) {
        std::vector<std::string> lines = configLines(freshForm());
        lines[line - 1] = text;
        SettingsForm form = freshForm();
        loadConfigFile(form, writeCfg(lines));
        EXPECT_EQ(configLines(form)[line - 1], saved) << text;
    }

    // A loaded line acts as the user's edit: the list, the value label, the enabled boxes.
    std::vector<std::string> lines = configLines(freshForm());
    lines[1] = "GameType=CaptureTheFlag";
    lines[9] = "AirControl=40";
    lines[23] = "UseBots=1";
    lines[37] = "EnableWebAdmin=1";
    SettingsForm form = freshForm();
    loadConfigFile(form, writeCfg(lines));
    EXPECT_EQ(form.mapList().entries,
              (std::vector<std::string>{"CTF-Alpha.ut2", "CTF-Beta.ut2", "CTF-Gamma.UT2"}));
    EXPECT_EQ(form.caption(Scroll::AirControl), "Air Control = 40%");
    EXPECT_TRUE(form.enabled().minPlayers);
    EXPECT_TRUE(form.enabled().botSkillList);
    EXPECT_TRUE(form.enabled().webAdminPort);
}

// A line that stops the load: the error, the lines before it applied, the rest untouched.
TEST_F(ConfigFileTest, FailingLineStopsTheLoadKeepingEarlierLinesOnly) {
    struct Case {
        std::size_t line; // 1-based
        const char* text;
        int number;
    };
    // clang-format off
    const Case cases[] = {
        {11, "GameSpeed=49", 380},           {10, "AirControl=abc", errc::TypeMismatch},
        {26, "MinPlayers=40000", errc::Overflow}, {58, "MaxPlayers=33", 380},
        {7, "Translocator=x", errc::TypeMismatch}, {15, "", errc::TypeMismatch},
        {27, "BotsSkill=Expert", 380},       {27, "BotsSkill=godlike!", 380},
        {27, "BotsSkill=", 380},
        {38, "EnableWebAdmin=yes", errc::TypeMismatch}, {60, "UseMapRotation=", errc::TypeMismatch}};
    // clang-format on
    const auto fresh = configLines(freshForm()), changed = configLines(changedForm());
    for (std::size_t i = 1; i < kCfgFixedLines; ++i)
        ASSERT_NE(changed[i], fresh[i]) << "applied and kept lines must differ";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> file = configLines(changedForm());
        file[c.line - 1] = c.text;
        const std::string path = writeCfg(file);
        const std::string bytes = test::readFile(path);

        SettingsForm form = freshForm();
        const std::vector<std::string> before = configLines(form);
        EXPECT_EQ(loadStop(form, path), stopAt(c.number, c.line));
        const std::vector<std::string> after = configLines(form);
        for (std::size_t i = 0; i + 1 < c.line; ++i)
            EXPECT_EQ(after[i], file[i]) << "line " << i + 1 << " should be applied";
        for (std::size_t i = c.line - 1; i < kCfgFixedLines; ++i)
            EXPECT_EQ(after[i], before[i]) << "line " << i + 1 << " should keep its value";
        EXPECT_EQ(form.mapList().selectedCount(), 0u);
        EXPECT_EQ(test::readFile(path), bytes);
    }
}

// A file cut short reads one empty line, which clears that line's setting, then stops.
TEST_F(ConfigFileTest, FileCutShortReadsOneEmptyLineThenStops) {
    struct Cut {
        std::size_t keep;    // lines kept
        std::size_t stopsAt; // position of the error
        int number;
        std::function<void(const SettingsForm&)> emptyLine; // what the empty line did
    };
    using F = const SettingsForm&;
    // clang-format off
    const Cut cuts[] = {
        {0, 2, errc::SubscriptRange, [](F f) { EXPECT_EQ(f.gameFolder(), ""); }},
        {1, 3, errc::SubscriptRange,
         [](F f) {
             EXPECT_EQ(f.gameType(), kGameTypeOther);
             EXPECT_EQ(f.text(Text::CustomGameType), "");
         }},
        {9, 10, errc::TypeMismatch, [](F) {}},
        {30, 32, errc::SubscriptRange, [](F f) { EXPECT_EQ(f.text(Text::AdminEmail), ""); }},
        {47, 49, errc::SubscriptRange,
         [](F f) { EXPECT_FALSE(f.checked(Check::AdminPausing)); }},
        {59, 60, errc::TypeMismatch, [](F) {}},
    };
    // clang-format on
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.keep);
        std::vector<std::string> file = configLines(changedForm());
        file[1] = "GameType=Deathmatch"; // the same type: the list is not read again
        file.resize(cut.keep);
        SettingsForm form = freshForm();
        form.setText(Text::AdminEmail, "x");
        form.setChecked(Check::AdminPausing, true);
        form.setMapSelected(1, true);
        const std::vector<std::string> before = configLines(form);
        EXPECT_EQ(loadStop(form, writeCfg(file)), stopAt(cut.number, cut.stopsAt));
        const std::vector<std::string> after = configLines(form);
        for (std::size_t i = 0; i < kCfgFixedLines; ++i) {
            if (i < cut.keep || i + 1 >= cut.stopsAt) {
                EXPECT_EQ(after[i], i < cut.keep ? file[i] : before[i]) << "line " << i + 1;
            }
        }
        cut.emptyLine(form);
        // The map lines are never reached; an empty line 2 reads the list again.
        if (cut.keep != 1) {
            EXPECT_EQ(form.mapList().selected, (std::vector<bool>{false, true}));
        }
    }
}

TEST_F(ConfigFileTest, UnreadableFilesFailBeforeAnyChange) {
    const std::pair<std::string, int> cases[] = {
        {cfg("missing.cfg"), errc::FileNotFound},
        {dir.makeFolder("folder.cfg").string(), errc::FileNotFound},
        {dir.writeFile("big.cfg", std::string(kMaxConfigFileBytes + 1, 'x')).string(),
         errc::FileIO}};
    for (const auto& [path, number] : cases) {
        SettingsForm form = freshForm();
        const auto before = snapshot(form);
        EXPECT_EQ(loadStop(form, path), stopAt(number, 0)) << path;
        EXPECT_EQ(snapshot(form), before);
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
