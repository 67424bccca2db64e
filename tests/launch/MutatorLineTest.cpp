#include "launch/LaunchFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quarnel {
namespace {

struct MutatorCase {
    const char* name;
    std::vector<int> boxes; // chkMutator indexes that are set
    std::string extra;      // txtMutator
    int arena;              // optMutator
    std::string expected;
};

class MutatorLine : public ::testing::TestWithParam<MutatorCase> {};

TEST_P(MutatorLine, JoinsBoxesExtraTextAndArena) {
    const MutatorCase& c = GetParam();
    ServerSettings settings = ServerSettings::design();
    for (const int box : c.boxes)
        settings.checks[index(chkMutator(box))] = true;
    settings.texts[index(Text::Mutator)] = c.extra;
    settings.optMutator = c.arena;
    EXPECT_EQ(buildmutatorline(settings), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, MutatorLine,
    ::testing::Values(
        MutatorCase{"BigHeadLowGrav", {0, 2}, "", 0, "UnrealGame.MutBigHead,UnrealGame.MutLowGrav"},
        MutatorCase{"BigHeadInstagib", {0}, "", 2, "UnrealGame.MutBigHead,XGame.MutInstaGib"},
        MutatorCase{"ArenaAlone", {}, "", 1, "XWeapons.MutArena"},
        MutatorCase{"VampireExtraZoom",
                    {7},
                    "Pkg.MutA,",
                    4,
                    "XGame.MutVampire,Pkg.MutA,XGame.MutZoomInstagib"},
        MutatorCase{"ExtraTextAlone", {}, "Pkg.MutA,Pkg.MutB,", 0, "Pkg.MutA,Pkg.MutB"},
        MutatorCase{
            "ExtraWithoutCommaGluedToArena", {}, "Pkg.MutA", 1, "Pkg.MutAXWeapons.MutArena"},
        MutatorCase{"OnlyOneCommaRemoved", {}, "Pkg.MutA,,", 0, "Pkg.MutA,"},
        MutatorCase{"SingleCommaGivesNothing", {}, ",", 0, ""},
        MutatorCase{"LeadingCommaStays", {}, ",Pkg.MutA", 0, ",Pkg.MutA"},
        MutatorCase{"NothingAtAll", {}, "", 0, ""},
        MutatorCase{"NoSuperWeapons", {}, "", 3, "XWeapons.MutNoSuperWeapon"},
        MutatorCase{"BlanksPassThrough", {}, "Pkg.Mut A, Pkg.MutB", 0, "Pkg.Mut A, Pkg.MutB"},
        MutatorCase{"AllEightBoxes",
                    {0, 1, 2, 3, 4, 5, 6, 7},
                    "",
                    0,
                    "UnrealGame.MutBigHead,XGame.MutHeliumCorpses,UnrealGame.MutLowGrav,"
                    "XGame.MutNoAdrenaline,XGame.MutQuadJump,XGame.MutRegen,XGame.MutSlomoDeath,"
                    "XGame.MutVampire"},
        MutatorCase{"AllEightBoxesWithArenaKeepTheComma",
                    {0, 1, 2, 3, 4, 5, 6, 7},
                    "",
                    1,
                    "UnrealGame.MutBigHead,XGame.MutHeliumCorpses,UnrealGame.MutLowGrav,"
                    "XGame.MutNoAdrenaline,XGame.MutQuadJump,XGame.MutRegen,XGame.MutSlomoDeath,"
                    "XGame.MutVampire,XWeapons.MutArena"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quarnel
