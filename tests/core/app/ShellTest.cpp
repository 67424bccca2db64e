#include "MachineFixture.h"
#include "ShellFixture.h"
#include "app/Paths.h"
#include "common/Error.h"
#include "common/Text.h"
#include "game/Installation.h"
#include "store/Preferences.h"

#include <filesystem>

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;
using Msg = FakeDialogs::Message;

const Msg kFirstRun{"This is your first time running this app. Your configuration will be saved "
                    "when the application is closed normally.",
                    "First Run Time"};
const Msg kBrowse{"UT2003 path not found.  Please browse to UCC.EXE", "Browse to UCC.EXE"};
const Msg kSaved{"Config files saved", "Save Successful"};

// The game folder that browsing to the server program in folder gives.
std::string browsed(const std::string& folder) {
    return app::kCaseSensitiveFileSystem ? folder
                                         : lowerAscii(folder.substr(0, folder.size() - 1)) + '\\';
}

// First run: only Path stored until shutdown. Later runs: last settings; bonus types if marked.
// The store is only read first, before anything is shown or said or written, so the window can
// be built after, and a start that ends before it shows has changed nothing.
TEST_F(ShellTest, FirstRunThenLaterRunsRestoreTheLastSettings) {
    storeGameFolder(install);
    auto run = newRun();
    run->shell.restore();
    EXPECT_EQ(std::tuple(run->dialogs.messages.size(), run->window.dressed, run->form.gameType(),
                         registry->keyExists(kProgramRoot, kProgramKey)),
              std::tuple(0u, 0, 2, false));
    run->shell.onStart();
    EXPECT_EQ(std::tuple(run->dialogs.messages, run->dialogs.requests.size(), run->window.title,
                         run->window.dressed, run->form.gameType(), run->form.gameFolder(),
                         run->form.mapList().folder),
              std::tuple(std::vector{kFirstRun}, 0u, "Quarnel", 1, 2, install,
                         install + spelled("maps", "Maps")));
    EXPECT_EQ(registry->valueNames(kProgramRoot, kProgramKey), std::vector<std::string>{"Path"});
    EXPECT_EQ(text(kProgramKey, "Path"), programFolder + game::kNativeSeparator);
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
    EXPECT_EQ(
        std::tuple(run->form.gameFolder(), run->form.gameType(), run->form.mapList().selected,
                   run->form.text(Text::ServerName), run->form.enabled().botSkillCheck,
                   run->dialogs.messages.size() + run->dialogs.requests.size()),
        std::tuple(install, 1, std::vector<bool>{false, true, false}, "Big Server", true, 0u));
    EXPECT_EQ(trimRightBlanks(text(kProgramKey, "Map1")), "CTF-Glacier"); // kept while it runs
    run->form.selectGameType(6);
    run->shell.unload();

    fs::remove(dir.path() / "UT2003/System/BonusPack.int");
    run = newRun();
    run->shell.onStart();
    EXPECT_EQ(run->form.enabled().gameTypes,
              (std::array{true, true, true, true, true, false, false, false, true}));
    EXPECT_EQ(run->form.gameType(), 6);
}

// A stored folder that is gone (or none) falls back to the game's own entry, else to browsing.
TEST_F(ShellTest, AGoneFolderFallsBackToTheGameEntryElseToBrowsing) {
    put(kProgramKey, kUtpathValue, dir.withSeparator() + "gone ");
    auto run = newRun();
    run->dialogs.choose(dir.withSeparator() + "UT2003/System/UCC.EXE");
    run->shell.onStart();
    const std::string chosen = browsed(dir.withSeparator() + "UT2003/");
    ASSERT_EQ(run->dialogs.requests.size(), 1u);
    EXPECT_EQ(std::tuple(run->dialogs.messages, run->dialogs.requests[0].mode,
                         run->dialogs.requests[0].filterPattern, run->form.gameFolder(),
                         run->form.mapList().folder),
              std::tuple(std::vector{kBrowse}, FileDialogRequest::Mode::Open,
                         kWritesRestartScript ? "ucc.exe ucc-bin" : "ucc.exe", chosen,
                         game::mapsFolder(chosen)));
    storeGameFolder(install);
    run = newRun();
    run->shell.onStart();
    EXPECT_EQ(std::tuple(run->dialogs.messages.size(), run->form.mapList().folder),
              std::tuple(0u, install + spelled("maps", "Maps")));
}

