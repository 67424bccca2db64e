#include "store/RememberedSettings.h"

#include "common/Error.h"
#include "game/Installation.h"
#include "store/ConfigFile.h"

#include <array>
#include <optional>
#include <variant>

namespace quarnel {

namespace {

constexpr RegRoot kRoot = RegRoot::LocalMachine;

// A stored folder text as a game folder; a value that is absent or no text is no folder.
std::string storedFolder(Registry& registry, std::string_view key, std::string_view name) {
    try {
        const RegValue value = registry.readValue(kRoot, key, name, std::string(" "));
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

RegistryLoad restoreStoredSettings(Registry& registry, SettingsForm& form) {
    form.setGameFolder(storedFolder(registry, kProgramKey, kUtpathValue));
    pointMapListAtGame(form);
    RegistryLoad load;
    try {
        load = loadSettings(registry, form);
        form.selectGameType(form.game());
    } catch (const Error&) {
    }
    return load;
}

void useGameEntry(Registry& registry, SettingsForm& form) {
    form.setGameFolder(storedFolder(registry, kGameKey, kGameFolderValue));
    pointMapListAtGame(form);
}

RememberedSettings rememberedSettings(Registry& registry, const std::string& appFolder) {
    RememberedSettings result;
    SettingsForm& form = result.form;
    form.setAppFolder(appFolder);

    result.firstRun = !registry.keyExists(kRoot, kProgramKey);
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
        if (!registry.keyExists(kRoot, kProgramKey)) {
            registry.createKey(kRoot, kProgramKey);
            registry.writeValue(kRoot, kProgramKey, kPathValue, appFolder);
        }
        saveSettings(registry, form);
    });
}

} // namespace quarnel
