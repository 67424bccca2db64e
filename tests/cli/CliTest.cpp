#include "CliRun.h"
#include "MachineFixture.h"
#include "TempDir.h"
#include "common/Text.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "launch/RestartScript.h"
#include "store/ConfigForm.h"
#include "store/MakeNames.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runCli;
using Result = test::CliResult;
using test::TempDir;

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
    TempDir dir;
    const std::string game = test::copyDemoInstall(dir);
    const std::string cfg = QUARNEL_DEMO_CFG;
};

TEST_F(CliTest, CommandLinePrintsTheServerCommandLine) {
    const SettingsForm form = formOf(cfg, game);
    // The last run names the game folder relative to the folder it runs in.
    const std::vector<std::tuple<std::vector<std::string>, std::string, std::string>> cases = {
        {{"--game-dir", game}, "quarnel.ini", ""},
        {{"--game-dir", game, "--ini", "other.ini"}, "other.ini", ""},
        {{"--ini=x y.ini", "--game-dir", game}, "x y.ini", ""},
        {{"--game-dir", "UT2003"},
         "quarnel.ini",
         "cd " + quoteForSh(dir.path().string()) + " && "}};
    for (const auto& [options, ini, prefix] : cases) {
        std::vector<std::string> args = {"command-line", cfg};
        args.insert(args.end(), options.begin(), options.end());
        const Result r = runCli(dir, args, prefix);
        EXPECT_EQ(r, (Result{0, serverCommandLine(form, ini) + "\n", ""}));
        EXPECT_NE(r.out.find(" CTF-Foundry?Game=XGame.xCTFGame?"), std::string::npos) << r.out;
    }
}

TEST_F(CliTest, MakeWritesTheChosenIniAndItsBatchFile) {
    const std::string target = dir.makeFolder("out").string() + "/My Server.INI";
    EXPECT_EQ(runCli(dir, {"make", cfg, target, "--game-dir", game}), Result{});

    // The same files written by the core, for comparison.
    const SettingsForm form = formOf(cfg, game);
    const std::string expected = dir.makeFolder("expected").string() + "/";
    writeBatchFile(form, expected, "My Server.bat", true);
    writeRestartScript(form, expected, "My Server.bat");
    writeServerIni(form, expected, "My Server.INI", true);
    EXPECT_EQ(test::namesIn(dir.path() / "out"), test::namesIn(expected));
    for (const char* name : {"My Server.INI", "My Server.bat", "My Server.sh"})
        EXPECT_EQ(readFile(dir.path() / "out" / name), readFile(expected + name)) << name;
    EXPECT_NE(readFile(dir.path() / "out/My Server.INI").find("Maps=CTF-Foundry"),
              std::string::npos);
    // Both hold the admin password: their owner's alone.
    for (const char* name : {"My Server.INI", "My Server.bat"})
        EXPECT_EQ(fs::status(dir.path() / "out" / name).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write)
            << name;
}

TEST_F(CliTest, LaunchWithoutStartingWritesTheFixedFiles) {
    EXPECT_EQ(runCli(dir, {"launch", cfg, "--no-start", "--game-dir", game}), Result{});
    const SettingsForm form = formOf(cfg, game);
    EXPECT_EQ(readFile(system() + "quarnel.bat"), joinTextLines(batchLines(form, "quarnel.bat")));
    EXPECT_EQ(readFile(system() + "quarnel.sh"), restartScript(form, "quarnel.bat"));
    EXPECT_EQ(readFile(system() + "quarnel.ini"),
              joinTextLines(rewriteServerIni(form.settings(), splitTextLines(kTemplate))));
    // Only the files: no loop was started.
    EXPECT_FALSE(fs::exists(system() + "quarnel.pid"));
}

