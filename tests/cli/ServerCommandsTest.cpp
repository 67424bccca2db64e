#include "CliRun.h"
#include "StandInGame.h"
#include "launch/LaunchFiles.h"
#include "store/ConfigFile.h"
#include "store/ConfigForm.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::eventually;
using test::readFile;
using test::StandInGame;
using Result = test::CliResult;

const std::string kCfg = QUARNEL_DEMO_CFG;

// The restart loop's commands of quarnel-cli, run as a process over games whose server is
// the stand-in. The guard ends every process a test started before its folder goes.
class ServerCommandsTest : public ::testing::Test {
protected:
    Result cli(const std::vector<std::string>& args, const std::string& prefix = {}) {
        return test::runCli(dir, args, prefix);
    }
    test::TempDir dir;
    test::ProcessGuard guard;
};

// Every character a shell or systemd reads specially, and 8-bit bytes, in the typed texts and
// the game's path.
TEST_F(ServerCommandsTest, TypedTextsAndTheGamePathReachTheServerUnchanged) {
    const std::string special = "$HOME `id` $(id) \\ ! * ? ; & | < > \t 'q' \"d\" %s \xe9\xff";
    const StandInGame game(dir, "UT " + special);
    game.plan({"wait"});
    SettingsForm typed;
    formFromConfig(typed, {kCfg, game.gameFolder, "/"});
    for (Text field : {Text::AdminPassword, Text::ExtraMutators, Text::ExtraCommandLine})
        typed.setText(field, "x " + special);
    const std::string cfg = (dir.path() / "server.cfg").string();
    writeConfigFile(typed, cfg, true);
    ASSERT_EQ(cli({"launch", cfg, "--game-dir", game.gameFolder}).exit, 0);
    ASSERT_TRUE(eventually([&] { return game.runs() == 1; }));
    const StandInGame::Run run = *game.run(1);
    SettingsForm form;
    formFromConfig(form, {cfg, game.gameFolder, "/"});
    std::vector<std::string> args = serverArguments(form, "quarnel.ini");
    args.push_back("-nohomedir");
    // Not ignoring SIGINT, so that a SIGINT passed on reaches it.
    EXPECT_EQ(std::tuple(run.cwd + "/", run.sigintIgnored, run.args),
              std::tuple(game.system, false, args));
    EXPECT_TRUE(run.ini == readFile(game.system + "quarnel.ini"));
    EXPECT_NE(run.args.at(1).find("?x " + special), std::string::npos) << run.args.at(1);
}

TEST_F(ServerCommandsTest, TheLoopKeepsTheCrashLogRestartsAndStopsOnRequestOnly) {
    const StandInGame game(dir);
    game.plan({"3", "wait"});
    const std::string& system = game.system;
    const Result launched = cli({"launch", kCfg, "--game-dir", game.gameFolder});
    const std::string pid = readFile(system + "quarnel.pid"); // with its newline
    EXPECT_EQ(launched, (Result{0,
                                "pid " + pid + "log " + system + "quarnel.log\noutput " + system +
                                    "quarnel.out\n",
                                ""}));
    // The first run ended: its log is the crash log, and the server runs again.
    ASSERT_TRUE(eventually([&] { return game.runs() == 2; }));
    EXPECT_EQ(readFile(system + "quarnelcrash.log"), "stand-in log of run 1\n");
    const std::string script = system + "quarnel.sh";
    EXPECT_EQ(cli({"status", "--game-dir", game.gameFolder}),
              (Result{0, script + ": running, pid " + pid, ""}));
    EXPECT_EQ(cli({"launch", kCfg, "--game-dir", game.gameFolder}),
              (Result{1, "",
                      "quarnel-cli: " + system + "quarnel.pid: quarnel.sh already runs (pid " +
                          pid.substr(0, pid.size() - 1) + ")\n"}));
    // A stop is not a crash: the server gets the signal, and nothing starts again.
    EXPECT_EQ(cli({"stop", "--game-dir", game.gameFolder}),
              (Result{0, script + ": stopped pid " + pid, ""}));
    EXPECT_EQ(game.signalOf(2), SIGTERM);
    EXPECT_FALSE(fs::exists(system + "quarnel.pid"));
    EXPECT_EQ(readFile(system + "quarnelcrash.log"), "stand-in log of run 2\n");
    EXPECT_EQ(cli({"status", "--game-dir", game.gameFolder}),
              (Result{3, script + ": not running\n", ""}));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(game.runs(), 2);
}

