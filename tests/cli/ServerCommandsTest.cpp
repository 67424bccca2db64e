#include "StandInGame.h"
#include "common/Text.h"
#include "launch/LaunchFiles.h"
#include "launch/RestartScript.h"
#include "store/ConfigFile.h"
#include "store/ConfigForm.h"

#include <gtest/gtest.h>
#include <spawn.h>

extern char** environ;

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::eventually;
using test::readFile;
using test::StandInGame;

struct Result {
    int exit = 0;
    std::string out;
    std::string err;
};

// Every character a shell or systemd would read specially, and 8-bit bytes.
const std::string kSpecial = "$HOME `id` $(id) \\ ! * ? ; & | < > \t 'q' \"d\" %s \xe9\xff";

// The restart loop's commands of quarnel-cli, run as a process over a game whose server is
// the stand-in. Every process a test starts ends with it.
class ServerCommandsTest : public ::testing::Test {
protected:
    // Runs quarnel-cli with args, after prefix (environment settings for the shell).
    Result cli(const std::vector<std::string>& args, const std::string& prefix = {}) {
        const fs::path out = dir.path() / ".out";
        const fs::path err = dir.path() / ".err";
        std::string command = prefix + quoteForSh(QUARNEL_CLI);
        for (const auto& arg : args)
            command += " " + quoteForSh(arg);
        command += " >" + quoteForSh(out.string()) + " 2>" + quoteForSh(err.string());
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
    }
    // A configuration of the demo settings with changes, for game.
    std::string config(const StandInGame& game, const std::function<void(SettingsForm&)>& change) {
        SettingsForm form;
        formFromConfig(form, {QUARNEL_DEMO_CFG, game.utpath, "/"});
        change(form);
        const std::string file = (dir.path() / "server.cfg").string();
        createconfig(form, file, true);
        return file;
    }
    static std::string pidFile(const StandInGame& game) { return game.system + "quarnel.pid"; }

    test::TempDir dir;
    test::ProcessGuard guard; // ends the processes before the folder goes
};

TEST_F(ServerCommandsTest, TypedTextsAndTheGamePathReachTheServerUnchanged) {
    const StandInGame game(dir, "UT " + kSpecial);
    game.plan({"wait"});
    // Each typed text holds every special character, marked by its field.
    const std::pair<Text, std::string> typed[] = {
        {Text::ServerName, "name " + kSpecial},     {Text::MOTD1, "motd " + kSpecial},
        {Text::AdminPassword, "admin " + kSpecial}, {Text::GamePassword, "game " + kSpecial},
        {Text::Mutator, "mut " + kSpecial},         {Text::CmdLineOptions, "X=" + kSpecial}};
    const std::string cfg = config(game, [&](SettingsForm& form) {
        for (const auto& [field, text] : typed)
            form.setText(field, text);
    });
    const Result launched = cli({"launch", cfg, "--game-dir", game.utpath});
    ASSERT_EQ(launched.exit, 0) << launched.err;
    ASSERT_TRUE(eventually([&] { return game.runs() == 1; }));

    const StandInGame::Run run = *game.run(1);
    EXPECT_EQ(run.cwd + "/", game.system);
    EXPECT_FALSE(run.sigintIgnored); // so that a SIGINT passed on reaches it
    SettingsForm form;
    formFromConfig(form, {cfg, game.utpath, "/"});
    std::vector<std::string> expected = serverArguments(form, "quarnel.ini");
    expected.push_back("-nohomedir");
    EXPECT_EQ(run.args, expected);
    // Where each text arrives: the URL, or the INI file the server reads. The passwords lose
    // their blanks in the .cfg file, as they always have; every other byte stays.
    const std::pair<Text, std::string> arrives[] = {{Text::AdminPassword, "?AdminPassword="},
                                                    {Text::GamePassword, "?GamePassword="},
                                                    {Text::Mutator, "Mutator="},
                                                    {Text::CmdLineOptions, "?"},
                                                    {Text::ServerName, "\r\nServerName="},
                                                    {Text::MOTD1, "\r\nMOTDLine1="}};
    for (const auto& [field, key] : arrives) {
        const std::string& text = form.text(field);
        const bool password = field == Text::AdminPassword || field == Text::GamePassword;
        EXPECT_NE(text.find(password ? nospaces(kSpecial) : kSpecial), std::string::npos) << key;
        const std::string& where = key.starts_with("\r") ? run.ini : run.args.at(1);
        EXPECT_NE(where.find(key + text), std::string::npos) << key << text;
    }
}

