#include "ShellFixture.h"
#include "common/Text.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "store/ConfigFile.h"
#include "store/ConfigForm.h"
#include "store/RememberedSettings.h"
#ifndef _WIN32
#include "store/SqliteRegistry.h"
#endif

#include <filesystem>

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;

const FakeDialogs::Message kFirstRun{"This is your first time running this app. Your "
                                     "configuration will be saved when the application is "
                                     "closed normally.",
                                     "First Run Time"};
const FakeDialogs::Message kBrowse{"UT2003 path not found.  Please browse to UCC.EXE",
                                   "Browse to UCC.EXE"};
// The game folder that browsing to a server program in folder gives: where names ignore case
// it is lower-cased, and it ends in the native separator.
std::string browsed(const std::string& folder) {
#ifdef _WIN32
    return lowerAscii(folder.substr(0, folder.size() - 1)) + '\\';
#else
    return folder;
#endif
}

const FakeDialogs::Message kPathNotSet{"UT2003 Path not set properly.  App will close",
                                       "Path Not Set"};
const FakeDialogs::Message kReadOnly{
    "Your stored settings can only be read: the settings file or its folder is read-only. The "
    "window shows them, but changes made in this run will not be saved when the application "
    "is closed.",
    "Settings Will Not Be Saved"};

TEST_F(ShellTest, FirstRunAnnouncesItselfOnceAndStoresOnlyPathUntilShutdown) {
    storeGameFolder(install);
    auto run = newRun();
    run->shell.onStart();

    EXPECT_EQ(run->dialogs.messages, std::vector{kFirstRun});
    EXPECT_TRUE(run->dialogs.requests.empty());
    EXPECT_EQ(run->window.title, "Quarnel");
    EXPECT_EQ(run->window.dressed, 1);
    EXPECT_EQ(run->form.gameType(), 2);
    EXPECT_EQ(run->form.gameFolder(), install);
    EXPECT_EQ(run->form.mapList().folder, install + spelled("maps", "Maps"));
    EXPECT_EQ(run->form.mapList().pattern, "DM-*.*");
    // The panels are in step with the unchecked Use Bots and Enable WebAdmin boxes.
    EXPECT_FALSE(run->form.enabled().botSkillCheck);
    EXPECT_FALSE(run->form.enabled().webAdminPort);

    EXPECT_EQ(text(kProgramKey, "Path"), programFolder + game::kNativeSeparator);
    for (const char* name : {"UTPATH", "MapCount", "GameType", "ServerName", "UseMapRotation"})
        EXPECT_FALSE(stored(name)) << name;

    run->shell.unload();
    EXPECT_EQ(run->window.closed, 1);
    EXPECT_EQ(storedPathToGameFolder(text(kProgramKey, "UTPATH")), install);
    EXPECT_EQ(run->dialogs.messages.size(), 1u);
}

