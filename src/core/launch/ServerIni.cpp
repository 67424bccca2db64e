#include "common/AtomicFileWriter.h"
#include "common/Text.h"
#include "common/TextLineReader.h"
#include "launch/LaunchFiles.h"
#include "launch/LineText.h"

#include <algorithm>
#include <array>
#include <bitset>
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
    // Whether a line that starts with the byte, or with the two bytes, can be anything but
    // copied: the beginning of a key, and with a map list to rewrite '[' (headers), "Ma"
    // (its map lines) and the beginning of the suffix, which a header without
    // kMapListHeader in front starts with ("DeathMatch]", "D[XInterface.MapListeathMatch]").
    std::array<bool, 256> decisive{};
    std::bitset<std::size_t{256} * 256> decisivePair;
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

std::size_t pairIndex(char first, char second) {
    return static_cast<std::size_t>(static_cast<unsigned char>(first)) * 256 +
           static_cast<unsigned char>(second);
}

// Whether the line can be anything but copied (see Plan::decisive).
bool isDecisive(const Plan& plan, std::string_view line) {
    if (line.size() >= 2)
        return plan.decisivePair.test(pairIndex(line[0], line[1]));
    return !line.empty() && plan.decisive[static_cast<unsigned char>(line[0])];
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
    const auto mark = [&plan](char first, char second) {
        plan.decisive[static_cast<unsigned char>(first)] = true;
        plan.decisivePair.set(pairIndex(first, second));
    };
    for (const KeyRule& rule : plan.rules)
        mark(rule.key[0], rule.key[1]);
    if (plan.suffix) {
        for (int second = 0; second < 256; ++second)
            mark(kMapListHeader.front(), static_cast<char>(second));
        mark('M', 'a');
        mark((*plan.suffix)[0], (*plan.suffix)[1]);
        mark((*plan.suffix)[0], kMapListHeader.front());
    }
    return plan;
}

// Whether a line, with every occurrence of kMapListHeader removed (left to right, as
// removeAll does), is exactly suffix. The line may come in pieces: bytes that could begin an
// occurrence completed by the next piece wait for it, so at most a header's length is kept.
class HeaderCheck {
public:
    explicit HeaderCheck(std::string_view suffix) : suffix_(suffix) {}

    void start() {
        pending_.clear();
        produced_ = 0;
        possible_ = true;
    }

    void feed(std::string_view bytes) {
        if (!possible_)
            return;
        std::string joined;
        if (!pending_.empty()) {
            joined.assign(pending_).append(bytes);
            bytes = joined;
            pending_.clear();
        }
        std::size_t pos = 0;
        for (std::size_t hit; (hit = bytes.find(kMapListHeader, pos)) != std::string_view::npos;
             pos = hit + kMapListHeader.size())
            if (!produce(bytes.substr(pos, hit - pos)))
                return;
        const std::size_t keep = std::min(bytes.size() - pos, kMapListHeader.size() - 1);
        if (produce(bytes.substr(pos, bytes.size() - pos - keep)))
            pending_.assign(bytes.substr(bytes.size() - keep));
    }

    bool finish() { return produce(pending_) && produced_ == suffix_.size(); }

    // The same for a whole line.
    bool matches(std::string_view line) {
        if (line.size() < suffix_.size() ||
            (line.size() - suffix_.size()) % kMapListHeader.size() != 0)
            return false;
        start();
        feed(line);
        return finish();
    }

private:
    // What is left after the removals must spell the suffix, and nothing more.
    bool produce(std::string_view text) {
        if (possible_ && text.size() <= suffix_.size() - produced_ &&
            suffix_.substr(produced_, text.size()) == text)
            produced_ += text.size();
        else
            possible_ = false;
        return possible_;
    }

    std::string_view suffix_;
    std::string pending_;
    std::size_t produced_ = 0;
    bool possible_ = true;
};

