#include "CliRun.h"
#include "MachineFixture.h"
#include "StandInGame.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "store/ConfigForm.h"
#include "store/RegistrySettings.h"
#include "store/SystemStore.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runCli;
using Result = test::CliResult;

Result fails(const std::string& why) {
    return Result{1, "", "quarnel-cli: " + why + "\n"};
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

// make writes the core's files (whose bytes the core's tests check), those holding the admin
// password for their owner alone; launch --no-start writes the same three and starts nothing.
TEST_F(CliTest, MakeAndLaunchWithoutStartingWriteTheCoresFiles) {
    const std::string out = dir.makeFolder("out").string() + "/";
    const std::string expected = dir.makeFolder("expected").string() + "/";
    EXPECT_EQ(runCli(dir, {"make", cfg, out + "My Server.INI", "--game-dir", game, "--set",
                           "AdminName=Alpha Admin"}),
              Result{});
    SettingsForm form;
    formFromConfig(form, {cfg, game, "/", {{"AdminName", "Alpha Admin"}}});
    writeBatchFile(form, expected, "My Server.bat", true);
    writeRestartScript(form, expected, "My Server.bat");
    writeServerIni(form, expected, "My Server.INI", true);
    EXPECT_EQ(test::namesIn(out), test::namesIn(expected));
    for (const std::string& name : test::namesIn(expected)) {
        EXPECT_EQ(readFile(out + name), readFile(expected + name)) << name;
        EXPECT_TRUE(name.ends_with(".sh") ||
                    (fs::status(out + name).permissions() & fs::perms::all) ==
                        (fs::perms::owner_read | fs::perms::owner_write))
            << name;
    }
    const auto before = test::namesIn(system);
    EXPECT_EQ(runCli(dir, {"launch", cfg, "--no-start", "--game-dir", game}), Result{});
    for (const char* name : {"quarnel.bat", "quarnel.sh", "quarnel.ini"})
        EXPECT_TRUE(!before.count(name) && fs::is_regular_file(system + name)) << name;
    EXPECT_FALSE(fs::exists(system + "quarnel.pid"));
}

// Every command that writes nothing: what it prints, its exit status, and that the game's
// System folder is left as it was.
TEST_F(CliTest, PrintingCommandsFailuresAndBadUsage) {
    const Result help = runCli(dir, {"--help"});
    EXPECT_EQ(std::tuple(help.exit, help.err), std::tuple(0, ""));
    EXPECT_TRUE(help.out.starts_with("Usage:\n  quarnel-cli command-line CONFIG.cfg [--ini NAME] "
                                     "[--game-dir DIR] [--set KEY=VALUE]...\n") &&
                help.out.ends_with("\n  quarnel-cli --help | --version\n"))
        << help.out;
    const auto usage = [&](const std::string& why) {
        return Result{2, "", "quarnel-cli: " + why + "\n" + help.out};
    };
    const auto line = [&](const std::string& ini, std::vector<ConfigOverride> overrides = {}) {
        SettingsForm form;
        formFromConfig(form, {cfg, game, "/", std::move(overrides)});
        return Result{0, serverCommandLine(form, ini) + "\n", ""};
    };
    const std::string speed = cfgWith("speed.cfg", {{10, "GameSpeed=49"}});
    const std::string odd = cfgWith("odd.cfg", {{-1, "Map3=CTF-Nowhere"}});
    const std::string other = cfgWith("other.cfg", {{27, "ServerName=Beta"}, {23, "UseBots=0"}});
    const std::string missing = (dir.path() / "missing.cfg").string();
    const std::string noGame = dir.makeFolder("nogame").string();
    const std::string port = "GamePort=" + std::to_string(test::freeGamePort());
    const std::vector<std::pair<std::vector<std::string>, Result>> cases = {
        {{"--version"}, {0, "quarnel-cli 1.0.0\n", ""}},
        // Run in dir, where the game folder can be named relative to it.
        {{"command-line", "--ini=x y.ini", cfg, "--game-dir", "UT2003"}, line("x y.ini")},
        // The last --set of a key wins, whatever its case.
        {{"command-line", cfg, "--game-dir", game, "--ini", "o.ini", "--set", "GamePort=7779",
          "--set", "gameport=7778", "--set=AdminName=Ann"},
         line("o.ini", {{"GamePort", "7778"}, {"AdminName", "Ann"}})},
        {{"check", cfg, "--game-dir", game, "--set", port}, {}},
        {{"check", cfg, "--game-dir", game, "--set", port, "--set", "Mutators=Bad Mutator"},
         {1,
          "MUTATOR Extra Mutators: \"Bad Mutator\" is not of the form Package.Class; write "
          "each extra mutator as Package.Class, separated by commas, without blanks.\n",
          ""}},
        {{"diff", cfg, cfg}, {}},
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
        {{"make", cfg, system + "UT2003.INI", "--game-dir", game},
         fails(system + "UT2003.INI: You cannot overwrite built-in .INI files")},
        {{"launch", cfg, "--no-start", "--game-dir", game, "--set", "Bogus=1"},
         fails("--set Bogus=1: no such setting in a configuration file (error 380)")},
        {{"launch", cfg, "--no-start", "--game-dir", game, "--set", "UseBots=yes"},
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
    for (const auto& [args, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        EXPECT_EQ(runCli(dir, args, "cd " + quoteForSh(dir.path().string()) + " && "), expected);
    }
    EXPECT_EQ(test::namesIn(system), before);
    EXPECT_TRUE(test::namesIn(noGame).empty());
    // Output that cannot be written is a failure, not a silent success.
    const fs::path err = dir.path() / ".full";
    const int status = std::system(
        (quoteForSh(QUARNEL_CLI) + " --version >/dev/full 2>" + quoteForSh(err.string())).c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    EXPECT_EQ(readFile(err), "quarnel-cli: standard output: write error\n");
}

// The store commands use the window's store, named here by QUARNEL_REGISTRY. Without a store,
// export creates none; an import that fails leaves the store as it was. A store this user can
// only read (the file and its folder) is exported, and an import into it is refused; run as
// root, the commands run as another user, for whom root's store is read-only.
TEST_F(CliTest, ExportAndImportUseTheStoreOfTheWindow) {
    const std::string store = (dir.path() / "config" / "registry.db").string();
    ::setenv("QUARNEL_REGISTRY", store.c_str(), 1);
    const fs::path folder = fs::path(store).parent_path();
    const fs::path out = dir.makeFolder("out") / "exported.cfg";
    EXPECT_EQ(runCli(dir, {"export-config", out.string()}), Result{});
    EXPECT_EQ(readTextLines(out.string()).at(1), "GameType=Deathmatch");
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_EQ(runCli(dir, {"import-config", cfg, "--game-dir", game}), Result{});
    // As the window does, the store notes the program's own folder.
    EXPECT_EQ(openSystemStore().registry->readValue(kProgramRoot, kProgramKey, kPathValue),
              RegValue(test::cliFolder()));
    const std::string before = readFile(store);
    const std::string broken = cfgWith("broken.cfg", {{23, "UseBots=yes"}});
    EXPECT_EQ(runCli(dir, {"import-config", broken, "--game-dir", game}),
              fails(broken + ": line 24 (UseBots): Type mismatch (error 13)"));
    EXPECT_EQ(readFile(store), before);

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
              fails(store + ": the settings store can only be read (the file or its folder is "
                            "read-only); nothing was imported"));
    EXPECT_EQ(readFile(store), before);
    ::unsetenv("QUARNEL_REGISTRY");
}

} // namespace
} // namespace quarnel
