#include "LaunchFixture.h"
#include "WindowsForm.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "store/ConfigForm.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
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
    s.gameType = 2;
    s.arena = 0;
    s.checks[index(Check::MapRotation)] = true;
    s.maps.entries = {"DM-A.ut2", "DM-B.ut2", "DM-C.ut2"};
    s.maps.selected = {true, false, true};
    return s;
}

// Lines written as one text joined by '|': "D" stands for the Deathmatch header, "B" for the
// map block of DM-A and DM-C.
Lines lines(std::string_view text) {
    Lines out;
    for (std::size_t start = 0, end = 0; end != std::string_view::npos; start = end + 1) {
        end = text.find('|', start);
        const std::string_view line = text.substr(start, end - start);
        if (line == "B")
            out.insert(out.end(), {"MapNum=2", "Maps=DM-A", "Maps=DM-C"});
        else
            out.emplace_back(line == "D" ? std::string_view(kDM) : line);
    }
    return out;
}

auto selection(std::vector<bool> flags, bool rotation) {
    return [flags, rotation](ServerSettings& s) {
        s.maps.selected = flags;
        s.checks[index(Check::MapRotation)] = rotation;
    };
}

using Change = std::function<void(ServerSettings&)>;
Change tick(Check c) {
    return [c](ServerSettings& s) {
        s.checks[index(c)] = true;
    };
}
Change type(Text t, std::string value) {
    return [t, value](ServerSettings& s) {
        s.texts[index(t)] = value;
    };
}

// Every governed value line in table order, as the template holds it and as the design
// settings write it (Last Man Standing: no map list is in play).
const std::string kOldKeys =
    "Port=7000|ConfiguredInternetSpeed=2600|ConfiguredLanSpeed=20000|MaxClientRate=20000|"
    "MaxInternetClientRate=10000|ServerName=Old|ShortName=Old|AdminName=Old|AdminEmail=Old|"
    "MOTDLine1=Old|MOTDLine2=Old|MOTDLine3=Old|MOTDLine4=Old|bEnableStatLogging=True|"
    "DoLANBroadcast=True|SendStats=True|AdminPassword=Old|GamePassword=Old|DoUplink=True|"
    "UplinkToGamespy=True|bEnabled=True|ListenPort=0|bForceRespawn=True";
const std::string kDesignKeys =
    "Port=7000|ConfiguredInternetSpeed=7000|ConfiguredLanSpeed=10000|MaxClientRate=10000|"
    "MaxInternetClientRate=7000|ServerName=|ShortName=|AdminName=|AdminEmail=|MOTDLine1=|"
    "MOTDLine2=|MOTDLine3=|MOTDLine4=|bEnableStatLogging=False|DoLANBroadcast=False|"
    "SendStats=False|AdminPassword=|GamePassword=|DoUplink=False|UplinkToGamespy=False|"
    "bEnabled=False|ListenPort=80|bForceRespawn=False";

// One control changed alone, and the lines that then differ from the design's: a key that
// reads the wrong control shows. (The demo's bytes below have the other names and passwords.)
TEST(KeyTable, EachKeyLineTakesItsOwnControl) {
    const std::pair<Change, std::string> cases[] = {
        {type(Text::GamePort, "7777"), ""}, // the default keeps the template's
        {type(Text::GamePort, ""), ""},
        {type(Text::GamePort, "7778"), "Port=7778"},
        {type(Text::NetSpeed, "5000"), "ConfiguredInternetSpeed=5000|MaxInternetClientRate=5000"},
        {type(Text::NetSpeed, ""), "ConfiguredInternetSpeed=2600|MaxInternetClientRate=10000"},
        {type(Text::LanSpeed, "15000"), "ConfiguredLanSpeed=15000|MaxClientRate=15000"},
        {type(Text::LanSpeed, ""), "ConfiguredLanSpeed=20000|MaxClientRate=20000"},
        {type(Text::ServerName, "Frag\r\nHall #1\n"), "ServerName=FragHall #1"},
        {type(Text::MOTD1, "m1"), "MOTDLine1=m1"},
        {type(Text::MOTD2, "m2"), "MOTDLine2=m2"},
        {type(Text::MOTD3, "m3"), "MOTDLine3=m3"},
        {type(Text::MOTD4, "m4"), "MOTDLine4=m4"},
        {type(Text::GamePassword, "join"), "GamePassword=join"},
        {type(Text::WebAdminPort, "8080"), "ListenPort=8080"},
        {tick(Check::WorldStatsLogging), "bEnableStatLogging=True|SendStats=True"},
        {tick(Check::LanGame), "DoLANBroadcast=True"},
        {tick(Check::MasterServerUplink), "DoUplink=True"},
        {tick(Check::GameSpyUplink), "UplinkToGamespy=True"},
        {tick(Check::WebAdmin), "bEnabled=True"},
        {tick(Check::ForceRespawn), "bForceRespawn=True"},
    };
    for (const auto& [change, written] : cases) {
        ServerSettings s = ServerSettings::design();
        s.gameType = 5;
        change(s);
        Lines expected = lines(kDesignKeys);
        for (const std::string& line : written.empty() ? Lines() : lines(written))
            for (std::string& old : expected)
                if (old.starts_with(line.substr(0, line.find('=') + 1)))
                    old = line;
        expected.push_back("");
        EXPECT_EQ(rewriteServerIni(s, lines(kOldKeys)), expected) << written;
    }
}

