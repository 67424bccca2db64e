#include "store/ConfigFile.h"

#include "common/Text.h"
#include "common/TextFile.h"

#include <cmath>
#include <unordered_map>

namespace quarnel {

namespace {

Check checkOf(const CfgLine& line) {
    return static_cast<Check>(line.control);
}
Text textOf(const CfgLine& line) {
    return static_cast<Text>(line.control);
}
Scroll scrollOf(const CfgLine& line) {
    return static_cast<Scroll>(line.control);
}

[[noreturn]] void typeMismatch() {
    throw Error(errc::TypeMismatch, "Type mismatch");
}

std::string checkValue(bool on) {
    return on ? "1" : "0";
}

// The line's value as the file keeps it. Numbers, check boxes, the arena option and the bot
// skill lose their blanks; free texts and the custom game type stay as typed. A scroll bar
// holds the value of the bar, not the label the form may show while it lags behind.
std::string lineValue(const CfgLine& line, const SettingsForm& form) {
    const ServerSettings& s = form.settings();
    switch (line.kind) {
    case CfgKind::Utpath:
        return form.gameFolder();
    case CfgKind::GameType:
        return gameTypeWord(s);
    case CfgKind::Number:
    case CfgKind::BlankFreeText:
        return withoutBlanks(s.text(textOf(line)));
    case CfgKind::RawText:
        return s.text(textOf(line));
    case CfgKind::Scroll:
        return std::to_string(s.scroll(scrollOf(line)));
    case CfgKind::Arena: {
        // With no arena option selected the line still holds its place, with an empty value
        // that the reader passes over, so every later line keeps its position.
        const int arena = s.arena;
        return arena >= 0 ? withoutBlanks(kArenaOptions[static_cast<std::size_t>(arena)].caption)
                          : "";
    }
    case CfgKind::CheckLastChar:
    case CfgKind::ServerOption:
    case CfgKind::CheckValue:
        return checkValue(s.checked(checkOf(line)));
    case CfgKind::BotSkill:
        return withoutBlanks(s.botSkillText());
    }
    return {};
}

// The last character of a line converted to a number: a digit, or a type mismatch.
int lastDigit(const std::string& line) {
    if (line.empty() || line.back() < '0' || line.back() > '9')
        typeMismatch();
    return line.back() - '0';
}

void applyLine(SettingsForm& form, const CfgLine& line, const std::string& entry) {
    const std::string value = removeAll(entry, std::string(line.key) + "=");
    switch (line.kind) {
    case CfgKind::Utpath:
        form.setGameFolder(value);
        return;
    case CfgKind::GameType: {
        const int type = gameTypeOfWord(value);
        form.selectGameType(type);
        if (type == kGameTypeOther)
            form.setText(Text::CustomGameType, value);
        return;
    }
    case CfgKind::Number:
    case CfgKind::RawText:
    case CfgKind::BlankFreeText:
        form.setText(textOf(line), value);
        return;
    case CfgKind::Scroll:
        form.setScroll(scrollOf(line), toInteger16(value));
        return;
    case CfgKind::Arena:
        if (const int arena = arenaOfWord(value); arena >= 0)
            form.selectArena(arena);
        return;
    case CfgKind::CheckLastChar:
        form.setChecked(checkOf(line), lastDigit(entry) != 0);
        return;
    case CfgKind::ServerOption:
        form.setChecked(checkOf(line), !entry.empty() && entry.back() == '1');
        return;
    case CfgKind::CheckValue:
        form.setChecked(checkOf(line), toInteger16(value) != 0);
        return;
    case CfgKind::BotSkill:
        // Only an item of the list is a bot skill; anything else, the empty text included,
        // stops the load (the server would otherwise be started with no skill at all).
        form.setBotSkillText(value);
        return;
    }
}

// Map lines: the text up to and including the first "=" is the key part; every occurrence
// of it is removed and ".ut2" appended; every list entry equal to the result is selected.
// The entries are hashed once, so a file of n map lines over a list of m entries costs
// O(n + m).
void applyMapLines(SettingsForm& form, const std::vector<std::string>& lines, std::size_t first) {
    const std::vector<std::string>& entries = form.mapList().entries;
    std::unordered_multimap<std::string_view, std::size_t> byName;
    byName.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        byName.emplace(entries[i], i);

    std::vector<bool> selected(entries.size(), false);
    const auto take = [&](std::string_view line) {
        const std::string name = mapEntryOf(mapLineName(line));
        const auto [from, to] = byName.equal_range(name);
        for (auto it = from; it != to; ++it)
            selected[it->second] = true;
    };
    for (std::size_t pos = first; pos < lines.size(); ++pos)
        take(lines[pos]);
    take({}); // the empty entry that follows the last line
    form.setMapSelection(std::move(selected));
}

} // namespace

std::string mapLineName(std::string_view line) {
    const std::size_t equals = line.find('=');
    const std::string_view keyPart =
        equals == std::string_view::npos ? std::string_view{} : line.substr(0, equals + 1);
    return removeAll(line, keyPart);
}

std::vector<std::string> configMapNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (std::size_t pos = kCfgFixedLines; pos < lines.size(); ++pos)
        if (std::string name = mapLineName(lines[pos]); !name.empty())
            names.push_back(std::move(name));
    return names;
}

