#include "check/Checks.h"

#include "check/RunningLoops.h"
#include "common/Text.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "game/MapFolder.h"
#include "launch/LaunchFiles.h"
#include "settings/FieldCheck.h"

#include <array>
#include <cmath>
#include <exception>
#include <optional>
#include <unordered_set>

namespace quarnel {

namespace {

constexpr int kDefaultGamePort = 7777;

// The map prefix each game type with a map list of its own takes, by gameType index.
constexpr std::array<std::string_view, 5> kMapPrefixes = {"BR-", "CTF-", "DM-", "DOM-", "DM-"};

std::string inQuotes(std::string_view text) {
    std::string out = "\"";
    return out.append(text).append("\"");
}

class Report {
public:
    void add(std::string_view code, std::string text) {
        problems_.push_back({std::string(code), std::move(text)});
    }
    std::vector<Problem> take() { return std::move(problems_); }

private:
    std::vector<Problem> problems_;
};

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

// The entries of the map list that the server would be given: with rotation every selected
// one (or the starting one when none is selected), otherwise the starting one.
std::vector<std::string> mapsGiven(const SettingsForm& form) {
    const MapList& list = form.mapList();
    std::vector<std::string> given;
    if (form.checked(Check::MapRotation) && list.selectedCount() > 0) {
        for (std::size_t i = 0; i < list.count(); ++i)
            if (list.selected[i])
                given.push_back(list.entries[i]);
    } else if (const auto start = list.startingEntry()) {
        given.push_back(list.entries[*start]);
    }
    return given;
}

void checkMaps(const SettingsForm& form, const std::vector<std::string>& configuredMaps,
               Report& report) {
    const std::string folder = game::mapsFolder(form.gameFolder());
    if (!game::folderExists(folder)) {
        report.add("MAP-FOLDER", "Map List: the game folder has no Maps folder (" + folder +
                                     "); check the game folder (UTPATH) in the configuration.");
        return;
    }
    const int type = form.gameType();
    const bool typed = type >= 0 && type < static_cast<int>(kMapPrefixes.size());
    const std::string_view prefix = typed ? kMapPrefixes[static_cast<std::size_t>(type)] : "";
    const std::string typeName =
        type >= 0 ? std::string(kGameTypes[static_cast<std::size_t>(type)].caption) : "";

    std::vector<std::string> entries;
    if (!configuredMaps.empty()) {
        for (const std::string& name : configuredMaps)
            entries.push_back(mapEntryOf(name));
    } else {
        entries = mapsGiven(form);
    }
    if (entries.empty()) {
        report.add("MAP-NONE", "Map List: the Maps folder (" + folder + ") holds no " +
                                   std::string(prefix) + "map for " + typeName +
                                   " to start on; copy maps there or choose another game type.");
        return;
    }

    // The folder as it is now: a map deleted since the list was read is missing too.
    const std::vector<std::string> listed = game::listFolder(folder, "*.*");
    const std::unordered_set<std::string_view> present(listed.begin(), listed.end());
    for (const std::string& entry : entries) {
        const std::string name = mapName(entry);
        if (typed && !startsWithNoCase(name, prefix))
            report.add("MAP-TYPE", "Map List: map " + name + " does not fit the game type " +
                                       typeName + ", which plays " + std::string(prefix) +
                                       " maps; choose " + std::string(prefix) +
                                       " maps or another game type.");
        if (present.find(entry) == present.end())
            report.add("MAP-MISSING",
                       "Map List: map " + name + " is not in the game's Maps folder (" + folder +
                           "); copy " + entry + " there or take the map out of the selection.");
    }
}

// The number a checked port field holds, when the field check accepts it.
std::optional<int> portOf(const ServerSettings& s, Text field) {
    const std::string& text = s.text(field);
    if (refusalFor(field, text))
        return std::nullopt;
    return static_cast<int>(std::nearbyint(*parsePlainNumber(text)));
}

std::string_view portLabel(const GroupPort& port) {
    return port.protocol == PortProtocol::Tcp ? control(Text::WebAdminPort).caption
                                              : control(Text::GamePort).caption;
}

void checkPorts(const SettingsForm& form, Machine& machine, Report& report) {
    const ServerSettings& s = form.settings();
    // An empty game port leaves the server its default one.
    const std::optional<int> game = s.text(Text::GamePort).empty()
                                        ? std::optional<int>(kDefaultGamePort)
                                        : portOf(s, Text::GamePort);
    if (!game)
        return; // the number check reports it
    const int web = s.checked(Check::WebAdmin) ? portOf(s, Text::WebAdminPort).value_or(0) : 0;
    const std::vector<GroupPort> group = portGroup(*game, web);

    for (std::size_t i = 0; i + 1 < group.size() && web > 0; ++i) {
        if (group[i].port == web)
            report.add("PORT-SAME",
                       "Web Port: web admin port " + std::to_string(web) + " is also the " +
                           std::string(group[i].role) +
                           "; a server needs four distinct ports: choose a Web Port other than " +
                           std::to_string(*game) + ", " + std::to_string(*game + 1) + " and " +
                           std::to_string(*game + 10) + ".");
    }

    const std::vector<RunningLoop> loops =
        runningLoops(game::systemFolder(form.gameFolder()), machine);
    for (const GroupPort& port : group) {
        const std::string label(portLabel(port));
        const std::string what = std::string(port.protocol == PortProtocol::Udp ? "UDP" : "TCP") +
                                 " port " + std::to_string(port.port) + " (the " +
                                 std::string(port.role) + ")";
        const RunningLoop* holder = nullptr;
        for (const RunningLoop& loop : loops)
            for (const GroupPort& taken : loop.ports)
                if (!holder && taken.port == port.port && taken.protocol == port.protocol)
                    holder = &loop;
        if (holder)
            report.add("PORT-LOOP", label + ": " + what + " is taken by the Quarnel server loop " +
                                        inQuotes(holder->name) + " (process " +
                                        std::to_string(holder->pid) +
                                        ") running on this machine; stop that loop or choose "
                                        "another " +
                                        label + ".");
        else if (machine.portInUse(port.protocol, port.port))
            report.add("PORT-BUSY", label + ": " + what +
                                        " is already in use on this machine; stop what uses it "
                                        "or choose another " +
                                        label + ".");
    }
}

void checkServerIni(const SettingsForm& form, Report& report) {
    const std::string path = game::templateIni(form.gameFolder());
    std::vector<std::string> lines;
    try {
        lines = readTextLines(path);
    } catch (const std::exception&) {
        report.add("INI-MISSING", "Server INI: the game's own INI file (" + path +
                                      "), which every server INI is written from, cannot be "
                                      "read; check the game folder (UTPATH).");
        return;
    }
    const std::vector<ServerIniKey> keys = serverIniKeys(form.settings());
    std::vector<bool> found(keys.size(), false);
    for (const std::string& line : lines)
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (!found[i] && line.starts_with(keys[i].key))
                found[i] = true;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const ServerIniKey& key = keys[i];
        if (!key.active || found[i])
            continue;
        report.add("INI-LINE", std::string(key.label) + ": the game's ut2003.ini has no " +
                                   inQuotes(key.key) +
                                   " line for it to replace, so the setting "
                                   "would have no effect; add a " +
                                   inQuotes(key.key) + " line to the section [" +
                                   std::string(key.section) + "] of " + path + ".");
    }
}

bool isIdentifier(std::string_view text) {
    if (text.empty() || (text.front() >= '0' && text.front() <= '9'))
        return false;
    for (const char c : text) {
        const bool ok =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

void checkMutators(const SettingsForm& form, Report& report) {
    const std::string& text = form.text(Text::ExtraMutators);
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view piece = std::string_view(text).substr(start, comma - start);
        start = comma + 1;
        // An empty piece is the trailing comma the field asks for, or a doubled one.
        if (piece.empty())
            continue;
        const std::size_t dot = piece.find('.');
        if (dot != std::string_view::npos && isIdentifier(piece.substr(0, dot)) &&
            isIdentifier(piece.substr(dot + 1)))
            continue;
        report.add("MUTATOR", "Extra Mutators: " + inQuotes(piece) +
                                  " is not of the form Package.Class; write each extra mutator "
                                  "as Package.Class, separated by commas, without blanks.");
    }
}

void checkNumbers(const SettingsForm& form, Report& report) {
    for (const FieldCheck& check : kFieldChecks) {
        // The web port matters only while web admin is on, as its field is only open then.
        if (check.field == Text::WebAdminPort && !form.checked(Check::WebAdmin))
            continue;
        const std::string& text = form.text(check.field);
        if (fieldAccepts(check, text))
            continue;
        report.add("RANGE", std::string(check.title) + ": " + inQuotes(text) +
                                " is not a number between " + std::to_string(check.low) + " and " +
                                std::to_string(check.high) + "; enter a number in that range.");
    }
}

} // namespace

std::vector<Problem> checkBeforeLaunch(const SettingsForm& form, Machine& machine,
                                       const std::vector<std::string>& configuredMaps) {
    Report report;
    checkMaps(form, configuredMaps, report);
    checkPorts(form, machine, report);
    checkServerIni(form, report);
    checkMutators(form, report);
    checkNumbers(form, report);
    return report.take();
}

std::string problemLine(const Problem& problem) {
    return problem.code + " " + problem.text;
}

} // namespace quarnel
