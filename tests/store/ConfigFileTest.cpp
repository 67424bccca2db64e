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
        form.setUtpath(utpath());
        form.applyFirstRunDefaults();
        form.optGameType_Click(form.gameType());
        form.chkUseBots_Click();
        form.chkWebadmin_Click();
        return form;
    }

    // Settings that differ from the first-run ones in every line of the file.
    SettingsForm changedForm() const {
        SettingsForm form = freshForm();
        form.selectGameType(1);
        for (std::size_t i = 0; i < kCheckCount; ++i)
            form.setChecked(static_cast<Check>(i), true);
        form.setChecked(Check::MapRotation, false);
        const std::pair<Scroll, int> scrolls[] = {
            {Scroll::AirControl, 70},     {Scroll::GameSpeed, 150}, {Scroll::FriendlyFire, 50},
            {Scroll::SpawnProtection, 5}, {Scroll::MaxPlayers, 24}, {Scroll::MaxSpectators, 8},
            {Scroll::NetStartDelay, 10},  {Scroll::MinPlayers, 4}};
        for (const auto& [bar, value] : scrolls)
            form.setScroll(bar, value);
        form.selectArena(4);
        form.setBotSkillText("Godlike!");
        // clang-format off
        const std::pair<Text, const char*> texts[] = {
            {Text::TimeLimit, "20"}, {Text::GoalLimit, "5"}, {Text::MaxLives, "3"},
            {Text::Mutator, "Pkg.MutA, Pkg.MutB,"}, {Text::ServerName, " My  Server "},
            {Text::ShortServerName, "My S"}, {Text::AdminName, "Ad Min"},
            {Text::AdminEmail, "a@b.c"}, {Text::MOTD1, "Hello = world"}, {Text::MOTD2, "two"},
            {Text::MOTD3, "three"}, {Text::MOTD4, "four"}, {Text::AdminPassword, "secret"},
            {Text::GamePassword, "gp"}, {Text::webport, "8080"}, {Text::Port, "7778"},
            {Text::netspeed, "9000"}, {Text::lanspeed, "20000"}, {Text::nettickrate, "30"},
            {Text::lantickrate, "40"}, {Text::CmdLineOptions, "a=b?c"}};
        // clang-format on
        for (const auto& [box, value] : texts)
            form.setText(box, value);
        form.setMapSelected(0, true);
        form.setMapSelected(2, true);
        return form;
    }

    std::string utpath() const { return dir.withSeparator(); }
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

// The setting values of a form, everything the file stores.
struct Snapshot {
    std::array<bool, kCheckCount> checks;
    std::array<std::string, kTextCount> texts;
    std::array<int, kScrollCount> scrolls;
    int gameType, arena, botSkill;
    std::vector<std::string> entries;
    std::vector<bool> selected;
    std::string utpath;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const SettingsForm& form) {
    const ServerSettings& s = form.settings();
    return {s.checks,
            s.texts,
            s.scrolls,
            s.optGameType,
            s.optMutator,
            s.cboBotSkill,
            s.filMapList.entries,
            s.filMapList.selected,
            form.utpath()};
}

TEST_F(ConfigFileTest, FreshSettingsSaveToTheSixtyLinesOfTheExample) {
    const SettingsForm form = freshForm();
    createconfig(form, cfg(), true);

    std::string expected = "UTPATH=" + utpath() + "\r\n";
    for (const auto& line : kFreshLines)
        expected += line + "\r\n";
    EXPECT_EQ(test::readFile(cfg()), expected);
}

TEST_F(ConfigFileTest, WriterKeysFromCaptionsAreTheReaderKeys) {
    const SettingsForm form = changedForm();
    const std::vector<std::string> lines = configLines(form);
    for (std::size_t i = 0; i < kCfgFixedLines; ++i) {
        EXPECT_EQ(cfgKey(kCfgLines[i], form), kCfgLines[i].key) << "line " << i + 1;
        EXPECT_EQ(lines[i].substr(0, kCfgLines[i].key.size() + 1),
                  std::string(kCfgLines[i].key) + "=")
            << "line " << i + 1;
    }
}

struct RoundTrip {
    const char* name;
    std::function<void(SettingsForm&)> edit;
};

void PrintTo(const RoundTrip& c, std::ostream* os) {
    *os << c.name;
}

