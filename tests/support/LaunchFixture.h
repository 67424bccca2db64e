#pragma once

#include "ExpectError.h"
#include "TempDir.h"
#include "common/Text.h"
#include "settings/SettingsForm.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel::test {

// The line of the worked example: game folder C:\UT2003\, DM-Example.ut2, Deathmatch, the
// design values, Weapons Stay and Weapon Throwing set, bot skill "Experienced".
inline const std::string kExampleLine =
    "C:\\UT2003\\system\\ucc.exe server "
    "DM-Example?Game=XGame.xDeathMatch?GameSpeed=1?WeaponStay=True?Translocator=False?"
    "FriendlyFireScale=0?GoalScore=35?TimeLimit=15?MaxLives=0?AllowThrowing=True?"
    "ForceRespawn=False?GameStats=False?BalanceTeams=False?MaxPlayers=16?MaxSpectators=2?"
    "AdminName=?AdminPassword=?GamePassword=?PlayersMustBeReady=False?AllowBehindview=False?"
    "difficulty=2 INI=quarnel.ini -log=quarnel.log";
inline const std::string kExampleArguments = kExampleLine.substr(kExampleLine.find(" server "));

// line with each text replaced (every replaced text must be there).
using Edits = std::vector<std::pair<std::string, std::string>>;
inline std::string exampleWith(const Edits& edits, std::string line = kExampleLine) {
    for (const auto& [what, with] : edits) {
        EXPECT_NE(line.find(what), std::string::npos) << what;
        line = replaceAll(line, what, with);
    }
    return line;
}

// A settings form in the state of the worked example; its maps folder holds DM-Example.ut2.
struct ExampleForm {
    explicit ExampleForm(std::string gameFolder = "C:\\UT2003\\") {
        dir.writeFile("maps/DM-Example.ut2", "map");
        form.setGameFolder(std::move(gameFolder));
        form.selectGameType(2);
        form.selectArena(0);
        form.setBotSkillText("Experienced");
        form.setChecked(Check::WeaponsStay, true);
        form.setChecked(Check::WeaponThrowing, true);
        pointAtMaps();
    }
    // Reads the maps folder again (after a change of game type), selects the first entry.
    void pointAtMaps() {
        form.setMapFolder((dir.path() / "maps").string());
        if (form.mapList().count() > 0)
            form.setMapSelected(0, true);
    }
    TempDir dir;
    SettingsForm form;
};

// Runs a write that must fail with error; file keeps its bytes, its folder gains no file.
inline void expectFailureLeaves(const std::filesystem::path& file, int error,
                                const std::function<void()>& write) {
    const std::string old = readFile(file);
    const auto before = namesIn(file.parent_path());
    expectError(error, write);
    EXPECT_EQ(readFile(file), old);
    EXPECT_EQ(namesIn(file.parent_path()), before);
}

} // namespace quarnel::test
