#include "LaunchFixture.h"
#include "WindowsForm.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "store/ConfigForm.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kDM = "[XInterface.MapListDeathMatch]";

// Deathmatch, rotation on, DM-A and DM-C selected of DM-A, DM-B, DM-C.
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

// One control changed alone, and the lines that then differ: a key reading the wrong control
// shows. (The demo's bytes below have the other names and passwords.)
TEST(KeyTable, EachKeyLineTakesItsOwnControl) {
    using T = Text;
    // A text and its value, or a box ticked; the lines written.
    const std::tuple<T, std::string, std::optional<Check>, std::string> cases[] = {
        {T::GamePort, "7777", {}, ""}, // the default keeps the template's
        {T::GamePort, "", {}, ""},
        {T::GamePort, "7778", {}, "Port=7778"},
        {T::NetSpeed, "5000", {}, "ConfiguredInternetSpeed=5000|MaxInternetClientRate=5000"},
        {T::NetSpeed, "", {}, "ConfiguredInternetSpeed=2600|MaxInternetClientRate=10000"},
        {T::LanSpeed, "15000", {}, "ConfiguredLanSpeed=15000|MaxClientRate=15000"},
        {T::LanSpeed, "", {}, "ConfiguredLanSpeed=20000|MaxClientRate=20000"},
        {T::ServerName, "Frag\r\nHall #1\n", {}, "ServerName=FragHall #1"},
        {T::MOTD1, "m1", {}, "MOTDLine1=m1"},
        {T::MOTD2, "m2", {}, "MOTDLine2=m2"},
        {T::MOTD3, "m3", {}, "MOTDLine3=m3"},
        {T::MOTD4, "m4", {}, "MOTDLine4=m4"},
        {T::GamePassword, "join", {}, "GamePassword=join"},
        {T::WebAdminPort, "8080", {}, "ListenPort=8080"},
        {T::GamePort, "", Check::WorldStatsLogging, "bEnableStatLogging=True|SendStats=True"},
        {T::GamePort, "", Check::LanGame, "DoLANBroadcast=True"},
        {T::GamePort, "", Check::MasterServerUplink, "DoUplink=True"},
        {T::GamePort, "", Check::GameSpyUplink, "UplinkToGamespy=True"},
        {T::GamePort, "", Check::WebAdmin, "bEnabled=True"},
        {T::GamePort, "", Check::ForceRespawn, "bForceRespawn=True"},
    };
    for (const auto& [text, value, box, written] : cases) {
        ServerSettings s = ServerSettings::design();
        s.gameType = 5;
        s.texts[index(text)] = value;
        if (box)
            s.checks[index(*box)] = true;
        Lines expected = lines(kDesignKeys);
        for (const std::string& line : written.empty() ? Lines() : lines(written))
            for (std::string& old : expected)
                if (old.starts_with(line.substr(0, line.find('=') + 1)))
                    old = line;
        expected.push_back("");
        EXPECT_EQ(rewriteServerIni(s, lines(kOldKeys)), expected) << written;
    }
}

