#include "store/SqliteRegistry.h"

#include "ExpectError.h"
#include "RegistryValues.h"
#include "TempDir.h"
#include "store/RegistryFile.h"

#include <gtest/gtest.h>
#include <memory>

namespace quarnel {
namespace {

constexpr RegRoot LM = RegRoot::LocalMachine;
constexpr std::string_view kKey = "SOFTWARE\\QUARNEL";


// The message of the Error 1001 that call raises.
std::string registryError(const std::function<void()>& call) {
    return test::expectError(errc::Registry, call);
}

class SqliteRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(reg->createKey(LM, kKey)); }
    std::unique_ptr<SqliteRegistry> reg = SqliteRegistry::openMemory();
};

TEST_F(SqliteRegistryTest, ValueReadsBackAsWritten) {
    test::expectValuesReadBackAsWritten(*reg, LM, kKey);
}

TEST_F(SqliteRegistryTest, RefusedKindsRaiseAndStoreNothing) {
    for (const RegWriteValue& value :
         {RegWriteValue(true), RegWriteValue(false), RegWriteValue(1.5)}) {
        EXPECT_EQ(registryError([&] { reg->writeValue(LM, kKey, "Flag", value); }),
                  "Unsupported value type");
        EXPECT_EQ(registryError([&] { reg->readValue(LM, kKey, "Flag"); }),
                  "Unsupported value type");
    }
    // Below a key that cannot be opened, the key is looked at first: false, no error.
    EXPECT_FALSE(reg->writeValue(LM, "SOFTWARE\\Missing", "Flag", true));
}

// Values of other programs, stored with their own types; nullopt: Unsupported value type.
TEST_F(SqliteRegistryTest, ReadConvertsByStoredType) {
    const std::tuple<int, std::string, std::optional<RegValue>> cases[] = {
        {regtype::ExpandSz, "%HOME%\\x", RegValue(std::string("%HOME%\\x"))}, // not expanded
        {regtype::MultiSz, std::string("a\0b", 3), RegValue(std::string("a\0b", 3))},
        {regtype::Dword, std::string("\x01\x02\x00\x80", 4), RegValue(std::int32_t(0x80000201u))},
        {regtype::Dword, std::string("\x01\x02", 2), std::nullopt},
        {regtype::None, "x", std::nullopt},
        {11, std::string(8, '\0'), std::nullopt}}; // a QWORD
    for (const auto& [type, data, expected] : cases) {
        SCOPED_TRACE(type);
        ASSERT_TRUE(reg->writeTyped(LM, kKey, "Raw", type, data));
        if (expected)
            EXPECT_EQ(reg->readValue(LM, kKey, "Raw", std::string(" ")), *expected);
        else
            EXPECT_EQ(registryError([&] { reg->readValue(LM, kKey, "Raw", std::string(" ")); }),
                      "Unsupported value type");
    }
}

TEST_F(SqliteRegistryTest, ReadBelowMissingKeyGivesDefaultAbsentValueRaises) {
    EXPECT_EQ(reg->readValue(LM, "SOFTWARE\\Nowhere", "UTPATH", std::string(" ")),
              RegValue(std::string(" ")));
    EXPECT_EQ(reg->readValue(LM, "SOFTWARE\\Nowhere", "UTPATH"), RegValue(std::string()));
    EXPECT_EQ(reg->readValue(LM, "SOFTWARE\\Nowhere", "N", std::int32_t{7}),
              RegValue(std::int32_t{7}));
    // The same key below the other root does not exist.
    EXPECT_EQ(reg->readValue(RegRoot::CurrentUser, kKey, "UTPATH", std::string(" ")),
              RegValue(std::string(" ")));
    EXPECT_EQ(registryError([&] { reg->readValue(LM, kKey, "UTPATH", std::string(" ")); }),
              "Unsupported value type");
}

// createKey: false for a new key, true for an existing one.
TEST_F(SqliteRegistryTest, KeysAndNamesIgnoreCaseParentsExistDeletesReport) {
    EXPECT_FALSE(reg->writeValue(LM, "SOFTWARE\\Other", "V", std::string("x")));
    EXPECT_FALSE(reg->keyExists(LM, "SOFTWARE\\Other")); // the write created nothing
    EXPECT_FALSE(reg->createKey(LM, "SOFTWARE\\Other"));
    EXPECT_TRUE(reg->createKey(LM, "software\\quarnel"));
    EXPECT_TRUE(reg->keyExists(LM, "SOFTWARE"));
    EXPECT_FALSE(reg->keyExists(LM, "SOFTWARE\\QUARNEL\\Sub"));
    EXPECT_FALSE(reg->keyExists(RegRoot::CurrentUser, kKey));
    ASSERT_TRUE(reg->writeValue(LM, "Software\\Quarnel", "MapCount", std::int32_t{3}));
    EXPECT_EQ(reg->readValue(LM, kKey, "MAPCOUNT"), RegValue(std::int32_t{3}));
    // Deleting reports whether something was deleted; the value is absent afterwards.
    EXPECT_TRUE(reg->deleteValue(LM, kKey, "mapcount"));
    EXPECT_FALSE(reg->deleteValue(LM, kKey, "MapCount"));
    EXPECT_FALSE(reg->deleteValue(LM, "SOFTWARE\\Missing", "MapCount"));
    EXPECT_EQ(registryError([&] { reg->readValue(LM, kKey, "MapCount"); }),
              "Unsupported value type");
}

TEST_F(SqliteRegistryTest, MalformedKeyPathsNameNoKey) {
    for (std::string_view path : {"", "\\", "\\SOFTWARE", "SOFTWARE\\", "SOFTWARE\\\\QUARNEL"}) {
        SCOPED_TRACE(std::string(path));
        EXPECT_FALSE(reg->keyExists(LM, path));
        EXPECT_EQ(registryError([&] { reg->createKey(LM, path); }),
                  "Unable to create the registry key");
        EXPECT_FALSE(reg->writeValue(LM, path, "V", std::string("x")));
        EXPECT_EQ(reg->readValue(LM, path, "V", std::string(" ")), RegValue(std::string(" ")));
        EXPECT_FALSE(reg->deleteValue(LM, path, "V"));
    }
}

TEST_F(SqliteRegistryTest, TransactionKeepsAllOrNothing) {
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

// Two connections to one file, as two running copies of the program have.
TEST(SqliteRegistryFile, HeldWriteLockMakesOthersFailCleanly) {
    test::TempDir dir;
    const auto file = dir.path() / "registry.db";
    auto first = openRegistry(file, 5000);
    auto second = openRegistry(file, 50);
    ASSERT_TRUE(first.persistent());
    ASSERT_TRUE(second.persistent());
    first.registry->createKey(LM, kKey);
    ASSERT_TRUE(first.registry->writeValue(LM, kKey, "A", std::string("old")));

    first.registry->inTransaction([&] {
        first.registry->writeValue(LM, kKey, "A", std::string("first"));
        EXPECT_FALSE(second.registry->writeValue(LM, kKey, "A", std::string("second")));
        EXPECT_FALSE(second.registry->deleteValue(LM, kKey, "A"));
        // Readers still see the last committed state.
        EXPECT_EQ(second.registry->readValue(LM, kKey, "A"), RegValue(std::string("old")));
    });
    EXPECT_EQ(second.registry->readValue(LM, kKey, "A"), RegValue(std::string("first")));
}

} // namespace
} // namespace quarnel