class ConfigRoundTripTest : public ConfigFileTest,
                            public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(ConfigRoundTripTest, SavingAndLoadingChangesNothing) {
    SettingsForm saved = freshForm();
    GetParam().edit(saved);
    createconfig(saved, cfg(), true);
    const std::string bytes = test::readFile(cfg());

    SettingsForm loaded = freshForm();
    loadconfig(loaded, cfg());
    EXPECT_EQ(snapshot(loaded), snapshot(saved));
    EXPECT_EQ(test::readFile(cfg()), bytes) << "loading must not touch the file";

    createconfig(loaded, cfg("again.cfg"), true);
    EXPECT_EQ(test::readFile(cfg("again.cfg")), bytes);
}

// Each changed form is saved from the form, so the custom values must survive as typed.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Settings, ConfigRoundTripTest, ::testing::Values(
    RoundTrip{"FreshSettings", [](SettingsForm&) {}},
    RoundTrip{"EverythingChanged", [](SettingsForm& f) {
        f.selectGameType(1);
        for (std::size_t i = 0; i < kCheckCount; ++i)
            f.setChecked(static_cast<Check>(i), i % 2 == 0);
        f.setScroll(Scroll::GameSpeed, 50);
        f.setScroll(Scroll::FriendlyFire, 200);
        f.setScroll(Scroll::NetStartDelay, 60);
        f.selectArena(3);
        f.setBotSkillText("Godlike!");
        f.setText(Text::ServerName, "  Two  blanks = here ");
        f.setText(Text::MOTD4, "ServerName=kept in another line");
        f.setText(Text::Mutator, "A.B, C.D,");
        f.setText(Text::CmdLineOptions, "x y?z");
        f.setMapSelected(0, true);
        f.setMapSelected(1, true);
    }},
    RoundTrip{"CustomGameType", [](SettingsForm& f) {
        f.selectGameType(kGameTypeOther);
        f.setText(Text::Gametype, "MyPkg.MyGame");
        // Every map whose extension the file keeps in a findable form.
        const auto& entries = f.mapList().entries;
        for (std::size_t i = 0; i < entries.size(); ++i)
            f.setMapSelected(i, entries[i].ends_with(".ut2"));
    }},
    RoundTrip{"MapRotationOffKeepsTheSelection", [](SettingsForm& f) {
        f.setChecked(Check::MapRotation, false);
        f.setMapSelected(1, true);
    }},
    RoundTrip{"NoBotSkillPicked", [](SettingsForm& f) { f.setBotSkillIndex(-1); }}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(ConfigFileTest, NoArenaOptionStillHoldsLineFourteen) {
    SettingsForm design; // nothing selected yet
    design.setChecked(chkMutator(0), true);
    const std::vector<std::string> lines = configLines(design);
    ASSERT_EQ(lines.size(), kCfgFixedLines);
    EXPECT_EQ(lines[13], "ArenaOptions=");

    SettingsForm loaded = freshForm();
    loaded.selectArena(2);
    loadconfig(loaded, writeCfg(lines));
    EXPECT_EQ(loaded.arena(), 2);
    EXPECT_TRUE(loaded.checked(chkMutator(0)));
}

TEST_F(ConfigFileTest, BlanksAreLostOnlyWhereTheFileDropsThem) {
    SettingsForm saved = freshForm();
    saved.selectGameType(kGameTypeOther);
    saved.setText(Text::Gametype, "My Game");
    saved.setText(Text::AdminPassword, "pass word");
    saved.setText(Text::Port, " 7 7 ");
    saved.setText(Text::AdminEmail, "a b@c");
    createconfig(saved, cfg(), true);

    SettingsForm loaded = freshForm();
    loadconfig(loaded, cfg());
    EXPECT_EQ(loaded.text(Text::Gametype), "MyGame");
    EXPECT_EQ(loaded.text(Text::AdminPassword), "password");
    EXPECT_EQ(loaded.text(Text::Port), "77");
    EXPECT_EQ(loaded.text(Text::AdminEmail), "a b@c");
}

TEST_F(ConfigFileTest, LineBreaksInATextCannotShiftLaterLines) {
    SettingsForm saved = freshForm();
    saved.setText(Text::MOTD1, "one\r\ntwo\nthree");
    createconfig(saved, cfg(), true);
    EXPECT_EQ(readTextLines(cfg()).size(), kCfgFixedLines);

    SettingsForm loaded = freshForm();
    loadconfig(loaded, cfg());
    EXPECT_EQ(loaded.text(Text::MOTD1), "onetwothree");
    EXPECT_EQ(loaded.scroll(Scroll::MaxPlayers), 16);
}

