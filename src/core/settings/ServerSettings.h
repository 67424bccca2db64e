#pragma once

#include "settings/Controls.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quarnel {

// The file list box: the files of one folder matching one pattern, with a selected flag
// per entry. entries and selected always have the same size.
struct MapList {
    std::string folder;
    std::string pattern;
    std::vector<std::string> entries;
    std::vector<bool> selected;

    std::size_t count() const { return entries.size(); }
    std::size_t selectedCount() const;
    // The entry a server starts with: the first selected one, else the first entry; none
    // for an empty list.
    std::optional<std::size_t> startingEntry() const;
};

// The map name of a map-list entry: the file name with every ".ut2" removed (exact,
// case-sensitive), as the command line, the server INI and both stores name maps.
std::string mapName(std::string_view entry);

// The map-list entry a stored map name stands for: the name with ".ut2" appended.
std::string mapEntryOf(std::string_view name);

// The values of the settings controls, field for field. Generators and stores read the
// settings through this record; SettingsForm owns it and is the only writer.
struct ServerSettings {
    std::array<bool, kCheckCount> checks{};
    std::array<std::string, kTextCount> texts;
    std::array<int, kScrollCount> scrolls{};
    int gameType = -1; // selected game type 0-8, -1 for none
    int arena = -1;    // selected arena option 0-4, -1 for none
    int botSkill = -1; // picked item 0-7, -1 for none
    MapList maps;

    // The design values: texts and scroll values of the design, nothing checked, no option
    // selected, no bot skill picked, an empty map list.
    static ServerSettings design();

    bool checked(Check c) const { return checks[index(c)]; }
    const std::string& text(Text t) const { return texts[index(t)]; }
    int scroll(Scroll s) const { return scrolls[index(s)]; }

    bool mutator(int i) const { return checked(quarnel::mutatorBox(i)); }
    bool gameOption(int i) const { return checked(quarnel::gameOptionBox(i)); }
    bool serverOption(int i) const { return checked(quarnel::serverOptionBox(i)); }

    // The picked bot skill's text, empty when none is picked.
    std::string_view botSkillText() const;
};

} // namespace quarnel
