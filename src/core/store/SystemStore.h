#pragma once

#include "store/Registry.h"

#include <memory>
#include <string>
#include <vector>

// The store this platform keeps the program's settings in: the registry on Windows, a
// SQLite file in the user's configuration folder elsewhere.
namespace quarnel {

// The store as opened for a run.
struct OpenedStore {
    std::unique_ptr<Registry> registry; // never null
    std::string location;               // the file or registry key, for messages
    bool persistent = false;            // what is written outlives the run
    // Messages for the user about the way in (a damaged file moved aside, a store that can
    // only be read or lives in memory for this run). Empty when all went as usual.
    std::vector<std::string> notes;
};

// Where the store lives, as a message names it.
std::string systemStoreLocation();

// Whether there is a store to read yet. Opening one where there is none may create it.
// Throws Error when that cannot be told.
bool systemStoreExists();

// Opens the store for this run; never fails (a store that cannot be used is replaced by
// one in memory, and a note says so).
OpenedStore openSystemStore();

// An empty store of its own that nothing else sees, for tests and for runs that must not
// touch the settings. In memory on Linux; on Windows a scratch key of the user's registry,
// removed with the store.
std::unique_ptr<Registry> makeMemoryRegistry();

} // namespace quarnel
