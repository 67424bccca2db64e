#include "store/SettingsTable.h"

#include "common/Text.h"

namespace quarnel {

namespace {

constexpr int id(Check c) {
    return static_cast<int>(c);
}
constexpr int id(Text t) {
    return static_cast<int>(t);
}
constexpr int id(Scroll s) {
    return static_cast<int>(s);
}

constexpr StoredField text(Text t, std::string_view key, CfgKind kind, StoredKind stored) {
    return {key, kind, stored, id(t)};
}
constexpr StoredField number(Text t, std::string_view key) {
    return text(t, key, CfgKind::Number, StoredKind::StripText);
}
constexpr StoredField freeText(Text t, std::string_view key) {
    return text(t, key, CfgKind::RawText, StoredKind::TrimText);
}
constexpr StoredField bar(Scroll s, std::string_view key) {
    return {key, CfgKind::Scroll, StoredKind::Number, id(s)};
}
constexpr StoredField box(Check c, std::string_view key, CfgKind kind = CfgKind::CheckLastChar) {
    return {key, kind, StoredKind::Flag, id(c)};
}
constexpr StoredField serverOption(int i, std::string_view key) {
    return box(chkServerOptions(i), key, CfgKind::ServerOption);
}

} // namespace

const std::array<StoredField, kStoredFieldCount> kStoredFields = {{
    {"UTPATH", CfgKind::Utpath, StoredKind::Utpath, -1},
    {"GameType", CfgKind::GameType, StoredKind::GameType, -1},
    number(Text::TimeLimit, "TimeLimit"),
    number(Text::GoalLimit, "GoalLimit"),
    number(Text::MaxLives, "MaxLives"),
    box(chkGameOptions(0), "WeaponsStay"),
    box(chkGameOptions(1), "Translocator"),
    box(chkGameOptions(2), "WeaponThrowing"),
    box(chkGameOptions(3), "ForceRespawn"),
    bar(Scroll::AirControl, "AirControl"),
    bar(Scroll::GameSpeed, "GameSpeed"),
    bar(Scroll::FriendlyFire, "FriendlyFire"),
    bar(Scroll::SpawnProtection, "SpawnProtectionTime"),
    {"ArenaOptions", CfgKind::Arena, StoredKind::Arena, -1},
    box(chkMutator(0), "BigHead"),
    box(chkMutator(1), "FloatyCadavers"),
    box(chkMutator(2), "LowGrav"),
    box(chkMutator(3), "NoAdrenaline"),
    box(chkMutator(4), "QuadJump"),
    box(chkMutator(5), "Regeneration"),
    box(chkMutator(6), "SlowMotionCorpses"),
    box(chkMutator(7), "Vampire"),
    text(Text::Mutator, "Mutators", CfgKind::RawText, StoredKind::TypedText),
    box(Check::UseBots, "UseBots"),
    box(Check::BotSkill, "AdjustBotSkill"),
    bar(Scroll::MinPlayers, "MinPlayers"),
    {"BotsSkill", CfgKind::BotSkill, StoredKind::BotSkill, -1},
    freeText(Text::ServerName, "ServerName"),
    freeText(Text::ShortServerName, "ShortServerName"),
    freeText(Text::AdminName, "AdminName"),
    freeText(Text::AdminEmail, "AdminE-Mail"),
    freeText(Text::MOTD1, "MOTD1"),
    freeText(Text::MOTD2, "MOTD2"),
    freeText(Text::MOTD3, "MOTD3"),
    freeText(Text::MOTD4, "MOTD4"),
    text(Text::AdminPassword, "AdminPassword", CfgKind::BlankFreeText, StoredKind::StripText),
    text(Text::GamePassword, "GamePassword", CfgKind::BlankFreeText, StoredKind::StripText),
    box(Check::Webadmin, "EnableWebAdmin", CfgKind::CheckValue),
    number(Text::webport, "WebPort"),
    number(Text::Port, "GamePort"),
    number(Text::netspeed, "NetSpeed"),
    number(Text::lanspeed, "LANSpeed"),
    number(Text::nettickrate, "NetTickRate"),
    number(Text::lantickrate, "LANTickRate"),
    freeText(Text::CmdLineOptions, "xoptions"),
    serverOption(0, "WorldStatsLogging"),
    serverOption(1, "LANGame"),
    serverOption(2, "AllowAdminPausing"),
    serverOption(3, "AllowTaunts"),
    serverOption(4, "BrightSkins"),
    serverOption(5, "WaitForPlayers"),
    serverOption(6, "AllowBehindView"),
    serverOption(7, "BalanceTeams"),
    serverOption(8, "MegaSpeed"),
    serverOption(9, "MasterServerUplink"),
    serverOption(10, "GameSpyUplink"),
    bar(Scroll::MaxSpectators, "MaxSpectators"),
    bar(Scroll::MaxPlayers, "MaxPlayers"),
    bar(Scroll::NetStartDelay, "NetStartDelay"),
    box(Check::MapRotation, "UseMapRotation", CfgKind::CheckValue),
}};

std::string gameTypeWord(const ServerSettings& settings) {
    const int type = settings.optGameType;
    if (type >= 0 && type < kGameTypeOther)
        return nospaces(kGameTypes[static_cast<std::size_t>(type)].caption);
    return nospaces(settings.txt(Text::Gametype));
}

int gameTypeOfWord(std::string_view word) {
    for (int i = 0; i < kGameTypeOther; ++i)
        if (word == nospaces(kGameTypes[static_cast<std::size_t>(i)].caption))
            return i;
    return kGameTypeOther;
}

int arenaOfWord(std::string_view word) {
    for (int i = 0; i < kArenaCount; ++i)
        if (word == nospaces(kArenaOptions[static_cast<std::size_t>(i)].caption))
            return i;
    return -1;
}

} // namespace quarnel