// The rewrite, one line at a time: every template line in order, then finish() for the one
// empty line after them and the appended section. A line may come as several pieces (see
// TextLineReader); its first piece holds at least the longest key or the whole line, which
// is all that decides what becomes of it. Out takes bytes(std::string_view) for the bytes of
// a line and endLine() at its end.
template <class Out> class Rewriter {
public:
    Rewriter(const Plan& plan, Out& out)
        : plan_(plan), out_(out), header_(plan.suffix.value_or(std::string_view())) {}

    void line(std::string_view line) { piece({line, true, true, 0}); }

    // Whether the piece is a whole line that is copied as it stands, CR LF and all, as most
    // lines are; the caller copies it (kept apart from piece() so that it stays inline).
    bool standsAsItIs(const TextLineReader::Piece& piece) const {
        return piece.lineStart && piece.lineEnd && piece.endSize == 2 &&
               !isDecisive(plan_, piece.bytes);
    }

    void piece(const TextLineReader::Piece& piece) {
        const std::string_view bytes = piece.bytes;
        if (piece.lineStart)
            mode_ = decide(bytes, piece.lineEnd);
        else if (checkingHeader_)
            header_.feed(bytes);
        if (mode_ == Mode::Copy)
            out_.bytes(bytes);
        if (!piece.lineEnd)
            return;
        if (checkingHeader_ && header_.finish())
            inside_ = true;
        checkingHeader_ = false;
        if (mode_ != Mode::Drop)
            out_.endLine();
    }

    void finish() {
        line(std::string_view());
        if (plan_.suffix && !blockWritten_) {
            out_.bytes(kMapListHeader);
            out_.bytes(*plan_.suffix);
            out_.endLine();
            writeBlock();
        }
    }

private:
    // Copy the line, a governed value line already written (the rest of the old one is
    // dropped), or an old map line dropped altogether.
    enum class Mode { Copy, Replaced, Drop };

    Mode decide(std::string_view head, bool wholeLine) {
        if (plan_.suffix) {
            // Any section header ends the selected map list.
            if (inside_ && head.starts_with('['))
                inside_ = false;
            if (!inside_) {
                if (wholeLine) {
                    inside_ = header_.matches(head);
                } else {
                    // A header never starts with "Maps=" or "MapNum=", so this line is
                    // written the same whether it turns out to be one or not.
                    header_.start();
                    header_.feed(head);
                    checkingHeader_ = true;
                }
            }
            if (inside_ && (head.starts_with("Maps=") || head.starts_with("MapNum="))) {
                if (!blockWritten_)
                    writeBlock();
                return Mode::Drop;
            }
        }
        if (!head.empty()) {
            for (const std::size_t i :
                 plan_.rulesByFirstByte[static_cast<unsigned char>(head[0])]) {
                const KeyRule& rule = plan_.rules[i];
                if (head.starts_with(rule.key)) {
                    if (!rule.active)
                        return Mode::Copy;
                    out_.bytes(rule.line);
                    return Mode::Replaced;
                }
            }
        }
        return Mode::Copy;
    }

    void writeBlock() {
        for (const auto& line : plan_.mapBlock) {
            out_.bytes(line);
            out_.endLine();
        }
        blockWritten_ = true;
    }

    const Plan& plan_;
    Out& out_;
    HeaderCheck header_;
    Mode mode_ = Mode::Copy;
    bool inside_ = false;
    bool blockWritten_ = false;
    bool checkingHeader_ = false;
};

// Output into a list of lines.
struct LinesOut {
    std::vector<std::string>& lines;
    std::string current;
    void bytes(std::string_view b) { current.append(b); }
    void endLine() {
        lines.push_back(std::move(current));
        current.clear();
    }
};

// Output into the file being written, each line ended with CR LF.
struct FileOut {
    AtomicFileWriter& file;
    void bytes(std::string_view b) { file.write(b); }
    void endLine() { file.write("\r\n"); }
};

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
    std::vector<std::string> lines;
    lines.reserve(templateLines.size() + 1 + plan.mapBlock.size() + 1);
    LinesOut out{lines, {}};
    Rewriter rewriter(plan, out);
    for (const auto& line : templateLines)
        rewriter.line(line);
    rewriter.finish();
    return lines;
}

void writeServerIni(const ServerSettings& settings, const std::string& templatePath,
                    const std::string& targetPath, bool overwrite, std::size_t blockSize) {
    const Plan plan = makePlan(settings);
    // The template is opened first: without it the target is not touched.
    std::size_t longestKey = 0;
    for (const KeyRule& rule : plan.rules)
        longestKey = std::max(longestKey, rule.key.size());
    TextLineReader reader(templatePath, blockSize, longestKey);
    AtomicFileWriter file(targetPath, overwrite, NewFileMode::Private, blockSize);
    FileOut out{file};
    Rewriter rewriter(plan, out);
    TextLineReader::Piece piece;
    while (reader.next(piece)) {
        if (rewriter.standsAsItIs(piece))
            file.write(std::string_view(piece.bytes.data(), piece.bytes.size() + piece.endSize));
        else
            rewriter.piece(piece);
    }
    rewriter.finish();
    file.commit();
}

void writeServerIni(const SettingsForm& form, std::string_view filepath, std::string_view filename,
                    bool overwrite) {
    writeServerIni(form.settings(), game::templateIni(form.gameFolder()),
                   std::string(filepath) + std::string(filename), overwrite,
                   TextLineReader::kDefaultBlockSize);
}

} // namespace quarnel
