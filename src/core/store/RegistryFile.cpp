#include "store/RegistryFile.h"

#include "common/Error.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace quarnel {

namespace {

// Journal files SQLite may keep beside the store; they belong to it and move with it.
constexpr std::array<const char*, 3> kCompanions = {"-journal", "-wal", "-shm"};

std::string utcStamp() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%SZ", &parts);
    return text;
}

bool pathTaken(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// Moves file (and its journals) to a free "<file>.unusable-<time>[-n]"; the new name, or
// nullopt with reason set when the move failed.
std::optional<fs::path> moveAside(const fs::path& file, std::string& reason) {
    const std::string base = file.string() + ".unusable-" + utcStamp();
    fs::path aside = base;
    // The name is free only when no journal of an earlier move sits under it either:
    // SQLite would take a stray one for the new file's own.
    const auto taken = [](const fs::path& name) {
        return pathTaken(name) ||
               std::any_of(kCompanions.begin(), kCompanions.end(),
                           [&](const char* suffix) { return pathTaken(name.string() + suffix); });
    };
    for (int n = 2; taken(aside); ++n)
        aside = base + "-" + std::to_string(n);
    std::error_code ec;
    fs::rename(file, aside, ec);
    if (ec) {
        reason = ec.message();
        return std::nullopt;
    }
    for (const char* suffix : kCompanions) {
        const fs::path companion = file.string() + suffix;
        if (pathTaken(companion))
            fs::rename(companion, aside.string() + suffix, ec);
    }
    return aside;
}

// Creates the missing folders of path, each with mode 0700.
bool makeFolders(const fs::path& folder, std::string& reason) {
    std::error_code ec;
    if (fs::is_directory(folder, ec))
        return true;
    if (folder.has_parent_path() && folder.parent_path() != folder &&
        !makeFolders(folder.parent_path(), reason))
        return false;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        reason = std::strerror(errno);
        return false;
    }
    if (!fs::is_directory(folder, ec)) {
        reason = "not a folder";
        return false;
    }
    return true;
}

// Creates an empty file readable and writable by its owner only, unless it exists.
bool createPrivateFile(const fs::path& file, std::string& reason) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    ::close(fd);
    return true;
}

// Whether the process may change file and create files beside it (a journal).
bool writable(const fs::path& file, const fs::path& folder) {
    return ::access(file.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
}

OpenedRegistry inMemory(OpenedRegistry opened, const std::string& why) {
    opened.registry = SqliteRegistry::openMemory();
    opened.file.clear();
    opened.notes.push_back(why + "; the settings of this run will not be kept.");
    return opened;
}

} // namespace

std::optional<std::string> processEnv(const char* name) {
    if (const char* value = std::getenv(name))
        return std::string(value);
    return std::nullopt;
}

fs::path defaultRegistryPath(const EnvLookup& env) {
    if (auto own = env("QUARNEL_REGISTRY"); own && !own->empty())
        return fs::path(*own);
    if (auto config = env("XDG_CONFIG_HOME"); config && fs::path(*config).is_absolute())
        return fs::path(*config) / "quarnel" / "registry.db";
    std::string home;
    if (auto fromEnv = env("HOME"); fromEnv && !fromEnv->empty()) {
        home = *fromEnv;
    } else {
        std::array<char, 4096> buffer{};
        passwd entry{};
        passwd* found = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir)
            home = found->pw_dir;
    }
    return fs::path(home) / ".config" / "quarnel" / "registry.db";
}

OpenedRegistry openRegistry(const fs::path& file, int busyTimeoutMs) {
    OpenedRegistry opened;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::string reason;
    if (!makeFolders(folder, reason))
        return inMemory(std::move(opened), "The settings folder " + folder.string() +
                                               " cannot be created (" + reason + ")");

    // A store that can only be read (the file, or the folder its journal goes to, cannot be
    // written) is read as it is: its settings are shown, and nothing is saved into it.
    if (pathTaken(file) && !writable(file, folder)) {
        auto result = SqliteRegistry::openFile(file, busyTimeoutMs, true);
        if (result.status == SqliteRegistry::OpenStatus::Ok) {
            opened.registry = std::move(result.registry);
            opened.file = file;
            return opened;
        }
        // Not a store it can use: handled below like any such file, moved aside where the
        // folder allows it.
    }

    // Two rounds at most: the file as found, and after a move aside, the new one.
    for (int round = 0; round < 2; ++round) {
        if (!pathTaken(file) && !createPrivateFile(file, reason))
            return inMemory(std::move(opened), "The settings store " + file.string() +
                                                   " cannot be created (" + reason + ")");
        auto result = SqliteRegistry::openFile(file, busyTimeoutMs);
        using Status = SqliteRegistry::OpenStatus;
        if (result.status == Status::Ok) {
            opened.registry = std::move(result.registry);
            opened.file = file;
            return opened;
        }
        if (result.status != Status::Unusable || round > 0)
            return inMemory(std::move(opened), "The settings store " + file.string() +
                                                   " cannot be used (" + result.reason + ")");
        std::string moveReason;
        const auto aside = moveAside(file, moveReason);
        if (!aside)
            return inMemory(std::move(opened), "The settings store " + file.string() +
                                                   " cannot be used (" + result.reason +
                                                   ") nor moved aside (" + moveReason + ")");
        opened.notes.push_back("The settings store " + file.string() + " could not be used (" +
                               result.reason + ") and was moved aside to " + aside->string() +
                               "; the program starts with empty settings.");
    }
    return inMemory(std::move(opened), "The settings store " + file.string() + " cannot be used");
}

std::unique_ptr<Registry> makeMemoryRegistry() {
    return SqliteRegistry::openMemory();
}

std::string systemStoreLocation() {
    return defaultRegistryPath().string();
}

bool systemStoreExists() {
    const fs::path file = defaultRegistryPath();
    std::error_code ec;
    const bool exists = fs::exists(file, ec);
    if (ec)
        throw Error(errc::Registry, ec.message());
    return exists;
}

OpenedStore openSystemStore() {
    OpenedRegistry opened = openRegistry(defaultRegistryPath());
    OpenedStore store;
    store.persistent = opened.persistent();
    store.location = store.persistent ? opened.file.string() : systemStoreLocation();
    store.registry = std::move(opened.registry);
    store.notes = std::move(opened.notes);
    return store;
}

} // namespace quarnel
