#include "MachineFixture.h"
#include "ShellFixture.h"
#include "common/Text.h"
#include "store/Preferences.h"

#include <filesystem>
#include <optional>

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;
using Msg = FakeDialogs::Message;
using Mode = FileDialogRequest::Mode;

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
    // Runs command with file chosen in its dialog; nullptr: the dialog is cancelled.
    void runWith(Command command, const char* file, int flags = 0) {
        if (file)
            run->dialogs.choose(file, flags);
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
    EXPECT_EQ(std::tuple(run->loops.started, run->opener.opened),
              kWritesRestartScript
                  ? std::tuple(std::vector{std::pair((system / "quarnel.sh").string(),
                                                     ServerLoops::Output::TerminalIfAny)},
                               std::vector<std::string>{})
                  : std::tuple(decltype(run->loops.started){}, std::vector{bat}));
    EXPECT_EQ(std::tuple(run->window.closed, trimRightBlanks(text(kProgramKey, "ServerName")),
                         run->dialogs.messages.size()),
              std::tuple(1, "Launch Test", 0u));
}

#ifndef _WIN32
TEST_F(CommandsTest, LaunchServerSaysWhyItStartsNoLoopAndStaysOpen) {
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
    expectStillOpen();
}
#endif

TEST_F(CommandsTest, LaunchServerThatCannotWriteBothFilesStartsNothingAndStaysOpen) {
    dir.makeFolder("UT2003/System/quarnel.bat"); // where the batch file belongs
    run->shell.run(Command::LaunchServer);
    EXPECT_FALSE(fs::exists(system / "quarnel.ini"));
    // Without the game's INI file the batch is written but the server INI file is not.
    fs::remove(system / "quarnel.bat");
    fs::remove(system / "ut2003.ini");
    run->shell.run(Command::LaunchServer);
    EXPECT_TRUE(fs::is_regular_file(system / "quarnel.bat"));
    EXPECT_FALSE(fs::exists(system / "quarnel.ini"));
    expectStillOpen();
    EXPECT_FALSE(run->shell.unloaded() || !run->dialogs.messages.empty());
}

// Every dialog's folder, pattern and mode; what is shown and how many files are written
// after a choice, a refused name or a cancel.
TEST_F(CommandsTest, DialogsWriteUnderTheChosenNameOrRefuseIt) {
    const std::string cfg = dir.writeFile("server.txt", "UTPATH=/elsewhere/\r\n").string();
    const std::string sys = install + spelled("system", "System"), sep(1, game::kNativeSeparator);
    const int different = FileDialogResult::kExtensionDifferent;
    const Msg cfgOnly{"Extension must be .CFG.  Config files not saved.", "Requires CFG extension"};
    const std::tuple<Command, std::string, int, std::vector<Msg>, int> cases[] = {
        {Command::MakeBatIni,
         (system / "myserver.ini").string(),
         0,
         {kSaved},
         kWritesRestartScript ? 3 : 2},
        {Command::MakeBatIni,
         (system / "User.ini").string(),
         0,
         {{"You cannot overwrite built-in .INI files", "Failed"}},
         0},
        {Command::MakeBatIni,
         (system / "server.txt").string(),
         different,
         {{"Extension must be .INI.  Config files not saved.", "Requires INI extension"}},
         0},
        {Command::LoadConfig,
         cfg,
         different,
         {{"Extension must be .CFG.  Config files not loaded.", "Requires CFG extension"}},
         0},
        {Command::SaveConfig, cfg, different, {cfgOnly}, 0},
        {Command::SaveConfig, cfg, 0, {cfgOnly}, 0}, // a dialog that did not report it
        {Command::LoadConfig, "", 0, {}, 0},
        {Command::SaveConfig, "", 0, {}, 0},
        {Command::MakeBatIni, "", 0, {}, 0}};
    run->form.setText(Text::ServerName, "Kept");
    for (const auto& [command, file, flags, shown, written] : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(command) << " " << file);
        run->dialogs.messages.clear();
        const auto filesBefore = countFiles();
        runWith(command, file.empty() ? nullptr : file.c_str(), flags);
        EXPECT_EQ(run->dialogs.messages, shown);
        EXPECT_EQ(countFiles(), filesBefore + written);
        const bool make = command == Command::MakeBatIni;
        const std::string folder = make ? sys : programFolder;
        const FileDialogRequest& asked = run->dialogs.requests.back();
        EXPECT_EQ(std::tuple(asked.mode, asked.initialFolder, asked.fileName),
                  std::tuple(command == Command::LoadConfig ? Mode::Open : Mode::Save, folder,
                             folder + sep + (make ? "*.ini" : "*.cfg")));
    }
    // The restart script goes beside the batch file, named after it.
    for (const char* name : {"myserver.bat", kWritesRestartScript ? "myserver.sh" : "myserver.ini"})
        EXPECT_TRUE(fs::is_regular_file(system / name)) << name;
    EXPECT_EQ(readFile(cfg), "UTPATH=/elsewhere/\r\n");
    EXPECT_EQ(std::tuple(run->form.gameFolder(), run->form.text(Text::ServerName)),
              std::tuple(install, "Kept"));
    expectStillOpen();
}