TEST_F(ShellTest, LaterRunRestoresTheLastSettingsWithoutAskingElsewhere) {
    storeGameFolder(install);
    {
        auto first = newRun();
        first->shell.onStart();
        first->form.selectGameType(1);
        ASSERT_GE(first->form.mapList().count(), 2u);
        first->form.setMapSelected(1, true);
        first->form.setText(Text::ServerName, "Big Server");
        first->form.setChecked(Check::UseBots, true);
        first->shell.unload();
    }
    // The game's own entry now names another installation; it must not be consulted.
    TempDir elsewhere;
    storeGameFolder(copyDemoInstall(elsewhere));

    auto run = newRun();
    run->shell.onStart();

    EXPECT_TRUE(run->dialogs.messages.empty());
    EXPECT_TRUE(run->dialogs.requests.empty());
    EXPECT_EQ(run->form.gameFolder(), install);
    EXPECT_EQ(run->form.gameType(), 1);
    EXPECT_EQ(run->form.mapList().selected, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(run->form.text(Text::ServerName), "Big Server");
    EXPECT_TRUE(run->form.enabled().botSkillCheck);
    // The stored map entries stay in the store while the program runs.
    EXPECT_EQ(trimRightBlanks(text(kProgramKey, "Map1")), "CTF-Glacier");
}

// A key without a stored folder (a killed first run) falls back the same way: see below.
TEST_F(ShellTest, StoredFolderThatIsGoneFallsBackToTheGameEntry) {
    storeLastRun(dir.withSeparator() + "gone/");
    storeGameFolder(install);
    auto run = newRun();
    run->shell.onStart();
    EXPECT_TRUE(run->dialogs.messages.empty());
    EXPECT_EQ(run->form.gameFolder(), install);
    EXPECT_EQ(run->form.mapList().folder, install + spelled("maps", "Maps"));
}

// A first run killed before its save leaves the key with Path only; a store that something
// else changed may lack values or hold ones that do not convert. What is missing or unusable
// keeps its first-run value: the window and the command line are a first run's with the
// usable values over it, and the configuration exported from the store loads.
TEST_F(ShellTest, MissingOrUnusableStoredValuesKeepTheirFirstRunValues) {
    using Values = std::vector<std::pair<const char*, RegWriteValue>>;
    const std::pair<const char*, Values> cases[] = {{"killed first run", {}},
                                                    {"missing or unusable",
                                                     {{"GameType", std::vector<std::uint8_t>{1, 2}},
                                                      {"ArenaOptions", std::string("Bogus ")},
                                                      {"BotsSkill", std::string(" ")},
                                                      {"GameSpeed", std::string("20 ")},
                                                      {"UseMapRotation", std::string("x ")},
                                                      {"ServerName", std::string("Kept Server ")},
                                                      {"MaxPlayers", std::string("24 ")}}}};
    for (const auto& [label, values] : cases) {
        SCOPED_TRACE(label);
        registry = makeMemoryRegistry();
        storeGameFolder(install);
        auto killed = newRun();
        killed->shell.onStart(); // and never unloaded: the key holds Path only
        for (const auto& [name, value] : values)
            registry->writeValue(kProgramRoot, kProgramKey, name, value);
        SettingsForm expected = killed->form;
        if (!values.empty()) {
            expected.setText(Text::ServerName, "Kept Server");
            expected.setScroll(Scroll::MaxPlayers, 24);
        }

        auto run = newRun();
        run->shell.onStart();
        EXPECT_TRUE(run->dialogs.messages.empty());
        EXPECT_EQ(run->form.gameType(), 2);
        EXPECT_EQ(run->form.arena(), 0);
        EXPECT_EQ(run->form.botSkillText(), "Experienced");
        EXPECT_EQ(configLines(run->form), configLines(expected));
        EXPECT_EQ(serverCommandLine(run->form, "quarnel.ini"),
                  serverCommandLine(expected, "quarnel.ini"));

        const std::string cfg = dir.withSeparator() + "exported.cfg";
        exportRememberedSettings(*registry, programFolder, cfg, true);
        SettingsForm imported;
        ASSERT_NO_THROW(formFromConfig(imported, {cfg, std::nullopt, programFolder}));
        EXPECT_EQ(configLines(imported), configLines(expected));
    }
}

#ifndef _WIN32
// A store that can only be read still gives the last settings. The user is told once that
// changes will not be saved, and nothing is written into it.
TEST_F(ShellTest, ReadOnlyStoreShowsTheStoredSettingsAndSavesNothing) {
    const fs::path file = dir.path() / "config" / "registry.db";
    {
        SettingsForm last;
        last.setGameFolder(install);
        last.applyFirstRunDefaults();
        last.selectGameType(1);
        last.setText(Text::ServerName, "Stored Server");
        rememberSettings(*openRegistry(file).registry, last, programFolder);
    }
    const std::string before = readFile(file);
    auto store = SqliteRegistry::openFile(file, 1000, true);
    ASSERT_EQ(store.status, SqliteRegistry::OpenStatus::Ok) << store.reason;
    ProgramRun run(*store.registry, programFolder);
    run.shell.onStart();
    EXPECT_EQ(run.dialogs.messages, std::vector{kReadOnly});
    EXPECT_EQ(run.form.gameFolder(), install);
    EXPECT_EQ(run.form.gameType(), 1);
    EXPECT_EQ(run.form.text(Text::ServerName), "Stored Server");

    run.form.setText(Text::ServerName, "Changed");
    run.shell.unload();
    EXPECT_EQ(run.dialogs.messages.size(), 1u);
    store.registry.reset();
    EXPECT_EQ(readFile(file), before);
}
#endif

TEST_F(ShellTest, BrowsingPointsAtTheServerProgram) {
    dir.writeFile("Games/UT/ucc.exe", "");
    dir.writeFile("Linux/UT/System/ucc-bin", "");
    storeLastRun(dir.withSeparator() + "gone/");
    // The chosen file and the game folder it names, below the temporary folder.
    const std::pair<const char*, const char*> choices[] = {{"UT2003/System/UCC.EXE", "UT2003/"},
                                                           {"Games/UT/ucc.exe", "Games/UT/"},
                                                           {"Linux/UT/System/ucc-bin", "Linux/UT/"},
                                                           {"UT2003/System/BonusPack.int", nullptr},
                                                           {nullptr, nullptr}}; // cancelled
    for (const auto& [chosen, gameFolder] : choices) {
        SCOPED_TRACE(chosen ? chosen : "cancelled");
        auto run = newRun();
        if (chosen != nullptr)
            run->dialogs.choose(dir.withSeparator() + chosen);
        run->shell.onStart();

        EXPECT_EQ(run->dialogs.messages, std::vector{kBrowse});
        ASSERT_EQ(run->dialogs.requests.size(), 1u);
        EXPECT_EQ(run->dialogs.requests[0].mode, FileDialogRequest::Mode::Open);
        EXPECT_EQ(run->dialogs.requests[0].filterPattern,
                  kWritesRestartScript ? "ucc.exe ucc-bin" : "ucc.exe");
        const std::string expected =
            gameFolder ? browsed(dir.withSeparator() + gameFolder) : std::string();
        EXPECT_EQ(run->form.gameFolder(), expected);
        EXPECT_EQ(run->form.mapList().folder,
                  gameFolder ? game::mapsFolder(expected) : programFolder + game::kNativeSeparator);
    }
}

TEST_F(ShellTest, PathCheckClosesOnlyWithoutAnyFolderAndSavesOnce) {
    auto run = newRun();
    run->dialogs.cancel();
    run->shell.onStart();
    // A folder that is set, even one that does not exist, passes.
    for (const char* set : {"/no/such/folder/", "../"}) {
        run->form.setGameFolder(set);
        run->shell.onActivate();
    }
    EXPECT_EQ(run->window.closed, 0);
    run->form.setGameFolder(std::string(".") + game::kNativeSeparator);
    run->shell.onActivate();
    run->shell.onActivate();

    EXPECT_EQ(run->dialogs.messages, (std::vector{kFirstRun, kBrowse, kPathNotSet}));
    EXPECT_EQ(run->window.closed, 1);
    EXPECT_TRUE(run->shell.unloaded());
    EXPECT_TRUE(stored("UseMapRotation"));
    // A later report of the same close does not save again.
    put(kProgramKey, "ServerName", "written after the save ");
    run->shell.onClose();
    EXPECT_EQ(text(kProgramKey, "ServerName"), "written after the save ");
}

TEST_F(ShellTest, BonusPackTypesFollowTheMarkerFile) {
    storeGameFolder(install);
    {
        auto first = newRun();
        first->shell.onStart();
        EXPECT_TRUE(first->form.enabled().gameTypes[5]);
        first->form.selectGameType(6);
        first->shell.unload();
    }
    fs::remove(dir.path() / "UT2003/System/BonusPack.int");
    auto run = newRun();
    run->shell.onStart();

    const auto& enabled = run->form.enabled().gameTypes;
    EXPECT_EQ(std::vector<bool>(enabled.begin(), enabled.end()),
              (std::vector<bool>{true, true, true, true, true, false, false, false, true}));
    EXPECT_EQ(run->form.gameType(), 6);
}

TEST_F(ShellTest, BrokenStoreStillStartsAndCloses) {
    FailingRegistry broken(*registry, -1);
    ProgramRun run(broken, programFolder);
    run.dialogs.choose(install + "System/ucc.exe");
    EXPECT_NO_THROW(run.shell.onStart());
    EXPECT_EQ(run.dialogs.messages, std::vector{kBrowse});
    EXPECT_EQ(run.form.gameFolder(), browsed(install));
    EXPECT_EQ(run.form.gameType(), 2);
    EXPECT_NO_THROW(run.shell.unload());
    EXPECT_EQ(run.window.closed, 1);
}

// A store that fails only while start-up asks it (busy, say) and works again by shutdown
// must keep the settings it holds: they were not loaded, so they are not overwritten.
TEST_F(ShellTest, AStoreThatCouldNotBeAskedAtStartUpKeepsItsSettings) {
    put(kProgramKey, "ServerName", "Kept ");
    FailingRegistry flaky(*registry, 1);
    ProgramRun run(flaky, programFolder);
    run.dialogs.choose(install + "System/ucc.exe");
    run.shell.onStart();
    EXPECT_EQ(run.dialogs.messages, std::vector{kBrowse}); // no "First Run Time"
    run.form.setText(Text::ServerName, "Replaced");
    run.shell.unload();
    EXPECT_EQ(text(kProgramKey, "ServerName"), "Kept ");
    EXPECT_FALSE(stored("UTPATH"));
}

} // namespace
} // namespace quarnel::test
