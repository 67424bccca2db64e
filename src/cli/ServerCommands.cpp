#include "ServerCommands.h"

#include "Commands.h"
#include "game/Installation.h"
#include "launch/RestartScript.h"
#include "launch/ServerLoops.h"
#include "launch/SystemdUnit.h"
#include "store/RegistryFile.h"
#include "store/RememberedSettings.h"

#include <filesystem>
#include <ostream>

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

// How long stop waits for the loop to end before it kills it.
constexpr std::chrono::seconds kStopTimeout{15};
constexpr std::string_view kDefaultIni = "quarnel.ini";

// The game folder: --game-dir, else the one the window remembers (its stored folder, else
// the game's own entry). No store is created for the asking.
std::string gameFolder(const Arguments& args, Context& context) {
    if (const auto dir = args.value("--game-dir"))
        return game::withSeparator(fs::absolute(*dir).string());
    const fs::path storeFile = defaultRegistryPath();
    std::error_code ec;
    if (fs::exists(storeFile, ec)) {
        OpenedRegistry store = openRegistry(storeFile);
        for (const auto& note : store.notes)
            context.err << kProgram << ": " << note << "\n";
        std::string gameFolder =
            rememberedSettings(*store.registry, context.programFolder).form.gameFolder();
        if (!gameFolder.empty())
            return gameFolder;
    }
    throw CommandError(storeFile.string(),
                       "no game folder is remembered; name one with --game-dir");
}

LoopFiles loopOf(const Arguments& args, Context& context) {
    return loopFilesForIni(gameFolder(args, context),
                           args.value("--ini").value_or(std::string(kDefaultIni)));
}

} // namespace

void refuseRunningLoop(const SettingsForm& form, std::string_view batchName) {
    const LoopFiles files = loopFiles(form.gameFolder(), batchName);
    if (const auto pid = makePosixServerLoops()->running(files))
        throw CommandError(files.pidFile(),
                           files.scriptName() + " already runs (pid " + std::to_string(*pid) + ")");
}

void startLoop(const SettingsForm& form, std::string_view batchName, const Arguments& args,
               Context& context) {
    const auto loops = makePosixServerLoops();
    const LoopFiles files = loopFiles(form.gameFolder(), batchName);
    if (const auto missing =
            missingServerProgram(form.gameFolder(), !loops->findOnPath("wine").empty()))
        throw std::runtime_error(*missing);
    if (args.flag("--foreground")) {
        context.out.flush();
        context.err.flush();
        runLoopInForeground(files);
    }
    try {
        const int pid = loops->start(files, ServerLoops::Output::Background);
        context.out << "pid " << pid << "\nlog " << files.log() << "\noutput " << files.outFile()
                    << "\n";
    } catch (const Error& e) {
        throw CommandError(files.script(), e);
    }
}

void loopStatus(const Arguments& args, Context& context) {
    const LoopFiles files = loopOf(args, context);
    if (const auto pid = makePosixServerLoops()->running(files)) {
        context.out << files.script() << ": running, pid " << *pid << "\n";
        return;
    }
    context.out << files.script() << ": not running\n";
    context.exitCode = kExitNotRunning;
}

void stopLoop(const Arguments& args, Context& context) {
    const LoopFiles files = loopOf(args, context);
    if (const auto pid = makePosixServerLoops()->stop(files, kStopTimeout)) {
        context.out << files.script() << ": stopped pid " << *pid << "\n";
        return;
    }
    context.out << files.script() << ": not running\n";
    context.exitCode = kExitNotRunning;
}

void printSystemdUnit(const Arguments& args, Context& context) {
    SettingsForm form;
    formSettings(form, args, context);
    const std::string wine = makePosixServerLoops()->findOnPath("wine");
    if (const auto missing = missingServerProgram(form.gameFolder(), !wine.empty()))
        throw std::runtime_error(*missing);
    try {
        context.out << systemdUnit(form, args.value("--ini").value_or(std::string(kDefaultIni)),
                                   wine);
    } catch (const Error& e) {
        throw CommandError(args.positional.at(0), e);
    }
}

} // namespace quarnel::cli
