#include "store/SqliteRegistry.h"

#include "common/Error.h"

#include <cstring>
#include <fstream>
#include <set>
#include <sqlite3.h>

namespace quarnel {

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE keys(
  id INTEGER PRIMARY KEY,
  root INTEGER NOT NULL,
  path TEXT NOT NULL COLLATE NOCASE,
  UNIQUE(root, path));
CREATE TABLE vals(
  key_id INTEGER NOT NULL REFERENCES keys(id),
  name TEXT NOT NULL COLLATE NOCASE,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  PRIMARY KEY(key_id, name)) WITHOUT ROWID;
PRAGMA user_version = 1;
)sql";

// The first 16 bytes of every SQLite 3 database file.
constexpr char kSqliteHeader[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                                    'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};

constexpr std::array<const char*, 6> kStatements = {
    // FindKey
    "SELECT id FROM keys WHERE root = ?1 AND path = ?2",
    // ReadValue: one row when the key exists; type and data are NULL when the value is absent.
    "SELECT k.id, v.type, v.data FROM keys k LEFT JOIN vals v ON v.key_id = k.id AND v.name = ?3"
    " WHERE k.root = ?1 AND k.path = ?2",
    // InsertKey
    "INSERT OR IGNORE INTO keys(root, path) VALUES(?1, ?2)",
    // PutValue
    "INSERT OR REPLACE INTO vals(key_id, name, type, data) VALUES(?1, ?2, ?3, ?4)",
    // DeleteValue
    "DELETE FROM vals WHERE name = ?3 AND key_id = (SELECT id FROM keys WHERE root = ?1 AND "
    "path = ?2)",
    // ValueNames
    "SELECT v.name FROM keys k JOIN vals v ON v.key_id = k.id WHERE k.root = ?1 AND k.path = ?2",
};

// Resets a statement and clears its bindings when the operation ends, however it ends.
class Use {
public:
    explicit Use(sqlite3_stmt* stmt) : stmt_(stmt) {}
    ~Use() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    sqlite3_stmt* operator*() const { return stmt_; }

private:
    sqlite3_stmt* stmt_;
};

// A key path names a key when none of its parts is empty.
bool validKeyPath(std::string_view key) {
    if (key.empty())
        return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = key.find('\\', start);
        if (end == start)
            return false;
        if (end == std::string_view::npos)
            return true;
        start = end + 1;
        if (start == key.size())
            return false;
    }
}

