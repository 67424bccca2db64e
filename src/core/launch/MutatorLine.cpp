#include "launch/LaunchFiles.h"

#include <array>

namespace quarnel {

namespace {

// The classes of the eight mutator boxes, each with the comma that separates it from the next.
constexpr std::array<std::string_view, kMutatorCount> kMutatorClasses = {
    "UnrealGame.MutBigHead,", "XGame.MutHeliumCorpses,", "UnrealGame.MutLowGrav,",
    "XGame.MutNoAdrenaline,", "XGame.MutQuadJump,",      "XGame.MutRegen,",
    "XGame.MutSlomoDeath,",   "XGame.MutVampire,"};

// The arena classes by option index; "None" adds nothing.
constexpr std::array<std::string_view, kArenaCount> kArenaClasses = {
    "", "XWeapons.MutArena", "XGame.MutInstaGib", "XWeapons.MutNoSuperWeapon",
    "XGame.MutZoomInstagib"};

void dropOneTrailingComma(std::string& list) {
    if (!list.empty() && list.back() == ',')
        list.pop_back();
}

} // namespace

std::string mutatorLine(const ServerSettings& settings) {
    std::string list;
    for (int i = 0; i < static_cast<int>(kMutatorClasses.size()); ++i)
        if (settings.mutator(i))
            list += kMutatorClasses[static_cast<std::size_t>(i)];

    // The comma after the last class is kept only when an arena class follows it.
    const bool none = settings.arena == 0;
    list += settings.text(Text::ExtraMutators);
    if (none)
        dropOneTrailingComma(list);
    else if (settings.arena > 0 && settings.arena < kArenaCount)
        list += kArenaClasses[static_cast<std::size_t>(settings.arena)];
    return list;
}

} // namespace quarnel
