#pragma once

#include "game/Installation.h"
#include "settings/SettingsForm.h"

#include <string>
#include <string_view>
#include <vector>

// What the server program needs: the mutator list, the server command line, the server INI
// file rewritten from the game's own INI, and the restart batch file. All read the settings
// and the game folder from the form and change nothing in it. sep is the path separator of
// the paths written; "\\" gives the Windows form on every platform.
namespace quarnel {

// The comma-separated mutator classes that follow "Mutator=".
std::string buildmutatorline(const ServerSettings& settings);

// The whole server command line for the INI file named ininame, without a line end.
std::string buildcommandline(const SettingsForm& form, std::string_view ininame,
                             char sep = game::kNativeSeparator);

// The server INI rewrite over the lines of a template, in memory: one output line per
// template line, one more empty line, and the appended map-list section when the template
// lacks it.
std::vector<std::string> rewriteServerIni(const ServerSettings& settings,
                                          const std::vector<std::string>& templateLines);

// Writes filepath & filename as the rewritten copy of the game's ut2003.ini. Throws Error
// when the template cannot be read or the target cannot be written; the target is then
// untouched.
void makegameconfig(const SettingsForm& form, std::string_view filepath, std::string_view filename,
                    bool overwrite);

// The five lines of the restart batch file named filename.
std::vector<std::string> batchLines(const SettingsForm& form, std::string_view filename,
                                    char sep = game::kNativeSeparator);

// Writes filepath & filename, the restart batch file. Throws Error when it cannot be written;
// the target is then untouched.
void makegamebat(const SettingsForm& form, std::string_view filepath, std::string_view filename,
                 bool overwrite, char sep = game::kNativeSeparator);

} // namespace quarnel
