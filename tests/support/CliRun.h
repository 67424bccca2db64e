#pragma once

#include "TempDir.h"
#include "launch/RestartScript.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace quarnel::test {

// What a run of quarnel-cli gave; the default is a silent success.
struct CliResult {
    int exit = 0;
    std::string out;
    std::string err;
    bool operator==(const CliResult&) const = default;
};

inline void PrintTo(const CliResult& r, std::ostream* os) {
    *os << "exit " << r.exit << ", out \"" << r.out << "\", err \"" << r.err << "\"";
}

// Runs the built quarnel-cli with args through the shell, after prefix (such as a change of
// folder or of PATH); its streams go to files in dir that are read back and removed.
inline CliResult runCli(const TempDir& dir, const std::vector<std::string>& args,
                        const std::string& prefix = {}) {
    const std::filesystem::path out = dir.path() / ".out";
    const std::filesystem::path err = dir.path() / ".err";
    // Each piece appended on its own: GCC 12 at -O3 warns falsely (-Wrestrict) about a
    // temporary built from a literal and added to, such as " >" + text.
    std::string command = prefix + quoteForSh(QUARNEL_CLI);
    for (const auto& arg : args) {
        command += ' ';
        command += quoteForSh(arg);
    }
    command += " >";
    command += quoteForSh(out.string());
    command += " 2>";
    command += quoteForSh(err.string());
    const int status = std::system(command.c_str());
    CliResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return result;
}

} // namespace quarnel::test
