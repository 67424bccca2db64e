#include "common/Text.h"
#include "launch/LaunchFiles.h"
#include "launch/LineText.h"

#include <array>
#include <charconv>
#include <exception>

namespace quarnel {

using launch_detail::trueFalse;

namespace {

// The game classes by gameType index; "Other" takes the class the user typed.
constexpr std::array<std::string_view, kGameTypeCount - 1> kGameClasses = {
    "XGame.xBombingRun",     "XGame.xCTFGame",     "XGame.xDeathMatch",
    "XGame.xDoubleDom",      "XGame.xTeamGame",    "BonusPack.xLastManStandingGame",
    "BonusPack.xMutantGame", "SkaarjPack.Invasion"};

// The map the URL starts with; no map at all gives an empty name.
std::string urlMapName(const MapList& list) {
    const auto entry = list.startingEntry();
    return entry ? mapName(list.entries[*entry]) : std::string();
}

bool mutatorWanted(const ServerSettings& s) {
    if (s.arena != 0 || !s.text(Text::ExtraMutators).empty())
        return true;
    for (int i = 0; i < kMutatorCount; ++i)
        if (s.mutator(i))
            return true;
    return false;
}

void option(std::string& url, std::string_view key, bool value) {
    url += key;
    url += '=';
    url += trueFalse(value);
    url += '?';
}

void option(std::string& url, std::string_view key, std::string_view value) {
    url += key;
    url += '=';
    url += value;
    url += '?';
}

} // namespace

std::string hundredths(int value) {
    // Shortest fixed form that reads back as the same double: no exponent, no trailing
    // zeros, and a point whatever the locale.
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                      static_cast<double>(value) / 100.0, std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

std::vector<std::string> serverArguments(const SettingsForm& form, std::string_view ininame) {
    const ServerSettings& s = form.settings();
    std::string url;
    url.reserve(512);
    std::string& a = url;
    a += urlMapName(s.maps);
    a += '?';
    if (s.gameType >= 0 && s.gameType < kGameTypeOther)
        option(a, "Game", kGameClasses[static_cast<std::size_t>(s.gameType)]);
    else if (s.gameType == kGameTypeOther)
        option(a, "Game", s.text(Text::CustomGameType));
    option(a, "GameSpeed", hundredths(s.scroll(Scroll::GameSpeed)));
    option(a, "WeaponStay", s.checked(Check::WeaponsStay));
    option(a, "Translocator", s.checked(Check::Translocator));
    option(a, "FriendlyFireScale", hundredths(s.scroll(Scroll::FriendlyFire)));
    option(a, "GoalScore", s.text(Text::GoalLimit));
    option(a, "TimeLimit", s.text(Text::TimeLimit));
    option(a, "MaxLives", s.text(Text::MaxLives));
    option(a, "AllowThrowing", s.checked(Check::WeaponThrowing));
    option(a, "ForceRespawn", s.checked(Check::ForceRespawn));
    if (mutatorWanted(s))
        option(a, "Mutator", mutatorLine(s));
    option(a, "GameStats", s.checked(Check::WorldStatsLogging));
    // Teams are balanced by the box captioned "Balance Teams".
    option(a, "BalanceTeams", s.checked(Check::BalanceTeams));
    if (s.checked(Check::LanGame))
        a += "LAN?";
    if (s.checked(Check::UseBots))
        option(a, "MinPlayers", std::to_string(s.scroll(Scroll::MinPlayers)));
    option(a, "MaxPlayers", std::to_string(s.scroll(Scroll::MaxPlayers)));
    option(a, "MaxSpectators", std::to_string(s.scroll(Scroll::MaxSpectators)));
    option(a, "AdminName", s.text(Text::AdminName));
    option(a, "AdminPassword", s.text(Text::AdminPassword));
    option(a, "GamePassword", s.text(Text::GamePassword));
    option(a, "PlayersMustBeReady", s.checked(Check::WaitForPlayers));
    option(a, "AllowBehindview", s.checked(Check::BehindView));
    a += "difficulty=";
    a += std::to_string(s.botSkill);
    if (const std::string& extra = s.text(Text::ExtraCommandLine); !extra.empty()) {
        a += '?';
        a += extra;
    }

    // One line each, whatever the texts hold.
    std::vector<std::string> arguments = {"server", oneLine(url),
                                          oneLine("INI=" + std::string(ininame))};
    if (const std::string& port = s.text(Text::GamePort); !port.empty() && port != "7777")
        arguments.push_back(oneLine("port=" + port));
    arguments.push_back(oneLine("-log=" + replaceAll(ininame, ".ini", ".log")));
    return arguments;
}

CommandLine commandLineParts(const SettingsForm& form, std::string_view ininame, char sep) {
    CommandLine line;
    line.program = oneLine(game::uccExe(form.gameFolder(), sep));
    for (const std::string& argument : serverArguments(form, ininame)) {
        line.arguments += ' ';
        line.arguments += argument;
    }
    return line;
}

std::string serverCommandLine(const SettingsForm& form, std::string_view ininame, char sep) {
    try {
        CommandLine line = commandLineParts(form, ininame, sep);
        return line.program + line.arguments;
    } catch (const std::exception&) {
        // The line is all or nothing: the batch file then gets an empty line.
        return {};
    }
}

} // namespace quarnel
