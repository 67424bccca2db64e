#include "CliRun.h"
#include "MachineFixture.h"
#include "StandInGame.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "store/ConfigForm.h"
#include "store/MakeNames.h"
#include "store/RegistrySettings.h"
#include "store/SystemStore.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runCli;
using Result = test::CliResult;

// The command reaches the core: what it prints or writes is the core's for the same
// configuration and game folder, whose own tests check those bytes.
SettingsForm formOf(const std::string& cfg, const std::string& game,
                    std::vector<ConfigOverride> overrides = {}) {
    SettingsForm form;
    formFromConfig(form, {cfg, game, "/", std::move(overrides)});
    return form;
}

class CliTest : public ::testing::Test {
protected:
    // A copy of the demo configuration with lines replaced (by number from 0) or added (-1).
    std::string cfgWith(const char* name, const std::vector<std::pair<int, std::string>>& edits) {
        std::vector<std::string> lines = readTextLines(cfg);
        for (const auto& [n, line] : edits)
            (n < 0 ? lines.emplace_back() : lines.at(static_cast<std::size_t>(n))) = line;
        writeTextFile((dir.path() / name).string(), lines, true);
        return (dir.path() / name).string();
    }

    test::TempDir dir;
    test::ProcessGuard guard; // should a fault start a loop
    const std::string game = test::copyDemoInstall(dir);
    const std::string system = game::systemFolder(game);
    const std::string cfg = QUARNEL_DEMO_CFG;
};

// make and launch --no-start write the core's files (compared with the core's own), the two
// holding the admin password for their owner alone; launch starts nothing.
TEST_F(CliTest, MakeAndLaunchWithoutStartingWriteTheCoresFiles) {
    const auto expectCoresFiles = [&](const std::string& folder, const std::string& base,
                                      const std::string& ini, const SettingsForm& form) {
        const std::string expected = dir.makeFolder("expected " + base).string() + "/";
        writeBatchFile(form, expected, base + ".bat", true);
        writeRestartScript(form, expected, base + ".bat");
        writeServerIni(form, expected, ini, true);
        for (const std::string& name : test::namesIn(expected)) {
            EXPECT_EQ(readFile(folder + name), readFile(expected + name)) << name;
            EXPECT_TRUE(name.ends_with(".sh") ||
                        (fs::status(folder + name).permissions() & fs::perms::all) ==
                            (fs::perms::owner_read | fs::perms::owner_write))
                << name;
        }
    };
    const std::string out = dir.makeFolder("out").string() + "/";
    EXPECT_EQ(runCli(dir, {"make", cfg, out + "My Server.INI", "--game-dir", game, "--set",
                           "AdminName=Alpha Admin"}),
              Result{});
    expectCoresFiles(out, "My Server", "My Server.INI",
                     formOf(cfg, game, {{"AdminName", "Alpha Admin"}}));
    EXPECT_EQ(test::namesIn(out).size(), 3u);
    EXPECT_NE(readFile(out + "My Server.bat").find("?AdminName=Alpha Admin?"), std::string::npos);
    EXPECT_EQ(runCli(dir, {"launch", cfg, "--no-start", "--game-dir", game}), Result{});
    expectCoresFiles(system, "quarnel", "quarnel.ini", formOf(cfg, game));
    EXPECT_FALSE(fs::exists(system + "quarnel.pid"));
}

