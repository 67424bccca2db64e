#include "ShellFixture.h"
#include "common/Text.h"

#include <filesystem>

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
        run->shell.Form_Load();
        run->shell.Form_Activate();
        run->dialogs.messages.clear();
    }

    fs::path system() const { return dir.path() / "UT2003" / "System"; }
    std::ptrdiff_t countFiles() const {
        return std::distance(fs::recursive_directory_iterator(dir.path()),
                             fs::recursive_directory_iterator());
    }

    std::unique_ptr<ProgramRun> run;
};

TEST_F(CommandsTest, LaunchServerWritesBothFilesStartsTheBatchAndCloses) {
    dir.writeFile("UT2003/System/quarnel.bat", "old");
    run->form.setText(Text::ServerName, "Launch Test");
    run->shell.cmdOptions_Click(Shell::LaunchServer);

    EXPECT_NE(readFile(system() / "quarnel.bat").find("quarnel.ini"), std::string::npos);
    EXPECT_TRUE(fs::exists(system() / "quarnel.ini"));
    EXPECT_EQ(run->opener.opened, std::vector<std::string>{install + spelled("system", "System") +
                                                           game::kNativeSeparator + "quarnel.bat"});
    EXPECT_EQ(run->window.closed, 1);
    EXPECT_EQ(trimRightBlanks(text(kProgramKey, "ServerName")), "Launch Test");
    EXPECT_TRUE(run->dialogs.messages.empty());
}

TEST_F(CommandsTest, LaunchServerThatCannotWriteBothFilesStartsNothingAndStaysOpen) {
    // A folder where the batch file belongs: it cannot be written.
    dir.makeFolder("UT2003/System/quarnel.bat");
    run->shell.cmdOptions_Click(Shell::LaunchServer);
    EXPECT_FALSE(fs::exists(system() / "quarnel.ini"));

    // Without the game's INI file the batch is written but the server INI file is not.
    fs::remove(system() / "quarnel.bat");
    fs::remove(system() / "ut2003.ini");
    run->shell.cmdOptions_Click(Shell::LaunchServer);
    EXPECT_TRUE(fs::is_regular_file(system() / "quarnel.bat"));
    EXPECT_FALSE(fs::exists(system() / "quarnel.ini"));

    EXPECT_TRUE(run->opener.opened.empty());
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
        {"Server.INI", 0, "Server.bat", kSaved},
        {"a.ini.b.ini", 0, "a.bat.b.bat", kSaved},
        {"User.ini", 0, nullptr, builtIn},
        {"server.txt", FileDialogResult::kExtensionDifferent, nullptr, notIni}};
    for (const auto& [chosen, flags, batch, message] : choices) {
        SCOPED_TRACE(chosen);
        run->dialogs.requests.clear();
        run->dialogs.messages.clear();
        const auto filesBefore = countFiles();
        run->dialogs.choose((system() / chosen).string(), flags);
        run->shell.cmdOptions_Click(Shell::MakeBatIni);

        // The dialog opens on INI files in the game's System folder.
        ASSERT_EQ(run->dialogs.requests.size(), 1u);
        EXPECT_EQ(run->dialogs.requests[0].mode, FileDialogRequest::Mode::Save);
        EXPECT_EQ(run->dialogs.requests[0].initialFolder, install + spelled("system", "System"));
        EXPECT_EQ(run->dialogs.requests[0].fileName,
                  install + spelled("system", "System") + game::kNativeSeparator + "*.ini");
        EXPECT_EQ(run->dialogs.messages, std::vector{message});
        if (batch != nullptr) {
            EXPECT_TRUE(fs::is_regular_file(system() / batch));
            EXPECT_TRUE(fs::is_regular_file(system() / chosen));
        }
        EXPECT_EQ(countFiles(), filesBefore + (batch != nullptr ? 2 : 0));
    }
    EXPECT_TRUE(run->opener.opened.empty());
    EXPECT_EQ(run->window.closed, 0);
    EXPECT_EQ(run->window.title, "Quarnel");
}

TEST_F(CommandsTest, SaveAndLoadConfigNameTheFileInTheTitle) {
    // A load that fails leaves the title as it was.
    run->dialogs.choose(dir.withSeparator() + "missing.cfg");
    run->shell.cmdOptions_Click(Shell::LoadConfig);
    EXPECT_EQ(run->window.title, "Quarnel");

    const std::string file = dir.withSeparator() + "server.cfg";
    run->form.setText(Text::ServerName, "Saved Name");
    run->dialogs.choose(file);
    run->shell.cmdOptions_Click(Shell::SaveConfig);
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(run->window.title, "Quarnel - server.cfg");

    run->form.setText(Text::ServerName, "Changed");
    run->window.title = "Quarnel";
    run->dialogs.choose(file);
    run->shell.cmdOptions_Click(Shell::LoadConfig);
    EXPECT_EQ(run->form.text(Text::ServerName), "Saved Name");
    EXPECT_EQ(run->window.title, "Quarnel - server.cfg");
    EXPECT_TRUE(run->dialogs.messages.empty());

    // The dialogs open in the program's folder on .cfg files.
    ASSERT_EQ(run->dialogs.requests.size(), 3u);
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
    const std::tuple<Shell::Command, int, const char*> attempts[] = {
        {Shell::LoadConfig, FileDialogResult::kExtensionDifferent, "loaded"},
        {Shell::SaveConfig, FileDialogResult::kExtensionDifferent, "saved"},
        // A dialog that did not report the differing extension.
        {Shell::SaveConfig, 0, "saved"}};
    for (const auto& [command, flags, what] : attempts) {
        SCOPED_TRACE(what);
        run->dialogs.messages.clear();
        run->dialogs.choose(file, flags);
        run->shell.cmdOptions_Click(command);
        const FakeDialogs::Message refusal{
            std::string("Extension must be .CFG.  Config files not ") + what + ".",
            "Requires CFG extension"};
        EXPECT_EQ(run->dialogs.messages, std::vector{refusal});
    }
    EXPECT_EQ(readFile(file), "UTPATH=/elsewhere/\r\n");
    EXPECT_EQ(run->form.utpath(), install);
    EXPECT_EQ(run->form.text(Text::ServerName), "Kept");
    EXPECT_EQ(run->window.title, "Quarnel");
}

TEST_F(CommandsTest, CancelledDialogsWriteLoadAndShowNothing) {
    const auto filesBefore = countFiles();
    const ServerSettings before = run->form.settings();
    for (int command : {Shell::LoadConfig, Shell::SaveConfig, Shell::MakeBatIni}) {
        run->dialogs.cancel();
        run->shell.cmdOptions_Click(command);
    }
    run->shell.cmdOptions_Click(4);
    run->shell.cmdOptions_Click(-1);

    EXPECT_EQ(run->dialogs.requests.size(), 3u);
    EXPECT_TRUE(run->dialogs.messages.empty());
    EXPECT_EQ(countFiles(), filesBefore);
    EXPECT_EQ(run->form.text(Text::ServerName), before.txt(Text::ServerName));
    EXPECT_EQ(run->form.gameType(), before.optGameType);
    EXPECT_EQ(run->window.title, "Quarnel");
    EXPECT_EQ(run->window.closed, 0);
    EXPECT_TRUE(run->opener.opened.empty());
}

} // namespace
} // namespace quarnel::test
