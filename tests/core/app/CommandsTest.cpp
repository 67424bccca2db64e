#include "MachineFixture.h"
#include "ShellFixture.h"
#include "common/Text.h"
#include "store/Preferences.h"

#include <filesystem>

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;
using Msg = FakeDialogs::Message;

const Msg kSaved{"Config files saved", "Save Successful"};

// A run that has started on the demo installation and passed its path check.
class CommandsTest : public ShellTest {
protected:
    CommandsTest() {
        storeGameFolder(install);
        run->shell.onStart();
        run->shell.onActivate();
        run->dialogs.messages.clear();
    }
    std::ptrdiff_t countFiles() const {
        return std::distance(fs::recursive_directory_iterator(dir.path()), {});
    }
    // Nothing was started or closed, and the title is the program's own.
    void expectStillOpen() {
        EXPECT_EQ(std::tuple(run->opener.opened.size() + run->loops.started.size(),
                             run->window.closed, run->window.title),
                  std::tuple(0u, 0, "Quarnel"));
    }
    // Runs command with name (in the System folder) chosen in its dialog; nullptr: cancelled.
    void runWith(Command command, const char* name, int flags = 0) {
        if (name)
            run->dialogs.choose((system / name).string(), flags);
        else
            run->dialogs.cancel();
        run->shell.run(command);
    }

    const fs::path system = dir.path() / "UT2003" / "System";
    std::unique_ptr<ProgramRun> run = newRun();
};

TEST_F(CommandsTest, LaunchServerWritesTheFilesStartsTheLoopAndCloses) {
    dir.writeFile("UT2003/System/quarnel.bat", "old");
    run->form.setText(Text::ServerName, "Launch Test");
    run->shell.run(Command::LaunchServer);
    EXPECT_NE(readFile(system / "quarnel.bat").find("quarnel.ini"), std::string::npos);
    EXPECT_TRUE(fs::exists(system / "quarnel.ini"));
    // The restart script is what starts, in a terminal when the desktop has one.
    const std::string bat =
        install + spelled("system", "System") + game::kNativeSeparator + "quarnel.bat";
    const auto script =
        std::pair((system / "quarnel.sh").string(), ServerLoops::Output::TerminalIfAny);
    EXPECT_EQ(std::tuple(run->loops.started, run->opener.opened),
              kWritesRestartScript ? std::tuple(std::vector{script}, std::vector<std::string>{})
                                   : std::tuple(decltype(run->loops.started){}, std::vector{bat}));
    EXPECT_EQ(std::tuple(run->window.closed, trimRightBlanks(text(kProgramKey, "ServerName")),
                         run->dialogs.messages.size()),
              std::tuple(1, "Launch Test", 0u));
}

// A launch that starts nothing says why, if the reason is not a file it failed to write (a
// folder where the batch file belongs, or no game's INI file to make the server's from).
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
    // The pid of a loop that runs, whether wine is there and the game has ucc.exe, the
    // message's title and what its text names, and whether the files are written.
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
        ASSERT_EQ(run->dialogs.messages.size(), 1u);
        EXPECT_EQ(run->dialogs.messages[0].title, title);
        EXPECT_NE(run->dialogs.messages[0].text.find(names), std::string::npos);
        EXPECT_EQ(fs::exists(system / "quarnel.sh") && fs::exists(system / "quarnel.ini"), written);
    }
#endif
    expectStillOpen();
}

