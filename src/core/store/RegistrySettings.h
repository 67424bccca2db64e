#pragma once

#include "game/Installation.h"
#include "settings/SettingsForm.h"
#include "store/Registry.h"
#include "store/SettingsTable.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The settings window remembered between runs: one value per setting in the program's key.
namespace quarnel {

// The root of the program's key. On Windows it is the user's own part of the registry,
// where an ordinary user may write (below HKEY_LOCAL_MACHINE only administrators may); the
// store that stands in for the registry elsewhere keeps it below the local-machine root.
#ifdef _WIN32
inline constexpr RegRoot kProgramRoot = RegRoot::CurrentUser;
#else
inline constexpr RegRoot kProgramRoot = RegRoot::LocalMachine;
#endif
// The game's own entry is the installer's, always below HKEY_LOCAL_MACHINE.
inline constexpr RegRoot kGameRoot = RegRoot::LocalMachine;

// The program's key and the game's own entry.
inline constexpr std::string_view kProgramKey = "SOFTWARE\\QUARNEL";
inline constexpr std::string_view kGameKey = "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2003";
inline constexpr std::string_view kGameFolderValue = "Folder";
inline constexpr std::string_view kPathValue = "Path";
inline constexpr std::string_view kUtpathValue = "UTPATH";
inline constexpr std::string_view kMapCountValue = "MapCount";

// The entries saveSettings writes, in order, each text before its final blank: the settings,
// then Map1 to MapK for the selected map-list entries ("DM-Gael.ut2" gives "DM-Gael").
std::vector<std::pair<std::string, std::string>> registryEntries(const SettingsForm& form);

// Writes every setting, the game folder and the selected maps into the program's key, and
// deletes the map entries of an earlier save beyond the new count, all in one transaction:
// the store holds the previous complete set or the new one, never a mix. A key that does not
// exist is not created, and nothing is written then. Throws Error 1001 when the store fails
// (the store is then unchanged).
void saveSettings(Registry& registry, const SettingsForm& form);

// What a load put back: the stored map count, and the names of the values that were absent
// or could not be used (those controls kept their current values).
struct RegistryLoad {
    int mapCount = 0;
    std::vector<std::string> skipped;
};

// Puts the stored settings back into the form, each as the user's edit would (the game
// type first refills the map list, then the stored maps are selected). A value that is
// absent or does not convert (not a number, a scroll value out of range, an unknown bot
// skill or arena word) is skipped and its control keeps its value. Reads one consistent
// state of the store.
RegistryLoad loadSettings(Registry& registry, SettingsForm& form);

// The game folder from a stored path text (UTPATH, or the game's Folder): trailing blanks
// removed, inner blanks kept, the separator appended (unless it already ends in one). A
// text of blanks only gives the empty text: no folder known.
std::string storedPathToGameFolder(std::string_view stored, char sep = game::kNativeSeparator);

} // namespace quarnel
