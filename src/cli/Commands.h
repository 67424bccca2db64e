#pragma once

#include "Cli.h"
#include "settings/SettingsForm.h"

#include <string>

// The commands of quarnel-cli. Each takes its checked arguments and throws CommandError
// (or UsageError) on failure; the table in Commands.cpp registers them.
namespace quarnel::cli {

// Forms the settings of the configuration args.positional[0] (with --game-dir and every
// --set KEY=VALUE given) into form, a freshly constructed one. A load failure becomes a
// CommandError naming the file, the line and the key, or the --set that does not fit.
void formSettings(SettingsForm& form, const Arguments& args, const Context& context);

// command-line CONFIG.cfg [--ini NAME] [--game-dir DIR]
void commandLine(const Arguments& args, Context& context);
// make CONFIG.cfg TARGET.ini [--game-dir DIR]
void make(const Arguments& args, Context& context);
// launch CONFIG.cfg [--no-start] [--game-dir DIR]
void launch(const Arguments& args, Context& context);
// import-config CONFIG.cfg [--game-dir DIR]
void importConfig(const Arguments& args, Context& context);
// export-config OUT.cfg
void exportConfig(const Arguments& args, Context& context);
// check CONFIG.cfg [--game-dir DIR] [--set KEY=VALUE]... (CheckCommands.cpp)
void check(const Arguments& args, Context& context);
// diff A.cfg B.cfg (CheckCommands.cpp)
void diff(const Arguments& args, Context& context);

} // namespace quarnel::cli