void bindText(sqlite3_stmt* stmt, int pos, std::string_view text) {
    sqlite3_bind_text(stmt, pos, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void bindKey(sqlite3_stmt* stmt, RegRoot root, std::string_view key) {
    sqlite3_bind_int64(stmt, 1, static_cast<sqlite3_int64>(root));
    bindText(stmt, 2, key);
}

std::string dwordBytes(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((bits >> (8 * i)) & 0xFFu);
    return bytes;
}

[[noreturn]] void unsupportedType() {
    throw Error(errc::Registry, std::string(kUnsupportedValueType));
}

bool isUnusableFile(int rc) {
    const int primary = rc & 0xFF;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT || primary == SQLITE_CANTOPEN ||
           primary == SQLITE_PERM || primary == SQLITE_AUTH || primary == SQLITE_FORMAT;
}

bool isBusy(int rc) {
    const int primary = rc & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// Runs one statement to its end; SQLITE_DONE on success.
int runToEnd(sqlite3_stmt* stmt) {
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    return rc;
}

// Runs sql, handing every row to onRow; SQLITE_DONE when it ran to its end.
template <class OnRow> int forEachRow(sqlite3* db, const char* sql, OnRow&& onRow) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        onRow(stmt);
    sqlite3_finalize(stmt);
    return rc;
}

// file as a URI that opens it as a file nobody changes while it is open: read as it stands,
// without locks and without the files a journal keeps beside it.
std::string immutableUri(const std::filesystem::path& file) {
    std::string uri = "file:";
    for (const char c : std::filesystem::absolute(file).string()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '%' || byte == '?' || byte == '#' || byte <= 0x20 || byte >= 0x7f) {
            constexpr char hex[] = "0123456789ABCDEF";
            uri += '%';
            uri += hex[byte >> 4];
            uri += hex[byte & 0xF];
        } else {
            uri += c;
        }
    }
    return uri + "?immutable=1";
}

// What the file holds, checked before the first use: a SQLite file whose pages are sound,
// and either nothing yet or this program's tables at a layout version it knows.
SqliteRegistry::OpenStatus checkFile(sqlite3* db, std::string& reason, int& version) {
    using Status = SqliteRegistry::OpenStatus;
    auto classify = [&](int rc) {
        reason = sqlite3_errmsg(db);
        return isBusy(rc) ? Status::Busy : isUnusableFile(rc) ? Status::Unusable : Status::Failed;
    };
    std::string verdict;
    int rc = forEachRow(db, "PRAGMA quick_check", [&](sqlite3_stmt* row) {
        if (verdict.empty())
            verdict = reinterpret_cast<const char*>(sqlite3_column_text(row, 0));
    });
    if (rc != SQLITE_DONE)
        return classify(rc);
    if (verdict != "ok") {
        reason = "damaged: " + verdict;
        return Status::Unusable;
    }

    std::set<std::string> tables;
    rc = forEachRow(db, "SELECT name FROM sqlite_master WHERE type = 'table'",
                    [&](sqlite3_stmt* row) {
                        tables.insert(reinterpret_cast<const char*>(sqlite3_column_text(row, 0)));
                    });
    if (rc != SQLITE_DONE)
        return classify(rc);
    version = 0;
    rc = forEachRow(db, "PRAGMA user_version",
                    [&](sqlite3_stmt* row) { version = sqlite3_column_int(row, 0); });
    if (rc != SQLITE_DONE)
        return classify(rc);

    if (version > SqliteRegistry::kSchemaVersion) {
        reason =
            "written by a newer version of the program (layout " + std::to_string(version) + ")";
        return Status::Unusable;
    }
    if (version == 0 && !tables.empty()) {
        reason = "a database of another program";
        return Status::Unusable;
    }
    if (version == SqliteRegistry::kSchemaVersion &&
        (!tables.count("keys") || !tables.count("vals"))) {
        reason = "its tables are missing";
        return Status::Unusable;
    }
    return Status::Ok;
}

// Gives an empty database the layout. Two processes may race here; the write lock and the
// second look at user_version inside it let only one of them do it.
int createSchema(sqlite3* db) {
    int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    int version = -1;
    rc = forEachRow(db, "PRAGMA user_version",
                    [&](sqlite3_stmt* row) { version = sqlite3_column_int(row, 0); });
    if (rc == SQLITE_DONE)
        rc = SQLITE_OK;
    if (rc == SQLITE_OK && version == 0)
        rc = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return rc;
}

} // namespace

SqliteRegistry::SqliteRegistry(sqlite3* db) : db_(db) {}

SqliteRegistry::~SqliteRegistry() {
    for (auto* stmt : statements_)
        sqlite3_finalize(stmt);
    sqlite3_close(db_);
}