TEST_F(CommandsTest, SaveAndLoadConfigNameTheFileInTheTitle) {
    runWith(Command::LoadConfig, (dir.withSeparator() + "missing.cfg").c_str());
    EXPECT_EQ(run->window.title, "Quarnel"); // a load that fails leaves it
    const std::string file = dir.withSeparator() + "server.cfg";
    run->form.setText(Text::ServerName, "Saved Name");
    runWith(Command::SaveConfig, file.c_str());
    EXPECT_EQ(run->window.title, "Quarnel - server.cfg");
    run->form.setText(Text::ServerName, "Changed");
    run->window.title = "Quarnel";
    runWith(Command::LoadConfig, file.c_str());
    EXPECT_EQ(std::tuple(run->form.text(Text::ServerName), run->window.title),
              std::tuple("Saved Name", "Quarnel - server.cfg"));
    // Saving again replaces the file, and asks nothing more.
    run->form.setText(Text::ServerName, "Saved Again");
    runWith(Command::SaveConfig, file.c_str());
    EXPECT_NE(readFile(file).find("\r\nServerName=Saved Again\r\n"), std::string::npos);
    EXPECT_EQ(run->dialogs.requests.size() + run->dialogs.messages.size(), 4u);
}

TEST_F(CommandsTest, LaunchAndMakeCheckFirstAndAskOnlyAboutProblems) {
    QuietMachine machine;
    run->shell.setMachine(machine);
    fs::copy_file(demoInstall() / "System" / "ut2003.ini", system / "ut2003.ini",
                  fs::copy_options::overwrite_existing);
    const std::string target = (system / "myserver.ini").string();
    // A problem: one question that lists it; Cancel writes nothing and starts nothing.
    run->form.setText(Text::ExtraMutators, "Not A Mutator");
    run->dialogs.replies = {false, false};
    runWith(Command::MakeBatIni, target.c_str());
    run->shell.run(Command::LaunchServer);
    ASSERT_EQ(run->dialogs.questions.size(), 2u);
    for (const auto& [question, goOn] : {std::pair{run->dialogs.questions[0], "Make anyway"},
                                         std::pair{run->dialogs.questions[1], "Launch anyway"}}) {
        EXPECT_EQ(std::tuple(question.title, question.goOn, question.stop),
                  std::tuple("Check Before Launch", goOn, "Cancel"));
        EXPECT_NE(question.text.find("\n\nMUTATOR Extra Mutators: \"Not A Mutator\""),
                  std::string::npos);
    }
    EXPECT_FALSE(fs::exists(target) || fs::exists(system / "quarnel.bat"));
    EXPECT_TRUE(run->dialogs.messages.empty());
    expectStillOpen();
    // "Make anyway" writes the files.
    run->dialogs.replies = {true};
    runWith(Command::MakeBatIni, target.c_str());
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(run->dialogs.messages, std::vector{kSaved});
    // Without a problem, or with the checks turned off, nothing is asked.
    run->form.setText(Text::ExtraMutators, "");
    runWith(Command::MakeBatIni, target.c_str());
    setLaunchChecksOn(*registry, false);
    run->form.setText(Text::ExtraMutators, "Not A Mutator");
    run->shell.run(Command::LaunchServer);
    EXPECT_EQ(run->dialogs.questions.size(), 3u);
    EXPECT_EQ(run->loops.started.size() + run->opener.opened.size(), 1u);
}

} // namespace
} // namespace quarnel::test
