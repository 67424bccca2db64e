#include "common/Text.h"
#include "common/TextFile.h"
#include "launch/LaunchFiles.h"
#include "launch/LineText.h"

#include <array>
#include <optional>

namespace quarnel {

using launch_detail::trueFalse;

namespace {

constexpr std::string_view kMapListHeader = "[XInterface.MapList";

// The map-list section suffix by gameType index; the other types keep the map lists.
constexpr std::array<std::string_view, 5> kSectionSuffixes = {
    "BombingRun]", "CaptureTheFlag]", "DeathMatch]", "DoubleDomination]", "TeamDeathMatch]"};

// One value line the settings govern: a line starting with key becomes line, or stays as it
// is when the rule is not active.
struct KeyRule {
    std::string_view key;
    bool active;
    std::string line;
};

// Everything the rewrite writes, worked out once per call from the settings.
struct Plan {
    std::vector<KeyRule> rules;
    // The rules by the first byte of their key, in table order, so that a line is compared
    // only with the few keys that can start it.
    std::array<std::vector<std::size_t>, 256> rulesByFirstByte;
    std::optional<std::string_view> suffix; // the map-list section to rewrite, if any
    std::vector<std::string> mapBlock;
};

std::vector<std::string> mapBlock(const ServerSettings& s) {
    const MapList& list = s.maps;
    auto mapsLine = [&](std::size_t entry) {
        return "Maps=" + oneLine(mapName(list.entries[entry]));
    };
    // With rotation every selected map plays in turn; otherwise (or with none selected)
    // the one the server starts with.
    const std::size_t selected = list.selectedCount();
    if (!s.checked(Check::MapRotation) || selected == 0)
        return {"MapNum=1", mapsLine(*list.startingEntry())};
    std::vector<std::string> block = {"MapNum=" + std::to_string(selected)};
    for (std::size_t i = 0; i < list.count(); ++i)
        if (list.selected[i])
            block.push_back(mapsLine(i));
    return block;
}

Plan makePlan(const ServerSettings& s) {
    Plan plan;
    for (ServerIniKey& key : serverIniKeys(s))
        plan.rules.push_back({key.key, key.active, std::string(key.key) + oneLine(key.value)});
    for (std::size_t i = 0; i < plan.rules.size(); ++i)
        plan.rulesByFirstByte[static_cast<unsigned char>(plan.rules[i].key.front())].push_back(i);

    // Without any map there is nothing to put in a map list: the game's own stays.
    const bool typeHasList =
        s.gameType >= 0 && s.gameType < static_cast<int>(kSectionSuffixes.size());
    if (typeHasList && !s.maps.entries.empty()) {
        plan.suffix = kSectionSuffixes[static_cast<std::size_t>(s.gameType)];
        plan.mapBlock = mapBlock(s);
    }
    return plan;
}

// Whether line, with every occurrence of kMapListHeader removed, is exactly suffix.
bool isSectionHeader(std::string_view line, std::string_view suffix) {
    if (line.size() < suffix.size() || (line.size() - suffix.size()) % kMapListHeader.size() != 0)
        return false;
    return removeAll(line, kMapListHeader) == suffix;
}

// Runs the rewrite over the template lines (and the one empty line after them), passing
// every output line to emit in order.
template <class Lines, class Emit> void rewrite(const Plan& plan, const Lines& lines, Emit&& emit) {
    bool inside = false;
    bool blockWritten = false;
    auto writeBlock = [&] {
        for (const auto& line : plan.mapBlock)
            emit(std::string_view(line));
        blockWritten = true;
    };
    auto one = [&](std::string_view line) {
        if (plan.suffix) {
            // Any section header ends the selected map list.
            if (inside && line.starts_with('['))
                inside = false;
            if (!inside && isSectionHeader(line, *plan.suffix))
                inside = true;
            if (inside && (line.starts_with("Maps=") || line.starts_with("MapNum="))) {
                if (!blockWritten)
                    writeBlock();
                return;
            }
        }
        if (!line.empty()) {
            for (const std::size_t i : plan.rulesByFirstByte[static_cast<unsigned char>(line[0])]) {
                const KeyRule& rule = plan.rules[i];
                if (line.starts_with(rule.key)) {
                    emit(rule.active ? std::string_view(rule.line) : line);
                    return;
                }
            }
        }
        emit(line);
    };
    for (const auto& line : lines)
        one(std::string_view(line));
    one(std::string_view());
    if (plan.suffix && !blockWritten) {
        const std::string header = std::string(kMapListHeader) + std::string(*plan.suffix);
        emit(std::string_view(header));
        writeBlock();
    }
}

// The sections the game keeps the governed lines in.
constexpr std::string_view kUrl = "URL";
constexpr std::string_view kPlayer = "Engine.Player";
constexpr std::string_view kNetDriver = "IpDrv.TcpNetDriver";
constexpr std::string_view kReplicationInfo = "Engine.GameReplicationInfo";
constexpr std::string_view kGameInfo = "Engine.GameInfo";
constexpr std::string_view kUplink = "IpDrv.MasterServerUplink";
constexpr std::string_view kWebServer = "UWeb.WebServer";

} // namespace

std::vector<ServerIniKey> serverIniKeys(const ServerSettings& s) {
    const auto text = [&s](std::string_view key, std::string_view section, Text t,
                           bool active = true) {
        return ServerIniKey{key, section, control(t).caption, active, s.text(t)};
    };
    const auto check = [&s](std::string_view key, std::string_view section, Check c) {
        return ServerIniKey{key, section, control(c).caption, true,
                            std::string(trueFalse(s.checked(c)))};
    };
    const std::string& port = s.text(Text::GamePort);
    const bool net = !s.text(Text::NetSpeed).empty();
    const bool lan = !s.text(Text::LanSpeed).empty();
    return {
        text("Port=", kUrl, Text::GamePort, !port.empty() && port != "7777"),
        text("ConfiguredInternetSpeed=", kPlayer, Text::NetSpeed, net),
        text("ConfiguredLanSpeed=", kPlayer, Text::LanSpeed, lan),
        text("MaxClientRate=", kNetDriver, Text::LanSpeed, lan),
        text("MaxInternetClientRate=", kNetDriver, Text::NetSpeed, net),
        text("ServerName=", kReplicationInfo, Text::ServerName),
        text("ShortName=", kReplicationInfo, Text::ShortServerName),
        text("AdminName=", kReplicationInfo, Text::AdminName),
        text("AdminEmail=", kReplicationInfo, Text::AdminEmail),
        text("MOTDLine1=", kReplicationInfo, Text::MOTD1),
        text("MOTDLine2=", kReplicationInfo, Text::MOTD2),
        text("MOTDLine3=", kReplicationInfo, Text::MOTD3),
        text("MOTDLine4=", kReplicationInfo, Text::MOTD4),
        check("bEnableStatLogging=", kGameInfo, Check::WorldStatsLogging),
        check("DoLANBroadcast=", kUplink, Check::LanGame),
        check("SendStats=", kUplink, Check::WorldStatsLogging),
        text("AdminPassword=", kGameInfo, Text::AdminPassword),
        text("GamePassword=", kGameInfo, Text::GamePassword),
        check("DoUplink=", kUplink, Check::MasterServerUplink),
        check("UplinkToGamespy=", kUplink, Check::GameSpyUplink),
        check("bEnabled=", kWebServer, Check::WebAdmin),
        text("ListenPort=", kWebServer, Text::WebAdminPort),
        check("bForceRespawn=", kGameInfo, Check::ForceRespawn),
    };
}

std::vector<std::string> rewriteServerIni(const ServerSettings& settings,
                                          const std::vector<std::string>& templateLines) {
    const Plan plan = makePlan(settings);
    std::vector<std::string> out;
    out.reserve(templateLines.size() + 1 + plan.mapBlock.size() + 1);
    rewrite(plan, templateLines, [&](std::string_view line) { out.emplace_back(line); });
    return out;
}

void writeServerIni(const SettingsForm& form, std::string_view filepath, std::string_view filename,
                    bool overwrite) {
    // Lines as views into the template's bytes: a large template is not copied line by line.
    const std::string source = readFileBytes(game::templateIni(form.gameFolder()));
    const std::vector<std::string_view> lines = splitTextLineViews(source);
    const Plan plan = makePlan(form.settings());

    std::size_t size = source.size() + 2 * lines.size() + 64;
    for (const auto& line : plan.mapBlock)
        size += line.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    rewrite(plan, lines, [&](std::string_view line) {
        bytes += line;
        bytes += "\r\n";
    });
    writeFileAtomically(std::string(filepath) + std::string(filename), bytes, overwrite);
}

} // namespace quarnel
