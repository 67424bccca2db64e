#include "store/SqliteRegistry.h"

#include "TempDir.h"
#include "common/Error.h"
#include "store/RegistryFile.h"

#include <climits>
#include <gtest/gtest.h>
#include <memory>

namespace quarnel {
namespace {

constexpr RegRoot LM = RegRoot::LocalMachine;
constexpr std::string_view kKey = "SOFTWARE\\QUARNEL";

using Bytes = std::vector<std::uint8_t>;

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

class SqliteRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(reg->createregkey(LM, kKey)); }
    std::unique_ptr<SqliteRegistry> reg = SqliteRegistry::openMemory();
};

struct RoundTrip {
    const char* label;
    RegWriteValue written;
    RegValue expected;
};

class SqliteRoundTrip : public SqliteRegistryTest,
                        public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(SqliteRoundTrip, ValueReadsBackAsWritten) {
    const auto& c = GetParam();
    ASSERT_TRUE(reg->writeregvalue(LM, kKey, "Value", c.written));
    EXPECT_EQ(reg->readregvalue(LM, kKey, "Value"), c.expected);
    // Overwriting with another kind replaces the value entirely.
    ASSERT_TRUE(reg->writeregvalue(LM, kKey, "Value", std::string("x")));
    EXPECT_EQ(reg->readregvalue(LM, kKey, "Value"), RegValue(std::string("x")));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SqliteRoundTrip,
    ::testing::Values(
        RoundTrip{"text", std::string("Big Server "), std::string("Big Server ")},
        RoundTrip{"empty_text", std::string(), std::string()},
        RoundTrip{"trailing_blanks_kept", std::string("C:\\UT 2003   "),
                  std::string("C:\\UT 2003   ")},
        RoundTrip{"ansi_bytes", std::string("Caf\xE9 \xFF"), std::string("Caf\xE9 \xFF")},
        RoundTrip{"inner_nul", std::string("a\0b", 3), std::string("a\0b", 3)},
        RoundTrip{"long_text", std::string(2000, 'q') + "end", std::string(2000, 'q') + "end"},
        RoundTrip{"int16_widened", std::int16_t{-5}, std::int32_t{-5}},
        RoundTrip{"int16_max", std::int16_t{32767}, std::int32_t{32767}},
        RoundTrip{"int32_min", std::int32_t{INT_MIN}, std::int32_t{INT_MIN}},
        RoundTrip{"int32_max", std::int32_t{INT_MAX}, std::int32_t{INT_MAX}},
        RoundTrip{"bytes", Bytes{0, 255, 1, 0}, Bytes{0, 255, 1, 0}},
        RoundTrip{"no_bytes", Bytes{}, Bytes{}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(SqliteRegistryTest, RefusedKindsRaiseAndStoreNothing) {
    const RegWriteValue refused[] = {true, false, 1.5, 0.0};
    for (const auto& value : refused) {
        expectRegistryError([&] { reg->writeregvalue(LM, kKey, "Flag", value); },
                            "Unsupported value type");
        expectRegistryError([&] { reg->readregvalue(LM, kKey, "Flag"); }, "Unsupported value type");
    }
    // Below a key that cannot be opened, the key is looked at first: false, no error.
    EXPECT_FALSE(reg->writeregvalue(LM, "SOFTWARE\\Missing", "Flag", true));
}

struct StoredRaw {
    const char* label;
    int type;
    std::string data;
    std::optional<RegValue> expected; // nullopt: Unsupported value type
};

class SqliteRawTypes : public SqliteRegistryTest,
                       public ::testing::WithParamInterface<StoredRaw> {};

TEST_P(SqliteRawTypes, ReadConvertsByStoredType) {
    const auto& c = GetParam();
    ASSERT_TRUE(reg->writeTyped(LM, kKey, "Raw", c.type, c.data));
    if (c.expected)
        EXPECT_EQ(reg->readregvalue(LM, kKey, "Raw", std::string(" ")), *c.expected);
    else
        expectRegistryError([&] { reg->readregvalue(LM, kKey, "Raw", std::string(" ")); },
                            "Unsupported value type");
}

INSTANTIATE_TEST_SUITE_P(
    Types, SqliteRawTypes,
    ::testing::Values(
        StoredRaw{"expand_sz_not_expanded", regtype::ExpandSz, "%HOME%\\x",
                  RegValue(std::string("%HOME%\\x"))},
        StoredRaw{"multi_sz_keeps_separator", regtype::MultiSz, std::string("a\0b", 3),
                  RegValue(std::string("a\0b", 3))},
        StoredRaw{"dword_little_endian", regtype::Dword, std::string("\x01\x02\x00\x80", 4),
                  RegValue(std::int32_t(0x80000201u))},
        StoredRaw{"dword_too_short", regtype::Dword, std::string("\x01\x02", 2), std::nullopt},
        StoredRaw{"type_none", regtype::None, "x", std::nullopt},
        StoredRaw{"type_5", 5, "abcd", std::nullopt}, StoredRaw{"type_6", 6, "link", std::nullopt},
        StoredRaw{"type_8", 8, "res", std::nullopt},
        StoredRaw{"type_11_qword", 11, std::string(8, '\0'), std::nullopt}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(SqliteRegistryTest, ReadBelowMissingKeyGivesDefaultAbsentValueRaises) {
    EXPECT_EQ(reg->readregvalue(LM, "SOFTWARE\\Nowhere", "UTPATH", std::string(" ")),
              RegValue(std::string(" ")));
    EXPECT_EQ(reg->readregvalue(LM, "SOFTWARE\\Nowhere", "UTPATH"), RegValue(std::string()));
    EXPECT_EQ(reg->readregvalue(LM, "SOFTWARE\\Nowhere", "N", std::int32_t{7}),
              RegValue(std::int32_t{7}));
    // The same key below the other root does not exist.
    EXPECT_EQ(reg->readregvalue(RegRoot::CurrentUser, kKey, "UTPATH", std::string(" ")),
              RegValue(std::string(" ")));
    expectRegistryError([&] { reg->readregvalue(LM, kKey, "UTPATH", std::string(" ")); },
                        "Unsupported value type");
}

TEST_F(SqliteRegistryTest, KeysAndNamesIgnoreCaseAndParentsExist) {
    EXPECT_TRUE(reg->createregkey(LM, "software\\quarnel"));
    EXPECT_TRUE(reg->regkeyexists(LM, "SOFTWARE"));
    EXPECT_FALSE(reg->regkeyexists(LM, "SOFTWARE\\QUARNEL\\Sub"));
    EXPECT_FALSE(reg->regkeyexists(RegRoot::CurrentUser, kKey));
    ASSERT_TRUE(reg->writeregvalue(LM, "Software\\Quarnel", "MapCount", std::int32_t{3}));
    EXPECT_EQ(reg->readregvalue(LM, kKey, "MAPCOUNT"), RegValue(std::int32_t{3}));
    EXPECT_TRUE(reg->deleteregvalue(LM, kKey, "mapcount"));
}

TEST_F(SqliteRegistryTest, MalformedKeyPathsNameNoKey) {
    for (std::string_view path : {"", "\\", "\\SOFTWARE", "SOFTWARE\\", "SOFTWARE\\\\QUARNEL"}) {
        SCOPED_TRACE(std::string(path));
        EXPECT_FALSE(reg->regkeyexists(LM, path));
        expectRegistryError([&] { reg->createregkey(LM, path); },
                            "Unable to create the registry key");
        EXPECT_FALSE(reg->writeregvalue(LM, path, "V", std::string("x")));
        EXPECT_EQ(reg->readregvalue(LM, path, "V", std::string(" ")), RegValue(std::string(" ")));
        EXPECT_FALSE(reg->deleteregvalue(LM, path, "V"));
    }
}

TEST_F(SqliteRegistryTest, WriteBelowMissingKeyCreatesNothing) {
    EXPECT_FALSE(reg->writeregvalue(LM, "SOFTWARE\\Other", "V", std::string("x")));
    EXPECT_FALSE(reg->regkeyexists(LM, "SOFTWARE\\Other"));
    EXPECT_FALSE(reg->createregkey(LM, "SOFTWARE\\Other"));
    EXPECT_TRUE(reg->createregkey(LM, "SOFTWARE\\Other"));
}

TEST_F(SqliteRegistryTest, DeleteReportsWhetherSomethingWasDeleted) {
    ASSERT_TRUE(reg->writeregvalue(LM, kKey, "Map1", std::string("DM-A ")));
    EXPECT_TRUE(reg->deleteregvalue(LM, kKey, "Map1"));
    EXPECT_FALSE(reg->deleteregvalue(LM, kKey, "Map1"));
    EXPECT_FALSE(reg->deleteregvalue(LM, "SOFTWARE\\Missing", "Map1"));
    expectRegistryError([&] { reg->readregvalue(LM, kKey, "Map1"); }, "Unsupported value type");
}

TEST_F(SqliteRegistryTest, TransactionKeepsAllOrNothing) {
    ASSERT_TRUE(reg->writeregvalue(LM, kKey, "A", std::string("old")));
    EXPECT_THROW(reg->inTransaction([&] {
        reg->writeregvalue(LM, kKey, "A", std::string("new"));
        reg->writeregvalue(LM, kKey, "B", std::string("new"));
        reg->inTransaction([&] { reg->deleteregvalue(LM, kKey, "A"); });
        throw std::runtime_error("stop");
    }),
                 std::runtime_error);
    EXPECT_EQ(reg->readregvalue(LM, kKey, "A"), RegValue(std::string("old")));
    EXPECT_THROW(reg->readregvalue(LM, kKey, "B"), Error);

    reg->inTransaction([&] {
        reg->writeregvalue(LM, kKey, "A", std::string("new"));
        reg->inTransaction([&] { reg->writeregvalue(LM, kKey, "B", std::string("new")); });
    });
    EXPECT_EQ(reg->readregvalue(LM, kKey, "A"), RegValue(std::string("new")));
    EXPECT_EQ(reg->readregvalue(LM, kKey, "B"), RegValue(std::string("new")));
}

// Two connections to one file, as two running copies of the program have.
TEST(SqliteRegistryFile, HeldWriteLockMakesOthersFailCleanly) {
    test::TempDir dir;
    const auto file = dir.path() / "registry.db";
    auto first = openRegistry(file, 5000);
    auto second = openRegistry(file, 50);
    ASSERT_TRUE(first.persistent());
    ASSERT_TRUE(second.persistent());
    first.registry->createregkey(LM, kKey);
    ASSERT_TRUE(first.registry->writeregvalue(LM, kKey, "A", std::string("old")));

    first.registry->inTransaction([&] {
        first.registry->writeregvalue(LM, kKey, "A", std::string("first"));
        EXPECT_FALSE(second.registry->writeregvalue(LM, kKey, "A", std::string("second")));
        EXPECT_FALSE(second.registry->deleteregvalue(LM, kKey, "A"));
        try {
            second.registry->inTransaction(
                [&] { second.registry->writeregvalue(LM, kKey, "A", std::string("second")); });
            ADD_FAILURE() << "the second transaction ran while the first held the store";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errc::Registry);
        }
        // Readers still see the last committed state.
        EXPECT_EQ(second.registry->readregvalue(LM, kKey, "A"), RegValue(std::string("old")));
    });
    EXPECT_EQ(second.registry->readregvalue(LM, kKey, "A"), RegValue(std::string("first")));
}

} // namespace
} // namespace quarnel