// One template, in lines written as for lines() and joined by CR LF, rewritten from the
// deathmatch settings changed: as lines, and streamed in blocks so small that lines, CR LF
// pairs and section headers straddle two reads and long lines come in pieces. Every way
// writes the same bytes.
TEST(RewriteServerIni, KeysAndTheMapListInLinesAndInEveryBlockSize) {
    const Change keep = [](ServerSettings&) {
    };
    const Change noMaps = [](ServerSettings& s) {
        s.maps = {};
    };
    const std::string ctf = "[XInterface.MapListCaptureTheFlag]|Maps=CTF-X|MapNum=1|D|";
    const std::string tdm = "[XInterface.MapListTeamDeathMatch]|Maps=DM-Team";
    std::string headers; // a header's prefix again and again
    for (int i = 0; i < 6; ++i)
        headers += "[XInterface.MapList";
    const std::string z70(70, 'z'), ps(90, 'p');
    const std::tuple<Change, std::string, std::string> cases[] = {
        // A port and a type without a list: only exact keys at a line's start are replaced.
        {[](ServerSettings& s) {
             s.gameType = 5;
             s.texts[index(Text::GamePort)] = "7778";
         },
         "port=7777| Port=7777|bEnabledAll=False|ServerName|Maps=DM-Old",
         "port=7777| Port=7777|bEnabledAll=False|ServerName|Maps=DM-Old|"},
        {keep, "", "|D|B"},
        {keep, "[URL]|Port=7777|ServerName=Old\nAdminName=x|",
         "[URL]|Port=7777|ServerName=|AdminName=||D|B"},
        {keep, "Maps=DM-Top|D|Maps=DM-Old", "Maps=DM-Top|D|B|"}, // before any header
        {keep, ctf + "Maps=DM-Old|" + tdm, ctf + "B|" + tdm + "|"},
        {[](ServerSettings& s) { s.gameType = 6; }, "D|Maps=DM-Old|MapNum=1",
         "D|Maps=DM-Old|MapNum=1|"},
        {keep, "D|bRandom=False", "D|bRandom=False||D|B"},
        {selection({false, true, true}, false), "D|MapNum=2|Maps=DM-Old", "D|MapNum=1|Maps=DM-B|"},
        {selection({false, false, false}, true), "D|Maps=DM-Old", "D|MapNum=1|Maps=DM-A|"},
        {selection({false, false, false}, false), "D|Maps=DM-Old", "D|MapNum=1|Maps=DM-A|"},
        {keep, "D|Maps=DM-Old|bRandom=True|MapNum=1|maps=lower", "D|B|bRandom=True|maps=lower|"},
        {keep, "D|Maps=DM-Old|[Other]|D|Maps=DM-Old2", "D|B|[Other]|D|"},
        {noMaps, "D|Maps=DM-Old|MapNum=1", "D|Maps=DM-Old|MapNum=1|"},
        {noMaps, "[URL]", "[URL]|"},
        // Every .ut2 and line break goes from a map's name.
        {[](ServerSettings& s) {
             s.gameType = 0;
             s.maps.entries = {"BR-a.ut2b.ut2", "BR-Line\r\nBreak.ut2", "BR-X.UT2"};
             s.maps.selected = {true, true, true};
         },
         "[XInterface.MapListBombingRun]|Maps=BR-Old",
         "[XInterface.MapListBombingRun]|MapNum=3|Maps=BR-ab|Maps=BR-LineBreak|Maps=BR-X.UT2|"},
        {keep, headers + "DeathMatch]\nMaps=Old\n[Next]\nMaps=Keep",
         headers + "DeathMatch]|B|[Next]|Maps=Keep|"},
        {keep, "D[XInterface.MapListeathMatch]|Maps=Old|", "D[XInterface.MapListeathMatch]|B|"},
        {keep, headers + "DeathMatch] |Maps=Old|" + headers + "DeathMatch",
         headers + "DeathMatch] |Maps=Old|" + headers + "DeathMatch||D|B"},
        {keep, "ConfiguredInternetSpeed=" + std::string(90, '9') + "|port=" + ps + "|",
         "ConfiguredInternetSpeed=7000|port=" + ps + "||D|B"},
        {keep, "a\r|b\rc|" + z70 + "\r", "a\r|b\rc|" + z70 + "\r||D|B"}};
    test::TempDir dir;
    const std::string target = (dir.path() / "out.ini").string();
    for (const auto& [change, source, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(source));
        ServerSettings s = deathmatch();
        change(s);
        std::string bytes = joinTextLines(lines(source));
        bytes.resize(bytes.size() - 2); // no final line end
        const std::string written = joinTextLines(lines(expected));
        EXPECT_EQ(joinTextLines(rewriteServerIni(s, splitTextLines(bytes))), written);
        const std::string file = dir.writeFile("ut2003.ini", bytes).string();
        for (const std::size_t block : {1, 2, 3, 5, 8, 24, 25, 31, 64, 64 * 1024}) {
            writeServerIni(s, file, target, true, block);
            EXPECT_EQ(test::readFile(target), written) << block;
        }
    }
}

