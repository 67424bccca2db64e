#pragma once

#include "check/Machine.h"
#include "settings/SettingsForm.h"

#include <string>
#include <vector>

// The checks before a launch: what would make the server not start, not take a setting,
// or collide with another server on this machine. They read the settings, the game folder
// and the machine's ports; they never change a file.
namespace quarnel {

struct Problem {
    std::string code; // short and fixed: "PORT-BUSY"
    std::string text; // a sentence that names the setting and what to do
};

// Every problem with launching form's settings, in a fixed order: maps, ports, server INI
// lines, extra mutators, numbers. configuredMaps, when given and not empty, are the map
// names a configuration asked for (its Map lines); they are checked instead of the maps the
// map list would give the server, since a name the folder lacks never reaches the list.
std::vector<Problem> checkBeforeLaunch(const SettingsForm& form, Machine& machine,
                                       const std::vector<std::string>& configuredMaps = {});

// "CODE sentence": a problem as one line of text.
std::string problemLine(const Problem& problem);

} // namespace quarnel
