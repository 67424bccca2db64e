#include "TempDir.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "store/ConfigForm.h"
#include "store/MakeNames.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;

struct Result {
    int exit = -1;
    std::string out;
    std::string err;
};

// Runs the built quarnel-cli with args, with PATH set to path and in the folder cwd when
// given; its streams go to files in dir that are read back.
Result runCli(const TempDir& dir, const std::vector<std::string>& args,
              const std::string& path = {}, const std::string& cwd = {}) {
    const std::string outFile = (dir.path() / ".out").string();
    const std::string errFile = (dir.path() / ".err").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    if (!cwd.empty())
        posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    std::vector<std::string> storage = {QUARNEL_CLI};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : storage)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStorage;
    for (char** e = environ; *e; ++e)
        if (path.empty() || std::string_view(*e).substr(0, 5) != "PATH=")
            envStorage.emplace_back(*e);
    if (!path.empty())
        envStorage.push_back("PATH=" + path);
    std::vector<char*> env;
    for (auto& e : envStorage)
        env.push_back(e.data());
    env.push_back(nullptr);

    Result result;
    pid_t pid = 0;
    if (posix_spawn(&pid, QUARNEL_CLI, &actions, nullptr, argv.data(), env.data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        result.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = readFile(outFile);
    result.err = readFile(errFile);
    fs::remove(outFile);
    fs::remove(errFile);
    return result;
}

// The files the window would write for the same configuration and game folder.
SettingsForm formOf(const std::string& cfg, const std::string& game) {
    SettingsForm form;
    formFromConfig(form, {cfg, game, "/"});
    return form;
}

// A fixed template of the game's own INI in a copy of the demo installation.
const std::string kTemplate = "[Engine.GameInfo]\r\nMaxPlayers=16\r\n\r\n"
                              "[XInterface.MapListCaptureTheFlag]\r\nMaps=CTF-Old\r\n";

class CliTest : public ::testing::Test {
protected:
    CliTest() { dir.writeFile("UT2003/System/ut2003.ini", kTemplate); }

    std::string system() const { return game::systemFolder(game); }
    std::vector<std::string> filesIn(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir;
    const std::string game = test::copyDemoInstall(dir);
    const std::string cfg = QUARNEL_DEMO_CFG;
};

TEST_F(CliTest, CommandLinePrintsTheServerCommandLine) {
    const SettingsForm form = formOf(cfg, game);
    struct Case {
        std::vector<std::string> extra;
        std::string ini;
    };
    for (const Case& c : {Case{{}, "quarnel.ini"}, Case{{"--ini", "other.ini"}, "other.ini"},
                          Case{{"--ini=x y.ini"}, "x y.ini"}}) {
        std::vector<std::string> args = {"command-line", cfg, "--game-dir", game};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const Result r = runCli(dir, args);
        EXPECT_EQ(r.exit, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, buildcommandline(form, c.ini) + "\n");
        EXPECT_NE(r.out.find(" CTF-Foundry?Game=XGame.xCTFGame?"), std::string::npos) << r.out;
    }
}

TEST_F(CliTest, RelativeGameFolderIsMadeAbsolute) {
    const Result r =
        runCli(dir, {"command-line", cfg, "--game-dir", "UT2003"}, {}, dir.path().string());
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, buildcommandline(formOf(cfg, game), "quarnel.ini") + "\n");
}

TEST_F(CliTest, MakeWritesTheChosenIniAndItsBatchFile) {
    const std::string target = dir.makeFolder("out").string() + "/My Server.INI";
    const Result r = runCli(dir, {"make", cfg, target, "--game-dir", game});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");

    // The same files written by the core, for comparison.
    const SettingsForm form = formOf(cfg, game);
    const std::string expected = dir.makeFolder("expected").string() + "/";
    makegamebat(form, expected, "My Server.bat", true);
    makegameconfig(form, expected, "My Server.INI", true);
    EXPECT_EQ(filesIn(dir.path() / "out"),
              (std::vector<std::string>{"My Server.INI", "My Server.bat"}));
    EXPECT_EQ(readFile(dir.path() / "out/My Server.bat"), readFile(expected + "My Server.bat"));
    EXPECT_EQ(readFile(dir.path() / "out/My Server.INI"), readFile(expected + "My Server.INI"));
    EXPECT_NE(readFile(dir.path() / "out/My Server.INI").find("Maps=CTF-Foundry"),
              std::string::npos);
}

TEST_F(CliTest, MakeRefusesNamesTheWindowRefuses) {
    const auto before = filesIn(system());
    for (const char* name : {"User.ini", "UT2003.INI", "server.txt", "server"}) {
        SCOPED_TRACE(name);
        const std::string target = system() + name;
        const Result r = runCli(dir, {"make", cfg, target, "--game-dir", game});
        const std::string message = refuseIniName(name)->message.data();
        EXPECT_EQ(r.exit, 1);
        EXPECT_EQ(r.err, "quarnel-cli: " + target + ": " + message + "\n");
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(filesIn(system()), before);
    }
}

TEST_F(CliTest, LaunchWithoutStartWritesTheFixedFiles) {
    const Result r = runCli(dir, {"launch", cfg, "--no-start", "--game-dir", game});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err, "");
    const SettingsForm form = formOf(cfg, game);
    EXPECT_EQ(readFile(system() + "quarnel.bat"), joinTextLines(batchLines(form, "quarnel.bat")));
    EXPECT_EQ(readFile(system() + "quarnel.ini"),
              joinTextLines(rewriteServerIni(form.settings(), splitTextLines(kTemplate))));
}