TEST_F(CliTest, FailuresNameTheFileAndWriteNothing) {
    const std::string bad = dir.writeFile("bad.cfg", "").string();
    std::vector<std::string> lines = readTextLines(cfg);
    lines[10] = "GameSpeed=49";
    const std::string badSpeed = (dir.path() / "speed.cfg").string();
    writeTextFile(badSpeed, lines, true);
    const std::string missing = (dir.path() / "missing.cfg").string();
    const std::string noGame = dir.makeFolder("nogame").string();
    // Named pipes without a writer as the configuration and as the game's own INI file.
    const std::string pipe = (dir.path() / "pipe.cfg").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    TempDir other;
    const std::string pipedGame = test::copyDemoInstall(other);
    const std::string pipedIni = game::templateIni(pipedGame);
    fs::remove(pipedIni);
    ASSERT_EQ(::mkfifo(pipedIni.c_str(), 0600), 0);
    auto refused = [&](const char* name) { // the names the window's Make refuses
        return system() + name + ": " + refuseIniName(name)->message.data();
    };

    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"launch", badSpeed, "--no-start", "--game-dir", game},
         badSpeed + ": line 11 (GameSpeed): Invalid property value (error 380)"},
        {{"command-line", bad, "--game-dir", game},
         bad + ": line 2 (GameType): Subscript out of range (error 9)"},
        {{"make", missing, system() + "x.ini", "--game-dir", game},
         missing + ": File not found (error 53)"},
        {{"launch", cfg, "--no-start", "--game-dir", noGame},
         game::templateIni(noGame + "/") + ": File not found (error 53)"},
        {{"command-line", pipe, "--game-dir", game},
         pipe + ": Not a file but a named pipe (error 53)"},
        {{"launch", cfg, "--no-start", "--game-dir", pipedGame},
         pipedIni + ": Not a file but a named pipe (error 53)"},
        {{"make", cfg, system() + "UT2003.INI", "--game-dir", game}, refused("UT2003.INI")},
        {{"make", cfg, system() + "server.txt", "--game-dir", game}, refused("server.txt")},
    };
    const auto before = test::namesIn(system());
    for (const auto& [args, err] : cases) {
        SCOPED_TRACE(err);
        EXPECT_EQ(runCli(dir, args), (Result{1, "", "quarnel-cli: " + err + "\n"}));
        EXPECT_EQ(test::namesIn(system()), before);
    }
    EXPECT_TRUE(test::namesIn(noGame).empty());
    EXPECT_FALSE(fs::exists(game::systemFolder(pipedGame) + "quarnel.bat"));
}

TEST_F(CliTest, HelpVersionAndBadUsage) {
    const Result help = runCli(dir, {"--help"});
    EXPECT_EQ(help.exit, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_TRUE(help.out.starts_with("Usage:\n  quarnel-cli command-line CONFIG.cfg [--ini NAME] "
                                     "[--game-dir DIR] [--set KEY=VALUE]...\n"))
        << help.out;
    for (const char* command :
         {" make ", " launch ", " import-config ", " export-config ", " check ", " diff "})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    EXPECT_TRUE(help.out.ends_with("\n  quarnel-cli --help | --version\n")) << help.out;
    EXPECT_EQ(runCli(dir, {"--version"}), (Result{0, "quarnel-cli 1.0.0\n", ""}));
    // Output that cannot be written is a failure, not a silent success.
    const fs::path err = dir.path() / ".full";
    const int status = std::system(
        (quoteForSh(QUARNEL_CLI) + " --version >/dev/full 2>" + quoteForSh(err.string())).c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    EXPECT_EQ(readFile(err), "quarnel-cli: standard output: write error\n");

    // No command, an unknown one, too few or too many arguments, an option without its
    // value, another command's option, an extra word after --version: the same usage on stderr.
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"bogus"},
                                               {"command-line"},
                                               {"command-line", cfg, "--ini"},
                                               {"command-line", cfg, "--ini="},
                                               {"command-line", cfg, "--no-start"},
                                               {"make", cfg, "a.ini", "b.ini"},
                                               {"command-line", cfg, "--set", "NoEquals"},
                                               {"command-line", cfg, "--set", "=1"},
                                               {"check"},
                                               {"check", cfg, "--ini", "x.ini"},
                                               {"diff", cfg},
                                               {"diff", cfg, cfg, "--game-dir", "x"},
                                               {"--version", "extra"}}) {
        SCOPED_TRACE(args.empty() ? "(none)" : args.front());
        const Result r = runCli(dir, args);
        EXPECT_EQ(r.exit, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.ends_with("\n" + help.out)) << r.err;
    }
}

