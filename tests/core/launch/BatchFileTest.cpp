#include "LaunchFixture.h"
#include "launch/LaunchFiles.h"

#include <functional>
#include <gtest/gtest.h>

namespace quarnel {
namespace {

using test::exampleWith;
using test::kExampleArguments;

TEST(BatchLines, AreTheLoopAroundTheServer) {
    const std::string ut = "C:\\UT2003\\", iniLog = "INI=quarnel.ini -log=quarnel.log";
    // Game folder, file name, change to the worked example, server line, copy line.
    using S = std::string;
    const std::tuple<S, S, std::function<void(SettingsForm&)>, S, S> cases[] = {

        {ut, "Server.BAT", nullptr, exampleWith({{iniLog, "INI=Server.BAT -log=Server.BAT"}}),
         "copy C:\\UT2003\\system\\Server.BAT C:\\UT2003\\system\\Server.BATcrash.log"},
        {ut, "a.bat.bat", nullptr, exampleWith({{iniLog, "INI=a.ini.ini -log=a.log.log"}}),
         "copy C:\\UT2003\\system\\a.log.log C:\\UT2003\\system\\acrash.log"},
        // Quoted for the blank; then "%" doubled even inside the quotes, "&" there kept.
        {"C:\\100% R&D Games\\", "quarnel.bat",
         [](SettingsForm& f) { f.setText(Text::AdminPassword, "100%"); },
         "\"C:\\100%% R&D Games\\system\\ucc.exe\"" +
             exampleWith({{"AdminPassword=?", "AdminPassword=100%%?"}}, kExampleArguments),
         "copy \"C:\\100%% R&D Games\\system\\quarnel.log\" \"C:\\100%% R&D "
         "Games\\system\\quarnelcrash.log\""},
        // cmd ends a word at ",", ";" and "=" as at a blank.
        {"C:\\Games;Old,UT=2003\\", "quarnel.bat", nullptr,
         "\"C:\\Games;Old,UT=2003\\system\\ucc.exe\"" + kExampleArguments,
         "copy \"C:\\Games;Old,UT=2003\\system\\quarnel.log\" "
         "\"C:\\Games;Old,UT=2003\\system\\quarnelcrash.log\""},
        // Operators escaped outside quotes, quotes in the text toggle that, no line breaks.
        {ut, "quar\r\nnel.bat",
         [](SettingsForm& f) {
             f.setText(Text::GamePassword, "a&b|c<d>e^f");
             f.setText(Text::ExtraCommandLine, "Msg=\"a&b\"&c\nB=2");
         },
         exampleWith({{"GamePassword=?", "GamePassword=a^&b^|c^<d^>e^^f?"},
                      {"difficulty=2 ", "difficulty=2?Msg=\"a&b\"^&cB=2 "}}),
         "copy C:\\UT2003\\system\\quarnel.log C:\\UT2003\\system\\quarnelcrash.log"}};
    for (const auto& [folder, filename, change, serverLine, copyLine] : cases) {
        SCOPED_TRACE(filename);
        test::ExampleForm example(folder);
        if (change)
            change(example.form);
        EXPECT_EQ(batchLines(example.form, filename, '\\'),
                  (std::vector<std::string>{"@echo off", ":10", serverLine, copyLine, "goto 10"}));
    }
}

} // namespace
} // namespace quarnel