SqliteRegistry::OpenResult SqliteRegistry::openFile(const std::filesystem::path& file,
                                                    int busyTimeoutMs, bool readOnly) {
    OpenResult result;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        result.status = OpenStatus::Unusable;
        result.reason = "not a file";
        return result;
    }
    // A file that is not empty and does not start like a SQLite database is judged before
    // SQLite opens it, so that nothing beside it (a journal) is touched on its account.
    {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            result.status = OpenStatus::Unusable;
            result.reason = "cannot be read";
            return result;
        }
        char header[sizeof kSqliteHeader] = {};
        in.read(header, sizeof header);
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got > 0 &&
            (got < sizeof header || std::memcmp(header, kSqliteHeader, sizeof header) != 0)) {
            result.status = OpenStatus::Unusable;
            result.reason = "not a database";
            return result;
        }
    }
    sqlite3* db = nullptr;
    int version = 0;
    const auto open = [&](const std::string& name, int flags) {
        sqlite3_close(db);
        db = nullptr;
        const int rc = sqlite3_open_v2(name.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            result.reason = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
            result.status = isUnusableFile(rc) ? OpenStatus::Unusable : OpenStatus::Failed;
            return;
        }
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, busyTimeoutMs);
        result.status = checkFile(db, result.reason, version);
    };
    open(file.string(), readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
    if (readOnly && result.status != OpenStatus::Ok && result.status != OpenStatus::Busy) {
        // A store in write-ahead mode is read through an index file beside it, which a
        // folder that cannot be written cannot take: read the file as it stands instead.
        const std::string first = result.reason;
        open(immutableUri(file), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
        if (result.status != OpenStatus::Ok)
            result.reason = first;
    }
    if (result.status == OpenStatus::Ok && sqlite3_db_readonly(db, "main") == 1) {
        // Opened for reading only (asked for, or the file cannot be written): it is used as
        // it is, and only when it already holds the layout.
        if (version == 0) {
            result.status = OpenStatus::Failed;
            result.reason = "an empty store that cannot be written";
        }
    } else if (result.status == OpenStatus::Ok) {
        // Write-ahead journal, synced at every commit: a commit survives a crash of the
        // process or the machine, a killed save leaves the last commit, readers do not wait
        // for a writer, and a commit costs one sync. If another process holds the store
        // while the mode changes, it stays in the rollback journal, which is just as safe.
        sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
        const int rc = createSchema(db);
        if (rc != SQLITE_OK) {
            result.reason = sqlite3_errmsg(db);
            result.status = isBusy(rc) ? OpenStatus::Busy : OpenStatus::Failed;
        }
    }
    if (result.status != OpenStatus::Ok) {
        sqlite3_close(db);
        return result;
    }
    result.registry.reset(new SqliteRegistry(db));
    try {
        result.registry->prepareStatements();
    } catch (const Error& e) {
        result.registry.reset();
        result.status = OpenStatus::Failed;
        result.reason = e.what();
    }
    return result;
}

std::unique_ptr<SqliteRegistry> SqliteRegistry::openMemory() {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
            SQLITE_OK ||
        sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw Error(errc::Registry, "The in-memory registry cannot be created");
    }
    sqlite3_extended_result_codes(db, 1);
    std::unique_ptr<SqliteRegistry> registry(new SqliteRegistry(db));
    registry->prepareStatements();
    return registry;
}

void SqliteRegistry::prepareStatements() {
    for (std::size_t i = 0; i < StmtCount; ++i) {
        if (sqlite3_prepare_v3(db_, kStatements[i], -1, SQLITE_PREPARE_PERSISTENT, &statements_[i],
                               nullptr) != SQLITE_OK)
            throwStoreFailure();
    }
}

sqlite3_stmt* SqliteRegistry::statement(Stmt which) {
    return statements_[which];
}

bool SqliteRegistry::readOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

bool SqliteRegistry::transactionUsable() {
    if (depth_ == 0)
        return true;
    if (!failed_ && sqlite3_get_autocommit(db_)) {
        // SQLite ended the transaction by itself after an error; what follows must not be
        // kept on its own.
        failed_ = true;
        failReason_ = "the transaction was rolled back by the store";
    }
    return !failed_;
}

void SqliteRegistry::noteFailure() {
    if (depth_ > 0 && !failed_) {
        failed_ = true;
        failReason_ = sqlite3_errmsg(db_);
    }
}

void SqliteRegistry::throwStoreFailure() {
    noteFailure();
    const char* reason =
        depth_ > 0 && !failReason_.empty() ? failReason_.c_str() : sqlite3_errmsg(db_);
    throw Error(errc::Registry, std::string("The registry cannot be used: ") + reason);
}

