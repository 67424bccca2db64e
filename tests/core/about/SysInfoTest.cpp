#include "about/SysInfo.h"

#include "TempDir.h"
#include "store/RegistryFile.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <vector>

namespace quarnel {
namespace {

class SysInfoTest : public ::testing::Test {
protected:
    // Records the programs it is asked to start and answers with startResult.
    std::string start() {
        return startSysInfo(*registry, [this](const std::string& program) {
            started.push_back(program);
            return startResult;
        });
    }
    void put(std::string_view key, std::string_view name, const RegWriteValue& value) {
        registry->createKey(RegRoot::LocalMachine, key);
        registry->writeValue(RegRoot::LocalMachine, key, name, value);
    }

    std::unique_ptr<Registry> registry = makeMemoryRegistry();
    std::vector<std::string> started;
    bool startResult = true;
    test::TempDir dir;
};

TEST_F(SysInfoTest, TheRegisteredPathComesFirstThenTheRegisteredFolderElseNothing) {
    EXPECT_EQ(start(), ""); // nothing registered
    put(kMsinfoFolderKey, kMsinfoFolderValue, dir.path().string());
    EXPECT_EQ(start(), ""); // a folder without the program
    const std::string program = dir.writeFile("MSINFO32.EXE", "").string();
    startResult = false;
    EXPECT_EQ(start(), ""); // a program that does not start
    startResult = true;
    EXPECT_EQ(start(), program);
    EXPECT_EQ(
        startSysInfo(*registry, [](const std::string&) -> bool { throw std::runtime_error("no"); }),
        "");
    put(kMsinfoPathKey, kMsinfoPathValue, std::string("/opt/tools/msinfo"));
    EXPECT_EQ(start(), "/opt/tools/msinfo");
    EXPECT_EQ(started, (std::vector<std::string>{program, program, "/opt/tools/msinfo"}));
}

TEST_F(SysInfoTest, GetKeyValueReadsTextsAndNumbersAndRefusesWhatItCannotRead) {
    const std::string key = "SOFTWARE\\Test";
    put(key, "text", std::string("C:\\Tools\\x.exe"));
    put(key, "number", std::int32_t{258});
    put(key, "negative", std::int32_t{-1});
    put(key, "fits", std::string(1023, 'a'));
    put(key, "toolong", std::string(1024, 'a'));
    put(key, "bytes", std::vector<std::uint8_t>{1, 2});
    put(key, "bytesfit", std::vector<std::uint8_t>(1024, 1));
    put(key, "bytestoolong", std::vector<std::uint8_t>(1025, 1));

    const std::tuple<std::string, const char*, bool, std::string> cases[] = {
        {key, "text", true, "C:\\Tools\\x.exe"},
        {key, "number", true, "258"},
        {key, "negative", true, "-1"},
        {key, "fits", true, std::string(1023, 'a')},
        {key, "toolong", false, ""},
        {key, "bytes", true, "before"},
        {key, "bytesfit", true, "before"},
        {key, "bytestoolong", false, ""},
        {key, "absent", false, ""},
        {"SOFTWARE\\Missing", "text", false, ""}};
    for (const auto& [caseKey, name, read, expected] : cases) {
        SCOPED_TRACE(caseKey + " " + name);
        std::string text = "before";
        EXPECT_EQ(readValueText(*registry, RegRoot::LocalMachine, caseKey, name, text), read);
        EXPECT_EQ(text, expected);
    }
}

} // namespace
} // namespace quarnel
