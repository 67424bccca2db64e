#include "ShellFixture.h"
#include "common/Text.h"

#include <filesystem>

namespace quarnel::test {
namespace {

namespace fs = std::filesystem;

const ScriptedDialogs::Message kSaved{"Config files saved", "Save Successful"};

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

    std::unique_ptr<ProgramRun> run;
};

TEST_F(CommandsTest, LaunchServerWritesBothFilesStartsTheBatchAndCloses) {
    dir.writeFile("UT2003/System/quarnel.bat", "old");
    run->form.setText(Text::ServerName, "Launch Test");
    run->shell.cmdOptions_Click(Shell::LaunchServer);

    EXPECT_NE(readFile(system() / "quarnel.bat"), "old");
    EXPECT_NE(readFile(system() / "quarnel.bat").find("quarnel.ini"), std::string::npos);
    EXPECT_TRUE(fs::exists(system() / "quarnel.ini"));
    EXPECT_EQ(run->opener.opened, std::vector<std::string>{(system() / "quarnel.bat").string()});
    EXPECT_EQ(run->window.closed, 1);
    EXPECT_EQ(trimRightBlanks(text(kProgramKey, "ServerName")), "Launch Test");
    EXPECT_TRUE(run->dialogs.messages.empty());
    EXPECT_EQ(run->window.title, "Quarnel");
}

TEST_F(CommandsTest, LaunchServerThatCannotWriteStartsNothingAndStaysOpen) {
    // A folder where the batch file belongs: it cannot be written.
    dir.makeFolder("UT2003/System/quarnel.bat");
    run->shell.cmdOptions_Click(Shell::LaunchServer);

    EXPECT_TRUE(run->opener.opened.empty());
    EXPECT_EQ(run->window.closed, 0);
    EXPECT_FALSE(run->shell.unloaded());
    EXPECT_FALSE(fs::exists(system() / "quarnel.ini"));
    EXPECT_TRUE(run->dialogs.messages.empty());
}

TEST_F(CommandsTest, LaunchServerWithoutTheGameIniKeepsTheBatchAndStaysOpen) {
    fs::remove(system() / "ut2003.ini");
    run->shell.cmdOptions_Click(Shell::LaunchServer);

    EXPECT_TRUE(fs::exists(system() / "quarnel.bat"));
    EXPECT_FALSE(fs::exists(system() / "quarnel.ini"));
    EXPECT_TRUE(run->opener.opened.empty());
    EXPECT_EQ(run->window.closed, 0);
}

struct MakeCase {
    const char* name;
    const char* chosen; // below the temporary folder
    int flags;
    const char* batch; // below the temporary folder; nullptr when refused
    const char* ini;
    ScriptedDialogs::Message message;
};

class MakeBatIniTest : public CommandsTest, public testing::WithParamInterface<MakeCase> {};

TEST_P(MakeBatIniTest, WritesBothFilesUnderTheChosenName) {
    const auto& c = GetParam();
    dir.makeFolder("out/srv.ini.d");
    const auto countFiles = [](const fs::path& folder) {
        return std::distance(fs::recursive_directory_iterator(folder),
                             fs::recursive_directory_iterator());
    };
    const auto filesBefore = countFiles(dir.path());
    run->dialogs.choose(dir.withSeparator() + c.chosen, c.flags);
    run->shell.cmdOptions_Click(Shell::MakeBatIni);

    EXPECT_EQ(run->dialogs.messages, std::vector{c.message});
    if (c.batch != nullptr) {
        EXPECT_TRUE(fs::is_regular_file(dir.path() / c.batch)) << c.batch;
        EXPECT_TRUE(fs::is_regular_file(dir.path() / c.ini)) << c.ini;
        EXPECT_EQ(countFiles(dir.path()), filesBefore + 2);
    } else {
        EXPECT_EQ(countFiles(dir.path()), filesBefore);
    }
    EXPECT_TRUE(run->opener.opened.empty());
    EXPECT_EQ(run->window.closed, 0);
    EXPECT_EQ(run->window.title, "Quarnel");
}

const ScriptedDialogs::Message kBuiltIn{"You cannot overwrite built-in .INI files", "Failed"};
const ScriptedDialogs::Message kNotIni{"Extension must be .INI.  Config files not saved.",
                                       "Requires INI extension"};

INSTANTIATE_TEST_SUITE_P(
    Names, MakeBatIniTest,
    testing::Values(
        MakeCase{"MyServer", "UT2003/System/myserver.ini", 0, "UT2003/System/myserver.bat",
                 "UT2003/System/myserver.ini", kSaved},
        MakeCase{"UpperCaseExtension", "UT2003/System/Server.INI", 0, "UT2003/System/Server.bat",
                 "UT2003/System/Server.INI", kSaved},
        MakeCase{"EveryIniReplaced", "UT2003/System/a.ini.b.ini", 0, "UT2003/System/a.bat.b.bat",
                 "UT2003/System/a.ini.b.ini", kSaved},
        // The folder is the chosen file's folder, even when its name holds the file name.
        MakeCase{"FolderNamedLikeTheFile", "out/srv.ini.d/srv.ini", 0, "out/srv.ini.d/srv.bat",
                 "out/srv.ini.d/srv.ini", kSaved},
        MakeCase{"BuiltInUser", "UT2003/System/User.ini", 0, nullptr, nullptr, kBuiltIn},
        MakeCase{"BuiltInGameIni", "UT2003/System/UT2003.INI", 0, nullptr, nullptr, kBuiltIn},
        MakeCase{"OtherExtension", "UT2003/System/server.txt", 1024, nullptr, nullptr, kNotIni}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, MakeBatIniAsksForAnIniFileInTheSystemFolder) {
    run->dialogs.cancel();
    run->shell.cmdOptions_Click(Shell::MakeBatIni);

    ASSERT_EQ(run->dialogs.requests.size(), 1u);
    const auto& request = run->dialogs.requests[0];
    EXPECT_EQ(request.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(request.initialFolder, install + "System");
    EXPECT_EQ(request.filterDescription, "UT2003 INI File");
    EXPECT_EQ(request.filterPattern, "*.ini");
    EXPECT_EQ(request.defaultExtension, "ini");
    EXPECT_EQ(request.fileName, install + "System/*.ini");
}

TEST_F(CommandsTest, SaveAndLoadConfigNameTheFileInTheTitle) {
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

    // Both dialogs open in the program's folder on .cfg files.
    ASSERT_EQ(run->dialogs.requests.size(), 2u);
    for (const auto& request : run->dialogs.requests) {
        EXPECT_EQ(request.initialFolder, programFolder);
        EXPECT_EQ(request.filterDescription, "QUARNEL Config File");
        EXPECT_EQ(request.filterPattern, "*.cfg");
        EXPECT_EQ(request.defaultExtension, "cfg");
        EXPECT_EQ(request.fileName, programFolder + "/*.cfg");
    }
    EXPECT_EQ(run->dialogs.requests[0].mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(run->dialogs.requests[1].mode, FileDialogRequest::Mode::Open);
}

struct RefusalCase {
    const char* name;
    Shell::Command command;
    int flags;
    const char* text;
};

class ConfigRefusalTest : public CommandsTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(ConfigRefusalTest, OtherExtensionIsRefused) {
    const auto& c = GetParam();
    const std::string file = dir.withSeparator() + "server.txt";
    dir.writeFile("server.txt", "UTPATH=/elsewhere/\r\n");
    run->form.setText(Text::ServerName, "Kept");
    run->dialogs.choose(file, c.flags);
    run->shell.cmdOptions_Click(c.command);

    const ScriptedDialogs::Message refusal{c.text, "Requires CFG extension"};
    EXPECT_EQ(run->dialogs.messages, std::vector{refusal});
    EXPECT_EQ(readFile(file), "UTPATH=/elsewhere/\r\n");
    EXPECT_EQ(run->form.utpath(), install);
    EXPECT_EQ(run->form.text(Text::ServerName), "Kept");
    EXPECT_EQ(run->window.title, "Quarnel");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ConfigRefusalTest,
    testing::Values(RefusalCase{"Load", Shell::LoadConfig, 1024,
                                "Extension must be .CFG.  Config files not loaded."},
                    RefusalCase{"Save", Shell::SaveConfig, 1024,
                                "Extension must be .CFG.  Config files not saved."},
                    // A dialog that did not report the differing extension.
                    RefusalCase{"SaveUnreported", Shell::SaveConfig, 0,
                                "Extension must be .CFG.  Config files not saved."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, FailedLoadLeavesTheTitle) {
    run->dialogs.choose(dir.withSeparator() + "missing.cfg");
    run->shell.cmdOptions_Click(Shell::LoadConfig);

    EXPECT_EQ(run->window.title, "Quarnel");
    EXPECT_TRUE(run->dialogs.messages.empty());
}

TEST_F(CommandsTest, CancelledDialogsWriteLoadAndShowNothing) {
    const auto countFiles = [&] {
        return std::distance(fs::recursive_directory_iterator(dir.path()),
                             fs::recursive_directory_iterator());
    };
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
