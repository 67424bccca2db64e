#pragma once

#include "TempDir.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#else
#include "launch/RestartScript.h"

#include <cstdlib>
#include <sys/wait.h>
#endif

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

#ifdef _WIN32
// An argument in double quotes as the C runtime splits a command line: backslashes before
// the closing quote are doubled (no argument holds a quote itself).
inline std::string quoteForWindows(std::string arg) {
    std::size_t end = arg.size();
    while (end > 0 && arg[end - 1] == '\\')
        --end;
    arg.append(arg.size() - end, '\\');
    return '"' + arg + '"';
}
#endif

// The folder of the quarnel-cli under test, as the program names its own folder.
inline std::string cliFolder() {
    std::filesystem::path folder = std::filesystem::path(QUARNEL_CLI).parent_path();
#ifdef _WIN32
    return folder.make_preferred().string() + '\\';
#else
    return std::filesystem::canonical(folder).string() + '/';
#endif
}

// Runs the built quarnel-cli with args (on Linux through the shell, after prefix, such as a
// change of folder or of PATH); its streams go to files in dir that are read back and removed.
inline CliResult runCli(const TempDir& dir, const std::vector<std::string>& args,
                        [[maybe_unused]] const std::string& prefix = {}) {
    const std::filesystem::path out = dir.path() / ".out";
    const std::filesystem::path err = dir.path() / ".err";
#ifdef _WIN32
    std::string command = quoteForWindows(QUARNEL_CLI);
    for (const auto& arg : args)
        command += ' ' + quoteForWindows(arg);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const auto open = [&](const std::filesystem::path& file) {
        return CreateFileA(file.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = open(out);
    startup.hStdError = open(err);
    PROCESS_INFORMATION process{};
    DWORD code = ~DWORD{0};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    const int exit = static_cast<int>(code);
#else
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
