// The SQLite store: the registry contract, its file, and saves that cannot complete.
#include "store/RegistryFile.h"

#include "RegistryValues.h"
#include "TempDir.h"
#include "store/RegistrySettings.h"
#include "store/SqliteRegistry.h"

#include <gtest/gtest.h>
#include <map>
#include <sqlite3.h>

namespace fs = std::filesystem;

namespace quarnel::test {
namespace {

// The contract, and transactions (nested ones too) that keep all or nothing.
TEST(SqliteRegistry, KeepsTheRegistryContract) {
    const auto reg = SqliteRegistry::openMemory();
    expectRegistryContract(*reg);
    ASSERT_TRUE(reg->writeValue(LM, kKey, "A", std::string("old")));
    EXPECT_THROW(reg->inTransaction([&] {
        reg->inTransaction([&] { reg->writeValue(LM, kKey, "A", std::string("new")); });
        throw std::runtime_error("stop");
    }),
                 std::runtime_error);
    EXPECT_EQ(reg->readValue(LM, kKey, "A"), RegValue(std::string("old")));
    reg->inTransaction(
        [&] { reg->inTransaction([&] { reg->writeValue(LM, kKey, "A", std::string("new")); }); });
    EXPECT_EQ(reg->readValue(LM, kKey, "A"), RegValue(std::string("new")));
}

// Permission bits; a missing file gives fs::perms::unknown, which matches no mode.
unsigned modeOf(const fs::path& p) {
    return static_cast<unsigned>(fs::status(p).permissions());
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
    const std::pair<Env, const char*> cases[] = {
        {{{"QUARNEL_REGISTRY", "/srv/q.db"}, {"XDG_CONFIG_HOME", "/x"}}, "/srv/q.db"},
        {{{"QUARNEL_REGISTRY", ""}, {"XDG_CONFIG_HOME", "/x y"}, {"HOME", "/h"}},
         "/x y/quarnel/registry.db"},
        {{{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}, "/h/.config/quarnel/registry.db"},
        {{{"XDG_CONFIG_HOME", "relative/cfg"}, {"HOME", "/h"}}, "/h/.config/quarnel/registry.db"},
        {{{"HOME", "/home/ann"}}, "/home/ann/.config/quarnel/registry.db"}};
    for (const auto& [vars, expected] : cases)
        EXPECT_EQ(defaultRegistryPath([&vars = vars](const char* name) {
                      const auto it = vars.find(name);
                      return it == vars.end() ? std::nullopt : std::optional(it->second);
                  }),
                  fs::path(expected));
}

// A store where none was, or an unusable one moved aside (under distinct names): a fresh,
// private, working store takes its place.
TEST(RegistryFile, UnusableStoreIsMovedAsideAndTheRunStartsEmpty) {
    TempDir dir;
    const fs::path file = dir.path() / "config" / "registry.db";
    const char* damages[] = {
        "none yet, nor its folder", "garbage with a journal", "truncated", "newer layout",
        "foreign database",         "folder in the way"};
    std::map<fs::path, std::string> movedAside; // name, bytes
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(damages[k]);
        for (const char* suffix : {"", "-wal", "-shm"})
            fs::remove(file.string() + suffix);
        if (k == 1) {
            dir.writeFile("config/registry.db", std::string(3000, '\x5a') + "not a database");
            dir.writeFile("config/registry.db-journal", "old journal");
        }
        if (k == 2 || k == 3)
            writeStore(file, k == 2 ? 400 : 1);
        if (k == 2)
            fs::resize_file(file, fs::file_size(file) / 2);
        if (k == 3 || k == 4)
            runSql(file, k == 3 ? "PRAGMA user_version = 2" : "CREATE TABLE bookmarks(url TEXT)");
        if (k == 5)
            dir.makeFolder("config/registry.db/inside");
        const bool existed = fs::exists(file), wasFolder = fs::is_directory(file);
        const std::string before = existed && !wasFolder ? readFile(file) : std::string();

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
            if (k == 1) // its journal goes with it
                movedAside.emplace(aside.string() + "-journal", "old journal");
            EXPECT_FALSE(fs::exists(file.string() + "-journal"));
        } else {
            EXPECT_EQ(modeOf(file.parent_path()), 0700u);
        }
        EXPECT_EQ(modeOf(file), 0600u);
        EXPECT_FALSE(opened.registry->createKey(LM, kKey));
        ASSERT_TRUE(opened.registry->writeValue(LM, kKey, "AdminPassword", std::string("pw ")));
        EXPECT_EQ(modeOf(file.string() + "-wal"), 0600u); // it holds the same secrets
        opened.registry.reset();
        auto again = openRegistry(file);
        EXPECT_TRUE(again.notes.empty());
        EXPECT_EQ(again.registry->readValue(LM, kKey, "AdminPassword"),
                  RegValue(std::string("pw ")));
    }
    for (const auto& [aside, bytes] : movedAside)
        EXPECT_EQ(fs::is_directory(aside) ? bytes : readFile(aside), bytes) << aside;
}

// No folder possible, or a store another program holds locked (busy, never moved aside): the
// run gets a store in memory, the files stay as they were.
TEST(RegistryFile, StoreThatCannotBeUsedGivesAWorkingStoreForThisRun) {
    TempDir dir;
    dir.writeFile("plain-file", "x");
    const fs::path busy = dir.path() / "registry.db";
    writeStore(busy, 1);
    const auto before = namesIn(dir.path());
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
        ASSERT_EQ(std::tuple(opened.persistent(), opened.notes.size()), std::tuple(false, 1u));
        EXPECT_NE(opened.notes[0].find(note), std::string::npos) << opened.notes[0];
        EXPECT_FALSE(opened.registry->createKey(LM, kKey));
        ASSERT_TRUE(opened.registry->writeValue(LM, kKey, "MapCount", std::int32_t{2}));
        EXPECT_EQ(opened.registry->readValue(LM, kKey, "MapCount"), RegValue(std::int32_t{2}));
    }
    sqlite3_close(holder);
    EXPECT_EQ(readFile(dir.path() / "plain-file"), "x");
    EXPECT_EQ(namesIn(dir.path()), before);
    EXPECT_EQ(openRegistry(busy).registry->readValue(LM, kKey, "Map0"),
              RegValue(std::string(200, 'a')));
}