// One fixed line replaced, and what the load makes of it.
struct LineCase {
    const char* name;
    std::size_t line; // 1-based
    std::string text;
    std::function<void(const SettingsForm&)> expect;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfigLineTest : public ConfigFileTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(ConfigLineTest, LoadsTheValueAsTheReaderTakesIt) {
    std::vector<std::string> lines = configLines(freshForm());
    lines[GetParam().line - 1] = GetParam().text;
    SettingsForm form = freshForm();
    loadconfig(form, writeCfg(lines));
    GetParam().expect(form);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, ConfigLineTest, ::testing::Values(
    LineCase{"WordOtherIsACustomType", 2, "GameType=Other", [](const SettingsForm& f) {
        EXPECT_EQ(f.gameType(), kGameTypeOther);
        EXPECT_EQ(f.text(Text::Gametype), "Other");
    }},
    LineCase{"GameTypeWordsAreCaseSensitive", 2, "GameType=capturetheflag", [](const SettingsForm& f) {
        EXPECT_EQ(f.gameType(), kGameTypeOther);
        EXPECT_EQ(f.text(Text::Gametype), "capturetheflag");
    }},
    LineCase{"KnownGameTypeRereadsTheMaps", 2, "GameType=CaptureTheFlag", [](const SettingsForm& f) {
        EXPECT_EQ(f.gameType(), 1);
        EXPECT_EQ(f.mapList().entries,
                  (std::vector<std::string>{"CTF-Alpha.ut2", "CTF-Beta.ut2", "CTF-Gamma.UT2"}));
    }},
    LineCase{"RepeatedKeyIsRemovedEverywhere", 28, "ServerName=ServerName=Bob's",
             [](const SettingsForm& f) { EXPECT_EQ(f.text(Text::ServerName), "Bob's"); }},
    LineCase{"WrongKeyMakesTheWholeLineTheText", 28, "Name=Bob",
             [](const SettingsForm& f) { EXPECT_EQ(f.text(Text::ServerName), "Name=Bob"); }},
    LineCase{"GameOptionEndingInTwoChecks", 6, "WeaponsStay=2",
             [](const SettingsForm& f) { EXPECT_TRUE(f.checked(chkGameOptions(0))); }},
    LineCase{"MutatorWithAnyKeyEndingInOneChecks", 22, "whatever1",
             [](const SettingsForm& f) { EXPECT_TRUE(f.checked(chkMutator(7))); }},
    LineCase{"ServerOptionEndingInTwoClears", 47, "LANGame=2",
             [](const SettingsForm& f) { EXPECT_FALSE(f.checked(chkServerOptions(1))); }},
    LineCase{"ServerOptionWithAnyKeyEndingInOneChecks", 53, "Nonsense=1",
             [](const SettingsForm& f) { EXPECT_TRUE(f.checked(chkServerOptions(7))); }},
    LineCase{"ScrollValueWithBlanks", 10, "AirControl= 40 ", [](const SettingsForm& f) {
        EXPECT_EQ(f.scroll(Scroll::AirControl), 40);
        EXPECT_EQ(f.caption(Scroll::AirControl), "Air Control = 40%");
    }},
    LineCase{"UnknownArenaWordKeepsTheOption", 14, "ArenaOptions=Bogus",
             [](const SettingsForm& f) { EXPECT_EQ(f.arena(), 0); }},
    LineCase{"WebAdminTakesAnyNonZeroNumber", 38, "EnableWebAdmin=-1", [](const SettingsForm& f) {
        EXPECT_TRUE(f.checked(Check::Webadmin));
        EXPECT_TRUE(f.enabled().txtwebport);
    }},
    LineCase{"MapRotationZeroClears", 60, "UseMapRotation=0",
             [](const SettingsForm& f) { EXPECT_FALSE(f.checked(Check::MapRotation)); }},
    LineCase{"UseBotsEnablesItsDependants", 24, "UseBots=1", [](const SettingsForm& f) {
        EXPECT_TRUE(f.checked(Check::UseBots));
        EXPECT_TRUE(f.enabled().sclMinPlayers);
        EXPECT_TRUE(f.enabled().cboBotSkill);
    }}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// A line that stops the load: the error, and the lines applied around it.
struct FailureCase {
    const char* name;
    std::size_t line; // 1-based
    std::string text;
    int number;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfigFailureTest : public ConfigFileTest,
                          public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ConfigFailureTest, StopsAtTheLineKeepingEarlierLinesOnly) {
    const FailureCase& c = GetParam();
    std::vector<std::string> file = configLines(changedForm());
    file[c.line - 1] = c.text;
    const std::string path = writeCfg(file);
    const std::string bytes = test::readFile(path);

    SettingsForm form = freshForm();
    const std::vector<std::string> before = configLines(form);
    try {
        loadconfig(form, path);
        FAIL() << "the load should stop";
    } catch (const ConfigLoadError& e) {
        EXPECT_EQ(e.number(), c.number);
        EXPECT_EQ(e.line(), c.line);
        EXPECT_EQ(e.key(), kCfgLines[c.line - 1].key);
    }
    const std::vector<std::string> after = configLines(form);
    for (std::size_t i = 0; i + 1 < c.line; ++i)
        EXPECT_EQ(after[i], file[i]) << "line " << i + 1 << " should be applied";
    for (std::size_t i = c.line - 1; i < kCfgFixedLines; ++i)
        EXPECT_EQ(after[i], before[i]) << "line " << i + 1 << " should keep its value";
    EXPECT_EQ(form.mapList().selectedCount(), 0u);
    EXPECT_EQ(test::readFile(path), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ConfigFailureTest,
    ::testing::Values(
        FailureCase{"GameSpeedBelowItsMinimum", 11, "GameSpeed=49", 380},
        FailureCase{"ScrollLetters", 10, "AirControl=abc", errc::TypeMismatch},
        FailureCase{"ScrollWithPercent", 12, "FriendlyFire=50%", errc::TypeMismatch},
        FailureCase{"ScrollEmpty", 13, "SpawnProtectionTime=", errc::TypeMismatch},
        FailureCase{"ScrollBeyondSixteenBits", 26, "MinPlayers=40000", errc::Overflow},
        FailureCase{"ScrollAboveItsMaximum", 58, "MaxPlayers=33", 380},
        FailureCase{"GameOptionLastCharNoDigit", 7, "Translocator=x", errc::TypeMismatch},
        FailureCase{"MutatorEmptyLine", 15, "", errc::TypeMismatch},
        FailureCase{"BotSkillNoItem", 27, "BotsSkill=Expert", 380},
        FailureCase{"BotSkillCaseMatters", 27, "BotsSkill=godlike!", 380},
        FailureCase{"WebAdminNotANumber", 38, "EnableWebAdmin=yes", errc::TypeMismatch},
        FailureCase{"MapRotationEmpty", 60, "UseMapRotation=", errc::TypeMismatch}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigFileTest, FileCutShortReadsOneEmptyLineThenStops) {
    struct Cut {
        std::size_t keep;    // lines kept
        std::size_t stopsAt; // position of the error
        int number;
    };
    for (const Cut& cut : {Cut{30, 32, errc::SubscriptRange}, Cut{9, 10, errc::TypeMismatch},
                           Cut{45, 47, errc::SubscriptRange}, Cut{59, 60, errc::TypeMismatch}}) {
        SCOPED_TRACE(cut.keep);
        std::vector<std::string> file = configLines(changedForm());
        file[1] = "GameType=Deathmatch"; // the same type: the list is not read again
        file.resize(cut.keep);
        SettingsForm form = freshForm();
        form.setMapSelected(1, true);
        try {
            loadconfig(form, writeCfg(file));
            FAIL() << "the load should stop";
        } catch (const ConfigLoadError& e) {
            EXPECT_EQ(e.number(), cut.number);
            EXPECT_EQ(e.line(), cut.stopsAt);
        }
        const std::vector<std::string> after = configLines(form);
        for (std::size_t i = 0; i < cut.keep; ++i)
            EXPECT_EQ(after[i], file[i]);
        // The selection stays as it was: the map lines are never reached.
        EXPECT_EQ(form.mapList().selected, (std::vector<bool>{false, true}));
    }
}

TEST_F(ConfigFileTest, EmptyLineAfterTheCutClearsTextsAndServerOptions) {
    std::vector<std::string> file = configLines(changedForm());
    file.resize(30); // position 31, the admin e-mail, reads the empty entry
    SettingsForm form = changedForm();
    EXPECT_THROW(loadconfig(form, writeCfg(file)), ConfigLoadError);
    EXPECT_EQ(form.text(Text::AdminEmail), "");

    file = configLines(changedForm());
    file.resize(47); // position 48, a server option
    form = changedForm();
    EXPECT_THROW(loadconfig(form, writeCfg(file)), ConfigLoadError);
    EXPECT_FALSE(form.checked(chkServerOptions(2)));

    file.resize(1); // position 2, the game type
    form = freshForm();
    EXPECT_THROW(loadconfig(form, writeCfg(file)), ConfigLoadError);
    EXPECT_EQ(form.gameType(), kGameTypeOther);
    EXPECT_EQ(form.text(Text::Gametype), "");
}

TEST_F(ConfigFileTest, EmptyFileEmptiesTheGameFolderAndStopsAtLineTwo) {
    SettingsForm form = freshForm();
    const Snapshot before = snapshot(form);
    const std::string path = cfg();
    dir.writeFile("test.cfg", "");
    try {
        loadconfig(form, path);
        FAIL() << "the load should stop";
    } catch (const ConfigLoadError& e) {
        EXPECT_EQ(e.number(), errc::SubscriptRange);
        EXPECT_EQ(e.line(), 2u);
        EXPECT_EQ(e.key(), "GameType");
    }
    Snapshot expected = before;
    expected.utpath.clear();
    EXPECT_EQ(snapshot(form), expected);
}

TEST_F(ConfigFileTest, UnreadableFilesFailBeforeAnyChange) {
    struct Bad {
        const char* name;
        std::function<std::string()> make;
        int number;
    };
    const std::vector<Bad> cases = {
        {"missing", [&] { return cfg("missing.cfg"); }, errc::FileNotFound},
        {"folder", [&] { return dir.makeFolder("folder.cfg").string(); }, errc::FileNotFound},
        {"oversized",
         [&] {
             return dir.writeFile("big.cfg", std::string(kMaxConfigFileBytes + 1, 'x')).string();
         },
         errc::FileIO},
    };
    for (const Bad& bad : cases) {
        SCOPED_TRACE(bad.name);
        SettingsForm form = freshForm();
        const Snapshot before = snapshot(form);
        const std::string path = bad.make();
        try {
            loadconfig(form, path);
            FAIL() << "the load should fail";
        } catch (const ConfigLoadError& e) {
            EXPECT_EQ(e.number(), bad.number);
            EXPECT_EQ(e.line(), 0u);
        }
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
    loadconfig(form, writeCfg(file));
    // CTF-Gamma.UT2 has its extension in capitals and is not found again; a line without
    // "=" is a name of its own.
    EXPECT_EQ(form.mapList().selected, (std::vector<bool>{true, true, false}));
}

TEST_F(ConfigFileTest, LoadingClearsTheSelectionOnceLineSixtyIsApplied) {
    SettingsForm form = freshForm();
    form.cmdselectall_Click();
    loadconfig(form, writeCfg(configLines(freshForm())));
    EXPECT_EQ(form.mapList().selectedCount(), 0u);
}

TEST_F(ConfigFileTest, SameGameTypeKeepsTheListEvenWhenTheFolderChanges) {
    SettingsForm form = freshForm();
    const MapList before = form.mapList();
    std::vector<std::string> file = configLines(form);
    file[0] = "UTPATH=/nowhere/";
    file.emplace_back("Map1=DM-Two");
    loadconfig(form, writeCfg(file));
    EXPECT_EQ(form.utpath(), "/nowhere/");
    EXPECT_EQ(form.mapList().folder, before.folder);
    EXPECT_EQ(form.mapList().selected, (std::vector<bool>{false, true}));
}

TEST_F(ConfigFileTest, FailedSaveLeavesTheExistingFile) {
    const std::string path = dir.writeFile("keep.cfg", "old bytes").string();
    EXPECT_THROW(createconfig(freshForm(), path, false), Error);
    EXPECT_EQ(test::readFile(path), "old bytes");
    EXPECT_THROW(createconfig(freshForm(), cfg("no/such/folder.cfg"), true), Error);
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.number == 0) {
            EXPECT_EQ(toInteger16(c.text), c.value);
            continue;
        }
        try {
            toInteger16(c.text);
            ADD_FAILURE() << "should not convert";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), c.number);
        }
    }
}

} // namespace
} // namespace quarnel
