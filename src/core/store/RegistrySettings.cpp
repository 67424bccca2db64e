#include "store/RegistrySettings.h"

#include "common/Error.h"
#include "common/Text.h"
#include "store/ConfigFile.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_set>

namespace quarnel {

namespace {

std::string mapValueName(long long n) {
    return "Map" + std::to_string(n);
}

// The stored text of a game folder: the folder less its final separator. An empty folder
// (the game not found) is stored empty, so the next start finds no folder there and asks
// the next source.
std::string utpathToStored(const std::string& gameFolder) {
    if (!gameFolder.empty() && (gameFolder.back() == '\\' || gameFolder.back() == '/'))
        return gameFolder.substr(0, gameFolder.size() - 1);
    return gameFolder;
}

std::string storedText(const SettingsForm& form, const StoredField& setting) {
    const ServerSettings& values = form.settings();
    const auto id = static_cast<std::size_t>(setting.control);
    switch (setting.stored) {
    case StoredKind::Utpath:
        return utpathToStored(form.gameFolder());
    case StoredKind::GameType:
        return gameTypeWord(values);
    case StoredKind::StripText:
        return withoutBlanks(values.texts[id]);
    case StoredKind::TrimText:
    case StoredKind::TypedText:
        return values.texts[id];
    case StoredKind::Flag:
        return values.checks[id] ? "1" : "0";
    case StoredKind::Number:
        return std::to_string(values.scrolls[id]);
    case StoredKind::Arena:
        return withoutBlanks(kArenaOptions[static_cast<std::size_t>(values.arena)].caption);
    case StoredKind::BotSkill:
        return withoutBlanks(values.botSkillText());
    }
    return {};
}

// The stored value as text: texts as they are, integers in decimal; bytes are no text.
std::optional<std::string> asText(const RegValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    return std::nullopt;
}

// A stored text as a 16-bit integer, read as the numbers of a .cfg file are; nullopt for a
// text that is no such number.
std::optional<int> asInt16(std::string_view text) {
    try {
        return toInteger16(text);
    } catch (const Error&) {
        return std::nullopt;
    }
}

// Reads a value with the default " "; nullopt when it is absent or unreadable.
std::optional<RegValue> readValue(Registry& registry, std::string_view name) {
    try {
        return registry.readValue(kProgramRoot, kProgramKey, name, std::string(" "));
    } catch (const Error&) {
        return std::nullopt;
    }
}

// Puts one stored text into its control; false when the control does not take it.
bool apply(SettingsForm& form, const StoredField& setting, const std::string& stored) {
    switch (setting.stored) {
    case StoredKind::Utpath:
        return true;
    case StoredKind::GameType: {
        const std::string word = withoutBlanks(stored);
        const int type = gameTypeOfWord(word);
        form.setGame(type);
        form.selectGameType(type);
        if (type == kGameTypeOther)
            form.setText(Text::CustomGameType, word);
        return true;
    }
    case StoredKind::StripText:
    case StoredKind::TypedText:
        form.setText(static_cast<Text>(setting.control), withoutBlanks(stored));
        return true;
    case StoredKind::TrimText:
        form.setText(static_cast<Text>(setting.control), trimRightBlanks(stored));
        return true;
    case StoredKind::Flag: {
        const auto number = asInt16(withoutBlanks(stored));
        if (!number)
            return false;
        form.setChecked(static_cast<Check>(setting.control), *number != 0);
        return true;
    }
    case StoredKind::Number: {
        const auto number = asInt16(withoutBlanks(stored));
        if (!number)
            return false;
        form.setScroll(static_cast<Scroll>(setting.control), *number);
        return true;
    }
    case StoredKind::Arena: {
        const int arena = arenaOfWord(withoutBlanks(stored));
        if (arena >= 0)
            form.selectArena(arena);
        return arena >= 0;
    }
    case StoredKind::BotSkill:
        form.setBotSkillText(withoutBlanks(stored));
        return true;
    }
    return false;
}

// n for the name of a map entry, "Map<n>" with n a decimal number without leading zeros;
// the letters in any case, as the store compares names. Nullopt for every other name.
std::optional<long long> mapEntryNumber(std::string_view name) {
    constexpr std::string_view prefix = "map";
    if (name.size() <= prefix.size() || lowerAscii(name.substr(0, prefix.size())) != prefix)
        return std::nullopt;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.front() == '0' && digits.size() > 1)
        return std::nullopt;
    long long n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        // Past any count a save writes; the exact number does not matter then.
        n = n > std::numeric_limits<int>::max() ? n : n * 10 + (c - '0');
    }
    return n;
}

} // namespace

