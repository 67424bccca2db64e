#pragma once

#include "ExpectError.h"
#include "store/Registry.h"

#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What every store behind the Registry interface does, run over each of them.
namespace quarnel::test {

inline constexpr RegRoot LM = RegRoot::LocalMachine;
inline constexpr std::string_view kKey = "SOFTWARE\\QUARNEL";

inline std::string registryError(const std::function<void()>& call) {
    return expectError(errc::Registry, call);
}

// The five operations over an empty store: kKey is created first.
inline void expectRegistryContract(Registry& reg) {
    ASSERT_FALSE(reg.createKey(LM, kKey));
    // Texts byte for byte, 16-bit integers widened, bytes of any length; each kind replaced.
    using Bytes = std::vector<std::uint8_t>;
    // clang-format off
    const std::pair<RegWriteValue, RegValue> values[] = {
        {std::string("Big Server "), std::string("Big Server ")}, {std::string(), std::string()},
        {std::string("Caf\xE9 \xFF"), std::string("Caf\xE9 \xFF")},
        {std::string("a\0b", 3), std::string("a\0b", 3)}, {std::string(2000, 'x'), std::string(2000, 'x')},
        {std::int16_t{-5}, std::int32_t{-5}}, {std::int32_t{INT_MIN}, std::int32_t{INT_MIN}},
        {Bytes{0, 255, 1, 0}, Bytes{0, 255, 1, 0}}, {Bytes(100000, 7), Bytes(100000, 7)}, {Bytes{}, Bytes{}}};
    // clang-format on
    for (const auto& [written, expected] : values) {
        SCOPED_TRACE(testing::PrintToString(expected).substr(0, 60));
        ASSERT_TRUE(reg.writeValue(LM, kKey, "Value", written));
        EXPECT_EQ(reg.readValue(LM, kKey, "Value"), expected);
        ASSERT_TRUE(reg.writeValue(LM, kKey, "Value", std::string("x")));
        EXPECT_EQ(reg.readValue(LM, kKey, "Value"), RegValue(std::string("x")));
    }
    // Refused kinds raise; below a key that cannot be opened the key comes first: false.
    for (const RegWriteValue& refused : {RegWriteValue(true), RegWriteValue(1.5)})
        EXPECT_EQ(registryError([&] { reg.writeValue(LM, kKey, "Flag", refused); }),
                  kUnsupportedValueType);
    EXPECT_FALSE(reg.writeValue(LM, "SOFTWARE\\Missing", "Flag", true));
    // A key that cannot be opened (below the other root too) gives the default; an absent
    // value below an existing key raises.
    EXPECT_EQ(reg.readValue(LM, "SOFTWARE\\Nowhere", "UTPATH", std::string(" ")),
              RegValue(std::string(" ")));
    EXPECT_EQ(reg.readValue(LM, "SOFTWARE\\Nowhere", "UTPATH"), RegValue(std::string()));
    EXPECT_EQ(reg.readValue(RegRoot::CurrentUser, kKey, "N", std::int32_t{7}),
              RegValue(std::int32_t{7}));
    EXPECT_EQ(registryError([&] { reg.readValue(LM, kKey, "Flag", std::string(" ")); }),
              kUnsupportedValueType);
    // Writing below a missing key creates nothing; createKey says whether the key existed;
    // parents exist; names ignore case; deleting says what it did.
    EXPECT_FALSE(reg.writeValue(LM, "SOFTWARE\\Other", "V", std::string("x")));
    EXPECT_FALSE(reg.keyExists(LM, "SOFTWARE\\Other"));
    EXPECT_FALSE(reg.createKey(LM, "SOFTWARE\\Other"));
    EXPECT_TRUE(reg.createKey(LM, "software\\quarnel"));
    EXPECT_TRUE(reg.keyExists(LM, "SOFTWARE"));
    EXPECT_FALSE(reg.keyExists(LM, "SOFTWARE\\QUARNEL\\Sub"));
    EXPECT_FALSE(reg.keyExists(RegRoot::CurrentUser, kKey));
    ASSERT_TRUE(reg.writeValue(LM, "Software\\Quarnel", "MapCount", std::int32_t{3}));
    EXPECT_EQ(reg.readValue(LM, kKey, "MAPCOUNT"), RegValue(std::int32_t{3}));
    EXPECT_TRUE(reg.deleteValue(LM, kKey, "mapcount"));
    EXPECT_FALSE(reg.deleteValue(LM, kKey, "MapCount"));
    EXPECT_FALSE(reg.deleteValue(LM, "SOFTWARE\\Missing", "MapCount"));
    EXPECT_EQ(registryError([&] { reg.readValue(LM, kKey, "MapCount"); }), kUnsupportedValueType);
    // Paths with an empty part name no key.
    for (std::string_view path : {"", "\\", "\\SOFTWARE", "SOFTWARE\\", "SOFTWARE\\\\QUARNEL"}) {
        SCOPED_TRACE(std::string(path));
        EXPECT_FALSE(reg.keyExists(LM, path));
        EXPECT_EQ(registryError([&] { reg.createKey(LM, path); }), kUnableToCreateKey);
        EXPECT_FALSE(reg.writeValue(LM, path, "V", std::string("x")));
        EXPECT_EQ(reg.readValue(LM, path, "V", std::string(" ")), RegValue(std::string(" ")));
        EXPECT_FALSE(reg.deleteValue(LM, path, "V"));
    }
}

} // namespace quarnel::test