// A save another connection blocks, or one the store refuses halfway (as a full disk would),
// changes nothing, and the connection stays usable.
using Dump = std::map<std::string, RegValue>;

Dump dump(Registry& reg) {
    Dump d;
    reg.inSnapshot([&] {
        for (const auto& name : reg.valueNames(LM, kProgramKey))
            d[name] = reg.readValue(LM, kProgramKey, name);
    });
    return d;
}

TEST(RegistryFile, SaveThatCannotCompleteChangesNothing) {
    TempDir dir;
    const fs::path file = dir.path() / "registry.db";
    for (int i = 0; i < 6; ++i)
        dir.writeFile("game/Maps/DM-Level" + std::to_string(100 + i) + ".ut2", "");
    SettingsForm held; // the saved set, and another that differs in every text and map
    held.setGameFolder((dir.path() / "game" / "").string());
    held.selectGameType(2);
    held.selectAllMaps();
    SettingsForm other = held;
    for (const auto& text : kTextControls)
        other.setText(text.id, "Other " + std::string(text.name));
    other.setMapSelected(0, false);
    auto holder = openRegistry(file);
    holder.registry->createKey(LM, kProgramKey);
    saveSettings(*holder.registry, held);
    const Dump saved = dump(*holder.registry);
    auto saver = openRegistry(file, 50);
    holder.registry->inTransaction([&] {
        holder.registry->writeValue(LM, kProgramKey, "ServerName", std::string("x"));
        expectError(errc::Registry, [&] { saveSettings(*saver.registry, other); });
        EXPECT_FALSE(saver.registry->writeValue(LM, kProgramKey, "Other", std::string("x")));
        EXPECT_FALSE(saver.registry->deleteValue(LM, kProgramKey, "MapCount"));
        EXPECT_EQ(dump(*saver.registry), saved);
    });
    EXPECT_EQ(saver.registry->readValue(LM, kProgramKey, "ServerName"), RegValue(std::string("x")));
    const Dump committed = dump(*saver.registry);
    runSql(file, "CREATE TRIGGER refuse BEFORE INSERT ON vals WHEN NEW.name = 'Map3' "
                 "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_NE(
        expectError(errc::Registry, [&] { saveSettings(*saver.registry, other); }).find("refused"),
        std::string::npos);
    EXPECT_EQ(dump(*saver.registry), committed);
    EXPECT_TRUE(saver.registry->writeValue(LM, kProgramKey, "Other", std::string("x")));
}

} // namespace
} // namespace quarnel::test
