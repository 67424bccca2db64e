#include "launch/LaunchFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel {
namespace {

struct MutatorCase {
    const char* name;
    std::vector<int> boxes; // mutatorBox indexes that are set
    std::string extra;      // txtMutator
    int arena;              // arena
    std::string expected;
};

class MutatorLine : public ::testing::TestWithParam<MutatorCase> {};

TEST_P(MutatorLine, JoinsBoxesExtraTextAndArena) {
    const MutatorCase& c = GetParam();
    ServerSettings settings = ServerSettings::design();
    for (const int box : c.boxes)
        settings.checks[index(mutatorBox(box))] = true;
    settings.texts[index(Text::ExtraMutators)] = c.extra;
    settings.arena = c.arena;
    EXPECT_EQ(mutatorLine(settings), c.expected);
}

using M = MutatorCase;
INSTANTIATE_TEST_SUITE_P(
    Lists, MutatorLine,
    ::testing::Values(
        M{"BigHeadLowGrav", {0, 2}, "", 0, "UnrealGame.MutBigHead,UnrealGame.MutLowGrav"},
        M{"BigHeadInstagib", {0}, "", 2, "UnrealGame.MutBigHead,XGame.MutInstaGib"},
        M{"ArenaAlone", {}, "", 1, "XWeapons.MutArena"},
        M{"VampireExtraZoom",
          {7},
          "Pkg.MutA,",
          4,
          "XGame.MutVampire,Pkg.MutA,XGame.MutZoomInstagib"},
        M{"ExtraTextAlone", {}, "Pkg.MutA,Pkg.MutB,", 0, "Pkg.MutA,Pkg.MutB"},
        M{"ExtraWithoutCommaGluedToArena", {}, "Pkg.MutA", 1, "Pkg.MutAXWeapons.MutArena"},
        M{"OnlyOneCommaRemoved", {}, "Pkg.MutA,,", 0, "Pkg.MutA,"},
        M{"SingleCommaGivesNothing", {}, ",", 0, ""},
        M{"LeadingCommaStays", {}, ",Pkg.MutA", 0, ",Pkg.MutA"}, M{"NothingAtAll", {}, "", 0, ""},
        M{"BlanksPassThrough", {}, "Pkg.Mut A, Pkg.MutB", 0, "Pkg.Mut A, Pkg.MutB"},
        M{"AllEightBoxesWithArenaKeepTheComma",
          {0, 1, 2, 3, 4, 5, 6, 7},
          "",
          3,
          "UnrealGame.MutBigHead,XGame.MutHeliumCorpses,UnrealGame.MutLowGrav,"
          "XGame.MutNoAdrenaline,XGame.MutQuadJump,XGame.MutRegen,XGame.MutSlomoDeath,"
          "XGame.MutVampire,XWeapons.MutNoSuperWeapon"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quarnel
