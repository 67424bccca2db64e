#include "ShellFixture.h"
#include "common/Text.h"
#include "game/Installation.h"
#include "store/ConfigFile.h"
#include "store/RememberedSettings.h"
#ifndef _WIN32
#include "store/SqliteRegistry.h"
#endif

#include <filesystem>

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;
using Msg = FakeDialogs::Message;

const Msg kFirstRun{"This is your first time running this app. Your configuration will be saved "
                    "when the application is closed normally.",
                    "First Run Time"};
const Msg kBrowse{"UT2003 path not found.  Please browse to UCC.EXE", "Browse to UCC.EXE"};

// The game folder that browsing to a server program in folder gives: lower-cased where names
// ignore case.
std::string browsed(const std::string& folder) {
#ifdef _WIN32
    return lowerAscii(folder.substr(0, folder.size() - 1)) + '\\';
#else
    return folder;
#endif
}

// The first run announces itself once and stores only Path until shutdown; a later run
// restores the last settings (without asking elsewhere), and offers the bonus pack's game
// types as the marker file says, keeping a stored one selected.
TEST_F(ShellTest, FirstRunThenLaterRunsRestoreTheLastSettings) {
    storeGameFolder(install);
    auto run = newRun();
    run->shell.onStart();
    EXPECT_EQ(std::tuple(run->dialogs.messages, run->dialogs.requests.size(), run->window.title,
                         run->window.dressed, run->form.gameType(), run->form.gameFolder(),
                         run->form.mapList().folder),
              std::tuple(std::vector{kFirstRun}, 0u, "Quarnel", 1, 2, install,
                         install + spelled("maps", "Maps")));
    EXPECT_EQ(registry->valueNames(kProgramRoot, kProgramKey), std::vector<std::string>{"Path"});
    EXPECT_EQ(text(kProgramKey, "Path"), programFolder + game::kNativeSeparator);
    // A first run killed before its save leaves the key with Path only: a later start shows
    // the first-run values (the store's tests check each unusable value on its own).
    auto killed = newRun();
    killed->shell.onStart();
    EXPECT_EQ(std::tuple(killed->dialogs.messages.size(), configLines(killed->form)),
              std::tuple(0u, configLines(run->form)));
    run->form.selectGameType(1);
    run->form.setMapSelected(1, true);
    run->form.setText(Text::ServerName, "Big Server");
    run->form.setChecked(Check::UseBots, true);
    run->shell.unload();
    EXPECT_EQ(std::tuple(run->window.closed, run->dialogs.messages.size()), std::tuple(1, 1u));
    EXPECT_EQ(storedPathToGameFolder(text(kProgramKey, "UTPATH")), install);
    // The game's own entry now names another installation; it must not be consulted.
    TempDir elsewhere;
    storeGameFolder(copyDemoInstall(elsewhere));
    run = newRun();
    run->shell.onStart();
    EXPECT_TRUE(run->dialogs.messages.empty() && run->dialogs.requests.empty());
    EXPECT_EQ(std::tuple(run->form.gameFolder(), run->form.gameType(), run->form.mapList().selected,
                         run->form.text(Text::ServerName), run->form.enabled().botSkillCheck),
              std::tuple(install, 1, std::vector<bool>{false, true, false}, "Big Server", true));
    // The stored map entries stay in the store while the program runs.
    EXPECT_EQ(trimRightBlanks(text(kProgramKey, "Map1")), "CTF-Glacier");
    run->form.selectGameType(6);
    run->shell.unload();

    fs::remove(dir.path() / "UT2003/System/BonusPack.int");
    run = newRun();
    run->shell.onStart();
    const auto& enabled = run->form.enabled().gameTypes;
    EXPECT_EQ(std::vector<bool>(enabled.begin(), enabled.end()),
              (std::vector<bool>{true, true, true, true, true, false, false, false, true}));
    EXPECT_EQ(run->form.gameType(), 6);
}

