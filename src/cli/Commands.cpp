#include "Commands.h"

#include "ServerCommands.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "launch/RestartScript.h"
#include "store/ConfigFile.h"
#include "store/ConfigForm.h"
#include "store/MakeNames.h"

#include <filesystem>
#include <ostream>

namespace quarnel::cli {

// The one place commands are registered: a row per command, in the order of the usage.
const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"command-line",
         "CONFIG.cfg [--ini NAME] [--game-dir DIR] [--set KEY=VALUE]...",
         "print the server command line for the INI name NAME (default quarnel.ini)",
         1,
         {"--ini", "--game-dir", "--set"},
         {},
         &commandLine},
        {"make",
         "CONFIG.cfg TARGET.ini [--game-dir DIR] [--set KEY=VALUE]...",
         "write TARGET.ini and its batch file (on Linux its restart script too) beside it",
         2,
         {"--game-dir", "--set"},
         {},
         &make},
#ifdef _WIN32
        {"launch",
         "CONFIG.cfg [--no-start] [--game-dir DIR] [--set KEY=VALUE]...",
         "write quarnel.bat and quarnel.ini into the game's System folder and start the batch "
         "file (not with --no-start)",
         1,
         {"--game-dir", "--set"},
         {"--no-start"},
         &launch},
#else
        {"launch",
         "CONFIG.cfg [--no-start | --foreground] [--game-dir DIR] [--set KEY=VALUE]...",
         "write quarnel.bat, quarnel.sh and quarnel.ini into the game's System folder and start "
         "the loop quarnel.sh in the background (--foreground: in place of this program)",
         1,
         {"--game-dir", "--set"},
         {"--no-start", "--foreground"},
         &launch},
        {"status",
         "[--ini NAME] [--game-dir DIR]",
         "say whether the restart loop of NAME (default quarnel.ini) runs; exit 3 when not",
         0,
         {"--ini", "--game-dir"},
         {},
         &loopStatus},
        {"stop",
         "[--ini NAME] [--game-dir DIR]",
         "stop the restart loop of NAME and its server; exit 3 when none runs",
         0,
         {"--ini", "--game-dir"},
         {},
         &stopLoop},
        {"systemd-unit",
         "CONFIG.cfg [--ini NAME] [--game-dir DIR] [--set KEY=VALUE]...",
         "print a systemd user unit that runs the server of NAME (default quarnel.ini)",
         1,
         {"--ini", "--game-dir", "--set"},
         {},
         &printSystemdUnit},
#endif
        {"import-config",
         "CONFIG.cfg [--game-dir DIR]",
         "remember the configuration's settings as the last settings of the window",
         1,
         {"--game-dir"},
         {},
         &importConfig},
        {"export-config",
         "OUT.cfg",
         "write the remembered settings of the window to OUT.cfg",
         1,
         {},
         {},
         &exportConfig},
        {"check",
         "CONFIG.cfg [--game-dir DIR] [--set KEY=VALUE]...",
         "print the problems a launch would run into, one a line; exit 1 when there is one",
         1,
         {"--game-dir", "--set"},
         {},
         &check},
        {"diff",
         "A.cfg B.cfg",
         "print the settings that differ, one a line; exit 1 when one does",
         2,
         {},
         {},
         &diff},
    };
    return table;
}

namespace {

constexpr std::string_view kLaunchBatch = "quarnel.bat";
constexpr std::string_view kLaunchIni = "quarnel.ini";

// The server INI is a rewrite of the game's own; without it nothing is written at all,
// rather than a batch file that names an INI file that never comes. A folder, a named pipe
// or a device in its place is refused as well, without waiting on it.
void requireTemplate(const SettingsForm& form) {
    const std::string ini = game::templateIni(form.gameFolder());
    try {
        requireRegularFile(ini);
    } catch (const Error& e) {
        throw CommandError(ini, e);
    }
}

void writeLaunchFiles(const SettingsForm& form, const std::string& folder,
                      const std::string& batchName, const std::string& iniName) {
    try {
        writeBatchFile(form, folder, batchName, true);
    } catch (const Error& e) {
        throw CommandError(folder + batchName, e);
    }
    if (kWritesRestartScript) {
        try {
            writeRestartScript(form, folder, batchName);
        } catch (const Error& e) {
            throw CommandError(folder + LoopFiles{{}, batchName}.scriptName(), e);
        }
    }
    try {
        writeServerIni(form, folder, iniName, true);
    } catch (const Error& e) {
        throw CommandError(folder + iniName, e);
    }
}

// A game folder the system cannot have ends the command before anything is written.
void refuseInvalidFolder(const std::string& folder) {
    if (const auto reason = game::invalidFolderReason(folder))
        throw CommandError(folder, *reason);
}

} // namespace

void formSettings(SettingsForm& form, const Arguments& args, const Context& context) {
    const std::string& cfg = args.positional.at(0);
    // The written files name the game folder; the batch file runs wherever the desktop
    // starts it, so a folder given relative to here is made absolute.
    std::optional<std::string> gameDir = args.value("--game-dir");
    if (gameDir) {
        refuseInvalidFolder(*gameDir);
        gameDir = game::absoluteFolder(*gameDir);
    }
    // Values given with --set replace the file's before anything is formed.
    std::vector<ConfigOverride> overrides;
    for (const std::string& given : args.all("--set")) {
        const auto parsed = parseOverride(given);
        if (!parsed)
            throw UsageError("--set needs KEY=VALUE, not " + given);
        overrides.push_back(*parsed);
    }
    try {
        formFromConfig(form, ConfigSource{cfg, gameDir, context.programFolder, overrides});
    } catch (const OverrideError& e) {
        throw CommandError("--set " + e.given().key + "=" + e.given().value, e);
    } catch (const ConfigLoadError& e) {
        if (e.line() == 0)
            throw CommandError(cfg, e);
        throw CommandError(cfg, "line " + std::to_string(e.line()) + " (" + e.key() + "): " +
                                    e.what() + " (error " + std::to_string(e.number()) + ")");
    }
    refuseInvalidFolder(form.gameFolder()); // the folder the configuration names
}

void commandLine(const Arguments& args, Context& context) {
    SettingsForm form;
    formSettings(form, args, context);
    const std::string ini = args.value("--ini").value_or(std::string(kLaunchIni));
    const std::string line = serverCommandLine(form, ini);
    if (line.empty())
        throw CommandError(args.positional[0], "the server command line could not be formed");
    context.out << line << "\n";
}

void make(const Arguments& args, Context& context) {
    const std::string& target = args.positional.at(1);
    if (const auto refusal = refuseIniName(fileTitleOf(target)))
        throw CommandError(target, std::string(refusal->message));
    SettingsForm form;
    formSettings(form, args, context);
    requireTemplate(form);
    const MakeFiles files = makeFilesFor(target);
    writeLaunchFiles(form, files.folder, files.batchName, files.iniName);
}

void launch(const Arguments& args, Context& context) {
    SettingsForm form;
    formSettings(form, args, context);
    requireTemplate(form);
    const std::string folder = game::systemFolder(form.gameFolder());
    const bool start = !args.flag("--no-start");
    // The files of a loop that runs are left alone.
    if constexpr (kWritesRestartScript)
        if (start)
            refuseRunningLoop(form, kLaunchBatch);
    writeLaunchFiles(form, folder, std::string(kLaunchBatch), std::string(kLaunchIni));
    if (!start)
        return;
    if constexpr (kWritesRestartScript)
        startLoop(form, kLaunchBatch, args, context);
    else
        context.opener.shellopen(folder + std::string(kLaunchBatch));
}

} // namespace quarnel::cli
