#include "common/Text.h"
#include "common/TextFile.h"
#include "launch/LaunchFiles.h"

#include <exception>

namespace quarnel {

namespace {

// A path as one word for cmd: in double quotes when it holds a character that cmd takes
// for the end of a word (a blank or tab, and also ",", ";" and "=").
std::string quotedIfBlank(const std::string& path) {
    return path.find_first_of(" \t,;=") == std::string::npos ? path : "\"" + path + "\"";
}

} // namespace

std::string escapeForCmd(std::string_view line) {
    std::string out;
    out.reserve(line.size() + 8);
    bool quoted = false;
    for (const char c : line) {
        switch (c) {
        case '\r':
        case '\n':
            break;
        case '"':
            quoted = !quoted;
            out += c;
            break;
        case '%':
            // cmd expands variables inside quotes as well.
            out += "%%";
            break;
        case '^':
        case '&':
        case '|':
        case '<':
        case '>':
            if (!quoted)
                out += '^';
            out += c;
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string batchServerLine(const SettingsForm& form, std::string_view ininame, char sep) {
    try {
        const CommandLine line = commandLineParts(form, ininame, sep);
        return escapeForCmd(quotedIfBlank(line.program) + line.arguments);
    } catch (const std::exception&) {
        // A command line that cannot be built leaves its line empty; the loop is written all
        // the same.
        return {};
    }
}

std::vector<std::string> batchLines(const SettingsForm& form, std::string_view filename, char sep) {
    const std::string ininame = replaceAll(filename, ".bat", ".ini");
    const std::string logname = replaceAll(filename, ".bat", ".log");
    const std::string basename = removeAll(filename, ".bat");
    const std::string serverLine = batchServerLine(form, ininame, sep);

    // The log is always copied inside the game's System folder, wherever the batch file is.
    const std::string system = game::systemFolder(form.gameFolder(), sep);
    const std::string copyLine = "copy " + quotedIfBlank(system + logname) + " " +
                                 quotedIfBlank(system + basename + "crash.log");
    return {"@echo off", ":10", serverLine, escapeForCmd(copyLine), "goto 10"};
}

void writeBatchFile(const SettingsForm& form, std::string_view filepath, std::string_view filename,
                    bool overwrite, char sep) {
    writeTextFile(std::string(filepath) + std::string(filename), batchLines(form, filename, sep),
                  overwrite);
}

} // namespace quarnel
