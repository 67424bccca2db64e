#pragma once

#include "store/SqliteRegistry.h"
#include "store/SystemStore.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Where the store lives on disk, and how it is opened so that a damaged or foreign file is
// never lost and the program can always go on.
namespace quarnel {

// Looks up an environment variable; nullopt when it is not set.
using EnvLookup = std::function<std::optional<std::string>(const char* name)>;

// The process environment.
std::optional<std::string> processEnv(const char* name);

// The store's file: QUARNEL_REGISTRY when set and not empty; else
// $XDG_CONFIG_HOME/quarnel/registry.db when XDG_CONFIG_HOME is an absolute path; else
// $HOME/.config/quarnel/registry.db (the home folder of the user's account when HOME is
// not set).
std::filesystem::path defaultRegistryPath(const EnvLookup& env = processEnv);

// An opened store and what happened on the way.
struct OpenedRegistry {
    std::unique_ptr<SqliteRegistry> registry; // never null
    // The file in use; empty when the store lives in memory for this run only.
    std::filesystem::path file;
    // Messages for the user: a file moved aside, a store kept in memory only. Empty when all
    // went as usual. A store that can only be read is no note: registry->readOnly() says
    // so, and the program tells the user in its own words.
    std::vector<std::string> notes;

    bool persistent() const { return !file.empty(); }
};

inline constexpr int kDefaultBusyTimeoutMs = 5000;

// Opens the store in file, creating it (mode 0600) and its folder (mode 0700) when missing.
// A store whose file or folder cannot be written is opened for reading only.
// A file that is not a usable store (not SQLite, damaged, another program's database, a
// newer layout, not a readable file) is moved aside, with any journal beside it, under the
// name "<file>.unusable-<UTC time>", and a new empty store takes its place. When no file
// can be used at all (the folder cannot be created or written, the file is busy beyond the
// timeout or cannot be moved aside), the store lives in memory for this run. Either way a
// note says so. Never throws for trouble with the file.
OpenedRegistry openRegistry(const std::filesystem::path& file,
                            int busyTimeoutMs = kDefaultBusyTimeoutMs);

} // namespace quarnel
