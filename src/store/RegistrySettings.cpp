#include "store/RegistrySettings.h"

#include "common/Error.h"
#include "common/Text.h"
#include "settings/FieldCheck.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_set>

namespace quarnel {

namespace {

constexpr RegRoot kRoot = RegRoot::LocalMachine;
constexpr std::string_view kMapExtension = ".ut2";

std::string keyName(std::string_view caption) {
    return nospaces(caption);
}

std::vector<StoredSetting> buildSettings() {
    std::vector<StoredSetting> table;
    auto text = [&](Text t, StoredKind kind) {
        table.push_back({keyName(control(t).caption), kind, static_cast<int>(t)});
    };
    auto flag = [&](Check c) {
        table.push_back({keyName(control(c).caption), StoredKind::Flag, static_cast<int>(c)});
    };
    auto number = [&](Scroll s) {
        table.push_back({keyName(control(s).caption), StoredKind::Number, static_cast<int>(s)});
    };

    table.push_back({std::string(kUtpathValue), StoredKind::Utpath, -1});
    table.push_back({keyName(caption::frmGameType), StoredKind::GameType, -1});
    text(Text::TimeLimit, StoredKind::StripText);
    text(Text::GoalLimit, StoredKind::StripText);
    text(Text::MaxLives, StoredKind::StripText);
    for (int i = 0; i < 4; ++i)
        flag(chkGameOptions(i));
    number(Scroll::AirControl);
    number(Scroll::GameSpeed);
    number(Scroll::FriendlyFire);
    number(Scroll::SpawnProtection);
    table.push_back({keyName(caption::lblMutators), StoredKind::Arena, -1});
    for (int i = 0; i < 8; ++i)
        flag(chkMutator(i));
    table.push_back({"Mutators", StoredKind::TypedText, static_cast<int>(Text::Mutator)});
    flag(Check::UseBots);
    flag(Check::BotSkill);
    number(Scroll::MinPlayers);
    table.push_back({keyName(caption::lblBotSkill), StoredKind::BotSkill, -1});
    for (Text t : {Text::ServerName, Text::ShortServerName, Text::AdminName, Text::AdminEmail,
                   Text::MOTD1, Text::MOTD2, Text::MOTD3, Text::MOTD4})
        text(t, StoredKind::TrimText);
    text(Text::AdminPassword, StoredKind::StripText);
    text(Text::GamePassword, StoredKind::StripText);
    flag(Check::Webadmin);
    for (Text t : {Text::webport, Text::Port, Text::netspeed, Text::lanspeed, Text::nettickrate,
                   Text::lantickrate})
        text(t, StoredKind::StripText);
    table.push_back({"xoptions", StoredKind::TrimText, static_cast<int>(Text::CmdLineOptions)});
    for (int i = 0; i <= 10; ++i)
        flag(chkServerOptions(i));
    number(Scroll::MaxSpectators);
    number(Scroll::MaxPlayers);
    number(Scroll::NetStartDelay);
    flag(Check::MapRotation);
    return table;
}

std::string mapValueName(long long n) {
    return "Map" + std::to_string(n);
}

// The stored text of a game folder: the folder less its final separator. An empty folder
// (the game not found) is stored empty, so the next start finds no folder there and asks
// the next source.
std::string utpathToStored(const std::string& utpath) {
    if (!utpath.empty() && (utpath.back() == '\\' || utpath.back() == '/'))
        return utpath.substr(0, utpath.size() - 1);
    return utpath;
}

std::string storedText(const SettingsForm& form, const StoredSetting& setting) {
    const ServerSettings& values = form.settings();
    switch (setting.kind) {
    case StoredKind::Utpath:
        return utpathToStored(form.utpath());
    case StoredKind::GameType: {
        const int type = values.optGameType;
        if (type >= 0 && type < kGameTypeOther)
            return nospaces(kGameTypes[static_cast<std::size_t>(type)].caption);
        return nospaces(values.txt(Text::Gametype));
    }
    case StoredKind::StripText:
        return nospaces(values.texts[static_cast<std::size_t>(setting.id)]);
    case StoredKind::TrimText:
    case StoredKind::TypedText:
        return values.texts[static_cast<std::size_t>(setting.id)];
    case StoredKind::Flag:
        return values.checks[static_cast<std::size_t>(setting.id)] ? "1" : "0";
    case StoredKind::Number:
        return std::to_string(values.scrolls[static_cast<std::size_t>(setting.id)]);
    case StoredKind::Arena:
        return nospaces(kArenaOptions[static_cast<std::size_t>(values.optMutator)].caption);
    case StoredKind::BotSkill:
        return nospaces(values.botSkillText());
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

// A stored text as a 16-bit integer, as the conversion of the original program reads it: a
// plain number, rounded to the nearest whole number (a half to the even one).
std::optional<int> asInt16(std::string_view text) {
    const auto number = parsePlainNumber(text);
    if (!number)
        return std::nullopt;
    const double rounded = std::nearbyint(*number);
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<int>(rounded);
}

// Reads a value with the default " "; nullopt when it is absent or unreadable.
std::optional<RegValue> readValue(MRegistry& registry, std::string_view name) {
    try {
        return registry.readregvalue(kRoot, kProgramKey, name, std::string(" "));
    } catch (const Error&) {
        return std::nullopt;
    }
}

// Puts one stored text into its control; false when the control does not take it.
bool apply(SettingsForm& form, const StoredSetting& setting, const std::string& stored) {
    switch (setting.kind) {
    case StoredKind::Utpath:
        return true;
    case StoredKind::GameType: {
        const std::string word = nospaces(stored);
        for (int i = 0; i < kGameTypeOther; ++i) {
            if (word == nospaces(kGameTypes[static_cast<std::size_t>(i)].caption)) {
                form.setGame(i);
                form.selectGameType(i);
                return true;
            }
        }
        form.setGame(kGameTypeOther);
        form.selectGameType(kGameTypeOther);
        form.setText(Text::Gametype, word);
        return true;
    }
    case StoredKind::StripText:
    case StoredKind::TypedText:
        form.setText(static_cast<Text>(setting.id), nospaces(stored));
        return true;
    case StoredKind::TrimText:
        form.setText(static_cast<Text>(setting.id), trimRightBlanks(stored));
        return true;
    case StoredKind::Flag: {
        const auto number = asInt16(nospaces(stored));
        if (!number)
            return false;
        form.setChecked(static_cast<Check>(setting.id), *number != 0);
        return true;
    }
    case StoredKind::Number: {
        const auto number = asInt16(nospaces(stored));
        if (!number)
            return false;
        form.setScroll(static_cast<Scroll>(setting.id), *number);
        return true;
    }
    case StoredKind::Arena: {
        const std::string word = nospaces(stored);
        for (int i = 0; i < kArenaCount; ++i) {
            if (word == nospaces(kArenaOptions[static_cast<std::size_t>(i)].caption)) {
                form.selectArena(i);
                return true;
            }
        }
        return false;
    }
    case StoredKind::BotSkill:
        form.setBotSkillText(nospaces(stored));
        return true;
    }
    return false;
}

// Deletes Map<first> to Map<last>; true when every deletion succeeded.
bool removeMapRange(MRegistry& registry, long long first, long long last) {
    bool all = true;
    for (long long n = first; n <= last; ++n)
        if (!registry.deleteregvalue(kRoot, kProgramKey, mapValueName(n)))
            all = false;
    return all;
}

// The map count of the last save, 0 when there is none that reads as a count.
long long storedMapCount(MRegistry& registry) {
    const auto value = readValue(registry, kMapCountValue);
    const auto text = value ? asText(*value) : std::nullopt;
    const auto count = text ? asInt16(nospaces(*text)) : std::nullopt;
    return count ? *count : 0;
}

} // namespace

const std::vector<StoredSetting>& storedSettings() {
    static const std::vector<StoredSetting> table = buildSettings();
    return table;
}

std::vector<std::pair<std::string, std::string>> registryEntries(const SettingsForm& form) {
    std::vector<std::pair<std::string, std::string>> entries;
    const MapList& maps = form.mapList();
    entries.reserve(storedSettings().size() + maps.selectedCount());
    for (const auto& setting : storedSettings()) {
        if (setting.kind == StoredKind::Arena && form.arena() < 0)
            continue; // no arena option selected: no entry
        entries.emplace_back(setting.name, storedText(form, setting));
    }
    long long n = 0;
    for (std::size_t i = 0; i < maps.count(); ++i)
        if (maps.selected[i])
            entries.emplace_back(mapValueName(++n), removeAll(maps.entries[i], kMapExtension));
    return entries;
}

void savetoreg(MRegistry& registry, const SettingsForm& form) {
    const auto entries = registryEntries(form);
    const auto mapCount = static_cast<std::int32_t>(form.mapList().selectedCount());
    registry.inTransaction([&] {
        const long long oldCount = storedMapCount(registry);
        registry.writeregvalue(kRoot, kProgramKey, kMapCountValue, mapCount);
        for (const auto& [name, text] : entries)
            registry.writeregvalue(kRoot, kProgramKey, name, text + " ");
        // Entries of an earlier, longer selection would otherwise linger after the new ones.
        removeMapRange(registry, static_cast<long long>(mapCount) + 1, oldCount);
    });
}

RegistryLoad loadfromreg(MRegistry& registry, SettingsForm& form) {
    RegistryLoad result;
    registry.inSnapshot([&] {
        for (const auto& setting : storedSettings()) {
            if (setting.kind == StoredKind::Utpath)
                continue;
            const auto value = readValue(registry, setting.name);
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
                result.skipped.push_back(setting.name);
        }

        // The maps: every stored name is hashed, then the list is walked once.
        const auto countValue = readValue(registry, kMapCountValue);
        const auto countText = countValue ? asText(*countValue) : std::nullopt;
        const auto count = countText ? asInt16(nospaces(*countText)) : std::nullopt;
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
            wanted.insert(nospaces(*text) + std::string(kMapExtension));
        }
        const auto& entries = form.mapList().entries;
        std::vector<bool> selected(entries.size(), false);
        for (std::size_t i = 0; i < entries.size(); ++i)
            selected[i] = wanted.count(entries[i]) > 0;
        form.setMapSelection(std::move(selected));
    });
    return result;
}

bool removemaps(MRegistry& registry, int nummaps) {
    return removeMapRange(registry, 1, nummaps);
}

std::string storedPathToUtpath(std::string_view stored, char sep) {
    std::string path = trimRightBlanks(stored);
    if (path.empty())
        return path;
    if (path.back() != sep)
        path += sep;
    return path;
}

} // namespace quarnel
