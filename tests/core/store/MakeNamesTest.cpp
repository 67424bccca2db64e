#include "store/MakeNames.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

TEST(MakeNamesTest, RefusesWhatMakeBatIniRefuses) {
    const MakeRefusal ext{kIniExtensionMessage, kIniExtensionTitle}, none{};
    const MakeRefusal builtIn{kBuiltInIniMessage, kBuiltInIniTitle};
    // clang-format off
    const std::pair<const char*, MakeRefusal> cases[] = {
        {"myserver.ini", none}, {"Server.INI", none},   {"a.ini.b.ini", none},
        {"USER.INI", builtIn},  {"ut2003.Ini", builtIn}, {"UnrealEdTips.ini", builtIn},
        {"server.txt", ext},    {"server", ext},         {"server.ini.txt", ext},
        {"server.inix", ext},   {"", ext}};
    // clang-format on
    for (const auto& [title, refusal] : cases) {
        const MakeRefusal got = refuseIniName(title).value_or(none);
        EXPECT_EQ(std::tie(got.message, got.title), std::tie(refusal.message, refusal.title))
            << title;
    }
}

TEST(MakeNamesTest, FilesGoBesideTheChosenOne) {
    const std::pair<const char*, MakeFiles> cases[] = {
        {"/a/a.ini.b.ini", {"/a/", "a.ini.b.ini", "a.bat.b.bat"}},
        {"/x.ini/x.ini", {"/x.ini/", "x.ini", "x.bat"}}, // the folder named like the file
        {"bare.ini", {"", "bare.ini", "bare.bat"}},
        {"/odd/My.Ini.Copy.iNi", {"/odd/", "My.Ini.Copy.iNi", "My.bat.Copy.bat"}}};
    for (const auto& [path, expected] : cases) {
        const MakeFiles files = makeFilesFor(path);
        EXPECT_EQ(std::tie(files.folder, files.iniName, files.batchName),
                  std::tie(expected.folder, expected.iniName, expected.batchName))
            << path;
    }
}

} // namespace
} // namespace quarnel