TEST_F(ShellTest, PathCheckClosesOnlyWithoutAnyFolderAndSaves) {
    auto run = newRun();
    run->dialogs.cancel();
    run->shell.onStart();
    // Without a game folder the map list shows the current folder.
    EXPECT_EQ(run->form.mapList().folder, programFolder + game::kNativeSeparator);
    run->form.setGameFolder("/no/such/folder/"); // set, even if it does not exist: it passes
    run->shell.onActivate();
    EXPECT_EQ(run->window.closed, 0);
    run->form.setGameFolder(std::string(".") + game::kNativeSeparator);
    run->shell.onActivate();
    run->shell.onActivate();
    const Msg closes{"UT2003 Path not set properly.  App will close", "Path Not Set"};
    EXPECT_EQ(run->dialogs.messages, (std::vector{kFirstRun, kBrowse, closes}));
    EXPECT_EQ(std::tuple(run->window.closed, run->shell.unloaded(), stored("UseMapRotation")),
              std::tuple(1, true, true));
}

// Passes calls to real after failing the first `failures` (-1: all), as a busy database does.
class FailingRegistry : public Registry {
    using SV = std::string_view;

public:
    FailingRegistry(Registry& real, int failures) : real_(real), failures_(failures) {}
    bool keyExists(RegRoot r, SV k) override { return pass().keyExists(r, k); }
    bool createKey(RegRoot r, SV k) override { return pass().createKey(r, k); }
    bool writeValue(RegRoot r, SV k, SV n, const RegWriteValue& v) override {
        return pass().writeValue(r, k, n, v);
    }
    RegValue readValue(RegRoot r, SV k, SV n, const RegValue& d) override {
        return pass().readValue(r, k, n, d);
    }
    bool deleteValue(RegRoot r, SV k, SV n) override { return pass().deleteValue(r, k, n); }
    std::vector<std::string> valueNames(RegRoot r, SV k) override {
        return pass().valueNames(r, k);
    }
    void inTransaction(const std::function<void()>& body) override { pass().inTransaction(body); }

private:
    Registry& pass() {
        if (failures_ == 0)
            return real_;
        failures_ -= failures_ > 0;
        throw Error(errc::Registry, "database is locked");
    }
    Registry& real_;
    int failures_;
};

// A store failing always or at start-up only: the program runs, and keeps the unloaded settings.
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

// A run that has started on the demo installation and passed its path check.
struct CommandsTest : ShellTest {
    CommandsTest() {
        storeGameFolder(install);
        run->shell.onStart();
        run->shell.onActivate();
        run->dialogs.messages.clear();
    }
    std::ptrdiff_t countFiles() const {
        return std::distance(fs::recursive_directory_iterator(dir.path()), {});
    }
    void expectStillOpen() {
        EXPECT_EQ(std::tuple(run->opener.opened.size() + run->loops.started.size(),
                             run->window.closed, run->window.title),
                  std::tuple(0u, 0, "Quarnel"));
    }
    // Runs command with name (in the System folder) chosen in its dialog; nullptr: cancelled.
    void runWith(Command command, const char* name, int flags = 0) {
        name ? run->dialogs.choose((system / name).string(), flags) : run->dialogs.cancel();
        run->shell.run(command);
    }

    const fs::path system = dir.path() / "UT2003" / "System";
    const std::string sys = install + spelled("system", "System") + game::kNativeSeparator;
    std::unique_ptr<ProgramRun> run = newRun();
};

