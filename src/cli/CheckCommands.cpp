// The commands that look at configurations without writing anything: check and diff.
#include "Commands.h"
#include "check/Checks.h"
#include "store/ConfigFile.h"

#include <ostream>

namespace quarnel::cli {

namespace {

// What the window calls a setting of a configuration line.
std::string settingLabel(const CfgLine& line) {
    std::string_view label;
    switch (line.kind) {
    case CfgKind::Utpath:
        return "Game Folder";
    case CfgKind::GameType:
        return std::string(caption::frmGameType);
    case CfgKind::Arena:
        return std::string(caption::lblMutators);
    case CfgKind::BotSkill:
        return std::string(caption::lblBotSkill);
    case CfgKind::CheckLastChar:
    case CfgKind::ServerOption:
    case CfgKind::CheckValue:
        return std::string(control(static_cast<Check>(line.control)).caption);
    case CfgKind::Number:
    case CfgKind::RawText:
    case CfgKind::BlankFreeText:
        label = control(static_cast<Text>(line.control)).caption;
        // "Extra Mutators (separate by commas)" is "Extra Mutators".
        return std::string(label.substr(0, label.find(" (")));
    case CfgKind::Scroll:
        return std::string(control(static_cast<Scroll>(line.control)).caption);
    }
    return std::string(line.key);
}

bool isCheck(const CfgLine& line) {
    return line.kind == CfgKind::CheckLastChar || line.kind == CfgKind::ServerOption ||
           line.kind == CfgKind::CheckValue;
}

// A value as the diff shows it: a check box as on or off, anything else quoted.
std::string shown(const CfgLine& line, const std::string& value) {
    if (isCheck(line))
        return value == "1" ? "on" : "off";
    return "\"" + value + "\"";
}

std::string valueOf(const std::string& line) {
    const std::size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : line.substr(equals + 1);
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return "\"" + text + "\"";
}

// A configuration formed as every command forms it, and the map names its file asks for.
struct Formed {
    SettingsForm form;
    std::vector<std::string> maps;
};

void formConfiguration(Formed& formed, const Arguments& args, const Context& context) {
    formSettings(formed.form, args, context);
    formed.maps = configMapNames(readConfigLines(args.positional.at(0)));
}

} // namespace

void check(const Arguments& args, Context& context) {
    Formed formed;
    formConfiguration(formed, args, context);
    LocalMachine machine;
    const std::vector<Problem> problems = checkBeforeLaunch(formed.form, machine, formed.maps);
    for (const Problem& problem : problems)
        context.out << problemLine(problem) << "\n";
    if (!problems.empty())
        throw ExitStatus{kExitFailure};
}

void diff(const Arguments& args, Context& context) {
    // Each file is formed on its own game folder; one that does not load is trouble, not a
    // difference (exit 2, as diff itself has it).
    Formed sides[2];
    for (int i = 0; i < 2; ++i) {
        Arguments one;
        one.positional = {args.positional.at(static_cast<std::size_t>(i))};
        try {
            formConfiguration(sides[i], one, context);
        } catch (const CommandError& e) {
            context.err << kProgram << ": " << e.file() << ": " << e.what() << "\n";
            throw ExitStatus{kExitUsage};
        } catch (const Error& e) {
            context.err << kProgram << ": " << one.positional[0] << ": " << e.what() << " (error "
                        << e.number() << ")\n";
            throw ExitStatus{kExitUsage};
        }
    }
    const std::vector<std::string> a = configLines(sides[0].form);
    const std::vector<std::string> b = configLines(sides[1].form);
    bool differ = false;
    for (std::size_t pos = 0; pos < kCfgFixedLines; ++pos) {
        const std::string va = valueOf(a[pos]);
        const std::string vb = valueOf(b[pos]);
        if (va == vb)
            continue;
        const CfgLine& line = kCfgLines[pos];
        context.out << settingLabel(line) << ": " << shown(line, va) << " vs " << shown(line, vb)
                    << "\n";
        differ = true;
    }
    if (sides[0].maps != sides[1].maps) {
        context.out << "Maps: " << joined(sides[0].maps) << " vs " << joined(sides[1].maps) << "\n";
        differ = true;
    }
    if (differ)
        throw ExitStatus{kExitFailure};
}

} // namespace quarnel::cli
