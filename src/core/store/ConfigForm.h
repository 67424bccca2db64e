#pragma once

#include "settings/SettingsForm.h"

#include <optional>
#include <string>

namespace quarnel {

// Where a configuration is formed from: the .cfg file, the game folder to use instead of
// the one the file's first line names (none: use that one), and the program's own folder.
struct ConfigSource {
    std::string cfgPath;
    std::optional<std::string> gameDir;
    std::string programFolder;
};

// Forms the settings of a configuration into form, which must be freshly constructed: the
// first-run settings (apppath the program folder), the game folder (gameDir, or the folder
// the file's first line names) as utpath with a final separator, the map list pointed at
// its maps folder (the current folder when that is missing), the panels brought in step as
// at start-up, and then the file loaded as if its first line named that folder.
// Throws ConfigLoadError when the file cannot be read or a line does not load.
void formFromConfig(SettingsForm& form, const ConfigSource& source);

} // namespace quarnel
