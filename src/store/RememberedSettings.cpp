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
std::string storedFolder(MRegistry& registry, std::string_view key, std::string_view name) {
    try {
        const RegValue value = registry.readregvalue(kRoot, key, name, std::string(" "));
        if (const auto* text = std::get_if<std::string>(&value))
            return storedPathToUtpath(*text);
    } catch (const Error&) {
    }
    return {};
}

// Points the map list at the game's maps folder, or at the program's folder without one.
void pointMapList(SettingsForm& form, const std::string& utpath, const std::string& apppath) {
    const std::string maps = utpath.empty() ? std::string() : game::mapsFolder(utpath);
    form.setMapFolder(game::folderExists(maps) ? maps : apppath);
}

} // namespace

RememberedSettings rememberedSettings(MRegistry& registry, const std::string& apppath) {
    RememberedSettings result;
    SettingsForm& form = result.form;
    form.setApppath(apppath);

    result.firstRun = !registry.regkeyexists(kRoot, kProgramKey);
    if (result.firstRun) {
        form.applyFirstRunDefaults();
    } else {
        const std::string utpath = storedFolder(registry, kProgramKey, kUtpathValue);
        form.setUtpath(utpath);
        pointMapList(form, utpath, apppath);
        result.load = loadfromreg(registry, form);
    }

    if (!game::folderExists(form.utpath())) {
        const std::string utpath = storedFolder(registry, kGameKey, kGameFolderValue);
        form.setUtpath(utpath);
        pointMapList(form, utpath, apppath);
    }

    const bool bonusPack = game::hasBonusPack(form.utpath());
    for (int type : {7, 6, 5})
        form.setGameTypeEnabled(type, bonusPack);
    form.chkUseBots_Click();
    form.chkWebadmin_Click();
    for (const auto& bar : kScrollControls)
        form.scl_Change(bar.id);
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
        if (!registry.regkeyexists(kRoot, kProgramKey)) {
            registry.createregkey(kRoot, kProgramKey);
            registry.writeregvalue(kRoot, kProgramKey, kPathValue, apppath);
        }
        savetoreg(registry, form);
    });
}

} // namespace quarnel