// Every command that writes nothing: what it prints, its exit status, and that the game's
// System folder is left as it was.
TEST_F(CliTest, PrintingCommandsFailuresAndBadUsage) {
    const Result help = runCli(dir, {"--help"});
    EXPECT_EQ(std::tuple(help.exit, help.err), std::tuple(0, ""));
    EXPECT_TRUE(help.out.starts_with("Usage:\n  quarnel-cli command-line CONFIG.cfg [--ini NAME] "
                                     "[--game-dir DIR] [--set KEY=VALUE]...\n"))
        << help.out;
    EXPECT_TRUE(help.out.ends_with("\n  quarnel-cli --help | --version\n")) << help.out;
    const auto usage = [&](const std::string& why) {
        return Result{2, "", "quarnel-cli: " + why + "\n" + help.out};
    };
    const auto fails = [](const std::string& why) {
        return Result{1, "", "quarnel-cli: " + why + "\n"};
    };
    const auto line = [&](const std::string& ini, std::vector<ConfigOverride> overrides = {}) {
        return Result{0, serverCommandLine(formOf(cfg, game, std::move(overrides)), ini) + "\n",
                      ""};
    };
    const std::string speed = cfgWith("speed.cfg", {{10, "GameSpeed=49"}});
    const std::string odd = cfgWith("odd.cfg", {{-1, "Map3=CTF-Nowhere"}});
    const std::string other = cfgWith("other.cfg", {{27, "ServerName=Beta"}, {23, "UseBots=0"}});
    const std::string missing = (dir.path() / "missing.cfg").string();
    const std::string noGame = dir.makeFolder("nogame").string();
    // The game's own INI file as a named pipe without a writer.
    test::TempDir elsewhere;
    const std::string pipedGame = test::copyDemoInstall(elsewhere);
    const std::string pipedIni = game::templateIni(pipedGame);
    fs::remove(pipedIni);
    ASSERT_EQ(::mkfifo(pipedIni.c_str(), 0600), 0);
    const auto refused = [&](const char* name) { // the names the window's Make refuses
        return fails(system + name + ": " + refuseIniName(name)->message.data());
    };
    const std::string port = "GamePort=" + std::to_string(test::freeGamePort());
    // Run in dir, where the game folder can be named relative to it ("UT2003").

    const std::vector<std::pair<std::vector<std::string>, Result>> cases = {
        {{"--version"}, {0, "quarnel-cli 1.0.0\n", ""}},
        {{"command-line", cfg, "--game-dir", game}, line("quarnel.ini")},
        {{"command-line", cfg, "--game-dir", "UT2003"}, line("quarnel.ini")},
        {{"command-line", cfg, "--game-dir", game, "--ini", "other.ini"}, line("other.ini")},
        {{"command-line", "--ini=x y.ini", cfg, "--game-dir", game}, line("x y.ini")},
        // The last --set of a key wins, whatever its case.
        {{"command-line", cfg, "--game-dir", game, "--set", "GamePort=7779", "--set",
          "gameport=7778", "--set=AdminName=Ann"},
         line("quarnel.ini", {{"GamePort", "7778"}, {"AdminName", "Ann"}})},
        {{"check", cfg, "--game-dir", game, "--set", port}, {}},
        {{"check", odd, "--game-dir", game, "--set", port, "--set", "Mutators=Bad Mutator"},
         {1,
          "MAP-MISSING Map List: map CTF-Nowhere is not in the game's Maps folder (" + game +
              "Maps); copy CTF-Nowhere.ut2 there or take the map out of the selection.\n"
              "MUTATOR Extra Mutators: \"Bad Mutator\" is not of the form Package.Class; write "
              "each extra mutator as Package.Class, separated by commas, without blanks.\n",
          ""}},
        {{"diff", cfg, cfg}, {}},
        {{"diff", cfg, other},
         {1, "Use Bots: on vs off\nServer Name: \"Quarnel Demo CTF\" vs \"Beta\"\n", ""}},
        {{"diff", odd, other},
         {1,
          "Use Bots: on vs off\nServer Name: \"Quarnel Demo CTF\" vs \"Beta\"\n"
          "Maps: \"CTF-Foundry, CTF-Harbor, CTF-Nowhere\" vs \"CTF-Foundry, CTF-Harbor\"\n",
          ""}},
        {{"diff", cfg, missing},
         {2, "", "quarnel-cli: " + missing + ": File not found (error 53)\n"}},
        {{"launch", speed, "--no-start", "--game-dir", game},
         fails(speed + ": line 11 (GameSpeed): Invalid property value (error 380)")},
        {{"make", missing, system + "x.ini", "--game-dir", game},
         fails(missing + ": File not found (error 53)")},
        {{"launch", cfg, "--no-start", "--game-dir", noGame},
         fails(game::templateIni(noGame + "/") + ": File not found (error 53)")},
        {{"launch", cfg, "--no-start", "--game-dir", pipedGame},
         fails(pipedIni + ": Not a file but a named pipe (error 53)")},
        {{"make", cfg, system + "UT2003.INI", "--game-dir", game}, refused("UT2003.INI")},
        {{"make", cfg, system + "server.txt", "--game-dir", game}, refused("server.txt")},
        {{"launch", cfg, "--no-start", "--game-dir", game, "--set", "Bogus=1"},
         fails("--set Bogus=1: no such setting in a configuration file (error 380)")},
        {{"launch", cfg, "--no-start", "--game-dir", game, "--set", "GameSpeed=49"},
         fails("--set GameSpeed=49: Invalid property value (error 380)")},
        {{"launch", cfg, "--no-start", "--game-dir", game, "--set", "BotsSkill=Expert"},
         fails("--set BotsSkill=Expert: Invalid property value (error 380)")},
        {{"launch", cfg, "--no-start", "--game-dir", game, "--set", "UseBots=yes"},
         fails("--set UseBots=yes: Type mismatch (error 13)")},
        {{}, usage("no command given")},
        {{"bogus"}, usage("unknown command bogus")},
        {{"--version", "extra"}, usage("unknown command --version")},
        {{"command-line"}, usage("wrong number of arguments for command-line")},
        {{"command-line", cfg, "--ini"}, usage("--ini needs a value")},
        {{"command-line", cfg, "--ini="}, usage("--ini needs a value")},
        {{"command-line", cfg, "--no-start"}, usage("unknown option --no-start")},
        {{"check", cfg, "--ini", "x.ini"}, usage("unknown option --ini")},
        {{"command-line", cfg, "--set", "NoEquals"}, usage("--set needs KEY=VALUE, not NoEquals")},
        {{"command-line", cfg, "--set", "=1"}, usage("--set needs KEY=VALUE, not =1")},
    };
    const auto before = test::namesIn(system);
    for (const auto& [args, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_EQ(runCli(dir, args, "cd " + quoteForSh(dir.path().string()) + " && "), expected);
    }
    EXPECT_EQ(test::namesIn(system), before);
    EXPECT_TRUE(test::namesIn(noGame).empty());
    EXPECT_FALSE(fs::exists(game::systemFolder(pipedGame) + "quarnel.bat"));
    // Output that cannot be written is a failure, not a silent success.
    const fs::path err = dir.path() / ".full";
    const int status = std::system(
        (quoteForSh(QUARNEL_CLI) + " --version >/dev/full 2>" + quoteForSh(err.string())).c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    EXPECT_EQ(readFile(err), "quarnel-cli: standard output: write error\n");
}

// The store commands use the window's store, named here by QUARNEL_REGISTRY.
class CliStoreTest : public CliTest {
protected:
    CliStoreTest() { ::setenv("QUARNEL_REGISTRY", store.c_str(), 1); }
    ~CliStoreTest() override { ::unsetenv("QUARNEL_REGISTRY"); }
    const std::string store = (dir.path() / "config" / "registry.db").string();
};

// Without a store, export writes the first-run settings and creates none. An import that
// fails leaves the store as it was. A store that this user can only read (the file and its
// folder) is exported, and an import into it is refused without touching it; run as root, the
// commands run as another user, for whom root's store is read-only.
TEST_F(CliStoreTest, ExportAndImportUseTheStoreOfTheWindow) {
    const std::string first = (dir.path() / "first.cfg").string();
    EXPECT_EQ(runCli(dir, {"export-config", first}), Result{});
    EXPECT_FALSE(fs::exists(fs::path(store).parent_path()));
    const std::vector<std::string> lines = readTextLines(first);
    ASSERT_EQ(lines.size(), 60u);
    EXPECT_EQ((std::vector<std::string>{lines[0], lines[1], lines[26], lines[59]}),
              (std::vector<std::string>{"UTPATH=", "GameType=Deathmatch", "BotsSkill=Experienced",
                                        "UseMapRotation=1"}));
    ASSERT_EQ(runCli(dir, {"import-config", cfg, "--game-dir", game}).exit, 0);
    // As the window does, the store notes the program's own folder.
    EXPECT_EQ(openSystemStore().registry->readValue(kProgramRoot, kProgramKey, kPathValue),
              RegValue(test::cliFolder()));
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

    const fs::path folder = fs::path(store).parent_path();
    const fs::path out = dir.makeFolder("out") / "exported.cfg";
    std::string asOther;
    using P = fs::perms;
    if (::geteuid() == 0) {
        for (const fs::path& path : {dir.path(), folder})
            fs::permissions(path, P::owner_all | P::group_read | P::group_exec | P::others_read |
                                      P::others_exec);
        fs::permissions(store, P::owner_read | P::owner_write | P::group_read | P::others_read);
        fs::permissions(out.parent_path(), P::all);
        asOther = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    } else {
        fs::permissions(store, P::owner_read);
        fs::permissions(folder, P::owner_read | P::owner_exec);
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

} // namespace
} // namespace quarnel
