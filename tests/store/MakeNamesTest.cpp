#include "store/MakeNames.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

TEST(MakeNamesTest, RefusesWhatMakeBatIniRefuses) {
    struct Case {
        const char* title;
        std::string_view message; // empty: accepted
    };
    const Case cases[] = {
        {"myserver.ini", ""},
        {"Server.INI", ""},
        {"a.ini.b.ini", ""},
        {"User.ini", kBuiltInIniMessage},
        {"USER.INI", kBuiltInIniMessage},
        {"ut2003.Ini", kBuiltInIniMessage},
        {"UnrealEdTips.ini", kBuiltInIniMessage},
        {"server.txt", kIniExtensionMessage},
        {"server", kIniExtensionMessage},
        {"server.ini.txt", kIniExtensionMessage},
        {"server.inix", kIniExtensionMessage},
        {"", kIniExtensionMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const auto refusal = refuseIniName(c.title);
        EXPECT_EQ(refusal ? refusal->message : std::string_view{}, c.message);
        if (refusal) {
            EXPECT_EQ(refusal->title,
                      c.message == kBuiltInIniMessage ? kBuiltInIniTitle : kIniExtensionTitle);
        }
    }
}

TEST(MakeNamesTest, FilesGoBesideTheChosenOne) {
    struct Case {
        const char* path;
        MakeFiles files;
    };
    const Case cases[] = {
        {"/srv/ut/System/myserver.ini", {"/srv/ut/System/", "myserver.ini", "myserver.bat"}},
        {"/srv/ut/Server.INI", {"/srv/ut/", "Server.INI", "Server.bat"}},
        {"/a/a.ini.b.ini", {"/a/", "a.ini.b.ini", "a.bat.b.bat"}},
        // The folder is the chosen file's folder, even when its name repeats the file title.
        {"/x.ini/x.ini", {"/x.ini/", "x.ini", "x.bat"}},
        {"bare.ini", {"", "bare.ini", "bare.bat"}},
        {"/odd/My.Ini.Copy.iNi", {"/odd/", "My.Ini.Copy.iNi", "My.bat.Copy.bat"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const MakeFiles files = makeFilesFor(c.path);
        EXPECT_EQ(files.folder, c.files.folder);
        EXPECT_EQ(files.iniName, c.files.iniName);
        EXPECT_EQ(files.batchName, c.files.batchName);
    }
}

} // namespace
} // namespace quarnel
