#include "launch/SystemdUnit.h"

#include "common/Error.h"
#include "common/Text.h"
#include "common/TextFile.h"
#include "launch/LaunchFiles.h"
#include "launch/RestartScript.h"

#include <algorithm>
#include <array>

namespace quarnel {

namespace {

// Whether bytes are well-formed UTF-8, which systemd requires of every line of a unit.
bool isUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 1;
        if (lead >= 0xF0 && lead <= 0xF4)
            length = 4;
        else if (lead >= 0xE0)
            length = lead <= 0xEF ? 3 : 0;
        else if (lead >= 0xC2)
            length = 2;
        else if (lead >= 0x80)
            length = 0;
        if (length == 0 || i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

std::string words(const std::vector<std::string>& list) {
    std::string line;
    for (const std::string& word : list) {
        if (!line.empty())
            line += ' ';
        line += quoteForSystemd(word);
    }
    return line;
}

// The program of a command line. systemd takes no escapes, quotes, backslashes or control
// characters in a program's path (and expands no variables there); a path holding one is
// handed to env as an argument instead, which takes any bytes.
std::string executable(const std::string& path) {
    const bool plain = std::none_of(path.begin(), path.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '\\' || c == '"' ||
               c == '\'';
    });
    if (plain) {
        // Appended piece by piece, as GCC 12 warns falsely (-Wrestrict) about "x" + string&&.
        std::string quoted = "\"";
        quoted += replaceAll(path, "%", "%%");
        quoted += '"';
        return quoted;
    }
    return "/usr/bin/env " + quoteForSystemd(path);
}

} // namespace

std::string quoteForSystemd(std::string_view text) {
    static constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                  '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '%' || c == '$') {
            out += c;
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string systemdUnit(const SettingsForm& form, std::string_view ininame, std::string_view wine) {
    const LoopFiles files = loopFilesForIni(form.gameFolder(), ininame);
    std::string folder = files.system;
    folder.pop_back();
    if (!isUtf8(folder))
        throw Error(errc::InvalidProperty,
                    "systemd cannot name the folder " + folder + ": its name is not UTF-8");

    std::vector<std::string> command = serverProgram(form.gameFolder());
    if (command.size() == 1)
        command[0] = files.system + command[0].substr(2); // the Linux server by its full path
    else
        command[0] = std::string(wine);
    for (std::string& argument : serverArguments(form, ininame))
        command.push_back(std::move(argument));
    command.emplace_back("-nohomedir");
    const std::string program = command.front();
    command.erase(command.begin());

    const std::string limit = std::to_string(kQuickExitLimit);
    // Each quick run lasts up to the guard's seconds, and a restart waits one second more.
    const std::string interval = std::to_string(kQuickExitLimit * (kQuickExitSeconds + 1));
    const std::vector<std::string> lines = {
        "# A systemd user unit for a UT2003 server, written by quarnel-cli. It runs the server",
        "# directly; the server INI file must lie in its System folder (\"quarnel-cli launch",
        "# CONFIG.cfg --no-start\" or \"quarnel-cli make\" writes it).",
        "[Unit]",
        "Description=UT2003 dedicated server set up by Quarnel",
        "# " + limit + " starts within " + interval +
            " seconds: the server keeps ending at once (a map that does",
        "# not load, a port in use), so it is not started again.",
        "StartLimitIntervalSec=" + interval,
        "StartLimitBurst=" + limit,
        "",
        "[Service]",
        "Type=simple",
        "WorkingDirectory=" + replaceAll(folder, "%", "%%"),
        "ExecStart=" + executable(program) + " " + words(command),
        "# Keeps the log of every run as the crash log.",
        "ExecStopPost=-/bin/cp -f " + words({files.log(), files.crashLog()}),
        "Restart=on-failure",
        "RestartSec=1",
        "",
        "[Install]",
        "WantedBy=default.target",
    };
    return joinTextLines(lines, "\n");
}

} // namespace quarnel