ConfigLoadError::ConfigLoadError(const Error& cause, std::size_t line, std::string key)
    : Error(cause.number(), cause.what()), line_(line), key_(std::move(key)) {}

std::int16_t toInteger16(std::string_view value) {
    const auto number = parsePlainNumber(value);
    if (!number)
        typeMismatch();
    const double rounded = std::nearbyint(*number); // half to the even neighbour
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        throw Error(errc::Overflow, "Overflow");
    return static_cast<std::int16_t>(rounded);
}

std::vector<std::string> configLines(const SettingsForm& form) {
    const MapList& maps = form.mapList();
    std::vector<std::string> lines;
    lines.reserve(kCfgFixedLines + maps.selectedCount());
    for (const CfgLine& line : kCfgLines)
        lines.push_back(oneLine(std::string(line.key) + "=" + lineValue(line, form)));
    int counter = 0;
    for (std::size_t i = 0; i < maps.count(); ++i) {
        if (!maps.selected[i])
            continue;
        lines.push_back(
            oneLine("Map" + std::to_string(++counter) + "=" + mapName(maps.entries[i])));
    }
    return lines;
}

void writeConfigFile(const SettingsForm& form, const std::string& filepath, bool overwrite) {
    writeTextFile(filepath, configLines(form), overwrite);
}

std::vector<std::string> readConfigLines(const std::string& filepath) {
    // Only a regular file is read, and only up to the limit: a folder, a named pipe or a
    // device is refused without waiting on it.
    try {
        return splitTextLines(readFileBytes(filepath, kMaxConfigFileBytes));
    } catch (const Error& e) {
        throw ConfigLoadError(e, 0, {});
    }
}

void applyConfigLines(SettingsForm& form, const std::vector<std::string>& fileLines,
                      const std::optional<std::string>& gameFolder) {
    // One empty entry follows the last line, so a file cut short reads one empty line
    // before it runs out.
    const std::size_t entries = fileLines.size() + 1;
    const auto entry = [&](std::size_t pos) -> const std::string& {
        static const std::string empty;
        return pos < fileLines.size() ? fileLines[pos] : empty;
    };
    for (std::size_t pos = 0; pos < kCfgFixedLines; ++pos) {
        const CfgLine& line = kCfgLines[pos];
        try {
            if (pos >= entries)
                throw Error(errc::SubscriptRange, "Subscript out of range");
            if (line.kind == CfgKind::Utpath && gameFolder)
                form.setGameFolder(*gameFolder);
            else
                applyLine(form, line, entry(pos));
        } catch (const Error& e) {
            throw ConfigLoadError(e, pos + 1, std::string(line.key));
        }
    }
    applyMapLines(form, fileLines, kCfgFixedLines);
}

void loadConfigFile(SettingsForm& form, const std::string& filepath) {
    applyConfigLines(form, readConfigLines(filepath));
}

} // namespace quarnel
