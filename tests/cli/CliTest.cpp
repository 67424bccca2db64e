#include "CliRun.h"
#include "MachineFixture.h"
#include "StandInGame.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "store/ConfigFile.h"
#include "store/ConfigForm.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;
using Result = test::CliResult;

Result fails(const std::string& why) {
    return Result{1, "", "quarnel-cli: " + why + "\n"};
}

SettingsForm formOf(const std::string& cfg, const std::string& game,
                    std::vector<ConfigOverride> overrides = {}) {
    SettingsForm form;
    formFromConfig(form, {cfg, game, "/", std::move(overrides)});
    return form;
}

// quarnel-cli run in dir over a stand-in game; the guard ends every process before dir goes.
struct CliTest : ::testing::Test {
    Result cli(const std::vector<std::string>& args, const std::string& prefix = {}) {
        return test::runCli(dir, args, "cd " + quoteForSh(dir.path().string()) + " && " + prefix);
    }
    // A copy of the demo configuration with lines replaced (by number from 0) or added (-1).
    std::string cfgWith(const char* name, const std::vector<std::pair<int, std::string>>& edits) {
        std::vector<std::string> lines = readTextLines(cfg);
        for (const auto& [n, line] : edits)
            (n < 0 ? lines.emplace_back() : lines.at(static_cast<std::size_t>(n))) = line;
        writeTextFile((dir.path() / name).string(), lines, true);
        return (dir.path() / name).string();
    }

    test::TempDir dir;
    test::ProcessGuard guard;
    const test::StandInGame game{dir};
    const std::string& system = game.system;
    const std::string& g = game.gameFolder;
    const std::string cfg = QUARNEL_DEMO_CFG;
};

