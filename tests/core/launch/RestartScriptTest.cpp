#include "launch/RestartScript.h"

#include "LaunchFixture.h"
#include "common/Text.h"
#include "launch/LaunchFiles.h"
#include "launch/SystemdUnit.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::ExampleForm;
using test::readFile;
using test::TempDir;

TEST(Quoting, TakesEveryByteLiterally) {
    // A typed text, as one sh word and as one word of a systemd command line.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"", "''", "\"\""},
        {"plain", "'plain'", "\"plain\""},
        {"it's", "'it'\\''s'", "\"it's\""},
        {"''", "''\\'''\\'''", "\"''\""},
        {"$HOME `id` $(id)", "'$HOME `id` $(id)'", "\"$$HOME `id` $$(id)\""},
        {"a\\b \"c\"", "'a\\b \"c\"'", "\"a\\\\b \\\"c\\\"\""},
        {"!*?;&|<>", "'!*?;&|<>'", "\"!*?;&|<>\""},
        {"100%", "'100%'", "\"100%%\""},
        {"a\tb\x7f", "'a\tb\x7f'", "\"a\\x09b\\x7f\""},
        {"\xe9\xff", "'\xe9\xff'", "\"\\xe9\\xff\""},
    };
    for (const auto& [text, sh, systemd] : cases) {
        EXPECT_EQ(quoteForSh(text), sh) << text;
        EXPECT_EQ(quoteForSystemd(text), systemd) << text;
    }
}

// The line of the script that runs the server, for the game in dir/UT.
std::string serverLineOf(const std::string& script) {
    const std::size_t start = script.find("\n    $reset '") + 12;
    return script.substr(start, script.find('\n', start) - start);
}

TEST(RestartScript, RunsTheLinuxServerElseWineWithTheBatchFilesArguments) {
    TempDir dir;
    const std::string utpath = dir.withSeparator() + "UT 'q'/";
    dir.writeFile("UT 'q'/System/UCC.exe", "");
    ExampleForm example({"DM-Example.ut2"}, utpath);
    example.form.setText(Text::AdminPassword, "it's $x");
    const std::string system = dir.withSeparator() + "UT '\\''q'\\''/System/";

    // Neither: wine runs ucc.exe as it is spelled on disk; the crash log is named after the
    // batch file, and the loop changes to the System folder first.
    std::string script = restartScript(example.form, "my.bat");
    EXPECT_NE(script.find("\ncd '" + system + "' || exit 1\n"), std::string::npos);
    EXPECT_NE(script.find("\ncrashlog='" + system + "mycrash.log'\n"), std::string::npos);
    const std::string url = serverArguments(example.form, "my.ini")[1];
    EXPECT_NE(url.find("?AdminPassword=it's $x?"), std::string::npos);
    EXPECT_EQ(serverLineOf(script), "'wine' './UCC.exe' 'server' '" +
                                        replaceAll(url, "'", "'\\''") +
                                        "' 'INI=my.ini' '-log=my.log' '-nohomedir' <&3 3<&- &");

    dir.writeFile("UT 'q'/System/UCC-BIN", "");
    script = restartScript(example.form, "my.bat");
    EXPECT_TRUE(serverLineOf(script).starts_with("'./UCC-BIN' 'server' '")) << script;
}

TEST(SystemdUnit, PassesSystemdsOwnCheck) {
    if (std::system("command -v systemd-analyze >/dev/null") != 0)
        GTEST_SKIP() << "systemd-analyze is not installed; the unit is not checked by systemd";
    TempDir dir;
    // A folder name with the characters systemd treats specially; the server must exist for
    // systemd to accept the unit.
    const std::string name = "UT $x 'q' 100% \\ \" `id` ; & | < > ! * ? \xc3\xa9";
    const fs::path server = dir.writeFile(name + "/System/ucc-bin", "#!/bin/sh\n");
    fs::permissions(server, fs::perms::owner_all);
    dir.writeFile("UT2003/System/ucc-bin", "#!/bin/sh\n");
    fs::permissions(dir.path() / "UT2003/System/ucc-bin", fs::perms::owner_all);
    const fs::path runtime = dir.makeFolder("runtime");
    fs::permissions(runtime, fs::perms::owner_all);

    for (const std::string& game : {name, std::string("UT2003")}) {
        SCOPED_TRACE(game);
        ExampleForm example({"DM-Example.ut2"}, dir.withSeparator() + game + "/");
        example.form.setText(Text::AdminPassword, "$HOME 100% \"x\" \\ \xe9");
        const std::string unit = systemdUnit(example.form, "quarnel.ini", "/usr/bin/wine");
        const fs::path file = dir.path() / "quarnel-test.service";
        std::ofstream(file, std::ios::binary) << unit;
        const std::string command = "XDG_RUNTIME_DIR='" + runtime.string() +
                                    "' systemd-analyze verify --user '" + file.string() + "' >'" +
                                    (dir.path() / "verify.out").string() + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << readFile(dir.path() / "verify.out") << unit;
        EXPECT_NE(unit.find("\nRestart=on-failure\n"), std::string::npos);
        if (game == "UT2003") {
            const std::string system = dir.withSeparator() + "UT2003/System";
            EXPECT_NE(unit.find("\nWorkingDirectory=" + system + "\nExecStart=\"" + system +
                                "/ucc-bin\" \"server\" \"DM-Example?"),
                      std::string::npos);
            EXPECT_NE(unit.find("?AdminPassword=$$HOME 100%% \\\"x\\\" \\\\ \\xe9?"),
                      std::string::npos);
            EXPECT_NE(unit.find("\nExecStopPost=-/bin/cp -f \"" + system + "/quarnel.log\" \"" +
                                system + "/quarnelcrash.log\"\n"),
                      std::string::npos);
        }
        EXPECT_NE(unit.find("\nStartLimitIntervalSec=55\nStartLimitBurst=5\n"), std::string::npos);
    }
}

} // namespace
} // namespace quarnel