long long SqliteRegistry::findKey(RegRoot root, std::string_view key) {
    if (!validKeyPath(key))
        return 0;
    Use stmt(statement(FindKey));
    bindKey(*stmt, root, key);
    const int rc = sqlite3_step(*stmt);
    if (rc == SQLITE_ROW)
        return sqlite3_column_int64(*stmt, 0);
    if (rc == SQLITE_DONE)
        return 0;
    return -1;
}

bool SqliteRegistry::keyExists(RegRoot root, std::string_view key) {
    if (!transactionUsable())
        throwStoreFailure();
    const long long id = findKey(root, key);
    if (id < 0)
        throwStoreFailure();
    return id > 0;
}

bool SqliteRegistry::createKey(RegRoot root, std::string_view key) {
    if (!validKeyPath(key))
        throw Error(errc::Registry, std::string(kUnableToCreateKey));
    bool existed = false;
    auto create = [&] {
        if (!transactionUsable())
            throw Error(errc::Registry, std::string(kUnableToCreateKey));
        const long long id = findKey(root, key);
        if (id < 0) {
            noteFailure();
            throw Error(errc::Registry, std::string(kUnableToCreateKey));
        }
        existed = id > 0;
        if (existed)
            return;
        // The key and every missing parent, from the top down.
        for (std::size_t end = key.find('\\');; end = key.find('\\', end + 1)) {
            Use insert(statement(InsertKey));
            bindKey(*insert, root, key.substr(0, end));
            if (runToEnd(*insert) != SQLITE_DONE) {
                noteFailure();
                throw Error(errc::Registry, std::string(kUnableToCreateKey));
            }
            if (end == std::string_view::npos)
                break;
        }
    };
    if (depth_ > 0) {
        create();
        return existed;
    }
    try {
        runTransaction(create, true);
    } catch (const Error& e) {
        if (e.what() != kUnableToCreateKey)
            throw Error(errc::Registry, std::string(kUnableToCreateKey));
        throw;
    }
    return existed;
}

long long SqliteRegistry::writableKey(RegRoot root, std::string_view key) {
    if (!transactionUsable())
        return 0;
    const long long id = findKey(root, key);
    if (id < 0) {
        noteFailure();
        return 0;
    }
    return id;
}

bool SqliteRegistry::store(long long keyId, std::string_view name, int type,
                           std::string_view data) {
    Use put(statement(PutValue));
    sqlite3_bind_int64(*put, 1, keyId);
    bindText(*put, 2, name);
    sqlite3_bind_int(*put, 3, type);
    sqlite3_bind_blob(*put, 4, data.empty() ? "" : data.data(), static_cast<int>(data.size()),
                      SQLITE_TRANSIENT);
    if (runToEnd(*put) != SQLITE_DONE) {
        noteFailure();
        return false;
    }
    return true;
}

bool SqliteRegistry::writeValue(RegRoot root, std::string_view key, std::string_view name,
                                const RegWriteValue& value) {
    // A key that cannot be opened comes first: nothing is written, whatever the value. A
    // store that cannot say whether the key exists refuses the write as well.
    const long long id = writableKey(root, key);
    if (id <= 0)
        return false;
    if (const auto* text = std::get_if<std::string>(&value))
        return store(id, name, regtype::Sz, *text);
    if (const auto* small = std::get_if<std::int16_t>(&value))
        return store(id, name, regtype::Dword, dwordBytes(*small));
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return store(id, name, regtype::Dword, dwordBytes(*number));
    if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value))
        return store(id, name, regtype::Binary,
                     std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    unsupportedType();
}

bool SqliteRegistry::writeTyped(RegRoot root, std::string_view key, std::string_view name, int type,
                                std::string_view data) {
    const long long id = writableKey(root, key);
    return id > 0 && store(id, name, type, data);
}

