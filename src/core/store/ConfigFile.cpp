#include "store/ConfigFile.h"

#include "common/Text.h"
#include "common/TextFile.h"
#include "common/TextLineReader.h"
#include "settings/FieldCheck.h"

#include <cmath>
#include <filesystem>
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

// The settled value label of a bar, "Air Control = 35%". The label the form shows may lag
// behind (design caption before start-up, " sec." while dragging); the file always gets
// the value the bar holds.
std::string scrollLine(Scroll s, int value) {
    std::string line = nospaces(valueLabel(s, value));
    if (control(s).unit == "%")
        line = removeAll(line, "%");
    return line;
}

std::string checkValue(bool on) {
    return on ? "1" : "0";
}

// The text a line's key is formed from: the caption of the label, frame or check box that
// names the setting. Lines whose key is no caption hold their key as it stands.
std::string captionFor(const CfgLine& line) {
    switch (line.kind) {
    case CfgKind::GameType:
        return std::string(caption::frmGameType);
    case CfgKind::Arena:
        return std::string(caption::lblMutators);
    case CfgKind::BotSkill:
        return std::string(caption::lblBotSkill);
    case CfgKind::CheckLastChar:
    case CfgKind::ServerOption:
    case CfgKind::CheckValue:
        return std::string(control(checkOf(line)).caption);
    case CfgKind::Number:
    case CfgKind::BlankFreeText:
        return std::string(control(textOf(line)).caption);
    case CfgKind::RawText:
        if (textOf(line) == Text::Mutator)
            return std::string(caption::frmMutators);
        if (textOf(line) == Text::CmdLineOptions)
            return std::string(line.key);
        return std::string(control(textOf(line)).caption);
    case CfgKind::Scroll:
        return std::string(control(scrollOf(line)).caption);
    case CfgKind::Utpath:
        break;
    }
    return std::string(line.key);
}

std::string formLine(const CfgLine& line, const SettingsForm& form) {
    const ServerSettings& s = form.settings();
    switch (line.kind) {
    case CfgKind::Utpath:
        return "UTPATH=" + form.utpath();
    case CfgKind::GameType:
        return nospaces(captionFor(line) + "=") + gameTypeWord(s);
    case CfgKind::Number:
    case CfgKind::BlankFreeText:
        return nospaces(captionFor(line) + "=" + s.txt(textOf(line)));
    case CfgKind::RawText:
        return nospaces(captionFor(line) + "=") + s.txt(textOf(line));
    case CfgKind::Scroll:
        return scrollLine(scrollOf(line), s.scl(scrollOf(line)));
    case CfgKind::Arena: {
        // With no arena option selected the line still holds its place, with an empty value
        // that the reader passes over, so every later line keeps its position.
        const int arena = s.optMutator;
        const std::string value =
            arena >= 0 ? std::string(kArenaOptions[static_cast<std::size_t>(arena)].caption) : "";
        return nospaces(captionFor(line) + "=" + value);
    }
    case CfgKind::CheckLastChar:
    case CfgKind::ServerOption:
    case CfgKind::CheckValue:
        return nospaces(captionFor(line) + "=" + checkValue(s.chk(checkOf(line))));
    case CfgKind::BotSkill:
        return nospaces(captionFor(line) + "=" + std::string(s.botSkillText()));
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
        form.setUtpath(value);
        return;
    case CfgKind::GameType: {
        const int type = gameTypeOfWord(value);
        form.selectGameType(type);
        if (type == kGameTypeOther)
            form.setText(Text::Gametype, value);
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
        const std::size_t equals = line.find('=');
        const std::string_view keyPart =
            equals == std::string_view::npos ? std::string_view{} : line.substr(0, equals + 1);
        const std::string name = mapEntryOf(removeAll(line, keyPart));
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

std::string cfgKey(const CfgLine& line, const SettingsForm& form) {
    if (line.kind == CfgKind::Utpath)
        return "UTPATH";
    const std::string formed = line.kind == CfgKind::Scroll
                                   ? scrollLine(scrollOf(line), form.scroll(scrollOf(line)))
                                   : nospaces(captionFor(line) + "=");
    return formed.substr(0, formed.find('='));
}

std::vector<std::string> configLines(const SettingsForm& form) {
    const MapList& maps = form.mapList();
    std::vector<std::string> lines;
    lines.reserve(kCfgFixedLines + maps.selectedCount());
    for (const CfgLine& line : kCfgLines)
        lines.push_back(oneLine(formLine(line, form)));
    int counter = 0;
    for (std::size_t i = 0; i < maps.count(); ++i) {
        if (!maps.selected[i])
            continue;
        lines.push_back(
            oneLine("Map" + std::to_string(++counter) + "=" + mapName(maps.entries[i])));
    }
    return lines;
}

void createconfig(const SettingsForm& form, const std::string& filepath, bool overwrite) {
    writeTextFile(filepath, configLines(form), overwrite);
}

std::vector<std::string> readConfigLines(const std::string& filepath) {
    namespace fs = std::filesystem;
    const auto fail = [](int number, const char* message) {
        throw ConfigLoadError(Error(number, message), 0, {});
    };
    std::error_code ec;
    if (filepath.empty() || fs::is_directory(filepath, ec))
        fail(errc::FileNotFound, "File not found");
    // Lines straight from the reader's buffer, counted by the bytes read up to one block
    // past the limit, so that a device or a pipe that never ends is refused as well as a
    // large regular file.
    std::vector<std::string> lines;
    try {
        TextLineReader reader(filepath);
        TextLineReader::Piece piece;
        while (reader.next(piece)) {
            if (reader.bytesRead() > kMaxConfigFileBytes)
                fail(errc::FileIO, "File too large for a configuration (over 4 MB)");
            if (piece.lineStart)
                lines.emplace_back();
            lines.back().append(piece.bytes);
        }
    } catch (const ConfigLoadError&) {
        throw;
    } catch (const Error& e) {
        throw ConfigLoadError(e, 0, {});
    }
    return lines;
}

void applyConfigLines(SettingsForm& form, const std::vector<std::string>& fileLines,
                      const std::optional<std::string>& utpath) {
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
            if (line.kind == CfgKind::Utpath && utpath)
                form.setUtpath(*utpath);
            else
                applyLine(form, line, entry(pos));
        } catch (const Error& e) {
            throw ConfigLoadError(e, pos + 1, std::string(line.key));
        }
    }
    applyMapLines(form, fileLines, kCfgFixedLines);
}

void loadconfig(SettingsForm& form, const std::string& filepath) {
    applyConfigLines(form, readConfigLines(filepath));
}

} // namespace quarnel
