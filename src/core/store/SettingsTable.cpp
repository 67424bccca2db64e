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
    return box(serverOptionBox(i), key, CfgKind::ServerOption);
}

} // namespace

const std::array<StoredField, kStoredFieldCount> kStoredFields = {{
    {"UTPATH", CfgKind::Utpath, StoredKind::Utpath, -1},
    {"GameType", CfgKind::GameType, StoredKind::GameType, -1},
    number(Text::TimeLimit, "TimeLimit"),
    number(Text::GoalLimit, "GoalLimit"),
    number(Text::MaxLives, "MaxLives"),
    box(Check::WeaponsStay, "WeaponsStay"),
    box(Check::Translocator, "Translocator"),
    box(Check::WeaponThrowing, "WeaponThrowing"),
    box(Check::ForceRespawn, "ForceRespawn"),
    bar(Scroll::AirControl, "AirControl"),
    bar(Scroll::GameSpeed, "GameSpeed"),
    bar(Scroll::FriendlyFire, "FriendlyFire"),
    bar(Scroll::SpawnProtection, "SpawnProtectionTime"),
    {"ArenaOptions", CfgKind::Arena, StoredKind::Arena, -1},
    box(Check::BigHead, "BigHead"),
    box(Check::FloatyCadavers, "FloatyCadavers"),
    box(Check::LowGravity, "LowGrav"),
    box(Check::NoAdrenaline, "NoAdrenaline"),
    box(Check::QuadJump, "QuadJump"),
    box(Check::Regeneration, "Regeneration"),
    box(Check::SlowMotionCorpses, "SlowMotionCorpses"),
    box(Check::Vampire, "Vampire"),
    text(Text::ExtraMutators, "Mutators", CfgKind::RawText, StoredKind::TypedText),
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
    box(Check::WebAdmin, "EnableWebAdmin", CfgKind::CheckValue),
    number(Text::WebAdminPort, "WebPort"),
    number(Text::GamePort, "GamePort"),
    number(Text::NetSpeed, "NetSpeed"),
    number(Text::LanSpeed, "LANSpeed"),
    number(Text::NetTickRate, "NetTickRate"),
    number(Text::LanTickRate, "LANTickRate"),
    freeText(Text::ExtraCommandLine, "xoptions"),
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
    const int type = settings.gameType;
    if (type >= 0 && type < kGameTypeOther)
        return withoutBlanks(kGameTypes[static_cast<std::size_t>(type)].caption);
    return withoutBlanks(settings.text(Text::CustomGameType));
}

int gameTypeOfWord(std::string_view word) {
    for (int i = 0; i < kGameTypeOther; ++i)
        if (word == withoutBlanks(kGameTypes[static_cast<std::size_t>(i)].caption))
            return i;
    return kGameTypeOther;
}

int arenaOfWord(std::string_view word) {
    for (int i = 0; i < kArenaCount; ++i)
        if (word == withoutBlanks(kArenaOptions[static_cast<std::size_t>(i)].caption))
            return i;
    return -1;
}

} // namespace quarnel
