// Feeds arbitrary bytes as the template to the server INI rewrite, with settings taken from
// the same input, and checks the rewrite against a plain model of its rules: every line it
// does not own comes out byte for byte, each value line it owns becomes key & value, the
// selected map list gets one map block, and nothing generated holds a line break.

#include "common/Text.h"
#include "common/TextFile.h"
#include "launch/LaunchFiles.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace {

using namespace quarnel;

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

std::string dropBreaks(const std::string& text) {
    std::string out;
    for (const char c : text)
        if (c != '\r' && c != '\n')
            out += c;
    return out;
}

bool startsWith(const std::string& line, const std::string& key) {
    return line.compare(0, key.size(), key) == 0;
}

constexpr std::array<const char*, 8> kMapNames = {"DM-A.ut2",          "DM-B.UT2", "a.ut2b.ut2",
                                                  "DM-\r\nBroken.ut2", "",         ".ut2",
                                                  "CTF-X.ut2",         "DM-%&.ut2"};

constexpr std::array<const char*, 5> kSuffixes = {"BombingRun]", "CaptureTheFlag]", "DeathMatch]",
                                                  "DoubleDomination]", "TeamDeathMatch]"};

// Lines that the rewrite looks for, hard to hit byte by byte: a template line starting with
// byte n (n below the table's size) stands for canned line n followed by the rest of it.
constexpr std::array<const char*, 14> kCanned = {"[XInterface.MapListDeathMatch]",
                                                 "[XInterface.MapListBombingRun]",
                                                 "[XInterface.MapListTeamDeathMatch]",
                                                 "[XInterface.MapList",
                                                 "Maps=",
                                                 "MapNum=",
                                                 "[Engine.GameInfo]",
                                                 "Port=",
                                                 "ServerName=",
                                                 "bEnabled=",
                                                 "MaxClientRate=",
                                                 "ConfiguredLanSpeed=",
                                                 "",
                                                 "[XInterface.MapListCaptureTheFlag]"};

// The value line rules as key, whether the rule applies, and the value it writes.
struct Rule {
    std::string key;
    bool active;
    std::string value;
};

std::vector<Rule> rulesFor(const ServerSettings& s) {
    auto tf = [](bool v) {
        return std::string(v ? "True" : "False");
    };
    const std::string& port = s.text(Text::GamePort);
    const std::string& net = s.text(Text::NetSpeed);
    const std::string& lan = s.text(Text::LanSpeed);
    return {
        {"Port=", !port.empty() && port != "7777", port},
        {"ConfiguredInternetSpeed=", !net.empty(), net},
        {"ConfiguredLanSpeed=", !lan.empty(), lan},
        {"MaxClientRate=", !lan.empty(), lan},
        {"MaxInternetClientRate=", !net.empty(), net},
        {"ServerName=", true, s.text(Text::ServerName)},
        {"ShortName=", true, s.text(Text::ShortServerName)},
        {"AdminName=", true, s.text(Text::AdminName)},
        {"AdminEmail=", true, s.text(Text::AdminEmail)},
        {"MOTDLine1=", true, s.text(Text::MOTD1)},
        {"MOTDLine2=", true, s.text(Text::MOTD2)},
        {"MOTDLine3=", true, s.text(Text::MOTD3)},
        {"MOTDLine4=", true, s.text(Text::MOTD4)},
        {"bEnableStatLogging=", true, tf(s.checked(Check::WorldStatsLogging))},
        {"DoLANBroadcast=", true, tf(s.checked(Check::LanGame))},
        {"SendStats=", true, tf(s.checked(Check::WorldStatsLogging))},
        {"AdminPassword=", true, s.text(Text::AdminPassword)},
        {"GamePassword=", true, s.text(Text::GamePassword)},
        {"DoUplink=", true, tf(s.checked(Check::MasterServerUplink))},
        {"UplinkToGamespy=", true, tf(s.checked(Check::GameSpyUplink))},
        {"bEnabled=", true, tf(s.checked(Check::WebAdmin))},
        {"ListenPort=", true, s.text(Text::WebAdminPort)},
        {"bForceRespawn=", true, tf(s.checked(Check::ForceRespawn))},
    };
}