TEST_F(CliTest, LaunchStartsTheBatchFileWithTheDesktopOpener) {
    // A stand-in for xdg-open that records what it was asked to open.
    const fs::path bin = dir.makeFolder("bin");
    const fs::path record = dir.path() / "opened";
    const fs::path opener = dir.writeFile(
        "bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + record.string() + ".tmp'\nmv '" +
                            record.string() + ".tmp' '" + record.string() + "'\n");
    fs::permissions(opener, fs::perms::owner_all);

    const Result r =
        runCli(dir, {"launch", cfg, "--game-dir", game}, bin.string() + ":/usr/bin:/bin");
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err, "");
    for (int i = 0; i < 200 && !fs::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    EXPECT_EQ(readFile(record), system() + "quarnel.bat");
}

TEST_F(CliTest, FailuresNameTheFileAndWriteNothing) {
    const std::string bad = dir.writeFile("bad.cfg", "").string();
    std::vector<std::string> lines = readTextLines(cfg);
    lines[10] = "GameSpeed=49";
    const std::string badSpeed = (dir.path() / "speed.cfg").string();
    writeTextFile(badSpeed, lines, true);
    const std::string missing = (dir.path() / "missing.cfg").string();
    const std::string noGame = dir.makeFolder("nogame").string();

    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"launch", badSpeed, "--no-start", "--game-dir", game},
         badSpeed + ": line 11 (GameSpeed): Invalid property value (error 380)"},
        {{"command-line", bad, "--game-dir", game},
         bad + ": line 2 (GameType): Subscript out of range (error 9)"},
        {{"make", missing, system() + "x.ini", "--game-dir", game},
         missing + ": File not found (error 53)"},
        {{"launch", cfg, "--no-start", "--game-dir", noGame},
         game::templateIni(noGame + "/") + ": File not found (error 53)"},
    };
    const auto before = filesIn(system());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        const Result r = runCli(dir, c.args);
        EXPECT_EQ(r.exit, 1);
        EXPECT_EQ(r.err, "quarnel-cli: " + c.err + "\n");
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(filesIn(system()), before);
    }
    EXPECT_TRUE(filesIn(noGame).empty());
}

TEST_F(CliTest, BadUsagePrintsTheUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"command-line"},
        {"command-line", cfg, "--ini"},
        {"command-line", cfg, "--game-dir", ""},
        {"command-line", cfg, "--ini="},
        {"command-line", cfg, "--no-start"},
        {"make", cfg},
        {"make", cfg, "a.ini", "b.ini"},
        {"launch", cfg, "--bogus"},
        {"--version", "extra"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.empty() ? "(none)" : args.front());
        const Result r = runCli(dir, args);
        EXPECT_EQ(r.exit, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Usage:\n  quarnel-cli command-line CONFIG.cfg"), std::string::npos)
            << r.err;
    }
}

