#include "about/SysInfo.h"

#include "FakeDialogs.h"
#include "MemoryRegistry.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <vector>

namespace quarnel {
namespace {

using test::FakeDialogs;

const FakeDialogs::Message kUnavailable{"System Information Is Unavailable At This Time",
                                        "quarnel"};

class SysInfoTest : public ::testing::Test {
protected:
    // Records the programs it is asked to start and answers with startResult.
    ProgramStarter starter() {
        return [this](const std::string& program) {
            started.push_back(program);
            return startResult;
        };
    }
    void registerPath(std::string path) {
        registry.put(RegRoot::LocalMachine, kMsinfoPathKey, kMsinfoPathValue, std::move(path));
    }
    void registerFolder(std::string folder) {
        registry.put(RegRoot::LocalMachine, kMsinfoFolderKey, kMsinfoFolderValue,
                     std::move(folder));
    }

    test::MemoryRegistry registry;
    FakeDialogs dialogs;
    std::vector<std::string> started;
    bool startResult = true;
    test::TempDir dir;
};

TEST_F(SysInfoTest, TheRegisteredPathStartsWithoutLookingFurther) {
    registerPath("/opt/tools/msinfo");
    registerFolder(dir.path().string());
    dir.writeFile("MSINFO32.EXE", "");
    EXPECT_EQ(StartSysInfo(registry, dialogs, starter()), "/opt/tools/msinfo");
    EXPECT_EQ(started, (std::vector<std::string>{"/opt/tools/msinfo"}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SysInfoTest, TheRegisteredFolderStartsItsMsinfo32) {
    const auto program = dir.writeFile("MSINFO32.EXE", "");
    registerFolder(dir.path().string());
    EXPECT_EQ(StartSysInfo(registry, dialogs, starter()), program.string());
    EXPECT_EQ(started, (std::vector<std::string>{program.string()}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SysInfoTest, NothingToStartShowsTheMessageOnce) {
    struct Case {
        const char* what;
        bool folderRegistered;
        bool programPresent;
        bool startSucceeds;
    };
    const Case cases[] = {{"nothing registered", false, false, true},
                          {"folder without the program", true, false, true},
                          {"program that does not start", true, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::MemoryRegistry fresh;
        FakeDialogs shown;
        test::TempDir folder;
        if (c.programPresent)
            folder.writeFile("MSINFO32.EXE", "");
        if (c.folderRegistered)
            fresh.put(RegRoot::LocalMachine, kMsinfoFolderKey, kMsinfoFolderValue,
                      folder.path().string());
        startResult = c.startSucceeds;
        EXPECT_EQ(StartSysInfo(fresh, shown, starter()), "");
        EXPECT_EQ(shown.messages, (std::vector<FakeDialogs::Message>{kUnavailable}));
    }
}

TEST_F(SysInfoTest, AStarterThatThrowsEndsInTheMessage) {
    registerPath("/opt/tools/msinfo");
    const ProgramStarter throwing = [](const std::string&) -> bool {
        throw std::runtime_error("cannot start");
    };
    EXPECT_EQ(StartSysInfo(registry, dialogs, throwing), "");
    EXPECT_EQ(dialogs.messages, (std::vector<FakeDialogs::Message>{kUnavailable}));
}

TEST_F(SysInfoTest, GetKeyValueReadsTextsAndNumbersAndRefusesWhatItCannotRead) {
    const std::string key = "SOFTWARE\\Test";
    registry.put(RegRoot::LocalMachine, key, "text", std::string("C:\\Tools\\x.exe"));
    registry.put(RegRoot::LocalMachine, key, "number", std::int32_t{258});
    registry.put(RegRoot::LocalMachine, key, "negative", std::int32_t{-1});
    registry.put(RegRoot::LocalMachine, key, "fits", std::string(1023, 'a'));
    registry.put(RegRoot::LocalMachine, key, "toolong", std::string(1024, 'a'));
    registry.put(RegRoot::LocalMachine, key, "bytes", std::vector<std::uint8_t>{1, 2});

    struct Case {
        const char* key;
        const char* name;
        bool read;
        std::string text;
    };
    const Case cases[] = {
        {"SOFTWARE\\Test", "text", true, "C:\\Tools\\x.exe"},
        {"SOFTWARE\\Test", "number", true, "258"},
        {"SOFTWARE\\Test", "negative", true, "-1"},
        {"SOFTWARE\\Test", "fits", true, std::string(1023, 'a')},
        {"SOFTWARE\\Test", "toolong", false, ""},
        {"SOFTWARE\\Test", "bytes", true, "before"},
        {"SOFTWARE\\Test", "absent", false, ""},
        {"SOFTWARE\\Missing", "text", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.name);
        std::string text = "before";
        EXPECT_EQ(GetKeyValue(registry, RegRoot::LocalMachine, c.key, c.name, text), c.read);
        EXPECT_EQ(text, c.text);
    }
}

} // namespace
} // namespace quarnel