TEST_F(CliTest, SetReplacesAConfigurationLineWithTheSameChecksAsTheFile) {
    const Result line =
        runCli(dir, {"command-line", cfg, "--game-dir", game, "--set", "GamePort=7779", "--set",
                     "gameport=7778", "--set=AdminName=Ann"});
    EXPECT_EQ(line.exit, 0) << line.err;
    EXPECT_NE(line.out.find("?AdminName=Ann?"), std::string::npos) << line.out;
    EXPECT_NE(line.out.find(" port=7778 "), std::string::npos) << line.out;

    EXPECT_EQ(runCli(dir, {"make", cfg, system() + "alpha.ini", "--game-dir", game, "--set",
                           "AdminName=Alpha Admin"}),
              Result{});
    EXPECT_NE(readFile(system() + "alpha.bat").find("?AdminName=Alpha Admin?"), std::string::npos);

    const auto before = test::namesIn(system());
    for (const auto& [set, err] : std::vector<std::pair<std::string, std::string>>{
             {"Bogus=1", "no such setting in a configuration file (error 380)"},
             {"GameSpeed=49", "Invalid property value (error 380)"},
             {"BotsSkill=Expert", "Invalid property value (error 380)"},
             {"UseBots=yes", "Type mismatch (error 13)"}}) {
        EXPECT_EQ(runCli(dir, {"launch", cfg, "--no-start", "--game-dir", game, "--set", set}),
                  (Result{1, "", "quarnel-cli: --set " + set + ": " + err + "\n"}));
    }
    EXPECT_EQ(test::namesIn(system()), before);
}

