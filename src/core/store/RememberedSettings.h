#pragma once

#include "settings/SettingsForm.h"
#include "store/Registry.h"
#include "store/RegistrySettings.h"

#include <string>

// The remembered settings outside the window: forming the settings the window would show
// after its start, and keeping a settings set as the window keeps it when it closes. The
// companion's export and import commands are built on these.
namespace quarnel {

// Start-up's sources of the settings and the game folder, shared by the window's start-up and
// the export command. A store that fails counts as holding nothing: the value is not used
// and what the form holds stays.

// Points the map list at gameFolder & "maps", or at the program's folder while no game folder
// is known.
void pointMapListAtGame(SettingsForm& form);

// A later run: the game folder saved at the last shutdown ("UTPATH"), the first-run
// settings, the map list pointed at the game's maps, every stored setting over them
// (loadSettings: what is absent or does not convert keeps its first-run value), and the
// restored game type selected again, which changes nothing when the load selected it, so
// the restored maps stay selected.
RegistryLoad restoreStoredSettings(Registry& registry, SettingsForm& form);

// The game's own record of its installation folder ("Folder" below the game's key) as the
// game folder, and the map list pointed at it.
void useGameEntry(Registry& registry, SettingsForm& form);

struct RememberedSettings {
    SettingsForm form;
    bool firstRun = false; // the program's key was absent: first-run settings
    RegistryLoad load;     // what the load restored and skipped (empty on a first run)
};

// The settings as the window shows them after start-up from the store, without asking the
// user anything and without changing the store: first-run settings when the program's key
// is absent; otherwise the stored game folder (UTPATH), the map list pointed at its maps
// folder (or at appFolder when that is missing) and loadSettings; then, only when that game
// folder does not exist, the game's own entry "Folder". The bonus-pack game types are
// enabled as the game has them and the panels are brought in step.
RememberedSettings rememberedSettings(Registry& registry, const std::string& appFolder);

// rememberedSettings, then the .cfg file written from it (writeConfigFile). Returns the
// settings written.
RememberedSettings exportRememberedSettings(Registry& registry, const std::string& appFolder,
                                            const std::string& cfgFile, bool overwrite);

// Keeps form as the window keeps its settings when it closes (saveSettings). A store without
// the program's key gets it first, with "Path" (appFolder), as on a first run; all of it in
// one transaction. Throws Error when the store fails; it is then unchanged.
void rememberSettings(Registry& registry, const SettingsForm& form, const std::string& appFolder);

} // namespace quarnel
