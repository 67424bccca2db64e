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
        EXPECT_TRUE(run->opener.opened.empty() && run->loops.started.empty());
        EXPECT_EQ(std::tuple(run->window.closed, run->window.title), std::tuple(0, "Quarnel"));
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
    if (kWritesRestartScript) {
        // The restart script is what starts, in a terminal when the desktop has one.
        const fs::path script = system / "quarnel.sh";
        EXPECT_EQ(readFile(script), restartScript(run->form, "quarnel.bat"));
        EXPECT_EQ(fs::status(script).permissions(), fs::perms::owner_all);
        EXPECT_EQ(run->loops.started, std::vector<std::string>{script.string()});
        EXPECT_EQ(run->loops.outputs, std::vector{ServerLoops::Output::TerminalIfAny});
        EXPECT_TRUE(run->opener.opened.empty());
    } else {
        EXPECT_EQ(run->opener.opened,
                  std::vector<std::string>{install + spelled("system", "System") +
                                           game::kNativeSeparator + "quarnel.bat"});
    }
    EXPECT_EQ(run->window.closed, 1);
    EXPECT_EQ(trimRightBlanks(text(kProgramKey, "ServerName")), "Launch Test");
    EXPECT_TRUE(run->dialogs.messages.empty());
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
        EXPECT_EQ(fs::exists(system / "quarnel.sh"), written);
        EXPECT_EQ(fs::exists(system / "quarnel.ini"), written);
    }
    expectStillOpen();
}
#endif

TEST_F(CommandsTest, LaunchServerThatCannotWriteBothFilesStartsNothingAndStaysOpen) {
    // A folder where the batch file belongs: it cannot be written.
    dir.makeFolder("UT2003/System/quarnel.bat");
    run->shell.run(Command::LaunchServer);
    EXPECT_FALSE(fs::exists(system / "quarnel.ini"));
    // Without the game's INI file the batch is written but the server INI file is not.
    fs::remove(system / "quarnel.bat");
    fs::remove(system / "ut2003.ini");
    run->shell.run(Command::LaunchServer);
    EXPECT_TRUE(fs::is_regular_file(system / "quarnel.bat"));
    EXPECT_FALSE(fs::exists(system / "quarnel.ini"));
    expectStillOpen();
    EXPECT_FALSE(run->shell.unloaded());
    EXPECT_TRUE(run->dialogs.messages.empty());
}

TEST_F(CommandsTest, MakeBatIniWritesBothFilesUnderTheChosenNameOrRefusesIt) {
    // The chosen file in the System folder, the dialog's flags, the message shown and how
    // many files are written.
    const int all = kWritesRestartScript ? 3 : 2;
    const std::tuple<const char*, int, Msg, int> choices[] = {
        {"myserver.ini", 0, kSaved, all},
        {"User.ini", 0, {"You cannot overwrite built-in .INI files", "Failed"}, 0},
        {"server.txt",
         FileDialogResult::kExtensionDifferent,
         {"Extension must be .INI.  Config files not saved.", "Requires INI extension"},
         0}};
    for (const auto& [chosen, flags, message, written] : choices) {
        SCOPED_TRACE(chosen);
        run->dialogs.messages.clear();
        const auto filesBefore = countFiles();
        run->dialogs.choose((system / chosen).string(), flags);
        run->shell.run(Command::MakeBatIni);
        EXPECT_EQ(run->dialogs.messages, std::vector{message});
        EXPECT_EQ(countFiles(), filesBefore + written);
    }
    // The restart script goes beside the batch file, named after it.
    for (const char* name : {"myserver.bat", kWritesRestartScript ? "myserver.sh" : "myserver.ini"})
        EXPECT_TRUE(fs::is_regular_file(system / name)) << name;
    // The dialog opens on INI files in the game's System folder.
    ASSERT_EQ(run->dialogs.requests.size(), 3u);
    const std::string systemFolder = install + spelled("system", "System");
    for (const FileDialogRequest& asked : run->dialogs.requests)
        EXPECT_EQ(std::tuple(asked.mode, asked.initialFolder, asked.fileName),
                  std::tuple(FileDialogRequest::Mode::Save, systemFolder,
                             systemFolder + game::kNativeSeparator + "*.ini"));
    expectStillOpen();
}

