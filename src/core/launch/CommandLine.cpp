#include "common/Text.h"
#include "launch/LaunchFiles.h"
#include "launch/LineText.h"

#include <array>
#include <charconv>
#include <exception>

namespace quarnel {

using launch_detail::trueFalse;

namespace {

// The game classes by optGameType index; "Other" takes the class the user typed.
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
    if (s.optMutator != 0 || !s.txt(Text::Mutator).empty())
        return true;
    for (int i = 0; i < 8; ++i)
        if (s.chkMutator(i))
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
    a += urlMapName(s.filMapList);
    a += '?';
    if (s.optGameType >= 0 && s.optGameType < kGameTypeOther)
        option(a, "Game", kGameClasses[static_cast<std::size_t>(s.optGameType)]);
    else if (s.optGameType == kGameTypeOther)
        option(a, "Game", s.txt(Text::Gametype));
    option(a, "GameSpeed", hundredths(s.scl(Scroll::GameSpeed)));
    option(a, "WeaponStay", s.chkGameOptions(0));
    option(a, "Translocator", s.chkGameOptions(1));
    option(a, "FriendlyFireScale", hundredths(s.scl(Scroll::FriendlyFire)));
    option(a, "GoalScore", s.txt(Text::GoalLimit));
    option(a, "TimeLimit", s.txt(Text::TimeLimit));
    option(a, "MaxLives", s.txt(Text::MaxLives));
    option(a, "AllowThrowing", s.chkGameOptions(2));
    option(a, "ForceRespawn", s.chkGameOptions(3));
    if (mutatorWanted(s))
        option(a, "Mutator", buildmutatorline(s));
    option(a, "GameStats", s.chkServerOptions(0));
    // Teams are balanced by the box captioned "Balance Teams".
    option(a, "BalanceTeams", s.chkServerOptions(7));
    if (s.chkServerOptions(1))
        a += "LAN?";
    if (s.chk(Check::UseBots))
        option(a, "MinPlayers", std::to_string(s.scl(Scroll::MinPlayers)));
    option(a, "MaxPlayers", std::to_string(s.scl(Scroll::MaxPlayers)));
    option(a, "MaxSpectators", std::to_string(s.scl(Scroll::MaxSpectators)));
    option(a, "AdminName", s.txt(Text::AdminName));
    option(a, "AdminPassword", s.txt(Text::AdminPassword));
    option(a, "GamePassword", s.txt(Text::GamePassword));
    option(a, "PlayersMustBeReady", s.chkServerOptions(5));
    option(a, "AllowBehindview", s.chkServerOptions(6));
    a += "difficulty=";
    a += std::to_string(s.cboBotSkill);
    if (const std::string& extra = s.txt(Text::CmdLineOptions); !extra.empty()) {
        a += '?';
        a += extra;
    }

    // One line each, whatever the texts hold.
    std::vector<std::string> arguments = {"server", oneLine(url),
                                          oneLine("INI=" + std::string(ininame))};
    if (const std::string& port = s.txt(Text::Port); !port.empty() && port != "7777")
        arguments.push_back(oneLine("port=" + port));
    arguments.push_back(oneLine("-log=" + replaceAll(ininame, ".ini", ".log")));
    return arguments;
}

CommandLine commandLineParts(const SettingsForm& form, std::string_view ininame, char sep) {
    CommandLine line;
    line.program = oneLine(game::uccExe(form.utpath(), sep));
    for (const std::string& argument : serverArguments(form, ininame)) {
        line.arguments += ' ';
        line.arguments += argument;
    }
    return line;
}

std::string buildcommandline(const SettingsForm& form, std::string_view ininame, char sep) {
    try {
        CommandLine line = commandLineParts(form, ininame, sep);
        return line.program + line.arguments;
    } catch (const std::exception&) {
        // The line is all or nothing: the batch file then gets an empty line.
        return {};
    }
}

} // namespace quarnel
