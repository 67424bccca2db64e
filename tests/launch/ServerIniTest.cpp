#include "TempDir.h"
#include "common/Error.h"
#include "launch/LaunchFiles.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kDM = "[XInterface.MapListDeathMatch]";

// Deathmatch with rotation on and DM-A and DM-C selected of DM-A, DM-B, DM-C.
ServerSettings deathmatch() {
    ServerSettings s = ServerSettings::design();
    s.optGameType = 2;
    s.optMutator = 0;
    s.checks[index(Check::MapRotation)] = true;
    s.filMapList.entries = {"DM-A.ut2", "DM-B.ut2", "DM-C.ut2"};
    s.filMapList.selected = {true, false, true};
    return s;
}

// ---- Value lines: one template line in, one line (and the final empty line) out. ----

struct KeyCase {
    const char* name;
    std::function<void(ServerSettings&)> change;
    std::string line;
    std::string expected;
};

class KeyLine : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyLine, IsReplacedOrKept) {
    const KeyCase& c = GetParam();
    ServerSettings s = ServerSettings::design();
    s.optGameType = 5; // Last Man Standing: no map list, so only the value line is in play
    c.change(s);
    EXPECT_EQ(rewriteServerIni(s, {c.line}), (Lines{c.expected, ""}));
}

auto text(Text t, std::string value) {
    return [t, value](ServerSettings& s) {
        s.texts[index(t)] = value;
    };
}
auto check(Check c) {
    return [c](ServerSettings& s) {
        s.checks[index(c)] = true;
    };
}
void nothing(ServerSettings&) {}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyLine,
    ::testing::Values(
        KeyCase{"DefaultPortKept", text(Text::Port, "7777"), "Port=7000", "Port=7000"},
        KeyCase{"EmptyPortKept", text(Text::Port, ""), "Port=7777", "Port=7777"},
        KeyCase{"OtherPortWritten", text(Text::Port, "7778"), "Port=7777", "Port=7778"},
        KeyCase{"LowerCaseKeyKept", text(Text::Port, "7778"), "port=7777", "port=7777"},
        KeyCase{"LeadingBlankKept", text(Text::Port, "7778"), " Port=7777", " Port=7777"},
        KeyCase{"EmptyLanSpeedKeepsLan", text(Text::lanspeed, ""), "ConfiguredLanSpeed=20000",
                "ConfiguredLanSpeed=20000"},
        KeyCase{"EmptyLanSpeedKeepsRate", text(Text::lanspeed, ""), "MaxClientRate=20000",
                "MaxClientRate=20000"},
        KeyCase{"LanSpeed", nothing, "ConfiguredLanSpeed=20000", "ConfiguredLanSpeed=10000"},
        KeyCase{"LanRate", nothing, "MaxClientRate=20000", "MaxClientRate=10000"},
        KeyCase{"EmptyNetSpeedKept", text(Text::netspeed, ""), "ConfiguredInternetSpeed=2600",
                "ConfiguredInternetSpeed=2600"},
        KeyCase{"NetSpeed", nothing, "ConfiguredInternetSpeed=2600",
                "ConfiguredInternetSpeed=7000"},
        KeyCase{"NetRate", text(Text::netspeed, "5000"), "MaxInternetClientRate=10000",
                "MaxInternetClientRate=5000"},
        KeyCase{"EmptyServerNameGivesBareKey", nothing, "ServerName=Old Server", "ServerName="},
        KeyCase{"ServerName", text(Text::ServerName, "Frag Hall #1"), "ServerName=Old",
                "ServerName=Frag Hall #1"},
        KeyCase{"ShortName", text(Text::ShortServerName, "FH"), "ShortName=Old", "ShortName=FH"},
        KeyCase{"AdminName", text(Text::AdminName, "Boss"), "AdminName=", "AdminName=Boss"},
        KeyCase{"AdminEmail", text(Text::AdminEmail, "a@b.c"), "AdminEmail=x", "AdminEmail=a@b.c"},
        KeyCase{"Motd1", text(Text::MOTD1, "Hello"), "MOTDLine1=", "MOTDLine1=Hello"},
        KeyCase{"Motd2", text(Text::MOTD2, "No camping"), "MOTDLine2=x", "MOTDLine2=No camping"},
        KeyCase{"Motd3", text(Text::MOTD3, "3"), "MOTDLine3=", "MOTDLine3=3"},
        KeyCase{"Motd4", nothing, "MOTDLine4=Old", "MOTDLine4="},
        KeyCase{"AdminPassword", text(Text::AdminPassword, "pw"), "AdminPassword=old",
                "AdminPassword=pw"},
        KeyCase{"GamePassword", nothing, "GamePassword=old", "GamePassword="},
        KeyCase{"StatLoggingOff", nothing, "bEnableStatLogging=True", "bEnableStatLogging=False"},
        KeyCase{"StatLoggingOn", check(chkServerOptions(0)), "bEnableStatLogging=False",
                "bEnableStatLogging=True"},
        KeyCase{"SendStatsOn", check(chkServerOptions(0)), "SendStats=False", "SendStats=True"},
        KeyCase{"LanBroadcast", check(chkServerOptions(1)), "DoLANBroadcast=False",
                "DoLANBroadcast=True"},
        KeyCase{"UplinkOff", check(chkServerOptions(10)), "DoUplink=True", "DoUplink=False"},
        KeyCase{"Gamespy", check(chkServerOptions(10)), "UplinkToGamespy=False",
                "UplinkToGamespy=True"},
        KeyCase{"UplinkOn", check(chkServerOptions(9)), "DoUplink=False", "DoUplink=True"},
        KeyCase{"WebAdminOn", check(Check::Webadmin), "bEnabled=False", "bEnabled=True"},
        KeyCase{"WebAdminOff", nothing, "bEnabled=True", "bEnabled=False"},
        KeyCase{"WebPort", text(Text::webport, "8080"), "ListenPort=80", "ListenPort=8080"},
        KeyCase{"ForceRespawn", check(chkGameOptions(3)), "bForceRespawn=False",
                "bForceRespawn=True"},
        KeyCase{"LongerKeyNameKept", check(Check::Webadmin), "bEnabledAll=False",
                "bEnabledAll=False"},
        KeyCase{"KeyWithoutEqualsKept", nothing, "ServerName", "ServerName"},
        KeyCase{"LineBreaksInValueDropped", text(Text::ServerName, "Two\r\nLines\n"),
                "ServerName=x", "ServerName=TwoLines"},
        KeyCase{"MapLinesKeptWithoutMapList", nothing, "Maps=DM-Old", "Maps=DM-Old"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The map list of the selected game type. ----

struct MapCase {
    const char* name;
    std::function<void(ServerSettings&)> change;
    Lines source;
    Lines expected;
};

class MapSection : public ::testing::TestWithParam<MapCase> {};

TEST_P(MapSection, IsRewritten) {
    const MapCase& c = GetParam();
    ServerSettings s = deathmatch();
    c.change(s);
    EXPECT_EQ(rewriteServerIni(s, c.source), c.expected);
}

auto gameType(int type) {
    return [type](ServerSettings& s) {
        s.optGameType = type;
    };
}
auto selection(std::vector<bool> flags, bool rotation = true) {
    return [flags, rotation](ServerSettings& s) {
        s.filMapList.selected = flags;
        s.checks[index(Check::MapRotation)] = rotation;
    };
}

const Lines kBlock = {"MapNum=2", "Maps=DM-A", "Maps=DM-C"};

Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    Maps, MapSection,
    ::testing::Values(
        MapCase{"WorkedExample",
                [](ServerSettings&) {},
                {kDM, "Maps=DM-Old1", "Maps=DM-Old2", "MapNum=0"},
                concat({{kDM}, kBlock, {""}})},
        MapCase{"OtherSectionsKeepTheirMaps",
                [](ServerSettings&) {},
                {"[XInterface.MapListCaptureTheFlag]", "Maps=CTF-X", "MapNum=1", kDM,
                 "Maps=DM-Old", "[XInterface.MapListTeamDeathMatch]", "Maps=DM-Team"},
                concat({{"[XInterface.MapListCaptureTheFlag]", "Maps=CTF-X", "MapNum=1", kDM},
                        kBlock,
                        {"[XInterface.MapListTeamDeathMatch]", "Maps=DM-Team", ""}})},
        MapCase{"TeamDeathmatchHasItsOwnSection",
                gameType(4),
                {kDM, "Maps=DM-Old", "[XInterface.MapListTeamDeathMatch]", "Maps=DM-Team"},
                concat({{kDM, "Maps=DM-Old", "[XInterface.MapListTeamDeathMatch]"},
                        kBlock,
                        {""}})},
        MapCase{"BonusTypesKeepEveryList",
                gameType(6),
                {kDM, "Maps=DM-Old", "MapNum=1"},
                {kDM, "Maps=DM-Old", "MapNum=1", ""}},
        MapCase{"OtherTypeKeepsEveryList",
                gameType(8),
                {kDM, "Maps=DM-Old"},
                {kDM, "Maps=DM-Old", ""}},
        MapCase{"MissingSectionAppended",
                [](ServerSettings&) {},
                {"[URL]", "Port=7777"},
                concat({{"[URL]", "Port=7777", "", kDM}, kBlock})},
        MapCase{"SectionWithoutMapLinesGetsASecondOne",
                [](ServerSettings&) {},
                {kDM, "bRandom=False"},
                concat({{kDM, "bRandom=False", "", kDM}, kBlock})},
        MapCase{"HeaderWithTrailingBlankIsNotTheSection",
                [](ServerSettings&) {},
                {kDM + " ", "Maps=DM-Old"},
                concat({{kDM + " ", "Maps=DM-Old", "", kDM}, kBlock})},
        MapCase{"RotationOffTakesTheLowestSelected",
                selection({false, true, true}, false),
                {kDM, "MapNum=2", "Maps=DM-Old"},
                {kDM, "MapNum=1", "Maps=DM-B", ""}},
        MapCase{"RotationOnNoneSelectedTakesTheFirst",
                selection({false, false, false}, true),
                {kDM, "Maps=DM-Old"},
                {kDM, "MapNum=1", "Maps=DM-A", ""}},
        MapCase{"RotationOffNoneSelectedTakesTheFirst",
                selection({false, false, false}, false),
                {kDM, "Maps=DM-Old"},
                {kDM, "MapNum=1", "Maps=DM-A", ""}},
        MapCase{"RotationWithAllSelected",
                selection({true, true, true}),
                {kDM, "Maps=DM-Old"},
                {kDM, "MapNum=3", "Maps=DM-A", "Maps=DM-B", "Maps=DM-C", ""}},
        MapCase{"OtherLinesOfTheSectionStayInPlace",
                [](ServerSettings&) {},
                {kDM, "Maps=DM-Old", "bRandom=True", "MapNum=1", "maps=lower"},
                concat({{kDM}, kBlock, {"bRandom=True", "maps=lower", ""}})},
        MapCase{"AnySectionHeaderEndsTheMapList",
                [](ServerSettings&) {},
                {kDM, "Maps=DM-Old", "[Engine.Whatever]", "Maps=Keep", "MapNum=7"},
                concat({{kDM}, kBlock, {"[Engine.Whatever]", "Maps=Keep", "MapNum=7", ""}})},
        MapCase{"OneBlockHoweverOftenTheHeaderOccurs",
                [](ServerSettings&) {},
                {kDM, "Maps=DM-Old", "[Other]", kDM, "Maps=DM-Old2"},
                concat({{kDM}, kBlock, {"[Other]", kDM, ""}})},
        MapCase{"NoMapsKeepsTheGameList",
                [](ServerSettings& s) {
                    s.filMapList.entries.clear();
                    s.filMapList.selected.clear();
                },
                {kDM, "Maps=DM-Old", "MapNum=1"},
                {kDM, "Maps=DM-Old", "MapNum=1", ""}},
        MapCase{"NoMapsAppendsNothing",
                [](ServerSettings& s) {
                    s.filMapList.entries.clear();
                    s.filMapList.selected.clear();
                },
                {"[URL]"},
                {"[URL]", ""}},
        MapCase{"MapNamesLoseEveryUt2AndLineBreaks",
                [](ServerSettings& s) {
                    s.optGameType = 0;
                    s.filMapList.entries = {"BR-a.ut2b.ut2", "BR-Line\r\nBreak.ut2", "BR-X.UT2"};
                    s.filMapList.selected = {true, true, true};
                },
                {"[XInterface.MapListBombingRun]", "Maps=BR-Old"},
                {"[XInterface.MapListBombingRun]", "MapNum=3", "Maps=BR-ab", "Maps=BR-LineBreak",
                 "Maps=BR-X.UT2", ""}},
        MapCase{"EmptyTemplate", [](ServerSettings&) {}, {}, concat({{"", kDM}, kBlock})}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Writing the file. ----

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

class MakeGameConfig : public ::testing::Test {
protected:
    void SetUp() override {
        utpath = dir.withSeparator() + "Game" + game::kNativeSeparator;
        // A Windows copy: folder and file in capitals, lines ended both ways, no final end.
        dir.writeFile("Game/SYSTEM/UT2003.INI", "[URL]\r\nPort=7777\nServerName=Old\r\n" + kDM +
                                                    "\r\nMaps=DM-Old\r\nMapNum=1");
        system = dir.path() / "Game" / "SYSTEM";
        form.setUtpath(utpath);
        form.selectGameType(2);
        form.setChecked(Check::MapRotation, true);
        form.setText(Text::ServerName, "New");
        const fs::path maps = dir.makeFolder("Game/Maps");
        for (const char* name : {"DM-A.ut2", "DM-B.ut2"})
            dir.writeFile(std::string("Game/Maps/") + name, "map");
        form.setMapFolder(maps.string());
        form.setMapSelected(1, true);
    }

    test::TempDir dir;
    std::string utpath;
    fs::path system;
    SettingsForm form;
};

TEST_F(MakeGameConfig, WritesTheRewrittenTemplateWithCrLf) {
    const std::string folder = system.string() + game::kNativeSeparator;
    makegameconfig(form, folder, "quarnel.ini", true);
    EXPECT_EQ(test::readFile(system / "quarnel.ini"), "[URL]\r\nPort=7777\r\nServerName=New\r\n" +
                                                          kDM +
                                                          "\r\nMapNum=1\r\nMaps=DM-B\r\n\r\n");
    // A second run with the same settings gives the same bytes, over the first file.
    const std::string first = test::readFile(system / "quarnel.ini");
    makegameconfig(form, folder, "quarnel.ini", true);
    EXPECT_EQ(test::readFile(system / "quarnel.ini"), first);
}

struct FailureCase {
    const char* name;
    int error;
};

class MakeGameConfigFailure : public MakeGameConfig,
                              public ::testing::WithParamInterface<FailureCase> {};

// Each failure leaves an existing target with its old content and no stray file behind.
TEST_P(MakeGameConfigFailure, LeavesTheTargetAlone) {
    const std::string what = GetParam().name;
    const fs::path out = dir.makeFolder("out");
    std::string folder = out.string() + game::kNativeSeparator;
    std::string name = "server.ini";
    bool overwrite = true;
    dir.writeFile("out/server.ini", "old");
    if (what == "MissingTemplate")
        fs::remove(system / "UT2003.INI");
    else if (what == "MissingFolder")
        folder = (out / "nowhere").string() + game::kNativeSeparator;
    else if (what == "NoOverwrite")
        overwrite = false;
    else if (what == "TargetIsAFolder") {
        name = "sub";
        dir.makeFolder("out/sub");
    }
    const auto before = namesIn(out);

    try {
        makegameconfig(form, folder, name, overwrite);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), GetParam().error);
    }
    EXPECT_EQ(test::readFile(out / "server.ini"), "old");
    EXPECT_EQ(namesIn(out), before);
}

INSTANTIATE_TEST_SUITE_P(Failures, MakeGameConfigFailure,
                         ::testing::Values(FailureCase{"MissingTemplate", errc::FileNotFound},
                                           FailureCase{"MissingFolder", errc::PathNotFound},
                                           FailureCase{"NoOverwrite", 58},
                                           FailureCase{"TargetIsAFolder", errc::FileIO}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MakeGameConfigDemo, KeepsEveryLineOfTheDemoTemplateItDoesNotOwn) {
    test::TempDir dir;
    const std::string utpath = test::copyDemoInstall(dir);
    SettingsForm form;
    form.setUtpath(utpath);
    form.applyFirstRunDefaults();
    form.cmdselectall_Click();
    const std::string system = game::systemFolder(utpath);
    makegameconfig(form, system, "quarnel.ini", true);

    const auto source = test::readFile(game::templateIni(utpath));
    const auto written = test::readFile(system + "quarnel.ini");
    ASSERT_GT(source.size(), 1000u);
    ASSERT_EQ(source.substr(source.size() - 2), "\r\n");
    // Same number of lines plus the final empty one: the demo's Deathmatch list has as many
    // lines as the new one, all five maps.
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'),
              std::count(source.begin(), source.end(), '\n') + 1);
    EXPECT_NE(written.find(kDM + "\r\nMapNum=5\r\nMaps=DM-Cellar\r\nMaps=DM-Lighthouse\r\nMaps=DM-"
                                 "Quarry\r\nMaps=DM-Reactor\r\nMaps=dm-sunken\r\n"),
              std::string::npos);
    EXPECT_EQ(written.substr(0, 20), source.substr(0, 20));
}

} // namespace
} // namespace quarnel
