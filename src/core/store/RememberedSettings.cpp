#include "store/RememberedSettings.h"

#include "common/Error.h"
#include "game/Installation.h"
#include "store/ConfigFile.h"

#include <array>
#include <optional>
#include <variant>

namespace quarnel {

namespace {

// A stored folder text as a game folder; a value that is absent or no text is no folder.
std::string storedFolder(MRegistry& registry, RegRoot root, std::string_view key,
                         std::string_view name) {
    try {
        const RegValue value = registry.readregvalue(root, key, name, std::string(" "));
        if (const auto* text = std::get_if<std::string>(&value))
            return storedPathToUtpath(*text);
    } catch (const Error&) {
    }
    return {};
}

} // namespace

void pointMapListAtGame(SettingsForm& form) {
    const std::string& utpath = form.utpath();
    form.setMapFolder(utpath.empty() ? form.apppath() : game::mapsFolder(utpath));
}

RegistryLoad restoreStoredSettings(MRegistry& registry, SettingsForm& form) {
    form.setUtpath(storedFolder(registry, kProgramRoot, kProgramKey, kUtpathValue));
    // The first-run settings are the defaults of every start: what the store lacks, or holds
    // in a form that does not convert, keeps its first-run value, so a first run that was
    // killed before its save (the key with Path only) starts as a first run does.
    form.applyFirstRunDefaults();
    form.setGame(form.gameType());
    pointMapListAtGame(form);
    RegistryLoad load;
    try {
        load = loadfromreg(registry, form);
        form.selectGameType(form.game());
    } catch (const Error&) {
    }
    return load;
}

void useGameEntry(MRegistry& registry, SettingsForm& form) {
    form.setUtpath(storedFolder(registry, kGameRoot, kGameKey, kGameFolderValue));
    pointMapListAtGame(form);
}

RememberedSettings rememberedSettings(MRegistry& registry, const std::string& apppath) {
    RememberedSettings result;
    SettingsForm& form = result.form;
    form.setApppath(apppath);

    result.firstRun = !registry.regkeyexists(kProgramRoot, kProgramKey);
    if (result.firstRun)
        form.applyFirstRunDefaults();
    else
        result.load = restoreStoredSettings(registry, form);
    if (!game::folderExists(form.utpath()))
        useGameEntry(registry, form);

    form.offerBonusPackTypes(game::hasBonusPack(form.utpath()));
    form.bringPanelsInStep();
    return result;
}

RememberedSettings exportRememberedSettings(MRegistry& registry, const std::string& apppath,
                                            const std::string& cfgFile, bool overwrite) {
    RememberedSettings result = rememberedSettings(registry, apppath);
    createconfig(result.form, cfgFile, overwrite);
    return result;
}

void rememberSettings(MRegistry& registry, const SettingsForm& form, const std::string& apppath) {
    registry.inTransaction([&] {
        if (!registry.regkeyexists(kProgramRoot, kProgramKey)) {
            registry.createregkey(kProgramRoot, kProgramKey);
            registry.writeregvalue(kProgramRoot, kProgramKey, kPathValue, apppath);
        }
        savetoreg(registry, form);
    });
}

} // namespace quarnel