TEST_F(CliTest, HelpAndVersion) {
    const Result help = runCli(dir, {"--help"});
    EXPECT_EQ(help.exit, 0);
    EXPECT_EQ(help.err, "");
    for (const char* line :
         {"  quarnel-cli command-line CONFIG.cfg [--ini NAME] [--game-dir DIR]\n",
          "  quarnel-cli make CONFIG.cfg TARGET.ini [--game-dir DIR]\n",
          "  quarnel-cli launch CONFIG.cfg [--no-start] [--game-dir DIR]\n",
          "  quarnel-cli import-config CONFIG.cfg [--game-dir DIR]\n",
          "  quarnel-cli export-config OUT.cfg\n", "  quarnel-cli --help | --version\n"})
        EXPECT_NE(help.out.find(line), std::string::npos) << line;

    const Result version = runCli(dir, {"--version"});
    EXPECT_EQ(version.exit, 0);
    EXPECT_EQ(version.out, "quarnel-cli 1.0.0\n");
    EXPECT_EQ(version.err, "");
}

// The store commands use the window's store, named here by QUARNEL_REGISTRY.
class CliStoreTest : public CliTest {
protected:
    CliStoreTest() { ::setenv("QUARNEL_REGISTRY", store.c_str(), 1); }
    ~CliStoreTest() override { ::unsetenv("QUARNEL_REGISTRY"); }
    const std::string store = (dir.path() / "config" / "registry.db").string();
};

TEST_F(CliStoreTest, ImportThenExportReproducesTheConfiguration) {
    const Result imported = runCli(dir, {"import-config", cfg, "--game-dir", game});
    EXPECT_EQ(imported.exit, 0) << imported.err;
    EXPECT_EQ(imported.err, "");
    EXPECT_EQ(imported.out, "");
    EXPECT_EQ(fs::status(store).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    const std::string out = (dir.path() / "out.cfg").string();
    const Result exported = runCli(dir, {"export-config", out});
    EXPECT_EQ(exported.exit, 0) << exported.err;
    EXPECT_EQ(exported.err, "");
    // Every line as the configuration has it, the game folder being the one imported from.
    std::vector<std::string> expected = readTextLines(cfg);
    expected[0] = "UTPATH=" + game;
    EXPECT_EQ(readTextLines(out), expected);
    EXPECT_NE(readFile(out).find("\r\nMap2=CTF-Harbor\r\n"), std::string::npos);
}

TEST_F(CliStoreTest, ExportWithoutAStoreWritesTheFirstRunSettingsAndCreatesNothing) {
    const std::string out = (dir.path() / "first.cfg").string();
    const Result r = runCli(dir, {"export-config", out});
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(fs::exists(fs::path(store).parent_path()));
    const std::vector<std::string> lines = readTextLines(out);
    ASSERT_EQ(lines.size(), 60u);
    EXPECT_EQ(lines[0], "UTPATH=");
    EXPECT_EQ(lines[1], "GameType=Deathmatch");
    EXPECT_EQ(lines[26], "BotsSkill=Experienced");
    EXPECT_EQ(lines[59], "UseMapRotation=1");
}

TEST_F(CliStoreTest, AFailedImportLeavesTheStoreAsItWas) {
    ASSERT_EQ(runCli(dir, {"import-config", cfg, "--game-dir", game}).exit, 0);
    const std::string before = readFile(store);
    const std::string broken = dir.writeFile("broken.cfg", "UTPATH=x\r\nGameType=Mutant\r\n"
                                                           "TimeLimit=1\r\nGoalLimit=2\r\n"
                                                           "MaxLives=3\r\nWeaponsStay=x\r\n")
                                   .string();
    const Result r = runCli(dir, {"import-config", broken, "--game-dir", game});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err,
              "quarnel-cli: " + broken + ": line 6 (WeaponsStay): Type mismatch (error 13)\n");
    EXPECT_EQ(readFile(store), before);
}

} // namespace
} // namespace quarnel
