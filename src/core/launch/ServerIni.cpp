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

// The map-list section suffix by optGameType index; the other types keep the map lists.
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

KeyRule textRule(std::string_view key, const std::string& value, bool active = true) {
    return {key, active, std::string(key) + oneLine(value)};
}

KeyRule checkRule(std::string_view key, bool value) {
    return {key, true, std::string(key) + std::string(trueFalse(value))};
}

std::vector<std::string> mapBlock(const ServerSettings& s) {
    const MapList& list = s.filMapList;
    auto mapsLine = [&](std::size_t entry) {
        return "Maps=" + oneLine(mapName(list.entries[entry]));
    };
    // With rotation every selected map plays in turn; otherwise (or with none selected)
    // the one the server starts with.
    const std::size_t selected = list.selectedCount();
    if (!s.chk(Check::MapRotation) || selected == 0)
        return {"MapNum=1", mapsLine(*list.startingEntry())};
    std::vector<std::string> block = {"MapNum=" + std::to_string(selected)};
    for (std::size_t i = 0; i < list.count(); ++i)
        if (list.selected[i])
            block.push_back(mapsLine(i));
    return block;
}

Plan makePlan(const ServerSettings& s) {
    Plan plan;
    const std::string& port = s.txt(Text::Port);
    const std::string& net = s.txt(Text::netspeed);
    const std::string& lan = s.txt(Text::lanspeed);
    plan.rules = {
        textRule("Port=", port, !port.empty() && port != "7777"),
        textRule("ConfiguredInternetSpeed=", net, !net.empty()),
        textRule("ConfiguredLanSpeed=", lan, !lan.empty()),
        textRule("MaxClientRate=", lan, !lan.empty()),
        textRule("MaxInternetClientRate=", net, !net.empty()),
        textRule("ServerName=", s.txt(Text::ServerName)),
        textRule("ShortName=", s.txt(Text::ShortServerName)),
        textRule("AdminName=", s.txt(Text::AdminName)),
        textRule("AdminEmail=", s.txt(Text::AdminEmail)),
        textRule("MOTDLine1=", s.txt(Text::MOTD1)),
        textRule("MOTDLine2=", s.txt(Text::MOTD2)),
        textRule("MOTDLine3=", s.txt(Text::MOTD3)),
        textRule("MOTDLine4=", s.txt(Text::MOTD4)),
        checkRule("bEnableStatLogging=", s.chkServerOptions(0)),
        checkRule("DoLANBroadcast=", s.chkServerOptions(1)),
        checkRule("SendStats=", s.chkServerOptions(0)),
        textRule("AdminPassword=", s.txt(Text::AdminPassword)),
        textRule("GamePassword=", s.txt(Text::GamePassword)),
        checkRule("DoUplink=", s.chkServerOptions(9)),
        checkRule("UplinkToGamespy=", s.chkServerOptions(10)),
        checkRule("bEnabled=", s.chk(Check::Webadmin)),
        textRule("ListenPort=", s.txt(Text::webport)),
        checkRule("bForceRespawn=", s.chkGameOptions(3)),
    };
    for (std::size_t i = 0; i < plan.rules.size(); ++i)
        plan.rulesByFirstByte[static_cast<unsigned char>(plan.rules[i].key.front())].push_back(i);

    // Without any map there is nothing to put in a map list: the game's own stays.
    const bool typeHasList =
        s.optGameType >= 0 && s.optGameType < static_cast<int>(kSectionSuffixes.size());
    if (typeHasList && !s.filMapList.entries.empty()) {
        plan.suffix = kSectionSuffixes[static_cast<std::size_t>(s.optGameType)];
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

} // namespace

std::vector<std::string> rewriteServerIni(const ServerSettings& settings,
                                          const std::vector<std::string>& templateLines) {
    const Plan plan = makePlan(settings);
    std::vector<std::string> out;
    out.reserve(templateLines.size() + 1 + plan.mapBlock.size() + 1);
    rewrite(plan, templateLines, [&](std::string_view line) { out.emplace_back(line); });
    return out;
}

void makegameconfig(const SettingsForm& form, std::string_view filepath, std::string_view filename,
                    bool overwrite) {
    // Lines as views into the template's bytes: a large template is not copied line by line.
    const std::string source = readFileBytes(game::templateIni(form.utpath()));
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