// A Windows copy: folder and file in capitals, lines ended both ways, no final line end; no
// map, so the map list stays. Written over an old file; failures leave it.
TEST(MakeGameConfig, WritesTheTemplateWithCrLfAndFailuresLeaveTheTarget) {
    test::TempDir dir;
    const fs::path ini = dir.writeFile(
        "Game/SYSTEM/UT2003.INI", "[URL]\r\nPort=7777\nServerName=Old\r\n" + kDM + "\r\nMapNum=1");
    SettingsForm form;
    form.setGameFolder(dir.withSeparator() + "Game" + game::kNativeSeparator);
    form.setText(Text::ServerName, "New");
    const fs::path target = dir.writeFile("out/server.ini", "old");
    const std::string folder = target.parent_path().string() + game::kNativeSeparator;
    writeServerIni(form, folder, "server.ini", true);
    EXPECT_EQ(test::readFile(target),
              "[URL]\r\nPort=7777\r\nServerName=New\r\n" + kDM + "\r\nMapNum=1\r\n\r\n");
    test::expectFailureLeaves(target, 58,
                              [&] { writeServerIni(form, folder, "server.ini", false); });
    fs::remove(ini);
    test::expectFailureLeaves(target, errc::FileNotFound,
                              [&] { writeServerIni(form, folder, "server.ini", true); });
}

// The demo configuration over the demo game's maps, for the game folder C:\UT2003 in Windows
// form: the same bytes on every platform.
TEST(WindowsForm, TheDemoGivesTheSameBytesOnEveryPlatform) {
    SettingsForm form;
    formFromConfig(form, {QUARNEL_DEMO_CFG, test::demoInstall().string(), "C:\\Quarnel\\"});
    form.setGameFolder(test::kWindowsGameFolder);
    const auto templateLines = readTextLines(game::templateIni(test::demoInstall().string() + "/"));
    EXPECT_EQ(serverCommandLine(form, "quarnel.ini", '\\'),
              test::readFile(test::windowsDemoFile("command-line.txt")));
    EXPECT_EQ(joinTextLines(batchLines(form, "quarnel.bat", '\\')),
              test::readFile(test::windowsDemoFile("quarnel.bat")));
    EXPECT_EQ(joinTextLines(rewriteServerIni(form.settings(), templateLines)),
              test::readFile(test::windowsDemoFile("quarnel.ini")));
}

} // namespace
} // namespace quarnel
