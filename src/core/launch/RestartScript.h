#pragma once

#include "settings/SettingsForm.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The restart loop of Linux: a POSIX sh script beside the batch file that runs the game's
// server with the batch file's arguments, keeps the log of every run as the crash log, and
// starts the server again, with a pid file, a clean stop on a signal and a guard against a
// server that keeps ending at once.
namespace quarnel {

// Whether a restart script accompanies every batch file: wherever the batch file cannot run.
#ifdef _WIN32
inline constexpr bool kWritesRestartScript = false;
#else
inline constexpr bool kWritesRestartScript = true;
#endif

// The guard: this many exits in a row, each within kQuickExitSeconds of its start, end the
// loop.
inline constexpr int kQuickExitLimit = 5;
inline constexpr int kQuickExitSeconds = 10;

// text as one word for sh, taken literally: in single quotes, each "'" written "'\''".
std::string quoteForSh(std::string_view text);

// The files of one loop in the game's System folder, named after its batch file as the
// batch file names its log and crash log.
struct LoopFiles {
    std::string system;    // the game's System folder, ending in the separator
    std::string batchName; // "quarnel.bat"

    std::string base() const;       // the batch name without ".bat": "quarnel"
    std::string scriptName() const; // "quarnel.sh"
    std::string script() const;     // the script in the System folder, where Launch writes it
    std::string pidFile() const;    // "quarnel.pid": the running loop's process id
    std::string outFile() const;    // "quarnel.out": the output of a loop in the background
    std::string log() const;        // "quarnel.log": the server's log of the current run
    std::string crashLog() const;   // "quarnelcrash.log": the log of the last run that ended
};

// The loop of batchName in the game's System folder.
LoopFiles loopFiles(std::string_view gameFolder, std::string_view batchName);
// The loop that goes with the INI file ininame: its batch name is ininame with every ".ini",
// in any case, replaced by ".bat", as Make .BAT/.INI names it.
LoopFiles loopFilesForIni(std::string_view gameFolder, std::string_view ininame);

// How the server is run in the System folder: {"./ucc-bin"} when the game has its Linux
// server, else {"wine", "./ucc.exe"}; the program's name as it is spelled on disk.
std::vector<std::string> serverProgram(std::string_view gameFolder);

// What keeps the server from being started, in a sentence for the user; none when the game
// has ucc-bin, or ucc.exe and wine is on the PATH.
std::optional<std::string> missingServerProgram(std::string_view gameFolder, bool wineOnPath);

// The script's text (LF line ends) for the batch file batchName.
std::string restartScript(const SettingsForm& form, std::string_view batchName);

// Writes filepath & the batch file's base name & ".sh", runnable by its owner alone. Throws
// Error when it cannot be written; the target is then untouched.
void writeRestartScript(const SettingsForm& form, std::string_view filepath,
                        std::string_view batchName);

} // namespace quarnel
