#pragma once

#include "store/Registry.h"

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace quarnel {

// Registry over one SQLite 3 database. Keys are rows (root, path) and values are rows
// (key, name, type, data); key paths and value names are compared without regard to ASCII
// case, as the Windows registry compares them.
//
// How the registry's notions map here:
// - A key "can be opened" when its row exists. A key path with an empty part ("", "A\\B",
//   "\\A") names no key: it cannot be opened and cannot be created.
// - createKey creates the missing parents of a key too, as the registry does.
// - Texts are kept without terminators, so a text reads back exactly as written; a
//   multi-string keeps the NUL separators between its strings and no final NULs.
// - A failure of the store itself (a disk error, another process holding the store beyond
//   the busy timeout) is not "a key that cannot be opened": writeValue and
//   deleteValue return false, the other operations throw Error 1001 with the store's
//   reason, so a busy store is never taken for an empty one.
// - inTransaction takes the write lock at its start (no lock upgrade, so two processes
//   never deadlock); if any operation in it fails, nothing of it is kept and Error 1001 is
//   thrown at its end.
class SqliteRegistry final : public Registry {
public:
    // How opening an existing file went. Unusable: the file is not a store this program
    // can use (not SQLite, damaged, another program's database, a newer layout, not a
    // readable file). Busy: another process held it beyond the timeout. Failed: any other
    // trouble (disk errors), which says nothing about the file itself.
    enum class OpenStatus { Ok, Unusable, Busy, Failed };
    struct OpenResult {
        std::unique_ptr<SqliteRegistry> registry; // set when status is Ok
        OpenStatus status = OpenStatus::Failed;
        std::string reason;
    };

    // The layout version kept in PRAGMA user_version.
    static constexpr int kSchemaVersion = 1;

    // Opens an existing file (an empty file is a new store and gets the layout). Never
    // creates, moves or deletes the file. With readOnly, or when the file cannot be opened
    // for writing, the store is opened for reading only (readOnly() says so) and must
    // already hold the layout; in a folder that cannot be written it is read as it stands.
    static OpenResult openFile(const std::filesystem::path& file, int busyTimeoutMs,
                               bool readOnly = false);
    // A store that lives in memory only, for tests and for a run without a usable file.
    static std::unique_ptr<SqliteRegistry> openMemory();

    ~SqliteRegistry() override;
    SqliteRegistry(const SqliteRegistry&) = delete;
    SqliteRegistry& operator=(const SqliteRegistry&) = delete;

    bool keyExists(RegRoot root, std::string_view key) override;
    bool createKey(RegRoot root, std::string_view key) override;
    bool writeValue(RegRoot root, std::string_view key, std::string_view name,
                    const RegWriteValue& value) override;
    RegValue readValue(RegRoot root, std::string_view key, std::string_view name,
                       const RegValue& defaultValue = std::string()) override;
    bool deleteValue(RegRoot root, std::string_view key, std::string_view name) override;
    std::vector<std::string> valueNames(RegRoot root, std::string_view key) override;
    void inTransaction(const std::function<void()>& body) override;
    void inSnapshot(const std::function<void()>& body) override;

    // Stores data under any registry type number, as an installer or an import may leave
    // it (a multi-string, an expandable text). Same rules as writeValue.
    bool writeTyped(RegRoot root, std::string_view key, std::string_view name, int type,
                    std::string_view data);

    // Whether the file could only be opened for reading: every write then fails.
    bool readOnly() const override;

private:
    enum Stmt : std::size_t {
        FindKey,
        ReadValue,
        InsertKey,
        PutValue,
        DeleteValue,
        ValueNames,
        StmtCount
    };

    explicit SqliteRegistry(sqlite3* db);
    void prepareStatements();
    sqlite3_stmt* statement(Stmt which);
    // Whether an operation may touch the store now: false inside a transaction that has
    // already failed (which SQLite may have rolled back by itself).
    bool transactionUsable();
    // Marks the open transaction failed, keeping the store's first reason.
    void noteFailure();
    [[noreturn]] void throwStoreFailure();
    // The key's row id; 0 when the key does not exist; -1 when the store failed.
    long long findKey(RegRoot root, std::string_view key);
    // The row id of the key a write goes to; 0 when nothing may be written there (no such
    // key, a failed transaction, a store that cannot say).
    long long writableKey(RegRoot root, std::string_view key);
    bool store(long long keyId, std::string_view name, int type, std::string_view data);
    void runTransaction(const std::function<void()>& body, bool writing);

    sqlite3* db_;
    std::array<sqlite3_stmt*, StmtCount> statements_{};
    int depth_ = 0;
    bool failed_ = false;    // an operation of the open transaction failed
    std::string failReason_; // the first such failure
};

} // namespace quarnel
