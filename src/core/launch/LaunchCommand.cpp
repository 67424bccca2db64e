#include "launch/LaunchCommand.h"

#include "launch/LaunchFiles.h"
#include "launch/RestartScript.h"

namespace quarnel {

std::string scriptCommand(std::string_view systemFolder, std::string_view scriptName) {
    std::string command = "cd ";
    return command.append(quoteForSh(systemFolder)).append(" && ./").append(scriptName);
}

LaunchCommand launchCommand(const SettingsForm& form) {
    LaunchCommand command;
    command.serverLine = batchServerLine(form, kLaunchIniName);
#ifndef _WIN32
    command.scriptLine = scriptCommand(game::systemFolder(form.gameFolder()), kLaunchScriptName);
#endif
    return command;
}

} // namespace quarnel
