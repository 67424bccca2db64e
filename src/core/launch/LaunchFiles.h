#pragma once

#include "game/Installation.h"
#include "settings/SettingsForm.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What the server program needs: the mutator list, the server command line, the server INI
// file rewritten from the game's own INI, and the restart batch file. All read the settings
// and the game folder from the form and change nothing in it. sep is the path separator of
// the paths written; "\\" gives the Windows form on every platform.
namespace quarnel {

// The comma-separated mutator classes that follow "Mutator=".
std::string mutatorLine(const ServerSettings& settings);

// A scroll value divided by 100, in the shortest decimal form that shows it, always with a
// point: 100 gives "1", 150 "1.5", 57 "0.57".
std::string hundredths(int value);

// What follows the server program, one text per argument: "server", the URL (map and
// options, the typed texts in it as they are), "INI=", "port=" when not the default, and
// "-log=". Joined with blanks they are the batch file's command line after the program.
std::vector<std::string> serverArguments(const SettingsForm& form, std::string_view ininame);

// The command line in two pieces: the server program, and everything after it (" server ",
// the URL and the switches). serverCommandLine joins them; the batch file quotes the program
// when its path holds a blank.
struct CommandLine {
    std::string program;
    std::string arguments;
};
CommandLine commandLineParts(const SettingsForm& form, std::string_view ininame,
                             char sep = game::kNativeSeparator);

// The whole server command line for the INI file named ininame, without a line end. Empty
// when the settings cannot be read.
std::string serverCommandLine(const SettingsForm& form, std::string_view ininame,
                              char sep = game::kNativeSeparator);

// A value line of the server INI that the settings govern: a template line starting with key
// becomes key & value when the line is active, and stays as it is otherwise. section is
// where the game keeps the line; label names the setting on the window.
struct ServerIniKey {
    std::string_view key;
    std::string_view section;
    std::string_view label;
    bool active;
    std::string value;
};

// Every value line the rewrite replaces, in the order it tests them.
std::vector<ServerIniKey> serverIniKeys(const ServerSettings& settings);

// The server INI rewrite over the lines of a template, in memory: every template line in
// order (the value lines the settings govern replaced, the old map lines of the selected
// map list replaced by one map block), one more empty line, and the map-list section
// appended when the template has no map line of its own in it.
std::vector<std::string> rewriteServerIni(const ServerSettings& settings,
                                          const std::vector<std::string>& templateLines);

// Writes targetPath as the rewritten copy of the template at templatePath, reading it in
// blocks of blockSize bytes and writing through a buffer of the same size, so that memory
// does not grow with the template. Throws Error when the template cannot be read or the
// target cannot be written; the target is then untouched.
void writeServerIni(const ServerSettings& settings, const std::string& templatePath,
                    const std::string& targetPath, bool overwrite, std::size_t blockSize);

// Writes filepath & filename as the rewritten copy of the game's ut2003.ini, as writeServerIni
// does.
void writeServerIni(const SettingsForm& form, std::string_view filepath, std::string_view filename,
                    bool overwrite);

// A line as cmd must read it to run the text as written: every "%" doubled, and "^ & | < >"
// outside double quotes escaped with "^" (a double quote toggles inside and outside).
// CR and LF are dropped.
std::string escapeForCmd(std::string_view line);

// The batch file's third line, the one that starts the server with the INI file named
// ininame: the command line with the program quoted when its path holds a blank, escaped
// for cmd. Empty when the command line cannot be formed.
std::string batchServerLine(const SettingsForm& form, std::string_view ininame,
                            char sep = game::kNativeSeparator);

// The five lines of the restart batch file named filename.
std::vector<std::string> batchLines(const SettingsForm& form, std::string_view filename,
                                    char sep = game::kNativeSeparator);

// Writes filepath & filename, the restart batch file. Throws Error when it cannot be written;
// the target is then untouched.
void writeBatchFile(const SettingsForm& form, std::string_view filepath, std::string_view filename,
                    bool overwrite, char sep = game::kNativeSeparator);

} // namespace quarnel
