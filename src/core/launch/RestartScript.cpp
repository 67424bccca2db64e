#include "launch/RestartScript.h"

#include "common/Error.h"
#include "common/Text.h"
#include "common/TextFile.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"

#include <filesystem>

namespace quarnel {

namespace {

// The name of a file found in the System folder, as it is spelled on disk.
std::string nameOnDisk(const std::string& path) {
    return path.substr(path.find_last_of(game::kNativeSeparator) + 1);
}

std::string joinWords(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty())
            line += ' ';
        line += quoteForSh(word);
    }
    return line;
}

} // namespace

std::string quoteForSh(std::string_view text) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "'" + std::string&&.
    std::string quoted = "'";
    quoted += replaceAll(text, "'", "'\\''");
    quoted += '\'';
    return quoted;
}

std::string LoopFiles::base() const {
    return removeAll(batchName, ".bat");
}
std::string LoopFiles::scriptName() const {
    return base() + ".sh";
}
std::string LoopFiles::script() const {
    return system + scriptName();
}
std::string LoopFiles::pidFile() const {
    return system + base() + ".pid";
}
std::string LoopFiles::outFile() const {
    return system + base() + ".out";
}
std::string LoopFiles::log() const {
    return system + replaceAll(batchName, ".bat", ".log");
}
std::string LoopFiles::crashLog() const {
    return system + base() + "crash.log";
}

LoopFiles loopFiles(std::string_view gameFolder, std::string_view batchName) {
    return {game::systemFolder(gameFolder), std::string(batchName)};
}

LoopFiles loopFilesForIni(std::string_view gameFolder, std::string_view ininame) {
    return loopFiles(gameFolder, replaceAllNoCase(ininame, ".ini", ".bat"));
}

std::vector<std::string> serverProgram(std::string_view gameFolder) {
    const std::string linuxServer = game::uccBin(gameFolder);
    if (game::fileExists(linuxServer))
        return {"./" + nameOnDisk(linuxServer)};
    return {"wine", "./" + nameOnDisk(game::uccExe(gameFolder))};
}

std::optional<std::string> missingServerProgram(std::string_view gameFolder, bool wineOnPath) {
    const std::string system = game::systemFolder(gameFolder);
    if (game::fileExists(game::uccBin(gameFolder)))
        return std::nullopt;
    if (!game::fileExists(game::uccExe(gameFolder)))
        return "The server cannot be started: " + system +
               " holds neither ucc-bin (the Linux server) nor ucc.exe.";
    if (!wineOnPath)
        return "The server cannot be started: " + system +
               " holds no ucc-bin (the Linux server), and its ucc.exe needs wine, which is not "
               "on the PATH. Install wine or the game's Linux server.";
    return std::nullopt;
}

std::string restartScript(const SettingsForm& form, std::string_view batchName) {
    const LoopFiles files = loopFiles(form.gameFolder(), batchName);
    const std::string ininame = replaceAll(batchName, ".bat", ".ini");
    std::vector<std::string> command = serverProgram(form.gameFolder());
    for (std::string& argument : serverArguments(form, ininame))
        command.push_back(std::move(argument));
    command.emplace_back("-nohomedir");

    const std::string limit = std::to_string(kQuickExitLimit);
    const std::string seconds = std::to_string(kQuickExitSeconds);
    const std::string guardMessage =
        "message=" +
        quoteForSh(files.scriptName() + ": the server ended within " + seconds +
                   " seconds of its start " + limit + " times in a row (last exit status ") +
        "\"$status\"" +
        quoteForSh("); it is not started again. A map that does not load or a port in use are "
                   "the usual causes; the last log of the server is " +
                   nameOnDisk(files.crashLog()) + ".");

    const std::vector<std::string> lines = {
        "#!/bin/sh",
        "# The restart loop of a UT2003 server, written by Quarnel beside its batch file. It",
        "# runs the server in the game's System folder, keeps the log of every run as the crash",
        "# log and starts the server again. SIGTERM, SIGINT or SIGHUP end the server and the",
        "# loop; " + limit + " exits in a row, each within " + seconds +
            " seconds of its start, end the loop as well.",
        "cd " + quoteForSh(files.system) + " || exit 1",
        "pidfile=" + quoteForSh(files.pidFile()),
        "log=" + quoteForSh(files.log()),
        "crashlog=" + quoteForSh(files.crashLog()),
        "server=",
        "stopping=",
        "quick=0",
        "stop() {",
        "    stopping=$1",
        "    if [ -n \"$server\" ]; then",
        "        kill -s \"$1\" \"$server\" 2>/dev/null",
        "    fi",
        "}",
        "trap 'stop TERM' TERM",
        "trap 'stop INT' INT",
        "trap 'stop HUP' HUP",
        // One line of the script, joined from two literals.
        // NOLINTNEXTLINE(bugprone-suspicious-missing-comma)
        "trap 'if [ \"$(cat \"$pidfile\" 2>/dev/null)\" = \"$$\" ]; then rm -f \"$pidfile\"; fi' "
        "EXIT",
        "printf '%s\\n' \"$$\" >\"$pidfile.new\" && mv -f \"$pidfile.new\" \"$pidfile\" || exit 1",
        "# The server reads the loop's standard input, which sh replaces for a command it starts",
        "# in the background.",
        "command exec 3<&0 || exec 3</dev/null",
        "# sh starts a command in the background with SIGINT ignored; where env can, the server",
        "# gets it back, so that a SIGINT passed on (Ctrl+C) reaches it.",
        "if env --default-signal=INT true 2>/dev/null; then",
        "    reset='env --default-signal=INT'",
        "else",
        "    reset=",
        "fi",
        "while [ -z \"$stopping\" ]; do",
        "    started=$(date +%s)",
        "    $reset " + joinWords(command) + " <&3 3<&- &",
        "    server=$!",
        "    # A signal that came before the server's process id was known.",
        "    if [ -n \"$stopping\" ]; then",
        "        kill -s \"$stopping\" \"$server\" 2>/dev/null",
        "    fi",
        "    # A trapped signal ends the wait early: wait again until the server has ended.",
        "    wait \"$server\"",
        "    status=$?",
        "    while kill -0 \"$server\" 2>/dev/null; do",
        "        wait \"$server\"",
        "        status=$?",
        "    done",
        "    server=",
        "    if [ -f \"$log\" ]; then",
        "        cp -f \"$log\" \"$crashlog\"",
        "    fi",
        "    if [ -n \"$stopping\" ]; then",
        "        break",
        "    fi",
        "    if [ $(($(date +%s) - started)) -lt " + seconds + " ]; then",
        "        quick=$((quick + 1))",
        "    else",
        "        quick=0",
        "    fi",
        "    if [ \"$quick\" -ge " + limit + " ]; then",
        "        " + guardMessage,
        "        printf '%s\\n' \"$message\" >&2",
        "        printf '%s\\n' \"$message\" >>\"$crashlog\"",
        "        exit 1",
        "    fi",
        "done",
        "exit 0",
    };
    return joinTextLines(lines, "\n");
}

void writeRestartScript(const SettingsForm& form, std::string_view filepath,
                        std::string_view batchName) {
    const std::string path =
        std::string(filepath) + LoopFiles{{}, std::string(batchName)}.scriptName();
    writeFileAtomically(path, restartScript(form, batchName), true, NewFileMode::PrivateExecutable);
}

} // namespace quarnel