// make writes three files, the password's for their owner alone; launch --no-start starts none.
TEST_F(CliTest, MakeAndLaunchWithoutStartingWriteTheFiles) {
    const std::string out = dir.makeFolder("out").string() + "/";
    EXPECT_EQ(cli({"make", cfg, out + "My Server.INI", "--game-dir", g}), Result{});
    EXPECT_EQ(test::namesIn(out),
              (std::set<std::string>{"My Server.INI", "My Server.bat", "My Server.sh"}));
    for (const char* name : {"My Server.INI", "My Server.bat"})
        EXPECT_EQ(fs::status(out + name).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(cli({"launch", cfg, "--no-start", "--game-dir", g}), Result{});
    EXPECT_TRUE(fs::is_regular_file(system + "quarnel.sh") &&
                fs::is_regular_file(system + "quarnel.ini"));
    EXPECT_EQ(game.runs(), 0);
}

// Every command that writes nothing: its output and exit status, and the System folder kept.
TEST_F(CliTest, PrintingCommandsFailuresAndBadUsage) {
    const Result help = cli({"--help"});
    EXPECT_EQ(std::tuple(help.exit, help.err, help.out.substr(0, 51)),
              std::tuple(0, "", "Usage:\n  quarnel-cli command-line CONFIG.cfg [--ini"));
    const auto usage = [&](const std::string& why) {
        return Result{2, "", "quarnel-cli: " + why + "\n" + help.out};
    };
    const auto line = [&](const std::string& ini, std::vector<ConfigOverride> overrides = {}) {
        return Result{0, serverCommandLine(formOf(cfg, g, std::move(overrides)), ini) + "\n", ""};
    };
    const std::string speed = cfgWith("speed.cfg", {{10, "GameSpeed=49"}});
    const std::string odd = cfgWith("odd.cfg", {{-1, "Map3=CTF-Nowhere"}});
    const std::string other = cfgWith("other.cfg", {{27, "ServerName=Beta"}, {23, "UseBots=0"}});
    const std::string missing = (dir.path() / "missing.cfg").string();
    const std::string noGame = dir.makeFolder("nogame").string();
    const std::string port = "GamePort=" + std::to_string(test::freeGamePort());
    const std::vector<std::pair<std::vector<std::string>, Result>> cases = {
        {{"--version"}, {0, "quarnel-cli 1.0.0\n", ""}},
        // The game folder named relative to the current one.
        {{"command-line", "--ini=x y.ini", cfg, "--game-dir", "UT2003"}, line("x y.ini")},
        // The last --set of a key wins, whatever its case.
        {{"command-line", cfg, "--game-dir", g, "--ini", "o.ini", "--set", "GamePort=7779", "--set",
          "gameport=7778", "--set=AdminName=Ann"},
         line("o.ini", {{"GamePort", "7778"}, {"AdminName", "Ann"}})},
        {{"check", cfg, "--game-dir", g, "--set", port}, {}},
        {{"check", cfg, "--game-dir", g, "--set", port, "--set", "Mutators=Bad Mutator"},
         {1,
          "MUTATOR Extra Mutators: \"Bad Mutator\" is not of the form Package.Class; write "
          "each extra mutator as Package.Class, separated by commas, without blanks.\n",
          ""}},
        {{"diff", cfg, cfg}, {}},
        // Settings only, maps only; after "--" every word is a file.
        {{"diff", cfg, "--", other},
         {1, "Use Bots: on vs off\nServer Name: \"Quarnel Demo CTF\" vs \"Beta\"\n", ""}},
        {{"diff", odd, cfg},
         {1, "Maps: \"CTF-Foundry, CTF-Harbor, CTF-Nowhere\" vs \"CTF-Foundry, CTF-Harbor\"\n",
          ""}},
        {{"diff", cfg, missing}, {2, "", fails(missing + ": File not found (error 53)").err}},
        {{"launch", speed, "--no-start", "--game-dir", g},
         fails(speed + ": line 11 (GameSpeed): Invalid property value (error 380)")},
        {{"launch", cfg, "--no-start", "--game-dir", noGame},
         fails(game::templateIni(noGame + "/") + ": File not found (error 53)")},
        {{"make", cfg, system + "UT2003.INI", "--game-dir", g},
         fails(system + "UT2003.INI: You cannot overwrite built-in .INI files")},
        {{"launch", cfg, "--no-start", "--game-dir", g, "--set", "Bogus=1"},
         fails("--set Bogus=1: no such setting in a configuration file (error 380)")},
        {{"launch", cfg, "--no-start", "--game-dir", g, "--set", "UseBots=yes"},
         fails("--set UseBots=yes: Type mismatch (error 13)")},
        {{}, usage("no command given")},
        {{"bogus"}, usage("unknown command bogus")},
        {{"--version", "extra"}, usage("unknown command --version")},
        {{"command-line"}, usage("wrong number of arguments for command-line")},
        {{"command-line", cfg, "--ini"}, usage("--ini needs a value")},
        {{"command-line", cfg, "--ini="}, usage("--ini needs a value")},
        {{"command-line", cfg, "--no-start"}, usage("unknown option --no-start")},
        {{"command-line", cfg, "--set", "NoEquals"}, usage("--set needs KEY=VALUE, not NoEquals")},
        {{"command-line", cfg, "--set", "=1"}, usage("--set needs KEY=VALUE, not =1")},
    };
    const auto before = test::namesIn(system);
    for (const auto& [args, expected] : cases)
        EXPECT_EQ(cli(args), expected) << testing::PrintToString(args);
    EXPECT_EQ(test::namesIn(system), before);
    EXPECT_TRUE(test::namesIn(noGame).empty());
    // Output that cannot be written is a failure, not a silent success.
    const std::string err = (dir.path() / ".full").string();
    EXPECT_EQ(std::system((quoteForSh(QUARNEL_CLI) + " --version >/dev/full 2>" + err).c_str()),
              1 << 8);
    EXPECT_EQ(readFile(err), "quarnel-cli: standard output: write error\n");
}

// Export and import use the window's store: none exports first-run settings and creates none;
// a read-only one (as root: as another user) exports; a failed or refused import changes nothing.
// The store's folder has characters that a SQLite URI reads specially.
TEST_F(CliTest, ExportAndImportUseTheStoreOfTheWindow) {
    const std::string store = (dir.path() / "con%fig#1" / "registry.db").string();
    ::setenv("QUARNEL_REGISTRY", store.c_str(), 1);
    const fs::path out = dir.makeFolder("out") / "exported.cfg";
    EXPECT_EQ(cli({"export-config", out.string()}), Result{});
    EXPECT_EQ(readTextLines(out.string()).at(1), "GameType=Deathmatch");
    EXPECT_FALSE(fs::exists(store));
    EXPECT_EQ(cli({"import-config", cfg, "--game-dir", g}), Result{});
    const std::string before = readFile(store);
    const std::string broken = cfgWith("broken.cfg", {{23, "UseBots=yes"}});
    EXPECT_EQ(cli({"import-config", broken, "--game-dir", g}),
              fails(broken + ": line 24 (UseBots): Type mismatch (error 13)"));
    EXPECT_EQ(readFile(store), before);

    fs::permissions(dir.path(), fs::perms(0755));
    fs::permissions(fs::path(store).parent_path(), fs::perms(0555));
    fs::permissions(store, fs::perms(0444));
    fs::permissions(out.parent_path(), fs::perms::all);
    const std::string asOther =
        ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    EXPECT_EQ(cli({"export-config", out.string()}, asOther), Result{});
    EXPECT_EQ(readTextLines(out.string()),
              readTextLines(cfgWith("expected.cfg", {{0, "UTPATH=" + g}})));
    // From a folder the other user can read, wherever the checkout lies.
    EXPECT_EQ(
        cli({"import-config", dir.writeFile("copy.cfg", readFile(cfg)).string(), "--game-dir", g},
            asOther),
        fails(store + ": the settings store can only be read (the file or its folder is "
                      "read-only); nothing was imported"));
    EXPECT_EQ(readFile(store), before);
    ::unsetenv("QUARNEL_REGISTRY");
}

// Characters a shell or systemd reads specially, and 8-bit bytes, reach the server unchanged.
TEST_F(CliTest, TypedTextsAndTheGamePathReachTheServerUnchanged) {
    const std::string special = "$HOME `id` $(id) \\ ! * ? ; & | < > \t 'q' \"d\" %s \xe9\xff";
    const test::StandInGame game(dir, "UT " + special);
    game.plan({"wait"});
    SettingsForm typed = formOf(cfg, game.gameFolder);
    for (Text field : {Text::AdminPassword, Text::ExtraMutators, Text::ExtraCommandLine})
        typed.setText(field, "x " + special);
    const std::string typedCfg = (dir.path() / "server.cfg").string();
    writeConfigFile(typed, typedCfg, true);
    ASSERT_EQ(cli({"launch", typedCfg, "--game-dir", game.gameFolder}).exit, 0);
    ASSERT_TRUE(eventually([&] { return game.runs() == 1; }));
    const test::StandInGame::Run run = *game.run(1);
    std::vector<std::string> args =
        serverArguments(formOf(typedCfg, game.gameFolder), "quarnel.ini");
    args.push_back("-nohomedir");
    // Not ignoring SIGINT, so that a SIGINT passed on reaches it.
    EXPECT_EQ(std::tuple(run.cwd + "/", run.sigintIgnored, run.args, run.ini),
              std::tuple(game.system, false, args, readFile(game.system + "quarnel.ini")));
    EXPECT_NE(run.args.at(1).find("?x " + special), std::string::npos);
}

TEST_F(CliTest, TheLoopKeepsTheCrashLogRestartsAndStopsOnRequestOnly) {
    game.plan({"3", "wait"});
    const Result launched = cli({"launch", cfg, "--game-dir", g});
    const std::string pid = readFile(system + "quarnel.pid"); // with its newline
    const std::string files = "log " + system + "quarnel.log\noutput " + system + "quarnel.out\n";
    EXPECT_EQ(launched, (Result{0, "pid " + pid + files, ""}));
    // The first run ended: its log is the crash log, and the server runs again.
    ASSERT_TRUE(eventually([&] { return game.runs() == 2; }));
    EXPECT_EQ(readFile(system + "quarnelcrash.log"), "stand-in log of run 1\n");
    const std::string script = system + "quarnel.sh";
    EXPECT_EQ(cli({"status", "--game-dir", g}), (Result{0, script + ": running, pid " + pid, ""}));
    EXPECT_EQ(cli({"launch", cfg, "--game-dir", g}),
              fails(system + "quarnel.pid: quarnel.sh already runs (pid " +
                    pid.substr(0, pid.size() - 1) + ")"));
    // A stop is not a crash: the server gets the signal, and nothing starts again.
    EXPECT_EQ(cli({"stop", "--game-dir", g}), (Result{0, script + ": stopped pid " + pid, ""}));
    EXPECT_EQ(game.signalOf(2), SIGTERM);
    EXPECT_FALSE(fs::exists(system + "quarnel.pid"));
    EXPECT_EQ(readFile(system + "quarnelcrash.log"), "stand-in log of run 2\n");
    EXPECT_EQ(cli({"status", "--game-dir", g}), (Result{3, script + ": not running\n", ""}));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(game.runs(), 2);
}

// Also with --foreground in the background of a script, which starts it with SIGINT ignored.
TEST_F(CliTest, SigintAndSighupArePassedToTheServerAndEndTheLoop) {
    for (const auto& [signal, fg] : {std::pair{SIGINT, false}, {SIGHUP, false}, {SIGINT, true}}) {
        const test::StandInGame game(dir, std::to_string(signal) + (fg ? "fg" : ""));
        game.plan({"wait"});
        const std::string pidFile = game.system + "quarnel.pid";
        const std::string launch = quoteForSh(QUARNEL_CLI) + " launch " + quoteForSh(cfg) +
                                   " --game-dir " + quoteForSh(game.gameFolder);
        ASSERT_EQ(
            std::system((launch + (fg ? " --foreground" : "") + " >/dev/null 2>&1 &").c_str()), 0);
        ASSERT_TRUE(eventually([&] { return game.runs() == 1 && fs::exists(pidFile); }));
        kill(std::stoi(readFile(pidFile)), signal);
        EXPECT_TRUE(eventually([&] { return !fs::exists(pidFile); })) << signal;
        EXPECT_EQ(game.signalOf(1), signal);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_EQ(game.runs(), 1) << signal;
    }
}

TEST_F(CliTest, FiveQuickExitsInARowEndTheLoopWithTheReason) {
    game.plan({"1", "2", "1", "2", "7", "wait"});
    const std::string message =
        "quarnel.sh: the server ended within 10 seconds of its start 5 times in a row (last exit "
        "status 7); it is not started again. A map that does not load or a port in use are the "
        "usual causes; the last log of the server is quarnelcrash.log.\n";
    EXPECT_EQ(cli({"launch", cfg, "--foreground", "--game-dir", g}), (Result{1, "", message}));
    EXPECT_EQ(game.runs(), 5);
    EXPECT_EQ(readFile(system + "quarnelcrash.log"), "stand-in log of run 5\n" + message);
    EXPECT_FALSE(fs::exists(system + "quarnel.pid"));
}

// A pid file naming a process that is not the loop, or no process at all.
TEST_F(CliTest, AStalePidFileIsRemovedAndNeverSignalled) {
    const pid_t other = fork();
    if (other == 0) {
        execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    for (const std::string& pid : {std::to_string(other), std::string("x")}) {
        std::ofstream(system + "quarnel.pid") << pid << "\n";
        EXPECT_EQ(cli({"stop", "--game-dir", g}),
                  (Result{3, system + "quarnel.sh: not running\n", ""}))
            << pid;
        EXPECT_FALSE(fs::exists(system + "quarnel.pid"));
    }
    EXPECT_EQ(waitpid(other, nullptr, WNOHANG), 0) << "the other process was signalled";
}

} // namespace
} // namespace quarnel::test
