#include "about/SysInfo.h"

#include "TempDir.h"
#include "store/RegistryFile.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace quarnel {
namespace {

// The registered path comes first, then the tool in the registered folder, else nothing. A
// value reads as the system's 1024-byte buffer holds it: a text of up to 1023 bytes or a
// number; bytes that fit read as an empty path, anything longer as no value at all.
TEST(SysInfo, TheRegisteredPathComesFirstThenTheRegisteredFolderElseNothing) {
    const auto registry = makeMemoryRegistry();
    const auto put = [&](std::string_view key, std::string_view name, const RegWriteValue& value) {
        registry->createKey(RegRoot::LocalMachine, key);
        registry->writeValue(RegRoot::LocalMachine, key, name, value);
    };
    test::TempDir dir;
    std::vector<std::string> started;
    const auto start = [&](bool starts) {
        return startSysInfo(*registry, [&](const std::string& program) {
            started.push_back(program);
            return starts;
        });
    };
    EXPECT_EQ(start(true), ""); // nothing registered
    put(kMsinfoFolderKey, kMsinfoFolderValue, dir.path().string());
    EXPECT_EQ(start(true), ""); // a folder without the tool
    const std::string inFolder = dir.writeFile("MSINFO32.EXE", "").string();
    registry->createKey(RegRoot::LocalMachine, kMsinfoPathKey); // the key without the path
    EXPECT_EQ(std::pair(start(false), start(true)), std::pair(std::string(), inFolder));
    EXPECT_EQ(
        startSysInfo(*registry, [](const std::string&) -> bool { throw std::runtime_error(""); }),
        "");
    const std::pair<RegWriteValue, std::string> paths[] = {
        {std::string(1023, 'a'), std::string(1023, 'a')},
        {std::string(1024, 'a'), inFolder},
        {std::int32_t{258}, "258"},
        {std::vector<std::uint8_t>(1024, 1), ""},
        {std::vector<std::uint8_t>(1025, 1), inFolder}};
    for (const auto& [path, program] : paths) {
        put(kMsinfoPathKey, kMsinfoPathValue, path);
        EXPECT_EQ(start(true), program) << program.size();
    }
    EXPECT_EQ(std::count(started.begin(), started.end(), ""), 0); // never asked to start nothing
}

} // namespace
} // namespace quarnel