TEST_F(ServerCommandsTest, TheLoopKeepsTheCrashLogRestartsAndStopsOnRequestOnly) {
    const StandInGame game(dir);
    game.plan({"3", "wait"});
    const std::string cfg = QUARNEL_DEMO_CFG;
    const std::vector<std::string> where = {"--game-dir", game.utpath};
    const Result launched = cli({"launch", cfg, "--game-dir", game.utpath});
    ASSERT_EQ(launched.exit, 0) << launched.err;
    const std::string pid = readFile(pidFile(game));
    EXPECT_EQ(launched.out, "pid " + pid + "log " + game.system + "quarnel.log\noutput " +
                                game.system + "quarnel.out\n");

    // The first run ended: its log is the crash log, and the server runs again.
    ASSERT_TRUE(eventually([&] { return game.runs() == 2; }));
    EXPECT_EQ(readFile(game.system + "quarnelcrash.log"), "stand-in log of run 1\n");
    const std::string script = game.system + "quarnel.sh";
    EXPECT_EQ(fs::status(script).permissions(), fs::perms::owner_all);
    Result status = cli({"status", "--game-dir", game.utpath});
    EXPECT_EQ(status.out, script + ": running, pid " + pid);
    EXPECT_EQ(status.exit, 0);
    const Result again = cli({"launch", cfg, "--game-dir", game.utpath});
    EXPECT_EQ(again.exit, 1);
    EXPECT_EQ(again.err, "quarnel-cli: " + pidFile(game) + ": quarnel.sh already runs (pid " +
                             pid.substr(0, pid.size() - 1) + ")\n");

    // A stop is not a crash: the server gets the signal, and nothing starts again.
    const Result stopped = cli({"stop", "--game-dir", game.utpath});
    EXPECT_EQ(stopped.exit, 0) << stopped.err;
    EXPECT_EQ(stopped.out, script + ": stopped pid " + pid);
    EXPECT_EQ(game.signalOf(2), SIGTERM);
    EXPECT_FALSE(fs::exists(pidFile(game)));
    EXPECT_EQ(readFile(game.system + "quarnelcrash.log"), "stand-in log of run 2\n");
    status = cli({"status", "--game-dir", game.utpath});
    EXPECT_EQ(status.exit, 3);
    EXPECT_EQ(status.out, script + ": not running\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(game.runs(), 2);
}

TEST_F(ServerCommandsTest, SigintAndSighupArePassedToTheServerAndEndTheLoop) {
    // The signal, and whether the loop runs with --foreground in the background of a script,
    // which starts it with SIGINT ignored.
    const std::pair<int, bool> cases[] = {{SIGINT, false}, {SIGHUP, false}, {SIGINT, true}};
    for (const auto& [signal, foreground] : cases) {
        SCOPED_TRACE(std::to_string(signal) + (foreground ? " foreground" : ""));
        const StandInGame game(dir, "UT-" + std::to_string(signal) + (foreground ? "-fg" : ""));
        game.plan({"wait"});
        const std::string launch =
            quoteForSh(QUARNEL_CLI) + " launch " + quoteForSh(QUARNEL_DEMO_CFG) + " --game-dir " +
            quoteForSh(game.utpath) + (foreground ? " --foreground" : "") + " >/dev/null 2>&1 &";
        ASSERT_EQ(std::system(launch.c_str()), 0);
        ASSERT_TRUE(eventually([&] { return game.runs() == 1 && fs::exists(pidFile(game)); }));
        kill(std::stoi(readFile(pidFile(game))), signal);
        EXPECT_TRUE(eventually([&] { return !fs::exists(pidFile(game)); }));
        EXPECT_EQ(game.signalOf(1), signal);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_EQ(game.runs(), 1);
    }
}

TEST_F(ServerCommandsTest, FiveQuickExitsInARowEndTheLoopWithTheReason) {
    const StandInGame game(dir);
    game.plan({"1", "2", "1", "2", "7", "wait"});
    const Result r = cli({"launch", QUARNEL_DEMO_CFG, "--foreground", "--game-dir", game.utpath});
    const std::string message =
        "quarnel.sh: the server ended within 10 seconds of its start 5 times in a row (last exit "
        "status 7); it is not started again. A map that does not load or a port in use are the "
        "usual causes; the last log of the server is quarnelcrash.log.\n";
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, message);
    EXPECT_EQ(game.runs(), 5);
    EXPECT_EQ(readFile(game.system + "quarnelcrash.log"), "stand-in log of run 5\n" + message);
    EXPECT_FALSE(fs::exists(pidFile(game)));
}

TEST_F(ServerCommandsTest, AStalePidFileIsRemovedAndNeverSignalled) {
    const StandInGame game(dir);
    // A process that is not the loop, one that has ended, and no process id at all.
    const auto spawn = [](std::vector<std::string> command) {
        std::vector<char*> argv;
        for (auto& word : command)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        return pid;
    };
    const pid_t other = spawn({"/bin/sleep", "30"});
    const pid_t ended = spawn({"/bin/true"});
    waitpid(ended, nullptr, 0);
    for (const std::string& text :
         {std::to_string(other) + "\n", std::to_string(ended) + "\n", std::string("x\n")}) {
        SCOPED_TRACE(text);
        std::ofstream(pidFile(game)) << text;
        const Result r = cli({"stop", "--game-dir", game.utpath});
        EXPECT_EQ(r.exit, 3);
        EXPECT_EQ(r.out, game.system + "quarnel.sh: not running\n");
        EXPECT_FALSE(fs::exists(pidFile(game)));
    }
    EXPECT_EQ(waitpid(other, nullptr, WNOHANG), 0) << "the other process was signalled";
}

TEST_F(ServerCommandsTest, AGameWithOnlyUccExeAndNoWineStartsNothing) {
    const StandInGame game(dir, "UT2003", false);
    const fs::path emptyPath = dir.makeFolder("empty-path");
    const Result r = cli({"launch", QUARNEL_DEMO_CFG, "--game-dir", game.utpath},
                         "PATH=" + quoteForSh(emptyPath.string()) + " ");
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, "quarnel-cli: The server cannot be started: " + game.system +
                         " holds no ucc-bin (the Linux server), and its ucc.exe needs wine, which "
                         "is not on the PATH. Install wine or the game's Linux server.\n");
    // The files are written; nothing runs.
    EXPECT_TRUE(fs::is_regular_file(game.system + "quarnel.sh"));
    EXPECT_FALSE(fs::exists(pidFile(game)));
    EXPECT_FALSE(fs::exists(game.system + "quarnel.out"));
}

} // namespace
} // namespace quarnel
