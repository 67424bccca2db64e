// quarnel-cli.exe as a Windows user runs it: real paths with drive letters and the batch file
// started through the shell.
#include "CliRun.h"
#include "Eventually.h"
#include "WindowsForm.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <windows.h>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runCli;
using Result = test::CliResult;

// The demo game installed as C:\UT2003 on Wine's drive C: for the test.
class WinCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(fs::exists(game)) << "a game is installed at " << game;
        fs::copy(test::demoInstall(), game, fs::copy_options::recursive);
    }
    // The stand-in and the batch file that ran it end on their own, a moment after the
    // stand-in has written its file; until then Windows keeps their files in use.
    void TearDown() override {
        std::error_code ec;
        const auto removed = [&] {
            fs::remove_all(game, ec);
            return !ec;
        };
        EXPECT_TRUE(test::eventually(removed)) << game << ": " << ec.message();
    }

    test::TempDir dir;
    const fs::path game = test::kWindowsGameFolder;
    const std::string cfg = QUARNEL_DEMO_CFG;
    const std::string line = readFile(test::windowsDemoFile("command-line.txt"));
};

// The batch file runs the game's server program: here a stand-in that notes its arguments
// and ends the batch file's loop. A folder Windows cannot have is refused before anything.
TEST_F(WinCliTest, CommandLineAndLaunchThroughTheShell) {
    EXPECT_EQ(runCli(dir, {"command-line", cfg}), (Result{0, line + "\r\n", ""}));
    EXPECT_EQ(runCli(dir, {"launch", cfg, "--game-dir", "C:\\UT2003\\a:b"}),
              (Result{1, "",
                      "quarnel-cli: C:\\UT2003\\a:b: not a valid folder on Windows: a name "
                      "cannot hold \":\"\r\n"}));
    fs::copy_file(QUARNEL_STAND_IN_UCC, game / "System" / "ucc.exe",
                  fs::copy_options::overwrite_existing);
    const fs::path ran = game / "System" / "ucc-ran.txt";
    EXPECT_EQ(runCli(dir, {"launch", cfg, "--game-dir", "C:\\UT2003"}), Result{});
    test::eventually([&] { return fs::exists(ran); }, std::chrono::seconds(20));
    EXPECT_EQ(readFile(ran), line.substr(line.find(" server ") + 1));
}

} // namespace
} // namespace quarnel