#ifndef _WIN32
// A store that can only be read still gives the last settings; the user is told once that
// changes will not be saved, and nothing is written into it.
TEST_F(ShellTest, ReadOnlyStoreShowsTheStoredSettingsAndSavesNothing) {
    const fs::path file = dir.path() / "config" / "registry.db";
    {
        SettingsForm last;
        last.setGameFolder(install);
        last.applyFirstRunDefaults();
        last.setText(Text::ServerName, "Stored Server");
        rememberSettings(*openRegistry(file).registry, last, programFolder);
    }
    const std::string before = readFile(file);
    auto store = SqliteRegistry::openFile(file, 1000, true);
    ASSERT_EQ(store.status, SqliteRegistry::OpenStatus::Ok) << store.reason;
    ProgramRun run(*store.registry, programFolder);
    run.shell.onStart();
    run.form.setText(Text::ServerName, "Changed");
    run.shell.unload();
    const Msg readOnly{"Your stored settings can only be read: the settings file or its folder "
                       "is read-only. The window shows them, but changes made in this run will "
                       "not be saved when the application is closed.",
                       "Settings Will Not Be Saved"};
    EXPECT_EQ(run.dialogs.messages, std::vector{readOnly});
    EXPECT_EQ(run.form.gameFolder(), install);
    store.registry.reset();
    EXPECT_EQ(readFile(file), before);
    EXPECT_NE(before.find("Stored Server"), std::string::npos);
}
#endif

// A stored folder that is gone falls back to the game's own entry, else to browsing for the
// server program; so does a key without a stored folder (a killed first run, see above).
TEST_F(ShellTest, AGoneFolderFallsBackToTheGameEntryElseToBrowsing) {
    put(kProgramKey, kUtpathValue, dir.withSeparator() + "gone ");
    // The chosen file and the game folder it names (the names a server program gives are
    // checked with the paths'); nullptr chosen: cancelled.
    const std::pair<const char*, const char*> choices[] = {{"UT2003/System/UCC.EXE", "UT2003/"},
                                                           {"UT2003/System/BonusPack.int", nullptr},
                                                           {nullptr, nullptr}};
    for (const auto& [chosen, gameFolder] : choices) {
        SCOPED_TRACE(chosen ? chosen : "cancelled");
        auto run = newRun();
        if (chosen != nullptr)
            run->dialogs.choose(dir.withSeparator() + chosen);
        run->shell.onStart();
        const std::string expected = gameFolder ? browsed(dir.withSeparator() + gameFolder) : "";
        ASSERT_EQ(run->dialogs.requests.size(), 1u);
        EXPECT_EQ(std::tuple(run->dialogs.messages, run->dialogs.requests[0].mode,
                             run->dialogs.requests[0].filterPattern, run->form.gameFolder(),
                             run->form.mapList().folder),
                  std::tuple(std::vector{kBrowse}, FileDialogRequest::Mode::Open,
                             kWritesRestartScript ? "ucc.exe ucc-bin" : "ucc.exe", expected,
                             gameFolder ? game::mapsFolder(expected)
                                        : programFolder + game::kNativeSeparator));
    }
    storeGameFolder(install);
    auto run = newRun();
    run->shell.onStart();
    EXPECT_TRUE(run->dialogs.messages.empty());
    EXPECT_EQ(run->form.mapList().folder, install + spelled("maps", "Maps"));
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
    const Msg closes{"UT2003 Path not set properly.  App will close", "Path Not Set"};
    EXPECT_EQ(run->dialogs.messages, (std::vector{kFirstRun, kBrowse, closes}));
    EXPECT_EQ(std::tuple(run->window.closed, run->shell.unloaded(), stored("UseMapRotation")),
              std::tuple(1, true, true));
    // A later report of the same close does not save again.
    put(kProgramKey, "ServerName", "written after the save ");
    run->shell.onClose();
    EXPECT_EQ(text(kProgramKey, "ServerName"), "written after the save ");
}

// A store that always fails, or fails only while start-up asks it (busy, say): the program
// starts and closes, and the settings it holds were not loaded, so they are not overwritten.
TEST_F(ShellTest, AStoreThatFailsAtStartUpStillStartsClosesAndKeepsItsSettings) {
    for (const int failures : {-1, 1}) {
        SCOPED_TRACE(failures);
        registry = makeMemoryRegistry();
        put(kProgramKey, "ServerName", "Kept ");
        FailingRegistry failing(*registry, failures);
        ProgramRun run(failing, programFolder);
        run.dialogs.choose(install + "System/ucc.exe");
        EXPECT_NO_THROW(run.shell.onStart());
        run.form.setText(Text::ServerName, "Replaced");
        EXPECT_NO_THROW(run.shell.unload());
        EXPECT_EQ(std::tuple(run.dialogs.messages, run.form.gameFolder(), run.form.gameType(),
                             run.window.closed, text(kProgramKey, "ServerName"), stored("UTPATH")),
                  std::tuple(std::vector{kBrowse}, browsed(install), 2, 1, "Kept ", false));
    }
}

} // namespace
} // namespace quarnel::test
