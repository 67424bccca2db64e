#include "store/RegistryFile.h"

#include "TempDir.h"

#include <functional>
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
    opened.registry->createKey(LM, kKey);
    opened.registry->inTransaction([&] {
        for (int i = 0; i < values; ++i)
            opened.registry->writeValue(LM, kKey, "Map" + std::to_string(i),
                                        std::string(200, static_cast<char>('a' + i % 26)));
    });
}

TEST(RegistryPath, ResolvedFromTheEnvironment) {
    using Env = std::map<std::string, std::string>;
    // clang-format off
    const std::pair<Env, const char*> cases[] = {
        {{{"QUARNEL_REGISTRY", "/srv/q.db"}, {"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}}, "/srv/q.db"},
        {{{"QUARNEL_REGISTRY", ""}, {"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}}, "/x/quarnel/registry.db"},
        {{{"XDG_CONFIG_HOME", "/cfg dir"}, {"HOME", "/h"}}, "/cfg dir/quarnel/registry.db"},
        {{{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}, "/h/.config/quarnel/registry.db"},
        {{{"XDG_CONFIG_HOME", "relative/cfg"}, {"HOME", "/h"}}, "/h/.config/quarnel/registry.db"},
        {{{"HOME", "/home/ann"}}, "/home/ann/.config/quarnel/registry.db"},
    };
    // clang-format on
    for (const auto& [vars, expected] : cases) {
        const EnvLookup env = [&](const char* name) -> std::optional<std::string> {
            const auto it = vars.find(name);
            return it == vars.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        EXPECT_EQ(defaultRegistryPath(env), fs::path(expected));
    }
}

// A store where none was, or one whose file is unusable, moved aside (in one folder, under
// distinct names): a fresh, private, working store takes its place.
TEST(RegistryFile, UnusableStoreIsMovedAsideAndTheRunStartsEmpty) {
    test::TempDir dir;
    const fs::path file = dir.path() / "config" / "registry.db";
    const std::pair<const char*, std::function<void()>> damages[] = {
        {"none yet, nor its folder",
         [] {
         }},
        {"garbage with a journal",
         [&] {
             dir.writeFile("config/registry.db", std::string(3000, '\x5a') + "not a database");
             dir.writeFile("config/registry.db-journal", "old journal");
         }},
        {"truncated",
         [&] {
             writeStore(file, 400);
             fs::resize_file(file, fs::file_size(file) / 2);
         }},
        {"newer layout",
         [&] {
             writeStore(file, 1);
             runSql(file, "PRAGMA user_version = 2");
         }},
        {"foreign database",
         [&] {
             runSql(file, "CREATE TABLE bookmarks(url TEXT)");
         }},
        {"folder in the way",
         [&] {
             dir.makeFolder("config/registry.db/inside");
         }},
    };
    std::map<fs::path, std::string> movedAside; // name, bytes
    for (const auto& [label, damage] : damages) {
        SCOPED_TRACE(label);
        for (const char* suffix : {"", "-wal", "-shm"})
            fs::remove(file.string() + suffix);
        damage();
        const bool existed = fs::exists(file), wasFolder = fs::is_directory(file);
        const std::string before = existed && !wasFolder ? test::readFile(file) : std::string();

        auto opened = openRegistry(file);
        ASSERT_TRUE(opened.persistent());
        ASSERT_EQ(opened.notes.size(), existed ? 1u : 0u);
        if (existed) {
            const std::string &note = opened.notes[0], mark = "moved aside to ";
            const auto at = note.find(mark);
            ASSERT_NE(at, std::string::npos) << note;
            const fs::path aside =
                note.substr(at + mark.size(), note.find(';', at) - at - mark.size());
            EXPECT_TRUE(movedAside.emplace(aside, before).second) << "name used twice: " << aside;
            EXPECT_EQ(fs::exists(aside / "inside"), wasFolder);
            if (fs::exists(aside.string() + "-journal")) {
                EXPECT_EQ(test::readFile(aside.string() + "-journal"), "old journal");
            }
            EXPECT_FALSE(fs::exists(file.string() + "-journal"));
        } else {
            EXPECT_EQ(modeOf(file.parent_path()), 0700u);
        }
        EXPECT_EQ(modeOf(file), 0600u);
        EXPECT_FALSE(opened.registry->createKey(LM, kKey));
        ASSERT_TRUE(opened.registry->writeValue(LM, kKey, "AdminPassword", std::string("pw ")));
        // The journal beside the open store holds the same secrets and is as private.
        EXPECT_EQ(modeOf(file.string() + "-wal"), 0600u);
        opened.registry.reset();
        auto again = openRegistry(file);
        EXPECT_TRUE(again.notes.empty());
        EXPECT_EQ(again.registry->readValue(LM, kKey, "AdminPassword"),
                  RegValue(std::string("pw ")));
    }
    // Every unusable file is still there, byte for byte.
    for (const auto& [aside, bytes] : movedAside)
        EXPECT_EQ(fs::is_directory(aside) ? bytes : test::readFile(aside), bytes) << aside;
}

// No folder (a file stands where it would go), or a store another program holds locked (busy,
// not damaged: never moved aside): the run gets a store in memory, the files stay as they were.
TEST(RegistryFile, StoreThatCannotBeUsedGivesAWorkingStoreForThisRun) {
    test::TempDir dir;
    dir.writeFile("plain-file", "x");
    const fs::path busy = dir.path() / "registry.db";
    writeStore(busy, 1);
    const auto before = test::namesIn(dir.path());
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(busy.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    const std::pair<fs::path, const char*> cases[] = {
        {dir.path() / "plain-file" / "quarnel" / "registry.db", "will not be kept"},
        {busy, "cannot be used"}};
    for (const auto& [file, note] : cases) {
        auto opened = openRegistry(file, 50);
        EXPECT_FALSE(opened.persistent());
        ASSERT_EQ(opened.notes.size(), 1u);
        EXPECT_NE(opened.notes[0].find(note), std::string::npos) << opened.notes[0];
        EXPECT_FALSE(opened.registry->createKey(LM, kKey));
        ASSERT_TRUE(opened.registry->writeValue(LM, kKey, "MapCount", std::int32_t{2}));
        EXPECT_EQ(opened.registry->readValue(LM, kKey, "MapCount"), RegValue(std::int32_t{2}));
    }
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_EQ(test::readFile(dir.path() / "plain-file"), "x");
    EXPECT_EQ(test::namesIn(dir.path()), before);
    EXPECT_EQ(openRegistry(busy).registry->readValue(LM, kKey, "Map0"),
              RegValue(std::string(200, 'a')));
}

} // namespace
} // namespace quarnel
