#include "about/SysInfo.h"

#include "TempDir.h"
#include "store/RegistryFile.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace quarnel {
namespace {

// The registered path comes first, then the tool in the registered folder, else nothing. A path
// reads as a 1024-byte buffer holds it: bytes that fit as no path, anything longer not at all.
TEST(SysInfo, TheRegisteredPathComesFirstThenTheRegisteredFolderElseNothing) {
    const auto registry = makeMemoryRegistry();
    const auto put = [&](std::string_view key, std::string_view name, const RegWriteValue& value) {
        registry->createKey(RegRoot::LocalMachine, key);
        registry->writeValue(RegRoot::LocalMachine, key, name, value);
    };
    test::TempDir dir;
    const auto start = [&](int answer) { // the starter's answer: 0 no, 1 yes, 2 it throws
        return startSysInfo(*registry, [&](const std::string& program) {
            EXPECT_NE(program, ""); // never asked to start nothing
            if (answer == 2)
                throw std::runtime_error("cannot start");
            return answer == 1;
        });
    };
    EXPECT_EQ(start(1), ""); // nothing registered
    put(kMsinfoFolderKey, kMsinfoFolderValue, dir.path().string());
    EXPECT_EQ(start(1), ""); // a folder without the tool
    const std::string inFolder = dir.writeFile("MSINFO32.EXE", "").string();
    registry->createKey(RegRoot::LocalMachine, kMsinfoPathKey); // the key without the path
    EXPECT_EQ(std::tuple(start(0), start(2), start(1)), std::tuple("", "", inFolder));
    const std::pair<RegWriteValue, std::string> paths[] = {
        {std::string(1023, 'a'), std::string(1023, 'a')},
        {std::string(1024, 'a'), inFolder},
        {std::vector<std::uint8_t>(1024, 1), ""},
        {std::vector<std::uint8_t>(1025, 1), inFolder}};
    for (const auto& [path, program] : paths) {
        put(kMsinfoPathKey, kMsinfoPathValue, path);
        EXPECT_EQ(start(1), program) << program.size();
    }
}

} // namespace
} // namespace quarnel
