#include "MachineFixture.h"
#include "ShellFixture.h"
#include "common/Text.h"
#include "store/Preferences.h"

#include <filesystem>
#include <optional>

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;

const FakeDialogs::Message kSaved{"Config files saved", "Save Successful"};

// A run that has started on the demo installation and passed its path check.
class CommandsTest : public ShellTest {
protected:
    CommandsTest() {
        storeGameFolder(install);
        run = newRun();
        run->shell.onStart();
        run->shell.onActivate();
        run->dialogs.messages.clear();
    }

    fs::path system() const { return dir.path() / "UT2003" / "System"; }
    std::ptrdiff_t countFiles() const {
        return std::distance(fs::recursive_directory_iterator(dir.path()),
                             fs::recursive_directory_iterator());
    }

    std::unique_ptr<ProgramRun> run;
};

TEST_F(CommandsTest, LaunchServerWritesTheFilesStartsTheLoopAndCloses) {
    dir.writeFile("UT2003/System/quarnel.bat", "old");
    run->form.setText(Text::ServerName, "Launch Test");
    run->shell.run(Command::LaunchServer);

    EXPECT_NE(readFile(system() / "quarnel.bat").find("quarnel.ini"), std::string::npos);
    EXPECT_TRUE(fs::exists(system() / "quarnel.ini"));
    if (kWritesRestartScript) {
        // The restart script is what starts, in a terminal when the desktop has one.
        const fs::path script = system() / "quarnel.sh";
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
        for (const char* name : {"quarnel.bat", "quarnel.sh", "quarnel.ini", "ucc-bin"})
            fs::remove(system() / name);
        if (!uccExe)
            fs::remove(system() / "ucc.exe");
        run->dialogs.messages.clear();
        run->loops.runningPid = running;
        run->loops.wine = wine;
        run->shell.run(Command::LaunchServer);

        ASSERT_EQ(run->dialogs.messages.size(), 1u);
        EXPECT_EQ(run->dialogs.messages[0].title, title);
        EXPECT_NE(run->dialogs.messages[0].text.find(names), std::string::npos);
        EXPECT_EQ(fs::exists(system() / "quarnel.sh"), written);
        EXPECT_EQ(fs::exists(system() / "quarnel.ini"), written);
    }
    EXPECT_TRUE(run->loops.started.empty());
    EXPECT_EQ(run->window.closed, 0);
}
#endif

TEST_F(CommandsTest, LaunchServerThatCannotWriteBothFilesStartsNothingAndStaysOpen) {
    // A folder where the batch file belongs: it cannot be written.
    dir.makeFolder("UT2003/System/quarnel.bat");
    run->shell.run(Command::LaunchServer);
    EXPECT_FALSE(fs::exists(system() / "quarnel.ini"));

    // Without the game's INI file the batch is written but the server INI file is not.
    fs::remove(system() / "quarnel.bat");
    fs::remove(system() / "ut2003.ini");
    run->shell.run(Command::LaunchServer);
    EXPECT_TRUE(fs::is_regular_file(system() / "quarnel.bat"));
    EXPECT_FALSE(fs::exists(system() / "quarnel.ini"));

    EXPECT_TRUE(run->opener.opened.empty());
    EXPECT_TRUE(run->loops.started.empty());
    EXPECT_EQ(run->window.closed, 0);
    EXPECT_FALSE(run->shell.unloaded());
    EXPECT_TRUE(run->dialogs.messages.empty());
}

