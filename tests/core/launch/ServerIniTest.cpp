#include "LaunchFixture.h"
#include "WindowsForm.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "store/ConfigForm.h"

#include <array>
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

// The settings of the four value columns below. Each check box is set in a different
// combination of columns, so a key that reads the wrong box shows in some column.
void design(ServerSettings&) {}

void everything(ServerSettings& s) {
    const std::vector<std::pair<Text, std::string>> texts = {
        {Text::GamePort, "7778"},      {Text::NetSpeed, "5000"},
        {Text::LanSpeed, "15000"},     {Text::ServerName, "Frag\r\nHall #1\n"},
        {Text::ShortServerName, "FH"}, {Text::AdminName, "Boss"},
        {Text::AdminEmail, "a@b.c"},   {Text::MOTD1, "m1"},
        {Text::MOTD2, "m2"},           {Text::MOTD3, "m3"},
        {Text::MOTD4, "m4"},           {Text::AdminPassword, "pw"},
        {Text::GamePassword, "join"},  {Text::WebAdminPort, "8080"}};
    for (const auto& [text, value] : texts)
        s.texts[index(text)] = value;
    for (const Check c : {Check::WorldStatsLogging, Check::GameSpyUplink, Check::WebAdmin})
        s.checks[index(c)] = true;
}

void emptyPortAndSpeeds(ServerSettings& s) {
    for (const Text t : {Text::GamePort, Text::NetSpeed, Text::LanSpeed})
        s.texts[index(t)] = "";
    for (const Check c : {Check::LanGame, Check::GameSpyUplink, Check::ForceRespawn})
        s.checks[index(c)] = true;
}

void otherBoxes(ServerSettings& s) {
    for (const Check c : {Check::MasterServerUplink, Check::WebAdmin, Check::ForceRespawn})
        s.checks[index(c)] = true;
}

// Every key of the table in table order: the template's value, then the value written under
// each of the four settings above.
struct KeyRow {
    const char* key;
    const char* old;
    std::array<const char*, 4> written;
};
const KeyRow kKeys[] = {
    {"Port=", "7000", {"7000", "7778", "7000", "7000"}}, // the default 7777 keeps the template's
    {"ConfiguredInternetSpeed=", "2600", {"7000", "5000", "2600", "7000"}},
    {"ConfiguredLanSpeed=", "20000", {"10000", "15000", "20000", "10000"}},
    {"MaxClientRate=", "20000", {"10000", "15000", "20000", "10000"}},
    {"MaxInternetClientRate=", "10000", {"7000", "5000", "10000", "7000"}},
    {"ServerName=", "Old", {"", "FragHall #1", "", ""}},
    {"ShortName=", "Old", {"", "FH", "", ""}},
    {"AdminName=", "Old", {"", "Boss", "", ""}},
    {"AdminEmail=", "Old", {"", "a@b.c", "", ""}},
    {"MOTDLine1=", "Old", {"", "m1", "", ""}},
    {"MOTDLine2=", "Old", {"", "m2", "", ""}},
    {"MOTDLine3=", "Old", {"", "m3", "", ""}},
    {"MOTDLine4=", "Old", {"", "m4", "", ""}},
    {"bEnableStatLogging=", "True", {"False", "True", "False", "False"}},
    {"DoLANBroadcast=", "True", {"False", "False", "True", "False"}},
    {"SendStats=", "True", {"False", "True", "False", "False"}},
    {"AdminPassword=", "Old", {"", "pw", "", ""}},
    {"GamePassword=", "Old", {"", "join", "", ""}},
    {"DoUplink=", "True", {"False", "False", "False", "True"}},
    {"UplinkToGamespy=", "True", {"False", "True", "True", "False"}},
    {"bEnabled=", "True", {"False", "True", "False", "True"}},
    {"ListenPort=", "0", {"80", "8080", "80", "80"}},
    {"bForceRespawn=", "True", {"False", "False", "True", "True"}},
};

