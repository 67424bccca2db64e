#include "launch/RestartScript.h"

#include "LaunchFixture.h"
#include "StandInGame.h"
#include "launch/ServerLoops.h"
#include "launch/SystemdUnit.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace quarnel {
namespace {

namespace fs = std::filesystem;

TEST(RestartScript, RunsTheLinuxServerElseWineInTheSystemFolder) {
    test::TempDir dir;
    dir.writeFile("UT 'q'/System/UCC.exe", "");
    test::ExampleForm example(dir.withSeparator() + "UT 'q'/");
    const std::string system = dir.withSeparator() + "UT '\\''q'\\''/System/";
    const std::string script = restartScript(example.form, "my.bat");
    EXPECT_NE(script.find("\ncrashlog='" + system + "mycrash.log'\n"), std::string::npos);
    // ucc.exe and ucc-bin as they are spelled on disk.
    EXPECT_NE(script.find("\n    $reset 'wine' './UCC.exe' 'server' '"), std::string::npos);
    dir.writeFile("UT 'q'/System/UCC-BIN", "");
    EXPECT_NE(restartScript(example.form, "my.bat").find("\n    $reset './UCC-BIN' 'server' '"),
              std::string::npos);
}

TEST(SystemdUnit, PassesSystemdsOwnCheck) {
    test::TempDir dir;
    const fs::path runtime = dir.makeFolder("runtime");
    fs::permissions(runtime, fs::perms::owner_all);
    // A plain folder, and one with the characters systemd treats specially (scripts/test.sh
    // installs systemd-analyze); systemd accepts a unit only when the server it names exists.
    for (const std::string game :
         {"UT", "UT $x 'q' 100% \\ \" `id` ; & | < > ! * ? \xc3\xa9 \xef\xbc\xa1"}) {
        SCOPED_TRACE(game);
        fs::permissions(dir.writeFile(game + "/System/ucc-bin", ""), fs::perms::owner_all);
        test::ExampleForm example(dir.withSeparator() + game + "/");
        example.form.setText(Text::AdminPassword, "$HOME 100% \"x\" \\ \xe9\t\x7f");
        const std::string unit = systemdUnit(example.form, "quarnel.ini", "/usr/bin/wine");
        std::ofstream(dir.path() / "q.service", std::ios::binary) << unit;
        const std::string verify = "XDG_RUNTIME_DIR='" + runtime.string() +
                                   "' systemd-analyze verify --user '" + dir.path().string() +
                                   "/q.service' >'" + dir.path().string() + "/verify' 2>&1";
        EXPECT_EQ(std::system(verify.c_str()), 0) << test::readFile(dir.path() / "verify") << unit;
        // Each word quoted: "\\" and '"' escaped, "%" and "$" doubled, other bytes as \xNN.
        EXPECT_NE(unit.find("?AdminPassword=$$HOME 100%% \\\"x\\\" \\\\ \\xe9\\x09\\x7f?"),
                  std::string::npos);
        EXPECT_NE(unit.find("\nRestart=on-failure\n"), std::string::npos);
        const std::string system = dir.withSeparator() + "UT/System";
        EXPECT_TRUE(game != "UT" ||
                    unit.find("\nWorkingDirectory=" + system + "\nExecStart=\"" + system +
                              "/ucc-bin\" \"server\" \"DM-Example?") != std::string::npos);
    }
}

// A loop that ended on SIGTERM but whose parent (a terminal, say) has not collected it yet is
// gone: stop() does not wait out its timeout. The stand-in runs as "z.sh" in the System folder;
// another process there, which y.pid names, is no loop.
TEST(ServerLoops, StopTakesAnEndedUncollectedLoopForGone) {
    test::TempDir dir;
    const test::ProcessGuard guard;
    const LoopFiles files{dir.makeFolder("System").string() + "/", "z.bat"};
    setenv("QUARNEL_STANDIN_DIR", files.system.c_str(), 1);
    std::system(("cd '" + files.system +
                 "' && { '" QUARNEL_STANDIN "' z.sh & echo $! >z.pid; exec sleep 60; } &")
                    .c_str());
    ASSERT_TRUE(test::eventually(
        [&] { return fs::exists(files.system + "run1") && fs::exists(files.pidFile()); }));
    const int pid = std::stoi(test::readFile(files.pidFile()));
    const LoopFiles other{files.system, "y.bat"};
    std::system(("cd '" + files.system + "' && sh -c 'echo $$ >y.pid; exec sleep 60' &").c_str());
    ASSERT_TRUE(test::eventually([&] { return test::readFile(other.pidFile()).ends_with('\n'); }));
    const auto loops = makePosixServerLoops();
    EXPECT_EQ(std::pair(loops->running(files), loops->running(other)),
              std::pair(std::optional<int>(pid), std::optional<int>()));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(loops->stop(files, std::chrono::seconds(5)), pid);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(test::readFile(files.system + "run1.signal"), "15\n");
}

} // namespace
} // namespace quarnel
