#include "Cli.h"

#include "game/Installation.h"

#include <algorithm>
#include <ostream>

namespace quarnel::cli {

namespace {

bool contains(const std::vector<std::string_view>& list, std::string_view item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

const Command* findCommand(std::string_view name) {
    for (const Command& command : commands())
        if (command.name == name)
            return &command;
    return nullptr;
}

} // namespace

std::optional<std::string> Arguments::value(std::string_view option) const {
    const auto it = values.find(option);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::string> Arguments::all(std::string_view option) const {
    const auto it = repeated.find(option);
    return it == repeated.end() ? std::vector<std::string>{} : it->second;
}

CommandError::CommandError(std::string file, const Error& error)
    : CommandError(std::move(file),
                   std::string(error.what()) + " (error " + std::to_string(error.number()) + ")") {}

std::string usage() {
    std::string text = "Usage:\n";
    for (const Command& command : commands()) {
        text += "  " + std::string(kProgram) + " " + std::string(command.name) + " " +
                std::string(command.synopsis) + "\n";
        text += "      " + std::string(command.description) + "\n";
    }
    text += "  " + std::string(kProgram) + " --help | --version\n";
    return text;
}

Arguments parseArguments(const Command& command, const std::vector<std::string>& args) {
    Arguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // "--name value" or "--name=value".
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (contains(command.valueOptions, name)) {
            if (equals != std::string::npos)
                parsed.values[name] = arg.substr(equals + 1);
            else if (i + 1 < args.size())
                parsed.values[name] = args[++i];
            else
                throw UsageError(name + " needs a value");
            // An empty folder or name is a script's unset variable, not a choice.
            if (parsed.values[name].empty())
                throw UsageError(name + " needs a value");
            parsed.repeated[name].push_back(parsed.values[name]);
        } else if (contains(command.flagOptions, name) && equals == std::string::npos) {
            parsed.flags.insert(name);
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
    if (parsed.positional.size() != command.positionals)
        throw UsageError("wrong number of arguments for " + std::string(command.name));
    return parsed;
}

namespace {

// What a command printed must have reached its reader: a full disk or a closed pipe is a
// failure, not a success.
int checkedOutput(Context& context) {
    context.out.flush();
    if (context.out)
        return kExitSuccess;
    context.err << kProgram << ": standard output: write error\n";
    return kExitFailure;
}

} // namespace

int run(const std::vector<std::string>& args, Context& context) {
    const auto badUsage = [&](const std::string& why) {
        context.err << kProgram << ": " << why << "\n" << usage();
        return kExitUsage;
    };
    if (args.empty())
        return badUsage("no command given");
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        context.out << usage();
        return checkedOutput(context);
    }
    if (args.size() == 1 && args[0] == "--version") {
        context.out << kProgram << " " << kVersion << "\n";
        return checkedOutput(context);
    }
    const Command* command = findCommand(args[0]);
    if (!command)
        return badUsage("unknown command " + args[0]);
    try {
        const Arguments parsed =
            parseArguments(*command, std::vector<std::string>(args.begin() + 1, args.end()));
        command->function(parsed, context);
        const int printed = checkedOutput(context);
        return printed == kExitSuccess ? context.exitCode : printed;
    } catch (const UsageError& e) {
        return badUsage(e.what());
    } catch (const ExitStatus& status) {
        const int written = checkedOutput(context);
        return written == kExitSuccess ? status.code : written;
    } catch (const CommandError& e) {
        context.err << kProgram << ": " << e.file() << ": " << e.what() << "\n";
    } catch (const Error& e) {
        context.err << kProgram << ": " << e.what() << " (error " << e.number() << ")\n";
    } catch (const std::exception& e) {
        context.err << kProgram << ": " << e.what() << "\n";
    }
    return kExitFailure;
}

} // namespace quarnel::cli