TEST_F(CliTest, CheckPrintsOneProblemALineAndChangesNothing) {
    fs::copy_file(test::demoInstall() / "System" / "ut2003.ini", system() + "ut2003.ini",
                  fs::copy_options::overwrite_existing);
    const std::string port = "GamePort=" + std::to_string(test::freeGamePort());
    EXPECT_EQ(runCli(dir, {"check", cfg, "--game-dir", game, "--set", port}), Result{});

    std::vector<std::string> lines = readTextLines(cfg);
    lines.push_back("Map3=CTF-Nowhere");
    const std::string odd = (dir.path() / "odd.cfg").string();
    writeTextFile(odd, lines, true);
    const auto before = test::namesIn(system());
    const Result r = runCli(dir, {"check", odd, "--game-dir", game, "--set", port, "--set",
                                  "Mutators=Bad Mutator", "--set", "NetSpeed=0"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, "");
    const std::string maps = game + "Maps";
    EXPECT_EQ(r.out, "MAP-MISSING Map List: map CTF-Nowhere is not in the game's Maps folder (" +
                         maps +
                         "); copy CTF-Nowhere.ut2 there or take the map out of the "
                         "selection.\n"
                         "MUTATOR Extra Mutators: \"Bad Mutator\" is not of the form "
                         "Package.Class; write each extra mutator as Package.Class, "
                         "separated by commas, without blanks.\n"
                         "RANGE Net Speed: \"0\" is not a number between 1 and 25000; "
                         "enter a number in that range.\n");
    EXPECT_EQ(test::namesIn(system()), before);
}

TEST_F(CliTest, DiffPrintsEachDifferingSettingWithBothValues) {
    EXPECT_EQ(runCli(dir, {"diff", cfg, cfg}), Result{});
    std::vector<std::string> lines = readTextLines(cfg);
    lines[27] = "ServerName=Beta";
    lines[23] = "UseBots=0";
    lines.pop_back(); // Map2
    const std::string other = (dir.path() / "other.cfg").string();
    writeTextFile(other, lines, true);
    EXPECT_EQ(runCli(dir, {"diff", cfg, other}),
              (Result{1,
                      "Use Bots: on vs off\n"
                      "Server Name: \"Quarnel Demo CTF\" vs \"Beta\"\n"
                      "Maps: \"CTF-Foundry, CTF-Harbor\" vs \"CTF-Foundry\"\n",
                      ""}));
    const std::string missing = (dir.path() / "missing.cfg").string();
    EXPECT_EQ(runCli(dir, {"diff", cfg, missing}),
              (Result{2, "", "quarnel-cli: " + missing + ": File not found (error 53)\n"}));
}

// The store commands use the window's store, named here by QUARNEL_REGISTRY.
class CliStoreTest : public CliTest {
protected:
    CliStoreTest() { ::setenv("QUARNEL_REGISTRY", store.c_str(), 1); }
    ~CliStoreTest() override { ::unsetenv("QUARNEL_REGISTRY"); }
    const std::string store = (dir.path() / "config" / "registry.db").string();
};

TEST_F(CliStoreTest, ExportWithoutAStoreWritesTheFirstRunSettingsAndCreatesNothing) {
    const std::string out = (dir.path() / "first.cfg").string();
    EXPECT_EQ(runCli(dir, {"export-config", out}), Result{});
    EXPECT_FALSE(fs::exists(fs::path(store).parent_path()));
    const std::vector<std::string> lines = readTextLines(out);
    ASSERT_EQ(lines.size(), 60u);
    EXPECT_EQ((std::vector<std::string>{lines[0], lines[1], lines[26], lines[59]}),
              (std::vector<std::string>{"UTPATH=", "GameType=Deathmatch", "BotsSkill=Experienced",
                                        "UseMapRotation=1"}));
}

// A store that this user can only read (the file and its folder): its settings are exported,
// and an import is refused without touching it. Run as root, the commands run as another
// user, for whom root's store is read-only.
TEST_F(CliStoreTest, ReadOnlyStoreIsExportedAndRefusesAnImport) {
    ASSERT_EQ(runCli(dir, {"import-config", cfg, "--game-dir", game}).exit, 0);
    const std::string before = readFile(store);
    const fs::path folder = fs::path(store).parent_path();
    const fs::path out = dir.makeFolder("out") / "exported.cfg";
    std::string asOther;
    if (::geteuid() == 0) {
        using P = fs::perms;
        const P readable =
            P::owner_all | P::group_read | P::group_exec | P::others_read | P::others_exec;
        for (const fs::path& path : {dir.path(), folder})
            fs::permissions(path, readable);
        fs::permissions(store, P::owner_read | P::owner_write | P::group_read | P::others_read);
        fs::permissions(out.parent_path(), P::all);
        asOther = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    } else {
        fs::permissions(store, fs::perms::owner_read);
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    }

    EXPECT_EQ(runCli(dir, {"export-config", out.string()}, asOther), Result{});
    std::vector<std::string> expected = readTextLines(cfg);
    expected[0] = "UTPATH=" + game;
    EXPECT_EQ(readTextLines(out.string()), expected);
    // The configuration from a folder the other user can read, wherever the checkout lies.
    const std::string copy = dir.writeFile("copy.cfg", readFile(cfg)).string();
    EXPECT_EQ(runCli(dir, {"import-config", copy, "--game-dir", game}, asOther),
              (Result{1, "",
                      "quarnel-cli: " + store +
                          ": the settings store can only be read (the file or its folder is "
                          "read-only); nothing was imported\n"}));
    EXPECT_EQ(readFile(store), before);
}

TEST_F(CliStoreTest, AFailedImportLeavesTheStoreAsItWas) {
    ASSERT_EQ(runCli(dir, {"import-config", cfg, "--game-dir", game}).exit, 0);
    const std::string before = readFile(store);
    const std::string broken = dir.writeFile("broken.cfg", "UTPATH=x\r\nGameType=Mutant\r\n"
                                                           "TimeLimit=1\r\nGoalLimit=2\r\n"
                                                           "MaxLives=3\r\nWeaponsStay=x\r\n")
                                   .string();
    EXPECT_EQ(
        runCli(dir, {"import-config", broken, "--game-dir", game}),
        (Result{1, "",
                "quarnel-cli: " + broken + ": line 6 (WeaponsStay): Type mismatch (error 13)\n"}));
    EXPECT_EQ(readFile(store), before);
}

} // namespace
} // namespace quarnel