TEST(KeyTable, EveryKeyLineTakesItsValue) {
    const std::array<void (*)(ServerSettings&), 4> columns = {design, everything,
                                                              emptyPortAndSpeeds, otherBoxes};
    Lines source;
    for (const KeyRow& row : kKeys)
        source.push_back(std::string(row.key) + row.old);
    for (std::size_t column = 0; column < columns.size(); ++column) {
        ServerSettings s = ServerSettings::design();
        s.gameType = 5; // Last Man Standing has no map list: only the value lines are in play
        columns[column](s);
        Lines expected;
        for (const KeyRow& row : kKeys)
            expected.push_back(std::string(row.key) + row.written[column]);
        expected.push_back("");
        EXPECT_EQ(rewriteServerIni(s, source), expected) << "column " << column;
    }
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

// One template in, the rewritten lines out, from the deathmatch settings changed.
using Change = std::function<void(ServerSettings&)>;
TEST(RewriteServerIni, KeysAndTheMapList) {
    const Change noMaps = [](ServerSettings& s) {
        s.maps = {};
    };
    const Change bonusType = [](ServerSettings& s) {
        s.gameType = 6;
    };
    const Change noListAtAll = [](ServerSettings& s) { // every key set, a type without a list
        everything(s);
        s.gameType = 5;
    };
    const Change bombingRunNames = [](ServerSettings& s) { // every .ut2 and line break goes
        s.gameType = 0;
        s.maps.entries = {"BR-a.ut2b.ut2", "BR-Line\r\nBreak.ut2", "BR-X.UT2"};
        s.maps.selected = {true, true, true};
    };
    const std::string ctf = "[XInterface.MapListCaptureTheFlag]|Maps=CTF-X|MapNum=1|D|";
    const std::string tdm = "[XInterface.MapListTeamDeathMatch]|Maps=DM-Team";
    const std::tuple<Change, std::string, std::string> cases[] = {
        {noListAtAll, "port=7777| Port=7777|bEnabledAll=False|ServerName|Maps=DM-Old",
         "port=7777| Port=7777|bEnabledAll=False|ServerName|Maps=DM-Old|"},
        {design, "D|Maps=DM-Old1|Maps=DM-Old2|MapNum=0", "D|B|"},
        {design, ctf + "Maps=DM-Old|" + tdm, ctf + "B|" + tdm + "|"},
        {bonusType, "D|Maps=DM-Old|MapNum=1", "D|Maps=DM-Old|MapNum=1|"},
        {design, "[URL]|Port=7777", "[URL]|Port=7777||D|B"},
        {design, "D|bRandom=False", "D|bRandom=False||D|B"},
        {design, kDM + " |Maps=DM-Old", kDM + " |Maps=DM-Old||D|B"},
        {selection({false, true, true}, false), "D|MapNum=2|Maps=DM-Old", "D|MapNum=1|Maps=DM-B|"},
        {selection({false, false, false}, true), "D|Maps=DM-Old", "D|MapNum=1|Maps=DM-A|"},
        {selection({false, false, false}, false), "D|Maps=DM-Old", "D|MapNum=1|Maps=DM-A|"},
        {design, "D|Maps=DM-Old|bRandom=True|MapNum=1|maps=lower", "D|B|bRandom=True|maps=lower|"},
        {design, "D|Maps=DM-Old|[Engine.Whatever]|Maps=Keep|MapNum=7",
         "D|B|[Engine.Whatever]|Maps=Keep|MapNum=7|"},
        {design, "D|Maps=DM-Old|[Other]|D|Maps=DM-Old2", "D|B|[Other]|D|"},
        {noMaps, "D|Maps=DM-Old|MapNum=1", "D|Maps=DM-Old|MapNum=1|"},
        {noMaps, "[URL]", "[URL]|"},
        {bombingRunNames, "[XInterface.MapListBombingRun]|Maps=BR-Old",
         "[XInterface.MapListBombingRun]|MapNum=3|Maps=BR-ab|Maps=BR-LineBreak|Maps=BR-X.UT2|"}};
    for (const auto& [change, source, expected] : cases) {
        ServerSettings s = deathmatch();
        change(s);
        EXPECT_EQ(rewriteServerIni(s, lines(source)), lines(expected)) << source;
    }
}

// Templates read in blocks so small that lines, CR LF pairs and section headers straddle
// two reads, and lines longer than the reader's buffer come in pieces: every block size
// writes the same bytes.
TEST(WriteServerIni, EveryBlockSizeWritesTheSameBytes) {
    const std::string dmBlock = kDM + "\r\nMapNum=2\r\nMaps=DM-A\r\nMaps=DM-C\r\n";
    std::string headers; // a header's prefix again and again
    for (int i = 0; i < 6; ++i)
        headers += "[XInterface.MapList";
    const std::string z70(70, 'z'), nines(90, '9'), ps(90, 'p');
    const std::pair<std::string, std::string> cases[] = {
        {"", "\r\n" + dmBlock},
        {"[URL]\r\nPort=7777\r\nServerName=Old\nAdminName=x\r\n",
         "[URL]\r\nPort=7777\r\nServerName=\r\nAdminName=\r\n\r\n" + dmBlock},
        {kDM + "\r\nMaps=DM-Old\r\nbRandom=True\r\nMapNum=0",
         kDM + "\r\nMapNum=2\r\nMaps=DM-A\r\nMaps=DM-C\r\nbRandom=True\r\n\r\n"},
        {headers + "DeathMatch]\nMaps=Old\n[Next]\nMaps=Keep",
         headers +
             "DeathMatch]\r\nMapNum=2\r\nMaps=DM-A\r\nMaps=DM-C\r\n[Next]\r\nMaps=Keep\r\n\r\n"},
        {"D[XInterface.MapListeathMatch]\r\nMaps=Old\r\n",
         "D[XInterface.MapListeathMatch]\r\nMapNum=2\r\nMaps=DM-A\r\nMaps=DM-C\r\n\r\n"},
        {headers + "DeathMatch] \r\nMaps=Old\r\n" + headers + "DeathMatch",
         headers + "DeathMatch] \r\nMaps=Old\r\n" + headers + "DeathMatch\r\n\r\n" + dmBlock},
        {"ConfiguredInternetSpeed=" + nines + "\r\nport=" + ps + "\r\n",
         "ConfiguredInternetSpeed=7000\r\nport=" + ps + "\r\n\r\n" + dmBlock},
        {"a\r\r\nb\rc\r\n" + z70 + "\r", "a\r\r\nb\rc\r\n" + z70 + "\r\r\n\r\n" + dmBlock}};
    test::TempDir dir;
    const std::string target = (dir.path() / "out.ini").string();
    for (const auto& [bytes, expected] : cases) {
        const std::string source = dir.writeFile("ut2003.ini", bytes).string();
        for (const std::size_t block : {1, 2, 3, 5, 8, 24, 25, 31, 64, 64 * 1024}) {
            writeServerIni(deathmatch(), source, target, true, block);
            EXPECT_EQ(test::readFile(target), expected) << testing::PrintToString(bytes) << block;
        }
    }
}

// A Windows copy: folder and file in capitals, lines ended both ways, no final line end.
TEST(MakeGameConfig, WritesTheTemplateWithCrLfTheSameEachTimeAndFailuresLeaveTheTarget) {
    test::TempDir dir;
    dir.writeFile("Game/SYSTEM/UT2003.INI",
                  "[URL]\r\nPort=7777\nServerName=Old\r\n" + kDM + "\r\nMaps=DM-Old\r\nMapNum=1");
    for (const char* name : {"DM-A.ut2", "DM-B.ut2"})
        dir.writeFile(std::string("Game/Maps/") + name, "map");
    SettingsForm form;
    form.setGameFolder(dir.withSeparator() + "Game" + game::kNativeSeparator);
    form.selectGameType(2);
    form.setChecked(Check::MapRotation, true);
    form.setText(Text::ServerName, "New");
    form.setMapFolder((dir.path() / "Game" / "Maps").string());
    form.setMapSelected(1, true);
    const fs::path system = dir.path() / "Game" / "SYSTEM";
    for (int run = 0; run < 2; ++run) {
        writeServerIni(form, system.string() + game::kNativeSeparator, "quarnel.ini", true);
        EXPECT_EQ(test::readFile(system / "quarnel.ini"),
                  "[URL]\r\nPort=7777\r\nServerName=New\r\n" + kDM +
                      "\r\nMapNum=1\r\nMaps=DM-B\r\n\r\n");
    }
    const fs::path target = dir.writeFile("out/server.ini", "old");
    const std::string folder = target.parent_path().string() + game::kNativeSeparator;
    test::expectFailureLeaves(target, 58,
                              [&] { writeServerIni(form, folder, "server.ini", false); });
    fs::remove(system / "UT2003.INI");
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
