#include "Commands.h"

#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
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
         "CONFIG.cfg [--ini NAME] [--game-dir DIR]",
         "print the server command line for the INI name NAME (default quarnel.ini)",
         1,
         {"--ini", "--game-dir"},
         {},
         &commandLine},
        {"make",
         "CONFIG.cfg TARGET.ini [--game-dir DIR]",
         "write TARGET.ini and its batch file beside it",
         2,
         {"--game-dir"},
         {},
         &make},
        {"launch",
         "CONFIG.cfg [--no-start] [--game-dir DIR]",
         "write quarnel.bat and quarnel.ini into the game's System folder and start the batch "
         "file (not with --no-start)",
         1,
         {"--game-dir"},
         {"--no-start"},
         &launch},
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
    const std::string ini = game::templateIni(form.utpath());
    try {
        requireRegularFile(ini);
    } catch (const Error& e) {
        throw CommandError(ini, e);
    }
}

void writeLaunchFiles(const SettingsForm& form, const std::string& folder,
                      const std::string& batchName, const std::string& iniName) {
    try {
        makegamebat(form, folder, batchName, true);
    } catch (const Error& e) {
        throw CommandError(folder + batchName, e);
    }
    try {
        makegameconfig(form, folder, iniName, true);
    } catch (const Error& e) {
        throw CommandError(folder + iniName, e);
    }
}

} // namespace

void formSettings(SettingsForm& form, const Arguments& args, const Context& context) {
    const std::string& cfg = args.positional.at(0);
    // The written files name the game folder; the batch file runs wherever the desktop
    // starts it, so a folder given relative to here is made absolute.
    std::optional<std::string> gameDir = args.value("--game-dir");
    if (gameDir)
        gameDir = std::filesystem::absolute(*gameDir).string();
    try {
        formFromConfig(form, ConfigSource{cfg, gameDir, context.programFolder});
    } catch (const ConfigLoadError& e) {
        if (e.line() == 0)
            throw CommandError(cfg, e);
        throw CommandError(cfg, "line " + std::to_string(e.line()) + " (" + e.key() + "): " +
                                    e.what() + " (error " + std::to_string(e.number()) + ")");
    }
}

void commandLine(const Arguments& args, Context& context) {
    SettingsForm form;
    formSettings(form, args, context);
    const std::string ini = args.value("--ini").value_or(std::string(kLaunchIni));
    const std::string line = buildcommandline(form, ini);
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
    const std::string folder = game::systemFolder(form.utpath());
    writeLaunchFiles(form, folder, std::string(kLaunchBatch), std::string(kLaunchIni));
    if (!args.flag("--no-start"))
        context.opener.shellopen(folder + std::string(kLaunchBatch));
}

} // namespace quarnel::cli