TEST_F(CommandsTest, LaunchServerWritesTheFilesStartsTheLoopAndCloses) {
    dir.writeFile("UT2003/System/quarnel.bat", "old");
    run->form.setText(Text::ServerName, "Launch Test");
    run->shell.run(Command::LaunchServer);
    EXPECT_TRUE(readFile(system / "quarnel.bat") != "old" && fs::exists(system / "quarnel.ini"));
    EXPECT_TRUE(!kWritesRestartScript ||
                fs::status(system / "quarnel.sh").permissions() == fs::perms::owner_all);
    // The restart script starts, in a terminal when the desktop has one.
    const auto script =
        std::pair((system / "quarnel.sh").string(), ServerLoops::Output::TerminalIfAny);
    EXPECT_EQ(std::tuple(run->loops.started, run->opener.opened),
              kWritesRestartScript
                  ? std::tuple(std::vector{script}, std::vector<std::string>{})
                  : std::tuple(decltype(run->loops.started){}, std::vector{sys + "quarnel.bat"}));
    EXPECT_EQ(std::tuple(run->window.closed, trimRightBlanks(text(kProgramKey, "ServerName")),
                         run->dialogs.messages.size()),
              std::tuple(1, "Launch Test", 0u));
}

// A launch that starts nothing says why, unless a file could not be written.
TEST_F(CommandsTest, LaunchServerThatStartsNothingStaysOpen) {
    dir.makeFolder("UT2003/System/quarnel.bat");
    run->shell.run(Command::LaunchServer);
    EXPECT_FALSE(fs::exists(system / "quarnel.ini"));
    fs::remove(system / "quarnel.bat");
    fs::remove(system / "ut2003.ini");
    run->shell.run(Command::LaunchServer);
    EXPECT_TRUE(fs::is_regular_file(system / "quarnel.bat") && !fs::exists(system / "quarnel.ini"));
    EXPECT_FALSE(run->shell.unloaded() || !run->dialogs.messages.empty());
#ifndef _WIN32
    dir.writeFile("UT2003/System/ut2003.ini", "");
    // A running loop's pid, wine there, ucc.exe there, the message, files written.
    const std::tuple<std::optional<int>, bool, bool, const char*, const char*, bool> cases[] = {
        {4242, true, true, "Server Running", "quarnel.sh already runs (process 4242)", false},
        {std::nullopt, false, true, "Server Not Started", "ucc.exe needs wine", true},
        {std::nullopt, true, false, "Server Not Started", "neither ucc-bin", true}};
    for (const auto& [running, wine, uccExe, title, names, written] : cases) {
        SCOPED_TRACE(names);
        for (const char* name : {"quarnel.sh", "quarnel.ini", "ucc-bin", "ucc.exe"})
            if (!uccExe || name != std::string("ucc.exe"))
                fs::remove(system / name);
        run->dialogs.messages.clear();
        run->loops.runningPid = running;
        run->loops.wine = wine;
        run->shell.run(Command::LaunchServer);
        const auto& shown = run->dialogs.messages;
        EXPECT_EQ(
            std::tuple(shown.size(), shown.at(0).title,
                       shown.at(0).text.find(names) != std::string::npos,
                       fs::exists(system / "quarnel.sh") && fs::exists(system / "quarnel.ini")),
            std::tuple(1u, title, true, written));
    }
#endif
    expectStillOpen();
}