std::vector<std::string> mapBlockFor(const ServerSettings& s) {
    const MapList& list = s.maps;
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < list.entries.size(); ++i)
        if (list.selected[i])
            chosen.push_back(i);
    if (chosen.empty())
        chosen.push_back(0);
    else if (!s.checked(Check::MapRotation))
        chosen.resize(1);
    std::vector<std::string> block;
    const bool counted = s.checked(Check::MapRotation) && list.selectedCount() > 0;
    block.push_back("MapNum=" + std::to_string(counted ? chosen.size() : 1));
    for (const auto i : chosen)
        block.push_back("Maps=" + dropBreaks(removeAll(list.entries[i], ".ut2")));
    return block;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    ServerSettings s = ServerSettings::design();
    s.gameType = input.ConsumeIntegralInRange<int>(-1, 8);
    // Few bytes for the settings, so that the fuzzer reaches the map lists quickly.
    static_assert(kCheckCount <= 32);
    const auto checks = input.ConsumeIntegral<std::uint32_t>();
    for (std::size_t c = 0; c < kCheckCount; ++c)
        s.checks[c] = ((checks >> c) & 1u) != 0;
    const auto mapCount = input.ConsumeIntegralInRange<std::size_t>(0, kMapNames.size());
    const auto names = input.ConsumeIntegral<std::uint32_t>();
    const auto selected = input.ConsumeIntegral<std::uint8_t>();
    for (std::size_t i = 0; i < mapCount; ++i) {
        s.maps.entries.emplace_back(kMapNames[(names >> (3 * i)) & 7u]);
        s.maps.selected.push_back(((selected >> i) & 1u) != 0);
    }
    // The template first, so that its bytes stay where the fuzzer put them; the texts after.
    std::vector<std::string> source = splitTextLines(input.ConsumeRandomLengthString(size));
    for (auto& line : source)
        if (!line.empty() && static_cast<unsigned char>(line[0]) < kCanned.size())
            line = kCanned[static_cast<unsigned char>(line[0])] + line.substr(1);
    for (const Text t :
         {Text::GamePort, Text::NetSpeed, Text::LanSpeed, Text::ServerName, Text::ShortServerName,
          Text::AdminName, Text::MOTD1, Text::WebAdminPort, Text::AdminPassword})
        s.texts[index(t)] = input.ConsumeRandomLengthString(12);

    const std::vector<std::string> out = rewriteServerIni(s, source);

    // The model: walk the template and its one extra empty line.
    const std::vector<Rule> rules = rulesFor(s);
    const bool mapping = s.gameType >= 0 && s.gameType < 5 && mapCount > 0;
    const std::string suffix = mapping ? kSuffixes[static_cast<std::size_t>(s.gameType)] : "";
    const std::vector<std::string> block = mapping ? mapBlockFor(s) : std::vector<std::string>{};
    std::vector<std::string> lines = source;
    lines.emplace_back();

    std::size_t j = 0;
    bool inside = false;
    bool blockWritten = false;
    auto expectBlock = [&] {
        for (const auto& line : block) {
            check(j < out.size() && out[j] == line, "map block");
            check(line.find_first_of("\r\n") == std::string::npos, "line break in map block");
            ++j;
        }
        blockWritten = true;
    };
    for (const auto& line : lines) {
        if (mapping) {
            if (inside && !line.empty() && line[0] == '[')
                inside = false;
            if (!inside && removeAll(line, "[XInterface.MapList") == suffix)
                inside = true;
            if (inside && (startsWith(line, "Maps=") || startsWith(line, "MapNum="))) {
                if (!blockWritten)
                    expectBlock();
                continue;
            }
        }
        check(j < out.size(), "output too short");
        const Rule* owner = nullptr;
        for (const auto& rule : rules)
            if (!owner && startsWith(line, rule.key))
                owner = &rule;
        if (owner && owner->active) {
            check(out[j] == owner->key + dropBreaks(owner->value), "value line");
        } else {
            check(out[j] == line, "line the rewrite does not own changed");
        }
        ++j;
    }
    if (mapping && !blockWritten) {
        check(j < out.size() && out[j] == "[XInterface.MapList" + suffix, "appended header");
        ++j;
        expectBlock();
    }
    check(j == out.size(), "output has extra lines");
    if (!mapping)
        check(out.size() == source.size() + 1, "one line per template line plus one");
    return 0;
}
