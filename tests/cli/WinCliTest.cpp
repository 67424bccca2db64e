// quarnel-cli.exe as a Windows user runs it: real paths with drive letters, the real
// registry, and the batch file started through the shell.
#include "CliRun.h"
#include "WindowsForm.h"
#include "common/TextFile.h"
#include "store/RegistrySettings.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <windows.h>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runCli;
using Result = test::CliResult;

// The demo game installed as C:\UT2003 on Wine's drive C:, and the program's keys of both
// roots absent; all of it removed again at the end.
class WinCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(fs::exists(game)) << "a game is installed at " << game;
        TearDown(); // the keys
        fs::copy(test::demoInstall(), game, fs::copy_options::recursive);
    }
    void TearDown() override {
        fs::remove_all(game);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            RegDeleteTreeA(root, std::string(kProgramKey).c_str());
    }

    test::TempDir dir;
    const fs::path game = test::kWindowsGameFolder;
    const std::string cfg = QUARNEL_DEMO_CFG;
    const std::string line = readFile(test::windowsDemoFile("command-line.txt"));
};

TEST_F(WinCliTest, CommandLineForTheGameFolderInEveryForm) {
    // The game folder as the configuration names it, and as given, in any case, with either
    // slash, of a share, and in the form that passes names through untranslated.
    EXPECT_EQ(runCli(dir, {"command-line", cfg}), (Result{0, line + "\r\n", ""}));
    for (const std::string folder :
         {"c:/ut2003", "\\\\server\\games\\UT2003", "\\\\?\\C:\\UT2003"}) {
        const std::string expected = std::filesystem::path(folder).make_preferred().string();
        EXPECT_EQ(runCli(dir, {"command-line", cfg, "--game-dir", folder})
                      .out.substr(0, expected.size() + 23),
                  expected + "\\system\\ucc.exe server ");
    }
}

// The batch file runs the game's server program: here a stand-in that notes its arguments
// and ends the batch file's loop.
TEST_F(WinCliTest, LaunchStartsTheBatchFileThroughTheShell) {
    fs::copy_file(QUARNEL_STAND_IN_UCC, game / "System" / "ucc.exe",
                  fs::copy_options::overwrite_existing);
    const fs::path ran = game / "System" / "ucc-ran.txt";
    EXPECT_EQ(runCli(dir, {"launch", cfg, "--game-dir", "C:\\UT2003"}), Result{});
    for (int i = 0; i < 400 && !fs::exists(ran); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(readFile(ran), line.substr(line.find(" server ") + 1));
}

// The settings lie below the user's root, as text with the one blank of the store.
TEST_F(WinCliTest, SettingsGoThroughTheRegistry) {
    const std::string out = (dir.path() / "out.cfg").string();
    EXPECT_EQ(runCli(dir, {"import-config", cfg, "--game-dir", "C:\\UT2003"}), Result{});
    EXPECT_EQ(runCli(dir, {"export-config", out}), Result{});
    EXPECT_EQ(readTextLines(out), readTextLines(cfg));
    char text[512] = "(absent)";
    DWORD size = sizeof text;
    RegGetValueA(HKEY_CURRENT_USER, "SOFTWARE\\QUARNEL", "ServerName", RRF_RT_REG_SZ, nullptr, text,
                 &size);
    EXPECT_STREQ(text, "Quarnel Demo CTF ");
}

TEST_F(WinCliTest, AFolderWindowsCannotHaveIsAClearError) {
    for (const std::string folder : {"C:\\UT|2003", "C:\\UT2003\\a:b", "C:\\UT<2003>"})
        EXPECT_EQ(runCli(dir, {"launch", cfg, "--no-start", "--game-dir", folder}),
                  (Result{1, "",
                          "quarnel-cli: " + folder +
                              ": not a valid folder on Windows: a name cannot hold \"" +
                              folder[folder.find_first_of("|:<", 2)] + "\"\r\n"}));
    EXPECT_FALSE(fs::exists(game / "System" / "quarnel.bat"));
}

} // namespace
} // namespace quarnel
