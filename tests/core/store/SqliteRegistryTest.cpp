#include "store/SqliteRegistry.h"

#include "RegistryValues.h"

#include <gtest/gtest.h>

namespace quarnel::test {
namespace {

TEST(SqliteRegistry, KeepsTheRegistryContract) {
    expectRegistryContract(*SqliteRegistry::openMemory());
}

TEST(SqliteRegistry, ReadConvertsByStoredType) {
    auto reg = SqliteRegistry::openMemory();
    reg->createKey(LM, kKey);
    expectTypedReads<SqliteRegistry, int>(
        *reg,
        {{regtype::ExpandSz, "%HOME%\\x", RegValue(std::string("%HOME%\\x"))}, // as stored
         {regtype::MultiSz, std::string("a\0b", 3), RegValue(std::string("a\0b", 3))},
         {regtype::Dword, std::string("\x01\x02\x00\x80", 4), RegValue(std::int32_t(0x80000201u))},
         {regtype::Dword, std::string("\x01\x02", 2), std::nullopt},
         {regtype::None, "x", std::nullopt},
         {11, std::string(8, '\0'), std::nullopt}}); // a QWORD
}

TEST(SqliteRegistry, TransactionKeepsAllOrNothing) {
    auto reg = SqliteRegistry::openMemory();
    reg->createKey(LM, kKey);
    ASSERT_TRUE(reg->writeValue(LM, kKey, "A", std::string("old")));
    EXPECT_THROW(reg->inTransaction([&] {
        reg->writeValue(LM, kKey, "A", std::string("new"));
        reg->writeValue(LM, kKey, "B", std::string("new"));
        reg->inTransaction([&] { reg->deleteValue(LM, kKey, "A"); });
        throw std::runtime_error("stop");
    }),
                 std::runtime_error);
    EXPECT_EQ(reg->readValue(LM, kKey, "A"), RegValue(std::string("old")));
    EXPECT_THROW(reg->readValue(LM, kKey, "B"), Error);

    reg->inTransaction([&] {
        reg->writeValue(LM, kKey, "A", std::string("new"));
        reg->inTransaction([&] { reg->writeValue(LM, kKey, "B", std::string("new")); });
    });
    EXPECT_EQ(reg->readValue(LM, kKey, "A"), RegValue(std::string("new")));
    EXPECT_EQ(reg->readValue(LM, kKey, "B"), RegValue(std::string("new")));
}

} // namespace
} // namespace quarnel::test
