#pragma once

#include "store/Registry.h"

#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quarnel::test {

// What every store keeps of each kind of value: texts byte for byte (NULs, 8-bit bytes, and
// longer than a first read buffer), 16-bit integers widened to 32 bits, bytes of any length.
// Each value written below key is read back as expected, and another kind written over it
// replaces it entirely.
inline void expectValuesReadBackAsWritten(Registry& reg, RegRoot root, std::string_view key) {
    using Bytes = std::vector<std::uint8_t>;
    const std::pair<RegWriteValue, RegValue> cases[] = {
        {std::string("Big Server "), std::string("Big Server ")},
        {std::string(), std::string()},
        {std::string("Caf\xE9 \xFF"), std::string("Caf\xE9 \xFF")},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
        {std::string(2000, 'x'), std::string(2000, 'x')},
        {std::int16_t{-5}, std::int32_t{-5}},
        {std::int32_t{INT_MIN}, std::int32_t{INT_MIN}},
        {Bytes{0, 255, 1, 0}, Bytes{0, 255, 1, 0}},
        {Bytes(100000, 7), Bytes(100000, 7)},
        {Bytes{}, Bytes{}}};
    for (const auto& [written, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(expected).substr(0, 60));
        ASSERT_TRUE(reg.writeValue(root, key, "Value", written));
        EXPECT_EQ(reg.readValue(root, key, "Value"), expected);
        ASSERT_TRUE(reg.writeValue(root, key, "Value", std::string("x")));
        EXPECT_EQ(reg.readValue(root, key, "Value"), RegValue(std::string("x")));
    }
}

} // namespace quarnel::test
