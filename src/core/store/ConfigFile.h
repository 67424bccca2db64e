#pragma once

#include "common/Error.h"
#include "settings/SettingsForm.h"
#include "store/SettingsTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Settings sets in .cfg files: one setting per line, "key=value", taken by position.
// Lines 1 to 60 are fixed; a line per selected map follows ("Map1=DM-Foo", ...).
namespace quarnel {

// A fixed line of the file: its key, how it encodes its setting, and the control.
using CfgLine = StoredField;

inline constexpr std::size_t kCfgFixedLines = kStoredFieldCount;

// The fixed lines in file order: kCfgLines[0] is line 1.
inline const std::array<CfgLine, kCfgFixedLines>& kCfgLines = kStoredFields;

// The largest file loadConfigFile reads; anything bigger is refused unread.
inline constexpr std::uintmax_t kMaxConfigFileBytes = std::uintmax_t{4} * 1024 * 1024;

// A failed load: the error that stopped it, the 1-based line (position) it stopped at and
// the key expected there. line is 0 and key empty when the file itself could not be read.
class ConfigLoadError : public Error {
public:
    ConfigLoadError(const Error& cause, std::size_t line, std::string key);
    std::size_t line() const noexcept { return line_; }
    const std::string& key() const noexcept { return key_; }

private:
    std::size_t line_;
    std::string key_;
};

// Converts a value as the file's numbers are read: a whole or decimal number with an
// optional sign and surrounding blanks or tabs ("35", " -2 ", "7.5"), rounded to a whole
// number with a half going to the even neighbour. Anything else, the empty text included,
// throws Error 13; a result outside -32768..32767 throws Error 6.
std::int16_t toInteger16(std::string_view value);

// The lines writeConfigFile writes for form, without line ends.
std::vector<std::string> configLines(const SettingsForm& form);

// Writes the settings of form and its gameFolder to filepath, CR LF line ends. The file is
// replaced atomically: a failed write leaves an existing file as it was. With overwrite
// false an existing file is an error.
void writeConfigFile(const SettingsForm& form, const std::string& filepath, bool overwrite);

// Reads a configuration file into lines. Throws ConfigLoadError (line 0) when the file is
// missing, no regular file (a folder, a named pipe, a device), unreadable or larger than
// kMaxConfigFileBytes.
std::vector<std::string> readConfigLines(const std::string& filepath);

// Puts the lines of a configuration into form, by position. With gameFolder given, line 1 is
// read as if it named that folder. Throws ConfigLoadError at the first entry that fails;
// the entries before it stay applied, the later ones are not applied.
void applyConfigLines(SettingsForm& form, const std::vector<std::string>& lines,
                      const std::optional<std::string>& gameFolder = std::nullopt);

// The map name a map line stands for: the line with every occurrence of its key part (the
// text up to and including its first "=", none without one) removed.
std::string mapLineName(std::string_view line);

// The map names of a configuration's map lines (the lines after the fixed ones), in file
// order, empty ones left out.
std::vector<std::string> configMapNames(const std::vector<std::string>& lines);

// readConfigLines + applyConfigLines. The file itself is never changed.
void loadConfigFile(SettingsForm& form, const std::string& filepath);

} // namespace quarnel
