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
std::string storedFolder(Registry& registry, RegRoot root, std::string_view key,
                         std::string_view name) {
    try {
        const RegValue value = registry.readValue(root, key, name, std::string(" "));
        if (const auto* text = std::get_if<std::string>(&value))
            return storedPathToGameFolder(*text);
    } catch (const Error&) {
    }
    return {};
}

} // namespace

void pointMapListAtGame(SettingsForm& form) {
    const std::string& gameFolder = form.gameFolder();
    form.setMapFolder(gameFolder.empty() ? form.appFolder() : game::mapsFolder(gameFolder));
}

namespace {

RegistryLoad restore(Registry& registry, SettingsForm& form) {
    form.setGameFolder(storedFolder(registry, kProgramRoot, kProgramKey, kUtpathValue));
    // The first-run settings are the defaults of every start: what the store lacks, or holds
    // in a form that does not convert, keeps its first-run value, so a first run that was
    // killed before its save (the key with Path only) starts as a first run does.
    form.applyFirstRunDefaults();
    form.setGame(form.gameType());
    pointMapListAtGame(form);
    RegistryLoad load;
    try {
        load = loadSettings(registry, form);
        form.selectGameType(form.game());
    } catch (const Error&) {
    }
    return load;
}

} // namespace

RegistryLoad restoreStoredSettings(Registry& registry, SettingsForm& form) {
    RegistryLoad load;
    form.loadAtOnce([&] { load = restore(registry, form); });
    return load;
}

void useGameEntry(Registry& registry, SettingsForm& form) {
    form.setGameFolder(storedFolder(registry, kGameRoot, kGameKey, kGameFolderValue));
    pointMapListAtGame(form);
}

RememberedSettings rememberedSettings(Registry& registry, const std::string& appFolder) {
    RememberedSettings result;
    SettingsForm& form = result.form;
    form.setAppFolder(appFolder);

    result.firstRun = !registry.keyExists(kProgramRoot, kProgramKey);
    if (result.firstRun)
        form.applyFirstRunDefaults();
    else
        result.load = restoreStoredSettings(registry, form);
    if (!game::folderExists(form.gameFolder()))
        useGameEntry(registry, form);

    form.offerBonusPackTypes(game::hasBonusPack(form.gameFolder()));
    form.bringPanelsInStep();
    return result;
}

RememberedSettings exportRememberedSettings(Registry& registry, const std::string& appFolder,
                                            const std::string& cfgFile, bool overwrite) {
    RememberedSettings result = rememberedSettings(registry, appFolder);
    writeConfigFile(result.form, cfgFile, overwrite);
    return result;
}

void rememberSettings(Registry& registry, const SettingsForm& form, const std::string& appFolder) {
    registry.inTransaction([&] {
        if (!registry.keyExists(kProgramRoot, kProgramKey)) {
            registry.createKey(kProgramRoot, kProgramKey);
            registry.writeValue(kProgramRoot, kProgramKey, kPathValue, appFolder);
        }
        saveSettings(registry, form);
    });
}

} // namespace quarnel
