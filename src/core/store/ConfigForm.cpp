#include "store/ConfigForm.h"

#include "common/Text.h"
#include "game/Installation.h"
#include "store/ConfigFile.h"

namespace quarnel {

void formFromConfig(SettingsForm& form, const ConfigSource& source) {
    const std::vector<std::string> lines = readConfigLines(source.cfgPath);

    form.setApppath(game::withSeparator(source.programFolder));
    form.applyFirstRunDefaults();

    std::string folder;
    if (source.gameDir)
        folder = *source.gameDir;
    else if (!lines.empty())
        folder = removeAll(lines.front(), "UTPATH=");
    form.setUtpath(game::withSeparator(std::move(folder)));

    // The first-run game type read the list before the game folder was known: point it at
    // the maps folder now, by the game-type rule (the current folder when it is missing).
    form.optGameType_Click(form.gameType());
    form.offerBonusPackTypes(game::hasBonusPack(form.utpath()));
    form.bringPanelsInStep();

    applyConfigLines(form, lines, form.utpath());
}

} // namespace quarnel
