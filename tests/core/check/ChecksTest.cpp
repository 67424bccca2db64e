#include "check/Checks.h"

#include "MachineFixture.h"
#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Codes = std::vector<std::string>;

// The settings of a first run over a copy of the demo installation: no problem at all.
struct FirstRun {
    FirstRun() : install(test::copyDemoInstall(dir)) {
        form.setGameFolder(install);
        form.applyFirstRunDefaults();
        form.gameTypeClicked(form.gameType());
        form.bringPanelsInStep();
    }
    test::TempDir dir;
    std::string install;
    SettingsForm form;
};

TEST(Checks, EachProblemIsFoundAndNamed) {
    struct Row {
        std::function<void(SettingsForm&, const fs::path&)> edit; // over the game folder
        Codes expected;
        std::vector<std::pair<Text, std::string>> texts = {};
        Codes configured = {}; // the maps a configuration names
        std::string lastText = {};
    };
    const Row rows[] = {
        {{}, {}},
        // A selected map deleted since the list was read.
        {[](SettingsForm& f, const fs::path& ut) {
             f.setMapSelected(2, true);
             fs::remove(ut / "Maps" / f.mapList().entries[2]);
         },
         {"MAP-MISSING"}},
        {{}, {"MAP-TYPE", "MAP-MISSING"}, {}, {"CTF-Foundry", "DM-Nowhere", "dm-sunken"}},
        {[](SettingsForm& f, const fs::path& ut) { f.setMapFolder(ut.string()); }, {"MAP-NONE"}},
        {[](SettingsForm&, const fs::path& ut) { fs::remove_all(ut / "Maps"); }, {"MAP-FOLDER"}},
        // Web admin on the game port + 10.
        {[](SettingsForm& f, const fs::path&) { f.setChecked(Check::WebAdmin, true); },
         {"PORT-SAME", "MUTATOR", "MUTATOR"},
         {{Text::WebAdminPort, "7787"},
          {Text::ExtraMutators, "Pkg.Good,,Bad,Pkg.Two Words,Aza_Pkg09.Zz_Mut,"}}},
        // Port= is written only for another port.
        {[](SettingsForm&, const fs::path& ut) {
             std::ofstream(ut / "System/ut2003.ini", std::ios::binary)
                 << "[Engine.GameReplicationInfo]\r\nShortName=x\r\n ServerName=indented\r\n"
                    "[IpDrv.MasterServerUplink]\r\nDoUplink=True\r\n";
         },
         Codes(20, "INI-LINE")},
        // With web admin off its port is not checked.
        {[](SettingsForm&, const fs::path& ut) { fs::remove(ut / "System/ut2003.ini"); },
         {"INI-MISSING", "RANGE", "RANGE"},
         {{Text::GamePort, "65001"}, {Text::LanTickRate, "abc"}, {Text::WebAdminPort, "0"}}},
        // Running loops: "other" holds UDP 7787-7797 and TCP 7777, "second" TCP 8080; "old"
        // has ended. Only a port of the same protocol is taken.
        {[](SettingsForm& f, const fs::path& ut) {
             const std::string web = "\r\n[UWeb.WebServer]\r\nbEnabled=True\r\nListenPort=";
             const std::string loops[][3] = {
                 {"other", "4242", "[URL]\r\nPort=7787" + web + "7777"},
                 {"second", "4343", "[URL]\r\nPort=8000" + web + "8080"},
                 {"old", "999", "[URL]\r\n"}};
             for (const auto& [name, pid, ini] : loops) { // pid file and INI file of each loop
                 std::ofstream(ut / "System" / (name + ".pid"), std::ios::binary) << pid << "\n";
                 std::ofstream(ut / "System" / (name + ".ini"), std::ios::binary) << ini;
             }
             f.setChecked(Check::WebAdmin, true);
         },
         {"PORT-LOOP", "PORT-LOOP"},
         {{Text::WebAdminPort, "8080"}},
         {},
         "Web Port: TCP port 8080 (the web admin port) is taken by the Quarnel server loop "
         "\"second\" (process 4343)"},
        // A loop whose Port= is no port uses the game's default, 7777.
        {[](SettingsForm&, const fs::path& ut) {
             std::ofstream(ut / "System/zero.pid", std::ios::binary) << "4242\n";
             std::ofstream(ut / "System/zero.ini", std::ios::binary) << "[URL]\r\nPort=0\r\n";
         },
         Codes(3, "PORT-LOOP")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.expected));
        FirstRun run;
        test::QuietMachine machine;
        machine.running = {4242, 4343};
        if (row.edit)
            row.edit(run.form, run.install);
        for (const auto& [text, value] : row.texts)
            run.form.setText(text, value);
        const auto problems = checkBeforeLaunch(run.form, machine, row.configured);
        Codes codes;
        for (const Problem& p : problems)
            codes.push_back(p.code);
        EXPECT_EQ(codes, row.expected);
        EXPECT_TRUE(row.lastText.empty() ||
                    (!problems.empty() && problems.back().text.starts_with(row.lastText)));
    }
}

TEST(Checks, PortsHeldOnThisMachineAreFoundAndNoSocketStays) {
    FirstRun run;
    LocalMachine local;
    const int port = test::freeGamePort();
    ASSERT_GT(port, 0);
    run.form.setText(Text::GamePort, std::to_string(port));
    run.form.setChecked(Check::WebAdmin, true);
    run.form.setText(Text::WebAdminPort, std::to_string(port + 20));
    {
        test::LoopbackPort query(PortProtocol::Udp, port + 1);
        test::LoopbackPort web(PortProtocol::Tcp, port + 20);
        ASSERT_TRUE(query.bound() && web.bound());
        std::string lines;
        for (const Problem& p : checkBeforeLaunch(run.form, local))
            lines += problemLine(p).substr(0, problemLine(p).find(" is ")) + "\n";
        EXPECT_EQ(lines, "PORT-BUSY Game Port: UDP port " + std::to_string(port + 1) +
                             " (the game port + 1)\nPORT-BUSY Web Port: TCP port " +
                             std::to_string(port + 20) + " (the web admin port)\n");
    }
    // The probes kept nothing: the ports are free again.
    EXPECT_TRUE(checkBeforeLaunch(run.form, local).empty());
    // Process 0 would be this process group to kill().
    EXPECT_EQ(std::tuple(local.processRunning(getpid()), local.processRunning(0),
                         local.processRunning(0x7ffffff0L)),
              std::tuple(true, false, false));
}

} // namespace
} // namespace quarnel