// What is shown and how many files are written after a choice, a refused name or a cancel;
// where each dialog opens and on which files.
TEST_F(CommandsTest, DialogsWriteUnderTheChosenNameOrRefuseIt) {
    const std::string txt = dir.writeFile("UT2003/System/s.txt", "UTPATH=/elsewhere/\r\n").string();
    const int all = kWritesRestartScript ? 3 : 2, other = FileDialogResult::kExtensionDifferent;
    const Msg iniOnly{"Extension must be .INI.  Config files not saved.", "Requires INI extension"};
    const Msg notSaved{"Extension must be .CFG.  Config files not saved.",
                       "Requires CFG extension"};
    const Msg notLoaded{"Extension must be .CFG.  Config files not loaded.",
                        "Requires CFG extension"};
    const Msg builtIn{"You cannot overwrite built-in .INI files", "Failed"};
    const std::tuple<Command, const char*, int, std::vector<Msg>, int> cases[] = {
        {Command::MakeBatIni, "myserver.ini", 0, {kSaved}, all},
        {Command::MakeBatIni, "User.ini", 0, {builtIn}, 0},
        {Command::MakeBatIni, "s.txt", other, {iniOnly}, 0},
        {Command::LoadConfig, "s.txt", other, {notLoaded}, 0},
        {Command::SaveConfig, "s.txt", other, {notSaved}, 0},
        {Command::SaveConfig, "s.txt", 0, {notSaved}, 0}, // a dialog that did not report it
        {Command::LoadConfig, nullptr, 0, {}, 0},
        {Command::SaveConfig, nullptr, 0, {}, 0},
        {Command::MakeBatIni, nullptr, 0, {}, 0}};
    const std::string sys = install + spelled("system", "System") + game::kNativeSeparator;
    const std::string program = programFolder + game::kNativeSeparator;
    run->form.setText(Text::ServerName, "Kept");
    for (const auto& [command, name, flags, shown, written] : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(command) << " " << (name ? name : ""));
        run->dialogs.messages.clear();
        const auto filesBefore = countFiles();
        runWith(command, name, flags);
        EXPECT_EQ(std::tuple(run->dialogs.messages, countFiles()),
                  std::tuple(shown, filesBefore + written));
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
    EXPECT_EQ(std::tuple(readFile(txt), run->form.gameFolder(), run->form.text(Text::ServerName)),
              std::tuple("UTPATH=/elsewhere/\r\n", install, "Kept"));
    expectStillOpen();
}

TEST_F(CommandsTest, SaveAndLoadConfigNameTheFileInTheTitle) {
    runWith(Command::LoadConfig, "missing.cfg");
    EXPECT_EQ(run->window.title, "Quarnel"); // a load that fails leaves it
    run->form.setText(Text::ServerName, "Saved Name");
    runWith(Command::SaveConfig, "server.cfg");
    EXPECT_EQ(run->window.title, "Quarnel - server.cfg");
    run->form.setText(Text::ServerName, "Changed");
    run->window.title = "Quarnel";
    runWith(Command::LoadConfig, "server.cfg");
    EXPECT_EQ(std::tuple(run->form.text(Text::ServerName), run->window.title),
              std::tuple("Saved Name", "Quarnel - server.cfg"));
    // Saving again replaces the file, and asks nothing more.
    run->form.setText(Text::ServerName, "Saved Again");
    runWith(Command::SaveConfig, "server.cfg");
    EXPECT_NE(readFile(system / "server.cfg").find("\r\nServerName=Saved Again\r\n"),
              std::string::npos);
    EXPECT_EQ(run->dialogs.requests.size() + run->dialogs.messages.size(), 4u);
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
    ASSERT_EQ(run->dialogs.questions.size(), 2u);
    for (const auto& [question, goOn] : {std::pair{run->dialogs.questions[0], "Make anyway"},
                                         std::pair{run->dialogs.questions[1], "Launch anyway"}}) {
        EXPECT_EQ(std::tuple(question.title, question.goOn, question.stop),
                  std::tuple("Check Before Launch", goOn, "Cancel"));
        EXPECT_NE(question.text.find("\n\nMUTATOR Extra Mutators: \"Not A Mutator\""),
                  std::string::npos);
    }
    EXPECT_FALSE(fs::exists(system / "myserver.ini") || fs::exists(system / "quarnel.bat"));
    EXPECT_TRUE(run->dialogs.messages.empty());
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