// Also with --foreground in the background of a script, which starts it with SIGINT ignored.
TEST_F(ServerCommandsTest, SigintAndSighupArePassedToTheServerAndEndTheLoop) {
    for (const auto& [signal, foreground] :
         {std::pair{SIGINT, false}, {SIGHUP, false}, {SIGINT, true}}) {
        const StandInGame game(dir, std::to_string(signal) + (foreground ? "fg" : ""));
        game.plan({"wait"});
        const std::string pidFile = game.system + "quarnel.pid";
        ASSERT_EQ(std::system((quoteForSh(QUARNEL_CLI) + " launch " + quoteForSh(kCfg) +
                               " --game-dir " + quoteForSh(game.gameFolder) +
                               (foreground ? " --foreground" : "") + " >/dev/null 2>&1 &")
                                  .c_str()),
                  0);
        ASSERT_TRUE(eventually([&] { return game.runs() == 1 && fs::exists(pidFile); }));
        kill(std::stoi(readFile(pidFile)), signal);
        EXPECT_TRUE(eventually([&] { return !fs::exists(pidFile); })) << signal;
        EXPECT_EQ(game.signalOf(1), signal);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_EQ(game.runs(), 1) << signal;
    }
}

TEST_F(ServerCommandsTest, FiveQuickExitsInARowEndTheLoopWithTheReason) {
    const StandInGame game(dir);
    game.plan({"1", "2", "1", "2", "7", "wait"});
    const std::string message =
        "quarnel.sh: the server ended within 10 seconds of its start 5 times in a row (last exit "
        "status 7); it is not started again. A map that does not load or a port in use are the "
        "usual causes; the last log of the server is quarnelcrash.log.\n";
    EXPECT_EQ(cli({"launch", kCfg, "--foreground", "--game-dir", game.gameFolder}),
              (Result{1, "", message}));
    EXPECT_EQ(game.runs(), 5);
    EXPECT_EQ(readFile(game.system + "quarnelcrash.log"), "stand-in log of run 5\n" + message);
    EXPECT_FALSE(fs::exists(game.system + "quarnel.pid"));
}

// A pid file naming a process that is not the loop, one that has ended, or no process at all.
TEST_F(ServerCommandsTest, AStalePidFileIsRemovedAndNeverSignalled) {
    const StandInGame game(dir);
    const std::string pidFile = game.system + "quarnel.pid";
    const pid_t other = fork();
    if (other == 0) {
        execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    const pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    waitpid(ended, nullptr, 0);
    for (const std::string& pid :
         {std::to_string(other), std::to_string(ended), std::string("x")}) {
        std::ofstream(pidFile) << pid << "\n";
        EXPECT_EQ(cli({"stop", "--game-dir", game.gameFolder}),
                  (Result{3, game.system + "quarnel.sh: not running\n", ""}))
            << pid;
        EXPECT_FALSE(fs::exists(pidFile));
    }
    EXPECT_EQ(waitpid(other, nullptr, WNOHANG), 0) << "the other process was signalled";
}

// The files are written; nothing runs.
TEST_F(ServerCommandsTest, AGameWithOnlyUccExeAndNoWineStartsNothing) {
    const StandInGame game(dir, "UT2003", false);
    EXPECT_EQ(cli({"launch", kCfg, "--game-dir", game.gameFolder},
                  "PATH=" + quoteForSh(dir.makeFolder("empty").string()) + " "),
              (Result{1, "",
                      "quarnel-cli: The server cannot be started: " + game.system +
                          " holds no ucc-bin (the Linux server), and its ucc.exe needs wine, "
                          "which is not on the PATH. Install wine or the game's Linux server.\n"}));
    EXPECT_TRUE(fs::is_regular_file(game.system + "quarnel.sh"));
    EXPECT_FALSE(fs::exists(game.system + "quarnel.pid") ||
                 fs::exists(game.system + "quarnel.out"));
}

} // namespace
} // namespace quarnel
