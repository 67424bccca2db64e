#include "check/Checks.h"

#include "MachineFixture.h"
#include "TempDir.h"
#include "check/RunningLoops.h"
#include "common/Text.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace quarnel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> codes(const std::vector<Problem>& problems) {
    std::vector<std::string> out;
    for (const Problem& p : problems)
        out.push_back(p.code);
    return out;
}

// Every file below folder with its time of last change.
std::map<fs::path, fs::file_time_type> filesBelow(const fs::path& folder) {
    std::map<fs::path, fs::file_time_type> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[entry.path()] = entry.last_write_time();
    return files;
}

// The settings of a first run over a copy of the demo installation: no problem at all.
void firstRun(SettingsForm& form, const std::string& install) {
    form.setGameFolder(install);
    form.applyFirstRunDefaults();
    form.gameTypeClicked(form.gameType());
    form.bringPanelsInStep();
}

class ChecksTest : public ::testing::Test {
protected:
    ChecksTest() : install(test::copyDemoInstall(dir)) { firstRun(form, install); }
    std::vector<Problem> check() { return checkBeforeLaunch(form, machine); }

    test::TempDir dir;
    std::string install;
    SettingsForm form;
    test::QuietMachine machine;
};

TEST_F(ChecksTest, EachProblemIsFoundAndNamed) {
    struct Row {
        const char* what;
        std::function<void(SettingsForm&, const test::TempDir&)> edit;
        std::vector<std::string> expected;
        std::vector<std::string> configured = {}; // the maps a configuration names
    };
    const Row rows[] = {
        {"nothing wrong", [](SettingsForm&, const test::TempDir&) {}, {}},
        {"a selected map deleted since the list was read",
         [](SettingsForm& f, const test::TempDir& d) {
             f.setMapSelected(2, true);
             fs::remove(d.path() / "UT2003" / "Maps" / f.mapList().entries[2]);
         },
         {"MAP-MISSING"}},
        {"maps a configuration named",
         [](SettingsForm&, const test::TempDir&) {},
         {"MAP-TYPE", "MAP-MISSING"},
         {"CTF-Foundry", "DM-Nowhere", "dm-sunken"}},
        {"no map for the game type",
         [](SettingsForm& f, const test::TempDir& d) {
             fs::remove_all(d.path() / "UT2003" / "Maps");
             d.makeFolder("UT2003/Maps");
             f.gameTypeClicked(2);
         },
         {"MAP-NONE"}},
        {"no Maps folder",
         [](SettingsForm&, const test::TempDir& d) {
             fs::remove_all(d.path() / "UT2003" / "Maps");
         },
         {"MAP-FOLDER"}},
        {"web admin on the game port + 10, extra mutators",
         [](SettingsForm& f, const test::TempDir&) {
             f.setChecked(Check::WebAdmin, true);
             f.setText(Text::WebAdminPort, "7787");
             f.setText(Text::ExtraMutators, "Pkg.Good,,Bad,Pkg.Two Words,Aza_Pkg09.Zz_Mut,");
         },
         {"PORT-SAME", "MUTATOR", "MUTATOR"}},
        {"lines the template lacks",
         [](SettingsForm&, const test::TempDir& d) {
             d.writeFile("UT2003/System/ut2003.ini",
                         "[Engine.GameReplicationInfo]\r\nShortName=x\r\n ServerName=indented\r\n"
                         "[IpDrv.MasterServerUplink]\r\nDoUplink=True\r\n");
         },
         std::vector<std::string>(20, "INI-LINE")}, // Port= is written only for another port
        {"no template, numbers out of range",
         [](SettingsForm& f, const test::TempDir& d) {
             fs::remove(d.path() / "UT2003" / "System" / "ut2003.ini");
             f.setText(Text::GamePort, "65001");
             f.setText(Text::LanTickRate, "abc");
             f.setText(Text::WebAdminPort, "0"); // web admin off: not checked
         },
         {"INI-MISSING", "RANGE", "RANGE"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test::TempDir fresh;
        SettingsForm f;
        firstRun(f, test::copyDemoInstall(fresh));
        row.edit(f, fresh);
        EXPECT_EQ(codes(checkBeforeLaunch(f, machine, row.configured)), row.expected);
    }
}

TEST_F(ChecksTest, PortsHeldOnThisMachineAreFoundAndNoSocketStays) {
    LocalMachine local;
    const int port = test::freeGamePort();
    ASSERT_GT(port, 0);
    form.setText(Text::GamePort, std::to_string(port));
    form.setChecked(Check::WebAdmin, true);
    form.setText(Text::WebAdminPort, std::to_string(port + 20));
    const auto before = filesBelow(dir.path());
    {
        test::LoopbackPort query(PortProtocol::Udp, port + 1);
        test::LoopbackPort web(PortProtocol::Tcp, port + 20);
        ASSERT_TRUE(query.bound() && web.bound());
        const auto problems = checkBeforeLaunch(form, local);
        ASSERT_EQ(codes(problems), (std::vector<std::string>{"PORT-BUSY", "PORT-BUSY"}));
        EXPECT_NE(
            problems[0].text.find("UDP port " + std::to_string(port + 1) + " (the game port + 1)"),
            std::string::npos);
        EXPECT_NE(problems[1].text.find("TCP port " + std::to_string(port + 20)),
                  std::string::npos);
    }
    // The probes kept nothing: the ports are free again, and no file changed.
    EXPECT_TRUE(checkBeforeLaunch(form, local).empty());
    EXPECT_EQ(filesBelow(dir.path()), before);
    EXPECT_TRUE(local.processRunning(getpid()));
    EXPECT_FALSE(local.processRunning(0x7ffffff0L));
}

TEST_F(ChecksTest, AnotherRunningLoopsPortsAreTaken) {
    dir.writeFile("UT2003/System/other.pid", "4242\n");
    dir.writeFile("UT2003/System/other.ini", "[URL]\r\nPort=7787\r\n[UWeb.WebServer]\r\n"
                                             "bEnabled=True\r\nListenPort=8080\r\n");
    dir.writeFile("UT2003/System/second.pid", "4343\n");
    dir.writeFile("UT2003/System/second.ini", "[URL]\r\nPort=7777\r\n");
    form.setChecked(Check::WebAdmin, true);
    form.setText(Text::WebAdminPort, "8080");
    EXPECT_TRUE(check().empty()); // neither loop runs
    machine.running = {4242, 4343};
    const auto problems = check();
    // other's game port 7787 is this one's game port + 10, its web port this one's; second
    // holds all three game ports.
    EXPECT_EQ(codes(problems), std::vector<std::string>(4, "PORT-LOOP"));
    EXPECT_NE(problems[3].text.find("Web Port: TCP port 8080 (the web admin port) is taken by "
                                    "the Quarnel server loop \"other\" (process 4242)"),
              std::string::npos);
}

} // namespace
} // namespace quarnel