std::vector<std::pair<std::string, std::string>> registryEntries(const SettingsForm& form) {
    std::vector<std::pair<std::string, std::string>> entries;
    const MapList& maps = form.mapList();
    entries.reserve(kStoredFields.size() + maps.selectedCount());
    for (const auto& setting : kStoredFields) {
        if (setting.stored == StoredKind::Arena && form.arena() < 0)
            continue; // no arena option selected: no entry
        entries.emplace_back(setting.key, storedText(form, setting));
    }
    long long n = 0;
    for (std::size_t i = 0; i < maps.count(); ++i)
        if (maps.selected[i])
            entries.emplace_back(mapValueName(++n), mapName(maps.entries[i]));
    return entries;
}

void saveSettings(Registry& registry, const SettingsForm& form) {
    const auto entries = registryEntries(form);
    const auto mapCount = static_cast<std::int32_t>(form.mapList().selectedCount());
    registry.inTransaction([&] {
        registry.writeValue(kProgramRoot, kProgramKey, kMapCountValue, mapCount);
        for (const auto& [name, text] : entries)
            registry.writeValue(kProgramRoot, kProgramKey, name, text + " ");
        // Entries of an earlier, longer selection would otherwise linger after the new ones.
        // They are found by name, not through the old count, which may be missing or wrong
        // (a store that something else changed).
        for (const std::string& name : registry.valueNames(kProgramRoot, kProgramKey))
            if (const auto n = mapEntryNumber(name); n && *n > mapCount)
                registry.deleteValue(kProgramRoot, kProgramKey, name);
    });
}

RegistryLoad loadSettings(Registry& registry, SettingsForm& form) {
    RegistryLoad result;
    registry.inSnapshot([&] {
        for (const auto& setting : kStoredFields) {
            if (setting.stored == StoredKind::Utpath)
                continue;
            const auto value = readValue(registry, setting.key);
            const auto text = value ? asText(*value) : std::nullopt;
            bool applied = false;
            if (text) {
                try {
                    applied = apply(form, setting, *text);
                } catch (const Error& e) {
                    if (e.number() != errc::InvalidProperty)
                        throw;
                }
            }
            if (!applied)
                result.skipped.emplace_back(setting.key);
        }

        // The maps: every stored name is hashed, then the list is walked once.
        const auto countValue = readValue(registry, kMapCountValue);
        const auto countText = countValue ? asText(*countValue) : std::nullopt;
        const auto count = countText ? asInt16(withoutBlanks(*countText)) : std::nullopt;
        if (!count) {
            result.skipped.emplace_back(kMapCountValue);
            return; // the current selection stays
        }
        result.mapCount = *count;
        std::unordered_set<std::string> wanted;
        for (int n = 1; n <= *count; ++n) {
            const auto value = readValue(registry, mapValueName(n));
            const auto text = value ? asText(*value) : std::nullopt;
            if (!text) {
                result.skipped.push_back(mapValueName(n));
                continue;
            }
            wanted.insert(mapEntryOf(withoutBlanks(*text)));
        }
        const auto& entries = form.mapList().entries;
        std::vector<bool> selected(entries.size(), false);
        for (std::size_t i = 0; i < entries.size(); ++i)
            selected[i] = wanted.count(entries[i]) > 0;
        form.setMapSelection(std::move(selected));
    });
    return result;
}

std::string storedPathToGameFolder(std::string_view stored, char sep) {
    return game::withSeparator(trimRightBlanks(stored), sep);
}

} // namespace quarnel
