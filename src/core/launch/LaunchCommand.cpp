#include "launch/LaunchCommand.h"

#include "launch/LaunchFiles.h"

namespace quarnel {

namespace {

// One word for sh, whatever it holds: in single quotes, a single quote written as '\''.
std::string shQuoted(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

} // namespace

std::string scriptCommand(std::string_view systemFolder, std::string_view scriptName) {
    std::string command = "cd ";
    return command.append(shQuoted(systemFolder)).append(" && ./").append(scriptName);
}

LaunchCommand launchCommand(const SettingsForm& form) {
    LaunchCommand command;
    command.serverLine = batchServerLine(form, kLaunchIniName);
#ifndef _WIN32
    command.scriptLine = scriptCommand(game::systemFolder(form.utpath()), kLaunchScriptName);
#endif
    return command;
}

} // namespace quarnel
