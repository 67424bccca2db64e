#pragma once

#include "settings/SettingsForm.h"

#include <string>
#include <string_view>

// A systemd user unit that runs the server directly, for servers that must come back after a
// reboot: systemd restarts it and keeps it from restarting a server that ends at once.
namespace quarnel {

// text as one word of a unit's command line, taken literally: in double quotes, "\" and
// '"' escaped with "\", "%" and "$" doubled (systemd expands both), and every byte outside
// printable ASCII written "\xNN".
std::string quoteForSystemd(std::string_view text);

// The unit for the server of the INI file ininame (which must lie in the game's System
// folder): WorkingDirectory the System folder, ExecStart the server program with the
// arguments of the restart script, Restart=on-failure with a start limit equal to the
// script's guard, and an ExecStopPost that keeps the crash log. wine is the full path of
// wine, used when the game has no Linux server. Throws Error when the System folder's path
// is not UTF-8, which a unit cannot name.
std::string systemdUnit(const SettingsForm& form, std::string_view ininame, std::string_view wine);

} // namespace quarnel
