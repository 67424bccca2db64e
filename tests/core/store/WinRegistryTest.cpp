#include "store/WinRegistry.h"

#include "RegistryValues.h"
#include "store/RegistrySettings.h"

#include <gtest/gtest.h>
#include <optional>
#include <tuple>
#include <windows.h>

namespace quarnel::test {
namespace {

// Each test in a scratch key of Wine's registry of its own, removed at its end.
TEST(WinRegistry, KeepsTheRegistryContractAndReadsByStoredType) {
    auto reg = WinRegistry::scratch();
    expectRegistryContract(*reg);
    // Values of other programs by their stored type; nullopt: Unsupported value type.
    using Case = std::tuple<DWORD, std::string, std::optional<RegValue>>;
    for (const auto& [type, data, expected] :
         {Case{REG_SZ, "no terminator", RegValue(std::string("no terminator"))},
          Case{REG_SZ, "", RegValue(std::string())},
          Case{REG_EXPAND_SZ, std::string("%PATH%\\x\0", 9), RegValue(std::string("%PATH%\\x"))},
          Case{REG_MULTI_SZ, std::string("a\0b\0\0", 5), RegValue(std::string("a\0b", 3))},
          Case{REG_DWORD, std::string("\x01\x02\x00\x80", 4), RegValue(std::int32_t(0x80000201u))},
          Case{REG_DWORD, std::string("\x01\x02", 2), std::nullopt}, // too short for 32 bits
          Case{REG_NONE, "x", std::nullopt},
          Case{REG_DWORD_BIG_ENDIAN, std::string(4, '\0'), std::nullopt},
          Case{REG_QWORD, std::string(8, '\0'), std::nullopt}}) {
        SCOPED_TRACE(type);
        ASSERT_TRUE(reg->writeTyped(LM, kKey, "Raw", type, data));
        if (expected)
            EXPECT_EQ(reg->readValue(LM, kKey, "Raw", std::string(" ")), *expected);
        else
            EXPECT_EQ(registryError([&] { reg->readValue(LM, kKey, "Raw", std::string(" ")); }),
                      kUnsupportedValueType);
    }
}

TEST(WinRegistry, AnEarlierInstallIsAdoptedOnceWithItsTypes) {
    auto reg = WinRegistry::scratch();
    // The old key without values is no earlier install.
    ASSERT_FALSE(reg->createKey(LM, kProgramKey));
    EXPECT_FALSE(reg->adoptEarlierInstall());
    EXPECT_FALSE(reg->keyExists(kProgramRoot, kProgramKey));
    ASSERT_TRUE(reg->writeValue(LM, kProgramKey, "ServerName", std::string("Old Server ")));
    ASSERT_TRUE(reg->writeValue(LM, kProgramKey, "MapCount", std::int32_t{2}));
    ASSERT_TRUE(reg->writeTyped(LM, kProgramKey, "Map1", REG_SZ, "DM-Old ")); // no terminator

    EXPECT_TRUE(reg->adoptEarlierInstall());
    const auto read = [&](const char* name) {
        return reg->readValue(kProgramRoot, kProgramKey, name);
    };
    EXPECT_EQ(std::make_tuple(read("ServerName"), read("MapCount"), read("Map1")),
              std::make_tuple(RegValue(std::string("Old Server ")), RegValue(std::int32_t{2}),
                              RegValue(std::string("DM-Old "))));
    // Once only: later changes below the old root are not copied again.
    ASSERT_TRUE(reg->writeValue(LM, kProgramKey, "ServerName", std::string("Changed ")));
    EXPECT_FALSE(reg->adoptEarlierInstall());
    EXPECT_EQ(read("ServerName"), RegValue(std::string("Old Server ")));
}

// The game's entry as a 32-bit installer leaves it on 64-bit Windows: in the 32-bit view of
// the machine's registry, which the 64-bit view does not show.
TEST(WinRegistryViews, TheGameEntryIsReadFromThe32BitViewToo) {
    const std::string key = "SOFTWARE\\Quarnel test " + std::to_string(GetCurrentProcessId());
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                              KEY_WRITE | KEY_WOW64_32KEY, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    const char folder[] = "C:\\Games\\UT2003";
    RegSetValueExA(handle, "Folder", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder),
                   sizeof folder);
    RegCloseKey(handle);
    HKEY native = nullptr; // the test means something only where the views differ
    const bool seenNatively =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &native) == ERROR_SUCCESS;
    RegCloseKey(native);
    const RegValue read = WinRegistry().readValue(LM, key, "Folder", std::string(" "));
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_32KEY, 0);
    EXPECT_FALSE(seenNatively);
    EXPECT_EQ(read, RegValue(std::string(folder)));
}

} // namespace
} // namespace quarnel::test
