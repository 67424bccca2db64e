#include "store/RegistryFile.h"

#include "TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sqlite3.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace quarnel {
namespace {

constexpr RegRoot LM = RegRoot::LocalMachine;
constexpr std::string_view kKey = "SOFTWARE\\QUARNEL";

unsigned modeOf(const fs::path& p) {
    struct stat info {};
    EXPECT_EQ(::stat(p.c_str(), &info), 0) << p;
    return info.st_mode & 07777u;
}

// Files and folders of dir whose names start with prefix.
std::vector<fs::path> entriesStartingWith(const fs::path& dir, const std::string& prefix) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

void runSql(const fs::path& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// A working store at file holding enough values to span many pages.
void writeStore(const fs::path& file, int values) {
    auto opened = openRegistry(file);
    ASSERT_TRUE(opened.persistent());
    opened.registry->createregkey(LM, kKey);
    opened.registry->inTransaction([&] {
        for (int i = 0; i < values; ++i)
            opened.registry->writeregvalue(LM, kKey, "Map" + std::to_string(i),
                                           std::string(200, static_cast<char>('a' + i % 26)));
    });
}

TEST(RegistryPath, ResolvedFromTheEnvironment) {
    struct Case {
        std::map<std::string, std::string> env;
        std::string expected;
    };
    const Case cases[] = {
        {{{"QUARNEL_REGISTRY", "/srv/q.db"}, {"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}},
         "/srv/q.db"},
        {{{"QUARNEL_REGISTRY", ""}, {"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}},
         "/x/quarnel/registry.db"},
        {{{"XDG_CONFIG_HOME", "/cfg dir"}, {"HOME", "/h"}}, "/cfg dir/quarnel/registry.db"},
        {{{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}, "/h/.config/quarnel/registry.db"},
        {{{"XDG_CONFIG_HOME", "relative/cfg"}, {"HOME", "/h"}}, "/h/.config/quarnel/registry.db"},
        {{{"HOME", "/home/ann"}}, "/home/ann/.config/quarnel/registry.db"},
    };
    for (const auto& c : cases) {
        const EnvLookup env = [&](const char* name) -> std::optional<std::string> {
            const auto it = c.env.find(name);
            return it == c.env.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        EXPECT_EQ(defaultRegistryPath(env), fs::path(c.expected));
    }
}

TEST(RegistryFile, NewStoreIsPrivateAndKeepsValuesAcrossOpens) {
    test::TempDir dir;
    const fs::path file = dir.path() / "config" / "quarnel" / "registry.db";
    {
        auto opened = openRegistry(file);
        EXPECT_TRUE(opened.notes.empty());
        ASSERT_EQ(opened.file, file);
        EXPECT_FALSE(opened.registry->createregkey(LM, kKey));
        ASSERT_TRUE(opened.registry->writeregvalue(LM, kKey, "AdminPassword", std::string("pw ")));
        // The journal beside the open store holds the same secrets and is as private.
        const fs::path journal = file.string() + "-wal";
        ASSERT_TRUE(fs::exists(journal));
        EXPECT_EQ(modeOf(journal), 0600u);
    }
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(modeOf(file.parent_path()), 0700u);
    auto again = openRegistry(file);
    EXPECT_TRUE(again.notes.empty());
    EXPECT_EQ(again.registry->readregvalue(LM, kKey, "AdminPassword"),
              RegValue(std::string("pw ")));
}

enum class Damage { Garbage, Truncated, NewerLayout, ForeignDatabase, Folder, GarbageWithJournal };

struct DamageCase {
    const char* label;
    Damage damage;
};

class UnusableStore : public ::testing::TestWithParam<DamageCase> {};

TEST_P(UnusableStore, IsMovedAsideAndTheRunStartsEmpty) {
    test::TempDir dir;
    const fs::path file = dir.path() / "registry.db";
    switch (GetParam().damage) {
    case Damage::Garbage:
        dir.writeFile("registry.db", std::string(3000, '\x5a') + "not a database");
        break;
    case Damage::GarbageWithJournal:
        dir.writeFile("registry.db", "garbage");
        dir.writeFile("registry.db-journal", "old journal");
        break;
    case Damage::Truncated: {
        writeStore(file, 400);
        const auto size = fs::file_size(file);
        fs::resize_file(file, size / 2);
        break;
    }
    case Damage::NewerLayout:
        writeStore(file, 1);
        runSql(file, "PRAGMA user_version = 2");
        break;
    case Damage::ForeignDatabase:
        runSql(file, "CREATE TABLE bookmarks(url TEXT)");
        break;
    case Damage::Folder:
        dir.makeFolder("registry.db/inside");
        break;
    }
    const bool wasFolder = fs::is_directory(file);
    const std::string before = wasFolder ? std::string() : test::readFile(file);

    auto opened = openRegistry(file);

    ASSERT_EQ(opened.notes.size(), 1u);
    EXPECT_NE(opened.notes[0].find("moved aside to"), std::string::npos) << opened.notes[0];
    ASSERT_TRUE(opened.persistent());
    const auto aside = entriesStartingWith(dir.path(), "registry.db.unusable-");
    ASSERT_FALSE(aside.empty());
    EXPECT_NE(opened.notes[0].find(aside[0].string()), std::string::npos);
    if (wasFolder)
        EXPECT_TRUE(fs::exists(aside[0] / "inside"));
    else
        EXPECT_EQ(test::readFile(aside[0]), before); // kept byte for byte
    if (GetParam().damage == Damage::GarbageWithJournal) {
        EXPECT_EQ(test::readFile(aside[0].string() + "-journal"), "old journal");
        EXPECT_FALSE(fs::exists(dir.path() / "registry.db-journal"));
    }

    // A fresh, private, working store took the old one's place.
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_FALSE(opened.registry->regkeyexists(LM, kKey));
    EXPECT_FALSE(opened.registry->createregkey(LM, kKey));
    ASSERT_TRUE(opened.registry->writeregvalue(LM, kKey, "UTPATH", std::string("/g ")));
    opened.registry.reset();
    auto again = openRegistry(file);
    EXPECT_TRUE(again.notes.empty());
    EXPECT_EQ(again.registry->readregvalue(LM, kKey, "UTPATH"), RegValue(std::string("/g ")));
}

INSTANTIATE_TEST_SUITE_P(Damages, UnusableStore,
                         ::testing::Values(DamageCase{"garbage", Damage::Garbage},
                                           DamageCase{"garbage_with_journal",
                                                      Damage::GarbageWithJournal},
                                           DamageCase{"truncated", Damage::Truncated},
                                           DamageCase{"newer_layout", Damage::NewerLayout},
                                           DamageCase{"foreign_database", Damage::ForeignDatabase},
                                           DamageCase{"folder_in_the_way", Damage::Folder}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(RegistryFile, TwoUnusableFilesInARowGetDistinctNames) {
    test::TempDir dir;
    const fs::path file = dir.path() / "registry.db";
    for (const char* content : {"first bad", "second bad"}) {
        dir.writeFile("registry.db", content);
        auto opened = openRegistry(file);
        ASSERT_TRUE(opened.persistent());
    }
    const auto aside = entriesStartingWith(dir.path(), "registry.db.unusable-");
    ASSERT_EQ(aside.size(), 2u);
    std::vector<std::string> contents{test::readFile(aside[0]), test::readFile(aside[1])};
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(contents, (std::vector<std::string>{"first bad", "second bad"}));
}

TEST(RegistryFile, UnwritableFolderGivesAWorkingStoreForThisRun) {
    test::TempDir dir;
    dir.writeFile("plain-file", "x");
    // The folder cannot be created: a file stands where it would go.
    const fs::path file = dir.path() / "plain-file" / "quarnel" / "registry.db";
    auto opened = openRegistry(file);
    EXPECT_FALSE(opened.persistent());
    ASSERT_EQ(opened.notes.size(), 1u);
    EXPECT_NE(opened.notes[0].find("will not be kept"), std::string::npos) << opened.notes[0];
    EXPECT_FALSE(opened.registry->createregkey(LM, kKey));
    ASSERT_TRUE(opened.registry->writeregvalue(LM, kKey, "MapCount", std::int32_t{2}));
    EXPECT_EQ(opened.registry->readregvalue(LM, kKey, "MapCount"), RegValue(std::int32_t{2}));
    EXPECT_EQ(test::readFile(dir.path() / "plain-file"), "x");
}

} // namespace
} // namespace quarnel