// Messages, files written and dialog folders per choice; only a file saved or loaded is titled.
TEST_F(CommandsTest, DialogsWriteUnderTheChosenNameOrRefuseIt) {
    const std::string txt = dir.writeFile("UT2003/System/s.txt", "UTPATH=/elsewhere/\r\n").string();
    const int all = kWritesRestartScript ? 3 : 2, other = FileDialogResult::kExtensionDifferent;
    const auto ext = [](std::string ext, std::string what) {
        return Msg{"Extension must be ." + ext + ".  Config files not " + what + ".",
                   "Requires " + ext + " extension"};
    };
    const Msg builtIn{"You cannot overwrite built-in .INI files", "Failed"};
    const std::tuple<Command, const char*, int, std::vector<Msg>, int> cases[] = {
        {Command::MakeBatIni, "myserver.ini", 0, {kSaved}, all},
        {Command::MakeBatIni, "User.ini", 0, {builtIn}, 0},
        {Command::MakeBatIni, "s.txt", other, {ext("INI", "saved")}, 0},
        {Command::LoadConfig, "s.txt", other, {ext("CFG", "loaded")}, 0},
        {Command::SaveConfig, "s.txt", other, {ext("CFG", "saved")}, 0},
        {Command::SaveConfig, "s.txt", 0, {ext("CFG", "saved")}, 0},
        {Command::LoadConfig, nullptr, 0, {}, 0},
        {Command::SaveConfig, nullptr, 0, {}, 0},
        {Command::MakeBatIni, nullptr, 0, {}, 0},
        {Command::LoadConfig, "missing.cfg", 0, {}, 0},
        {Command::SaveConfig, "server.cfg", 0, {}, 1}};
    const std::string program = programFolder + game::kNativeSeparator;
    run->form.setText(Text::ServerName, "Kept");
    for (const auto& [command, name, flags, shown, written] : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(command) << " " << (name ? name : ""));
        run->dialogs.messages.clear();
        const auto filesBefore = countFiles();
        runWith(command, name, flags);
        EXPECT_EQ(std::tuple(run->dialogs.messages, countFiles()),
                  std::tuple(shown, filesBefore + written));
        EXPECT_EQ(run->window.title, written == 1 ? "Quarnel - server.cfg" : "Quarnel");
        const bool make = command == Command::MakeBatIni;
        const FileDialogRequest& asked = run->dialogs.requests.back();
        EXPECT_EQ(
            std::tuple(asked.mode, asked.initialFolder + game::kNativeSeparator, asked.fileName),
            std::tuple(command == Command::LoadConfig ? FileDialogRequest::Mode::Open
                                                      : FileDialogRequest::Mode::Save,
                       make ? sys : program, (make ? sys + "*.ini" : program + "*.cfg")));
    }
    // The restart script goes beside the batch file, named after it.
    for (const char* name : {"myserver.bat", kWritesRestartScript ? "myserver.sh" : "myserver.ini"})
        EXPECT_TRUE(fs::is_regular_file(system / name)) << name;
    run->form.setText(Text::ServerName, "Changed");
    run->window.title = "Quarnel";
    runWith(Command::LoadConfig, "server.cfg");
    EXPECT_EQ(std::tuple(readFile(txt), run->form.gameFolder(), run->form.text(Text::ServerName),
                         run->window.title, run->dialogs.messages.size()),
              std::tuple("UTPATH=/elsewhere/\r\n", install, "Kept", "Quarnel - server.cfg", 0u));
    EXPECT_EQ(run->opener.opened.size() + run->loops.started.size() + run->window.closed, 0u);
}

TEST_F(CommandsTest, LaunchAndMakeCheckFirstAndAskOnlyAboutProblems) {
    QuietMachine machine;
    run->shell.setMachine(machine);
    fs::copy_file(demoInstall() / "System" / "ut2003.ini", system / "ut2003.ini",
                  fs::copy_options::overwrite_existing);
    // A problem: one question that lists it; Cancel writes nothing and starts nothing.
    run->form.setText(Text::ExtraMutators, "Not A Mutator");
    run->dialogs.replies = {false, false};
    runWith(Command::MakeBatIni, "myserver.ini");
    run->shell.run(Command::LaunchServer);
    const auto& asked = run->dialogs.questions;
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(std::tuple(asked[0].title, asked[0].goOn, asked[0].stop, asked[1].goOn),
              std::tuple("Check Before Launch", "Make anyway", "Cancel", "Launch anyway"));
    for (const auto& question : asked)
        EXPECT_NE(question.text.find("\n\nMUTATOR Extra Mutators: \"Not A Mutator\""),
                  std::string::npos);
    EXPECT_FALSE(fs::exists(system / "myserver.ini") || fs::exists(system / "quarnel.bat") ||
                 !run->dialogs.messages.empty());
    expectStillOpen();
    // "Make anyway" writes the files.
    run->dialogs.replies = {true};
    runWith(Command::MakeBatIni, "myserver.ini");
    EXPECT_TRUE(fs::exists(system / "myserver.ini"));
    EXPECT_EQ(run->dialogs.messages, std::vector{kSaved});
    // Without a problem, or with the checks turned off, nothing is asked.
    run->form.setText(Text::ExtraMutators, "");
    runWith(Command::MakeBatIni, "myserver.ini");
    setLaunchChecksOn(*registry, false);
    run->form.setText(Text::ExtraMutators, "Not A Mutator");
    run->shell.run(Command::LaunchServer);
    EXPECT_EQ(run->dialogs.questions.size(), 3u);
    EXPECT_EQ(run->loops.started.size() + run->opener.opened.size(), 1u);
}

} // namespace
} // namespace quarnel::test
