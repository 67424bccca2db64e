#pragma once

#include "game/Installation.h"
#include "settings/SettingsForm.h"

#include <string>
#include <string_view>

// What Launch Server runs, formed before it runs, so that the window can show it live.
namespace quarnel {

// The names Launch Server writes into the game's System folder.
inline constexpr std::string_view kLaunchIniName = "quarnel.ini";
inline constexpr std::string_view kLaunchScriptName = "quarnel.sh";

struct LaunchCommand {
    // The server command line exactly as the launch batch file's third line holds it.
    std::string serverLine;
    // How the restart script that runs it is started (Linux); empty where the batch file
    // itself is started.
    std::string scriptLine;
};

// The commands Launch Server would run with the settings of form now.
LaunchCommand launchCommand(const SettingsForm& form);

// The shell command that starts the restart script scriptName in its folder systemFolder:
// "cd '/srv/ut2003/System/' && ./quarnel.sh", the folder quoted for sh.
std::string scriptCommand(std::string_view systemFolder, std::string_view scriptName);

} // namespace quarnel
