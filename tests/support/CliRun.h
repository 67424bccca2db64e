#pragma once

#include "TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>
#ifndef _WIN32
#include "launch/RestartScript.h"

#include <sys/wait.h>
#endif

namespace quarnel::test {

// What a run of quarnel-cli gave; the default is a silent success.
struct CliResult {
    int exit = 0;
    std::string out, err;
    bool operator==(const CliResult&) const = default;
};

inline void PrintTo(const CliResult& r, std::ostream* os) {
    *os << "exit " << r.exit << ", out \"" << r.out << "\", err \"" << r.err << "\"";
}

// An argument quoted for the shell: on Windows in double quotes, trailing backslashes doubled.
inline std::string quoted(std::string arg) {
#ifdef _WIN32
    arg.append(arg.size() - (arg.find_last_not_of('\\') + 1), '\\'); // npos + 1 is 0
    return '"' + arg + '"';
#else
    return quoteForSh(arg);
#endif
}

// Runs quarnel-cli with args through the shell after prefix; its streams go through files in dir.
inline CliResult runCli(const TempDir& dir, const std::vector<std::string>& args,
                        const std::string& prefix = {}) {
    const std::filesystem::path out = dir.path() / ".out", err = dir.path() / ".err";
    // Appended piece by piece: GCC 12 -O3 warns falsely (-Wrestrict) on " >" + text.
    std::string command = prefix;
    command.append(quoted(QUARNEL_CLI));
    for (const auto& arg : args)
        command.append(" ").append(quoted(arg));
    command.append(" >").append(quoted(out.string())).append(" 2>").append(quoted(err.string()));
#ifdef _WIN32
    // cmd /c takes the line without its first and last quote.
    const int exit = std::system(('"' + command + '"').c_str());
#else
    const int status = std::system(command.c_str());
    const int exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    CliResult result{exit, readFile(out), readFile(err)};
    // A server the command started on Windows may hold them open still.
    std::error_code ignored;
    std::filesystem::remove(out, ignored);
    std::filesystem::remove(err, ignored);
    return result;
}

} // namespace quarnel::test
