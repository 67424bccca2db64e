#pragma once

#include "app/ShellOpener.h"
#include "common/Error.h"
#include "common/Product.h"

#include <cstddef>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// quarnel-cli: the headless companion. A command is a row of the table commands() returns
// (Commands.cpp); run() picks the row by name, checks the command line against it and
// calls its function, which reports failures by throwing.
namespace quarnel::cli {

inline constexpr std::string_view kProgram = "quarnel-cli";

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNotRunning = 3; // status and stop: no server loop runs

// What a command may use besides its arguments.
struct Context {
    std::ostream& out;
    std::ostream& err;
    ShellOpener& opener;
    std::string programFolder; // the program's own folder
    // What a command that succeeded exits with; a command sets another when its answer is
    // a state rather than a failure (status: not running).
    int exitCode = kExitSuccess;
};

// A command's arguments after its name: the positional ones in order, the options with a
// value (by name, "--ini"; the last one given wins, and every one given is kept in order for
// the options that may repeat, such as "--set") and the flags given.
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> values;
    std::map<std::string, std::vector<std::string>, std::less<>> repeated;
    std::set<std::string, std::less<>> flags;

    std::optional<std::string> value(std::string_view option) const;
    std::vector<std::string> all(std::string_view option) const;
    bool flag(std::string_view option) const { return flags.find(option) != flags.end(); }
};

using CommandFunction = void (*)(const Arguments&, Context&);

struct Command {
    std::string_view name;                      // "command-line"
    std::string_view synopsis;                  // what follows the name in the usage
    std::string_view description;               // one line for the usage
    std::size_t positionals;                    // how many positional arguments it takes
    std::vector<std::string_view> valueOptions; // options followed by a value
    std::vector<std::string_view> flagOptions;  // options that stand alone
    CommandFunction function;
};

// The command line does not fit the command: run() prints the usage and returns 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command that has said what it had to say and ends with an exit status of its own
// (check: problems found; diff: the settings differ).
struct ExitStatus {
    int code;
};

// A failure about a file: run() prints "quarnel-cli: FILE: MESSAGE" and returns 1.
class CommandError : public std::runtime_error {
public:
    CommandError(std::string file, const std::string& message)
        : std::runtime_error(message), file_(std::move(file)) {}
    // The message of a core error, with its number: "File not found (error 53)".
    CommandError(std::string file, const Error& error);
    const std::string& file() const noexcept { return file_; }

private:
    std::string file_;
};

// Every command, in the order the usage lists them. Defined in Commands.cpp.
const std::vector<Command>& commands();

// The usage text, one line per command and option form, ending in a newline.
std::string usage();

// Splits args (after the command name) by the command's options. Throws UsageError.
Arguments parseArguments(const Command& command, const std::vector<std::string>& args);

// Runs the command line args (without the program name) and returns the exit code:
// 0 success, 1 a failure (one line on context.err), 2 bad usage (the usage on context.err).
int run(const std::vector<std::string>& args, Context& context);

} // namespace quarnel::cli