RegValue SqliteRegistry::readValue(RegRoot root, std::string_view key, std::string_view name,
                                   const RegValue& defaultValue) {
    if (!transactionUsable())
        throwStoreFailure();
    if (!validKeyPath(key))
        return defaultValue;
    Use read(statement(ReadValue));
    bindKey(*read, root, key);
    bindText(*read, 3, name);
    const int rc = sqlite3_step(*read);
    if (rc == SQLITE_DONE)
        return defaultValue; // the key does not exist
    if (rc != SQLITE_ROW)
        throwStoreFailure();
    if (sqlite3_column_type(*read, 1) == SQLITE_NULL)
        unsupportedType(); // the key exists, the value does not
    const int type = sqlite3_column_int(*read, 1);
    const auto* data = static_cast<const char*>(sqlite3_column_blob(*read, 2));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(*read, 2));
    switch (type) {
    case regtype::Sz:
    case regtype::ExpandSz:
    case regtype::MultiSz:
        return std::string(data ? data : "", size);
    case regtype::Binary: {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
        return std::vector<std::uint8_t>(bytes, bytes + size);
    }
    case regtype::Dword: {
        if (size < 4)
            unsupportedType();
        std::uint32_t bits = 0;
        for (int i = 3; i >= 0; --i)
            bits = (bits << 8) | static_cast<unsigned char>(data[i]);
        return static_cast<std::int32_t>(bits);
    }
    default:
        unsupportedType();
    }
}

bool SqliteRegistry::deleteValue(RegRoot root, std::string_view key, std::string_view name) {
    if (!transactionUsable() || !validKeyPath(key))
        return false;
    Use del(statement(DeleteValue));
    bindKey(*del, root, key);
    bindText(*del, 3, name);
    if (runToEnd(*del) != SQLITE_DONE) {
        noteFailure();
        return false;
    }
    return sqlite3_changes(db_) > 0;
}

std::vector<std::string> SqliteRegistry::valueNames(RegRoot root, std::string_view key) {
    if (!transactionUsable())
        throwStoreFailure();
    std::vector<std::string> names;
    if (!validKeyPath(key))
        return names;
    Use list(statement(ValueNames));
    bindKey(*list, root, key);
    int rc;
    while ((rc = sqlite3_step(*list)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(*list, 0));
        names.emplace_back(text ? text : "",
                           static_cast<std::size_t>(sqlite3_column_bytes(*list, 0)));
    }
    if (rc != SQLITE_DONE)
        throwStoreFailure();
    return names;
}

void SqliteRegistry::runTransaction(const std::function<void()>& body, bool writing) {
    if (depth_ > 0) {
        body();
        return;
    }
    // A writing transaction takes the write lock at once: it never has to upgrade a read
    // lock, so two processes saving at once wait for each other instead of failing.
    const int rc = sqlite3_exec(db_, writing ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED", nullptr,
                                nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw Error(errc::Registry,
                    std::string("The registry cannot be used: ") + sqlite3_errmsg(db_));
    depth_ = 1;
    failed_ = false;
    failReason_.clear();
    auto rollback = [this] {
        if (!sqlite3_get_autocommit(db_))
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        depth_ = 0;
    };
    try {
        body();
    } catch (...) {
        rollback();
        throw;
    }
    if (!transactionUsable()) {
        const std::string reason = failReason_;
        rollback();
        if (!writing)
            return; // the reads that failed have reported it themselves
        throw Error(errc::Registry, "The registry was left unchanged: " + reason);
    }
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const std::string reason = sqlite3_errmsg(db_);
        rollback();
        throw Error(errc::Registry, "The registry was left unchanged: " + reason);
    }
    depth_ = 0;
}

void SqliteRegistry::inTransaction(const std::function<void()>& body) {
    runTransaction(body, true);
}

void SqliteRegistry::inSnapshot(const std::function<void()>& body) {
    runTransaction(body, false);
}

} // namespace quarnel
