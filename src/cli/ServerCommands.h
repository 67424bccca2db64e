#pragma once

#include "Cli.h"
#include "settings/SettingsForm.h"

#include <string_view>

// The commands around the restart loop of Linux: starting it for launch, asking for it,
// stopping it, and the systemd unit that runs the server instead.
namespace quarnel::cli {

// Throws CommandError when the loop of batchName in the game's System folder already runs.
void refuseRunningLoop(const SettingsForm& form, std::string_view batchName);

// Starts the loop of batchName, written before: detached in the background, printing its
// process id and where its logs go; with --foreground in place of this process, which then
// ends with the loop. Throws when the game has no server that can run here.
void startLoop(const SettingsForm& form, std::string_view batchName, const Arguments& args,
               Context& context);

// status [--ini NAME] [--game-dir DIR]
void loopStatus(const Arguments& args, Context& context);
// stop [--ini NAME] [--game-dir DIR]
void stopLoop(const Arguments& args, Context& context);
// systemd-unit CONFIG.cfg [--ini NAME] [--game-dir DIR]
void printSystemdUnit(const Arguments& args, Context& context);

} // namespace quarnel::cli