TEST_F(CommandsTest, MakeBatIniWritesBothFilesUnderTheChosenNameOrRefusesIt) {
    const FakeDialogs::Message builtIn{"You cannot overwrite built-in .INI files", "Failed"};
    const FakeDialogs::Message notIni{"Extension must be .INI.  Config files not saved.",
                                      "Requires INI extension"};
    // The chosen file in the System folder, the dialog's flags, the batch file written
    // beside it (nullptr when refused) and the message shown.
    const std::tuple<const char*, int, const char*, FakeDialogs::Message> choices[] = {
        {"myserver.ini", 0, "myserver.bat", kSaved},
        {"User.ini", 0, nullptr, builtIn},
        {"server.txt", FileDialogResult::kExtensionDifferent, nullptr, notIni}};
    for (const auto& [chosen, flags, batch, message] : choices) {
        SCOPED_TRACE(chosen);
        run->dialogs.requests.clear();
        run->dialogs.messages.clear();
        const auto filesBefore = countFiles();
        run->dialogs.choose((system() / chosen).string(), flags);
        run->shell.run(Command::MakeBatIni);

        // The dialog opens on INI files in the game's System folder.
        ASSERT_EQ(run->dialogs.requests.size(), 1u);
        EXPECT_EQ(run->dialogs.requests[0].mode, FileDialogRequest::Mode::Save);
        EXPECT_EQ(run->dialogs.requests[0].initialFolder, install + spelled("system", "System"));
        EXPECT_EQ(run->dialogs.requests[0].fileName,
                  install + spelled("system", "System") + game::kNativeSeparator + "*.ini");
        EXPECT_EQ(run->dialogs.messages, std::vector{message});
        const int written = kWritesRestartScript ? 3 : 2;
        if (batch != nullptr) {
            EXPECT_TRUE(fs::is_regular_file(system() / batch));
            EXPECT_TRUE(fs::is_regular_file(system() / chosen));
            // The restart script goes beside the batch file, named after it.
            if (kWritesRestartScript) {
                EXPECT_TRUE(fs::is_regular_file(system() / (removeAll(batch, ".bat") + ".sh")));
            }
        }
        EXPECT_EQ(countFiles(), filesBefore + (batch != nullptr ? written : 0));
    }
    EXPECT_TRUE(run->opener.opened.empty());
    EXPECT_EQ(run->window.closed, 0);
    EXPECT_EQ(run->window.title, "Quarnel");
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
    EXPECT_TRUE(fs::is_regular_file(file));
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
    for (const auto& request : run->dialogs.requests) {
        EXPECT_EQ(request.initialFolder, programFolder);
        EXPECT_EQ(request.fileName, programFolder + game::kNativeSeparator + "*.cfg");
    }
    EXPECT_EQ(run->dialogs.requests[1].mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(run->dialogs.requests[2].mode, FileDialogRequest::Mode::Open);
}

TEST_F(CommandsTest, LoadAndSaveConfigRefuseAnotherExtension) {
    const std::string file = dir.writeFile("server.txt", "UTPATH=/elsewhere/\r\n").string();
    run->form.setText(Text::ServerName, "Kept");
    const std::tuple<Command, int, const char*> attempts[] = {
        {Command::LoadConfig, FileDialogResult::kExtensionDifferent, "loaded"},
        {Command::SaveConfig, FileDialogResult::kExtensionDifferent, "saved"},
        // A dialog that did not report the differing extension.
        {Command::SaveConfig, 0, "saved"}};
    for (const auto& [command, flags, what] : attempts) {
        SCOPED_TRACE(what);
        run->dialogs.messages.clear();
        run->dialogs.choose(file, flags);
        run->shell.run(command);
        const FakeDialogs::Message refusal{
            std::string("Extension must be .CFG.  Config files not ") + what + ".",
            "Requires CFG extension"};
        EXPECT_EQ(run->dialogs.messages, std::vector{refusal});
    }
    EXPECT_EQ(readFile(file), "UTPATH=/elsewhere/\r\n");
    EXPECT_EQ(run->form.gameFolder(), install);
    EXPECT_EQ(run->form.text(Text::ServerName), "Kept");
    EXPECT_EQ(run->window.title, "Quarnel");
}

TEST_F(CommandsTest, CancelledDialogsWriteLoadAndShowNothing) {
    const auto filesBefore = countFiles();
    const ServerSettings before = run->form.settings();
    for (Command command : {Command::LoadConfig, Command::SaveConfig, Command::MakeBatIni}) {
        run->dialogs.cancel();
        run->shell.run(command);
    }

    EXPECT_EQ(run->dialogs.requests.size(), 3u);
    EXPECT_TRUE(run->dialogs.messages.empty());
    EXPECT_EQ(countFiles(), filesBefore);
    EXPECT_EQ(run->form.text(Text::ServerName), before.text(Text::ServerName));
    EXPECT_EQ(run->form.gameType(), before.gameType);
    EXPECT_EQ(run->window.title, "Quarnel");
    EXPECT_EQ(run->window.closed, 0);
    EXPECT_TRUE(run->opener.opened.empty());
}

TEST_F(CommandsTest, LaunchAndMakeCheckFirstAndAskOnlyAboutProblems) {
    QuietMachine machine;
    run->shell.setMachine(machine);
    fs::copy_file(demoInstall() / "System" / "ut2003.ini", system() / "ut2003.ini",
                  fs::copy_options::overwrite_existing);
    const std::string target = (system() / "myserver.ini").string();
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
        EXPECT_EQ(question.title, "Check Before Launch");
        EXPECT_EQ(question.goOn, goOn);
        EXPECT_EQ(question.stop, "Cancel");
        EXPECT_NE(question.text.find("\n\nMUTATOR Extra Mutators: \"Not A Mutator\""),
                  std::string::npos);
    }
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(fs::exists(system() / "quarnel.bat"));
    EXPECT_TRUE(run->dialogs.messages.empty());
    EXPECT_EQ(run->window.closed, 0);

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