TEST_F(CommandsTest, SaveAndLoadConfigNameTheFileInTheTitle) {
    // A load that fails leaves the title as it was.
    run->dialogs.choose(dir.withSeparator() + "missing.cfg");
    run->shell.run(Command::LoadConfig);
    EXPECT_EQ(run->window.title, "Quarnel");

    const std::string file = dir.withSeparator() + "server.cfg";
    run->form.setText(Text::ServerName, "Saved Name");
    run->dialogs.choose(file);
    run->shell.run(Command::SaveConfig);
    EXPECT_EQ(run->window.title, "Quarnel - server.cfg");
    run->form.setText(Text::ServerName, "Changed");
    run->window.title = "Quarnel";
    run->dialogs.choose(file);
    run->shell.run(Command::LoadConfig);
    EXPECT_EQ(run->form.text(Text::ServerName), "Saved Name");
    EXPECT_EQ(run->window.title, "Quarnel - server.cfg");
    // Saving again replaces the file.
    run->form.setText(Text::ServerName, "Saved Again");
    run->dialogs.choose(file);
    run->shell.run(Command::SaveConfig);
    EXPECT_NE(readFile(file).find("\r\nServerName=Saved Again\r\n"), std::string::npos);
    EXPECT_TRUE(run->dialogs.messages.empty());
    // The dialogs open in the program's folder on .cfg files.
    ASSERT_EQ(run->dialogs.requests.size(), 4u);
    for (const auto& request : run->dialogs.requests)
        EXPECT_EQ(std::tuple(request.initialFolder, request.fileName),
                  std::tuple(programFolder, programFolder + game::kNativeSeparator + "*.cfg"));
    EXPECT_EQ(std::tuple(run->dialogs.requests[1].mode, run->dialogs.requests[2].mode),
              std::tuple(FileDialogRequest::Mode::Save, FileDialogRequest::Mode::Open));
}

// A name of another extension is refused with a message; a cancelled dialog shows nothing.
// Either way nothing is written or loaded.
TEST_F(CommandsTest, RefusedOrCancelledDialogsWriteAndLoadNothing) {
    const std::string file = dir.writeFile("server.txt", "UTPATH=/elsewhere/\r\n").string();
    run->form.setText(Text::ServerName, "Kept");
    const auto filesBefore = countFiles();
    const int different = FileDialogResult::kExtensionDifferent;
    // The command, the dialog's flags (-1: cancelled), and the refusal's last word.
    const std::tuple<Command, int, const char*> attempts[] = {
        {Command::LoadConfig, different, "loaded"}, {Command::SaveConfig, different, "saved"},
        {Command::SaveConfig, 0, "saved"}, // a dialog that did not report the extension
        {Command::LoadConfig, -1, nullptr},         {Command::SaveConfig, -1, nullptr},
        {Command::MakeBatIni, -1, nullptr}};
    for (const auto& [command, flags, what] : attempts) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(command) << " " << flags);
        run->dialogs.messages.clear();
        if (flags < 0)
            run->dialogs.cancel();
        else
            run->dialogs.choose(file, flags);
        run->shell.run(command);
        std::vector<Msg> shown;
        if (what)
            shown.push_back({std::string("Extension must be .CFG.  Config files not ") + what + ".",
                             "Requires CFG extension"});
        EXPECT_EQ(run->dialogs.messages, shown);
    }
    EXPECT_EQ(run->dialogs.requests.size(), 6u);
    EXPECT_EQ(readFile(file), "UTPATH=/elsewhere/\r\n");
    EXPECT_EQ(countFiles(), filesBefore);
    EXPECT_EQ(std::tuple(run->form.gameFolder(), run->form.text(Text::ServerName)),
              std::tuple(install, "Kept"));
    expectStillOpen();
}

TEST_F(CommandsTest, LaunchAndMakeCheckFirstAndAskOnlyAboutProblems) {
    QuietMachine machine;
    run->shell.setMachine(machine);
    fs::copy_file(demoInstall() / "System" / "ut2003.ini", system / "ut2003.ini",
                  fs::copy_options::overwrite_existing);
    const std::string target = (system / "myserver.ini").string();
    auto make = [&] {
        run->dialogs.choose(target);
        run->shell.run(Command::MakeBatIni);
    };
    // A problem: one question that lists it; Cancel writes nothing and starts nothing.
    run->form.setText(Text::ExtraMutators, "Not A Mutator");
    run->dialogs.replies = {false, false};
    make();
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
    make();
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(run->dialogs.messages, std::vector{kSaved});
    // Without a problem, or with the checks turned off, nothing is asked.
    run->form.setText(Text::ExtraMutators, "");
    make();
    setLaunchChecksOn(*registry, false);
    run->form.setText(Text::ExtraMutators, "Not A Mutator");
    run->shell.run(Command::LaunchServer);
    EXPECT_EQ(run->dialogs.questions.size(), 3u);
    EXPECT_EQ(run->loops.started.size() + run->opener.opened.size(), 1u);
}

} // namespace
} // namespace quarnel::test
