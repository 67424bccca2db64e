#include "store/ConfigForm.h"

#include "common/Text.h"
#include "game/Installation.h"
#include "store/ConfigFile.h"

#include <map>

namespace quarnel {

namespace {

// Puts each override into the line of its key, the file extended with empty lines when it
// ends before that line. Returns the overrides by the 0-based position they replaced.
std::map<std::size_t, ConfigOverride> applyOverrides(std::vector<std::string>& lines,
                                                     const std::vector<ConfigOverride>& overrides) {
    std::map<std::size_t, ConfigOverride> replaced;
    for (const ConfigOverride& given : overrides) {
        std::size_t pos = 0;
        while (pos < kCfgFixedLines && !equalsNoCase(kCfgLines[pos].key, given.key))
            ++pos;
        if (pos == kCfgFixedLines)
            throw OverrideError(
                Error(errc::InvalidProperty, "no such setting in a configuration file"), given);
        if (lines.size() <= pos)
            lines.resize(pos + 1);
        lines[pos] = std::string(kCfgLines[pos].key) + "=" + given.value;
        replaced[pos] = given;
    }
    return replaced;
}

} // namespace

std::optional<ConfigOverride> parseOverride(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return std::nullopt;
    return ConfigOverride{std::string(text.substr(0, equals)),
                          std::string(text.substr(equals + 1))};
}

namespace {

void fillFromConfig(SettingsForm& form, const ConfigSource& source) {
    std::vector<std::string> lines = readConfigLines(source.cfgPath);
    const auto replaced = applyOverrides(lines, source.overrides);

    form.setAppFolder(game::withSeparator(source.programFolder));
    form.applyFirstRunDefaults();

    std::string folder;
    if (source.gameDir)
        folder = *source.gameDir;
    else if (!lines.empty())
        folder = removeAll(lines.front(), "UTPATH=");
    form.setGameFolder(game::withSeparator(std::move(folder)));

    // The first-run game type read the list before the game folder was known: point it at
    // the maps folder now, by the game-type rule (the current folder when it is missing).
    form.gameTypeClicked(form.gameType());
    form.offerBonusPackTypes(game::hasBonusPack(form.gameFolder()));
    form.bringPanelsInStep();

    try {
        applyConfigLines(form, lines, form.gameFolder());
    } catch (const ConfigLoadError& e) {
        if (const auto it = replaced.find(e.line() - 1); e.line() > 0 && it != replaced.end())
            throw OverrideError(e, it->second);
        throw;
    }
}

} // namespace

void formFromConfig(SettingsForm& form, const ConfigSource& source) {
    form.loadAtOnce([&] { fillFromConfig(form, source); });
}

} // namespace quarnel
