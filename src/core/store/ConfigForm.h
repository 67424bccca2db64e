#pragma once

#include "common/Error.h"
#include "settings/SettingsForm.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

// A value given for one line of a configuration in place of the file's own: the line's key
// (as a .cfg file spells it, letters in any case) and the value.
struct ConfigOverride {
    std::string key;
    std::string value;
};

// "KEY=VALUE" as an override; none when there is no "=" or nothing before it.
std::optional<ConfigOverride> parseOverride(std::string_view text);

// An override that names no line of a configuration, or whose value the line does not take.
class OverrideError : public Error {
public:
    OverrideError(const Error& cause, ConfigOverride given)
        : Error(cause.number(), cause.what()), given_(std::move(given)) {}
    const ConfigOverride& given() const noexcept { return given_; }

private:
    ConfigOverride given_;
};

// Where a configuration is formed from: the .cfg file, the game folder to use instead of
// the one the file's first line names (none: use that one), the program's own folder, and
// values that replace the file's before anything is formed (the last one of a key wins).
struct ConfigSource {
    std::string cfgPath;
    std::optional<std::string> gameDir;
    std::string programFolder;
    std::vector<ConfigOverride> overrides = {};
};

// Forms the settings of a configuration into form, which must be freshly constructed: the
// first-run settings (appFolder the program folder), the game folder (gameDir, or the folder
// the file's first line names) as gameFolder with a final separator, the map list pointed at
// its maps folder (the current folder when that is missing), the panels brought in step as
// at start-up, and then the file loaded as if its first line named that folder.
// Each override replaces the line of its key, so it is checked exactly as that line of a
// file is. Throws OverrideError for an unknown key or a value its line does not take, and
// ConfigLoadError when the file cannot be read or one of its own lines does not load.
void formFromConfig(SettingsForm& form, const ConfigSource& source);

} // namespace quarnel
