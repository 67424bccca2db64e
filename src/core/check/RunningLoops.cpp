#include "check/RunningLoops.h"

#include "common/Text.h"
#include "common/TextFile.h"

#include <charconv>
#include <filesystem>
#include <optional>

namespace quarnel {

namespace {

namespace fs = std::filesystem;

constexpr int kDefaultGamePort = 7777;
constexpr int kDefaultWebPort = 80;
// A pid file holds a number; anything larger is no pid file of ours.
constexpr std::uintmax_t kMaxPidFileBytes = 64;

std::optional<long> leadingNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end == text.data())
        return std::nullopt;
    return value;
}

// The value of key in section of an INI file's lines, if the section has the key.
std::optional<std::string> iniValue(const std::vector<std::string>& lines, std::string_view section,
                                    std::string_view key) {
    std::string header = "[";
    header.append(section).append("]");
    bool inside = false;
    for (const std::string& line : lines) {
        if (line.starts_with('[')) {
            inside = equalsNoCase(trimRightBlanks(line), header);
            continue;
        }
        if (inside && line.size() > key.size() && line[key.size()] == '=' &&
            equalsNoCase(std::string_view(line).substr(0, key.size()), key))
            return line.substr(key.size() + 1);
    }
    return std::nullopt;
}

int portOr(const std::optional<std::string>& text, int fallback) {
    if (!text)
        return fallback;
    const auto number = leadingNumber(*text);
    return number && *number > 0 && *number <= 65535 ? static_cast<int>(*number) : fallback;
}

} // namespace

std::vector<GroupPort> portGroup(int gamePort, int webPort) {
    std::vector<GroupPort> group = {{gamePort, PortProtocol::Udp, "game port"},
                                    {gamePort + 1, PortProtocol::Udp, "game port + 1"},
                                    {gamePort + 10, PortProtocol::Udp, "game port + 10"}};
    if (webPort > 0)
        group.push_back({webPort, PortProtocol::Tcp, "web admin port"});
    return group;
}

std::vector<RunningLoop> runningLoops(const std::string& systemFolder, Machine& machine) {
    std::vector<RunningLoop> loops;
    std::error_code ec;
    for (fs::directory_iterator it(systemFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& file = it->path();
        std::error_code fileError;
        if (file.extension() != ".pid" || !it->is_regular_file(fileError) ||
            it->file_size(fileError) > kMaxPidFileBytes)
            continue;
        std::optional<long> pid;
        try {
            pid = leadingNumber(readFileBytes(file.string()));
        } catch (const std::exception&) {
            continue;
        }
        if (!pid || !machine.processRunning(*pid))
            continue;
        const std::string name = file.stem().string();
        std::vector<std::string> ini;
        try {
            ini = splitTextLines(readFileBytes((file.parent_path() / (name + ".ini")).string()));
        } catch (const std::exception&) {
            continue;
        }
        const int gamePort = portOr(iniValue(ini, "URL", "Port"), kDefaultGamePort);
        const auto enabled = iniValue(ini, "UWeb.WebServer", "bEnabled");
        const int webPort =
            enabled && equalsNoCase(trimRightBlanks(*enabled), "True")
                ? portOr(iniValue(ini, "UWeb.WebServer", "ListenPort"), kDefaultWebPort)
                : 0;
        loops.push_back({name, *pid, portGroup(gamePort, webPort)});
    }
    return loops;
}

} // namespace quarnel