// A template (lines as for lines(), CR LF) rewritten as lines and streamed in blocks so small
// that lines, CR LF pairs and headers straddle reads: every way writes the same bytes.
TEST(RewriteServerIni, KeysAndTheMapListInLinesAndInEveryBlockSize) {
    const std::string ctf = "[XInterface.MapListCaptureTheFlag]|Maps=CTF-X|MapNum=1|D|";
    const std::string tdm = "[XInterface.MapListTeamDeathMatch]|Maps=DM-Team";
    // A header's prefix again and again.
    const std::string headers = replaceAll(std::string(6, '#'), "#", "[XInterface.MapList");
    const std::string z70(70, 'z'), ps(90, 'p');
    const std::tuple<Change, std::string, std::string> cases[] = {
        // A port and a type without a list: only exact keys at a line's start are replaced.
        {[](ServerSettings& s) {
             s.gameType = 5;
             s.texts[index(Text::GamePort)] = "7778";
         },
         "port=7777| Port=7777|bEnabledAll=False|ServerName|Maps=DM-Old",
         "port=7777| Port=7777|bEnabledAll=False|ServerName|Maps=DM-Old|"},
        {nullptr, "", "|D|B"},
        {nullptr, "[URL]|Port=7777|ServerName=Old\nAdminName=x|",
         "[URL]|Port=7777|ServerName=|AdminName=||D|B"},
        {nullptr, "Maps=DM-Top|D|Maps=DM-Old", "Maps=DM-Top|D|B|"}, // before any header
        {nullptr, ctf + "Maps=DM-Old|" + tdm, ctf + "B|" + tdm + "|"},
        {[](ServerSettings& s) { s.gameType = 6; }, "D|Maps=DM-Old|MapNum=1",
         "D|Maps=DM-Old|MapNum=1|"},
        {nullptr, "D|bRandom=False", "D|bRandom=False||D|B"},
        {selection({false, true, true}, false), "D|MapNum=2|Maps=DM-Old", "D|MapNum=1|Maps=DM-B|"},
        {selection({false, false, false}, true), "D|Maps=DM-Old", "D|MapNum=1|Maps=DM-A|"},
        {selection({false, false, false}, false), "D|Maps=DM-Old", "D|MapNum=1|Maps=DM-A|"},
        {nullptr, "D|Maps=DM-Old|bRandom=True|MapNum=1|maps=lower", "D|B|bRandom=True|maps=lower|"},
        {nullptr, "D|Maps=DM-Old|[Other]|D|Maps=DM-Old2", "D|B|[Other]|D|"},
        {nullptr, "D|Maps=DM-Old|[|Maps=Keep", "D|B|[|Maps=Keep|"}, // a lone '[' ends the list
        {[](ServerSettings& s) { s.maps = {}; }, "D|Maps=DM-Old|MapNum=1",
         "D|Maps=DM-Old|MapNum=1|"},
        {[](ServerSettings& s) { s.maps = {}; }, "[URL]", "[URL]|"},
        // Every .ut2 and line break goes from a map's name.
        {[](ServerSettings& s) {
             s.gameType = 0;
             s.maps.entries = {"BR-a.ut2b.ut2", "BR-Line\r\nBreak.ut2", "BR-X.UT2"};
             s.maps.selected = {true, true, true};
         },
         "[XInterface.MapListBombingRun]|Maps=BR-Old",
         "[XInterface.MapListBombingRun]|MapNum=3|Maps=BR-ab|Maps=BR-LineBreak|Maps=BR-X.UT2|"},
        {nullptr, headers + "DeathMatch]\nMaps=Old\n[Next]\nMaps=Keep",
         headers + "DeathMatch]|B|[Next]|Maps=Keep|"},
        {nullptr, "D[XInterface.MapListeathMatch]|Maps=Old|", "D[XInterface.MapListeathMatch]|B|"},
        {nullptr, headers + "DeathMatch] |Maps=Old|" + headers + "DeathMatch",
         headers + "DeathMatch] |Maps=Old|" + headers + "DeathMatch||D|B"},
        {nullptr, "ConfiguredInternetSpeed=" + std::string(90, '9') + "|port=" + ps + "|",
         "ConfiguredInternetSpeed=7000|port=" + ps + "||D|B"},
        {nullptr, "a\r|b\rc|" + z70 + "\r", "a\r|b\rc|" + z70 + "\r||D|B"}};
    test::TempDir dir;
    const std::string target = (dir.path() / "out.ini").string();
    for (const auto& [change, source, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(source));
        ServerSettings s = deathmatch();
        if (change)
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

// Both files in the System folder as spelled on disk with CR LF lines and no file left beside,
// the template in capitals with lines ended both ways and no final line end. A refused
// overwrite, or a missing template, leaves the old file.
TEST(LaunchFiles, AreWrittenWithCrLfAndFailuresLeaveThem) {
    test::TempDir dir;
    const std::string gameFolder = test::copyDemoInstall(dir);
    const std::string system =
        gameFolder + test::spelled("system", "System") + game::kNativeSeparator;
    fs::remove(system + "ut2003.ini");
    std::ofstream(system + "UT2003.INI", std::ios::binary)
        << "[URL]\r\nPort=7777\nServerName=Old\r\n" + kDM + "\r\nMapNum=1";
    test::ExampleForm example(gameFolder);
    auto names = test::namesIn(system);
    names.insert({"quarnel.bat", "quarnel.ini"});
    writeBatchFile(example.form, system, "quarnel.bat", true);
    writeServerIni(example.form, system, "quarnel.ini", true);
    EXPECT_EQ(test::readFile(system + "quarnel.bat"),
              "@echo off\r\n:10\r\n" + system + "ucc.exe" + test::kExampleArguments + "\r\ncopy " +
                  system + "quarnel.log " + system + "quarnelcrash.log\r\ngoto 10\r\n");
    EXPECT_EQ(test::readFile(system + "quarnel.ini"),
              "[URL]\r\nPort=7777\r\nServerName=\r\n" + kDM +
                  "\r\nMapNum=1\r\nMaps=DM-Example\r\n\r\n");
    EXPECT_EQ(test::namesIn(system), names);
    example.form.setText(Text::AdminName, "changed");
    test::expectFailureLeaves(system + "quarnel.bat", 58,
                              [&] { writeBatchFile(example.form, system, "quarnel.bat", false); });
    test::expectFailureLeaves(system + "quarnel.ini", 58,
                              [&] { writeServerIni(example.form, system, "quarnel.ini", false); });
    fs::remove(system + "UT2003.INI");
    test::expectFailureLeaves(system + "quarnel.ini", errc::FileNotFound,
                              [&] { writeServerIni(example.form, system, "quarnel.ini", true); });
}

// The demo configuration over the demo game's maps, for the game folder C:\UT2003 in Windows
// form: the same bytes on every platform.
TEST(WindowsForm, TheDemoGivesTheSameBytesOnEveryPlatform) {
    SettingsForm form;
    formFromConfig(form, {QUARNEL_DEMO_CFG, test::demoInstall().string(), "C:\\Quarnel\\"});
    form.setGameFolder(test::kWindowsGameFolder);
    const auto templateLines = readTextLines(game::templateIni(test::demoInstall().string() + "/"));
    const std::pair<std::string, const char*> files[] = {
        {serverCommandLine(form, "quarnel.ini", '\\'), "command-line.txt"},
        {joinTextLines(batchLines(form, "quarnel.bat", '\\')), "quarnel.bat"},
        {joinTextLines(rewriteServerIni(form.settings(), templateLines)), "quarnel.ini"}};
    for (const auto& [made, file] : files)
        EXPECT_EQ(made, test::readFile(test::windowsDemoFile(file))) << file;
}

} // namespace
} // namespace quarnel
