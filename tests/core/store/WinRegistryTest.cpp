#include "store/WinRegistry.h"

#include "RegistryValues.h"
#include "common/Error.h"
#include "store/RegistrySettings.h"

#include <gtest/gtest.h>
#include <optional>
#include <windows.h>

namespace quarnel {
namespace {

constexpr RegRoot LM = RegRoot::LocalMachine;
constexpr std::string_view kKey = "SOFTWARE\\QUARNEL";


// Expects Error 1001 with the given message from call.
template <typename F> void expectRegistryError(F&& call, std::string_view message) {
    try {
        call();
        ADD_FAILURE() << "no error raised, expected " << message;
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::Registry);
        EXPECT_EQ(std::string(e.what()), message);
    }
}

// Each test in a scratch key of Wine's registry of its own, removed at its end.
class WinRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(reg->createKey(LM, kKey)); }
    std::unique_ptr<WinRegistry> reg = WinRegistry::scratch();
};

TEST_F(WinRegistryTest, ValueReadsBackAsWrittenWhateverItsSize) {
    test::expectValuesReadBackAsWritten(*reg, LM, kKey);
}

// Values as other programs leave them; nullopt: Unsupported value type.
TEST_F(WinRegistryTest, ReadConvertsByStoredTypeAndRefusesWhatItCannotRead) {
    const std::tuple<unsigned, std::string, std::optional<RegValue>> cases[] = {
        {REG_SZ, "no terminator", RegValue(std::string("no terminator"))},
        {REG_SZ, "", RegValue(std::string())},
        {REG_EXPAND_SZ, std::string("%PATH%\\x\0", 9), RegValue(std::string("%PATH%\\x"))},
        {REG_MULTI_SZ, std::string("a\0b\0\0", 5), RegValue(std::string("a\0b", 3))},
        {REG_DWORD, std::string("\x01\x02\x00\x80", 4), RegValue(std::int32_t(0x80000201u))},
        {REG_DWORD, std::string("\x01\x02", 2), std::nullopt}, // too short for 32 bits
        {REG_NONE, "x", std::nullopt},
        {REG_DWORD_BIG_ENDIAN, std::string(4, '\0'), std::nullopt},
        {REG_QWORD, std::string(8, '\0'), std::nullopt}};
    for (const auto& [type, data, expected] : cases) {
        SCOPED_TRACE(type);
        ASSERT_TRUE(reg->writeTyped(LM, kKey, "Raw", type, data));
        if (expected)
            EXPECT_EQ(reg->readValue(LM, kKey, "Raw", std::string(" ")), *expected);
        else
            expectRegistryError([&] { reg->readValue(LM, kKey, "Raw", std::string(" ")); },
                                "Unsupported value type");
    }
}

TEST_F(WinRegistryTest, KeysValuesAndTheirFailures) {
    for (const RegWriteValue& refused : {RegWriteValue(true), RegWriteValue(1.5)})
        expectRegistryError([&] { reg->writeValue(LM, kKey, "Flag", refused); },
                            "Unsupported value type");
    // A key that cannot be opened gives the default; an absent value raises.
    EXPECT_EQ(reg->readValue(LM, "SOFTWARE\\Nowhere", "UTPATH", std::string(" ")),
              RegValue(std::string(" ")));
    EXPECT_EQ(reg->readValue(RegRoot::CurrentUser, kKey, "N", std::int32_t{7}),
              RegValue(std::int32_t{7}));
    expectRegistryError([&] { reg->readValue(LM, kKey, "UTPATH"); }, "Unsupported value type");
    // Writing below a missing key creates nothing; createKey says whether it existed.
    EXPECT_FALSE(reg->writeValue(LM, "SOFTWARE\\Other", "V", std::string("x")));
    EXPECT_FALSE(reg->keyExists(LM, "SOFTWARE\\Other"));
    EXPECT_FALSE(reg->createKey(LM, "SOFTWARE\\Other"));
    EXPECT_TRUE(reg->createKey(LM, "software\\quarnel"));
    ASSERT_TRUE(reg->writeValue(LM, "Software\\Quarnel", "MapCount", std::int32_t{3}));
    EXPECT_EQ(reg->readValue(LM, kKey, "MAPCOUNT"), RegValue(std::int32_t{3}));
    EXPECT_TRUE(reg->deleteValue(LM, kKey, "mapcount"));
    EXPECT_FALSE(reg->deleteValue(LM, kKey, "MapCount"));
    EXPECT_FALSE(reg->deleteValue(LM, "SOFTWARE\\Missing", "MapCount"));
    // Paths the registry cannot name, and names beyond its limits.
    const std::string longPart(300, 'k');
    for (const std::string& path :
         {std::string(), std::string("\\SOFTWARE"), std::string("SOFTWARE\\\\X"),
          std::string("A\0B", 3), "SOFTWARE\\" + longPart}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(reg->keyExists(LM, path));
        expectRegistryError([&] { reg->createKey(LM, path); }, "Unable to create the registry key");
        EXPECT_FALSE(reg->writeValue(LM, path, "V", std::string("x")));
        EXPECT_EQ(reg->readValue(LM, path, "V", std::string(" ")), RegValue(std::string(" ")));
    }
    for (const std::string& name : {std::string(20000, 'n'), std::string("a\0b", 3)}) {
        EXPECT_FALSE(reg->writeValue(LM, kKey, name, std::string("x")));
        expectRegistryError([&] { reg->readValue(LM, kKey, name); }, "Unsupported value type");
        EXPECT_FALSE(reg->deleteValue(LM, kKey, name));
    }
}

TEST_F(WinRegistryTest, AnEarlierInstallIsAdoptedOnceWithItsTypes) {
    // The old key without values is no earlier install.
    EXPECT_FALSE(reg->adoptEarlierInstall());
    EXPECT_FALSE(reg->keyExists(kProgramRoot, kProgramKey));
    ASSERT_TRUE(reg->writeValue(LM, kProgramKey, "ServerName", std::string("Old Server ")));
    ASSERT_TRUE(reg->writeValue(LM, kProgramKey, "MapCount", std::int32_t{2}));
    ASSERT_TRUE(reg->writeTyped(LM, kProgramKey, "Map1", REG_SZ, "DM-Old ")); // no terminator
    EXPECT_FALSE(reg->keyExists(kProgramRoot, kProgramKey));

    EXPECT_TRUE(reg->adoptEarlierInstall());
    EXPECT_EQ(reg->readValue(kProgramRoot, kProgramKey, "ServerName"),
              RegValue(std::string("Old Server ")));
    EXPECT_EQ(reg->readValue(kProgramRoot, kProgramKey, "MapCount"), RegValue(std::int32_t{2}));
    EXPECT_EQ(reg->readValue(kProgramRoot, kProgramKey, "Map1"), RegValue(std::string("DM-Old ")));

    // Once only: later changes below the old root are not copied again.
    ASSERT_TRUE(reg->writeValue(LM, kProgramKey, "ServerName", std::string("Changed ")));
    EXPECT_FALSE(reg->adoptEarlierInstall());
    EXPECT_EQ(reg->readValue(kProgramRoot, kProgramKey, "ServerName"),
              RegValue(std::string("Old Server ")));
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

    HKEY native = nullptr;
    const bool seenNatively =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &native) == ERROR_SUCCESS;
    if (native)
        RegCloseKey(native);
    WinRegistry registry;
    const RegValue read = registry.readValue(LM, key, "Folder", std::string(" "));
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_32KEY, 0);

    EXPECT_FALSE(seenNatively);
    EXPECT_EQ(read, RegValue(std::string(folder)));
}

} // namespace
} // namespace quarnel
