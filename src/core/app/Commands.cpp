#include "app/Shell.h"
#include "check/Checks.h"
#include "common/Error.h"
#include "common/Product.h"
#include "game/Installation.h"
#include "launch/LaunchFiles.h"
#include "launch/RestartScript.h"
#include "store/ConfigFile.h"
#include "store/MakeNames.h"
#include "store/Preferences.h"

#include <exception>

namespace quarnel {

namespace {

constexpr std::string_view kLaunchBatch = "quarnel.bat";
constexpr std::string_view kLaunchIni = "quarnel.ini";
constexpr std::string_view kNotStartedTitle = "Server Not Started";

// A chosen name whose extension is not the expected one: the dialog's own report, or the
// name itself when a dialog appended nothing.
bool wrongExtension(const FileDialogResult& chosen, std::string_view ext) {
    return chosen.flags == FileDialogResult::kExtensionDifferent ||
           !hasExtension(chosen.title, ext);
}

} // namespace

void Shell::run(Command command) {
    // A failed command ends where it failed, without a message; what it wrote stays.
    try {
        switch (command) {
        case Command::LaunchServer:
            launchServer();
            break;
        case Command::LoadConfig:
            loadConfig();
            break;
        case Command::SaveConfig:
            saveConfig();
            break;
        case Command::MakeBatIni:
            makeBatIni();
            break;
        }
    } catch (const std::exception&) {
    }
}

bool Shell::checksLetThrough(std::string_view intro, std::string_view goOnCaption) {
    if (!launchChecksOn(registry_))
        return true;
    const std::vector<Problem> problems = checkBeforeLaunch(form_, *machine_);
    if (problems.empty())
        return true;
    std::string text(intro);
    for (const Problem& problem : problems)
        text += "\n\n" + problemLine(problem);
    return dialogs_.ask(text, "Check Before Launch", goOnCaption, "Cancel");
}

// Writes the two launch files into the game's System folder, starts the batch file and
// closes the program. Nothing is started when either file cannot be written.
void Shell::launchServer() {
    if (!checksLetThrough("The server may not start as these settings mean:", "Launch anyway"))
        return;
    if (loops_ != nullptr) {
        launchLoop();
        return;
    }
    const std::string system = game::systemFolder(form_.gameFolder());
    writeBatchFile(form_, system, kLaunchBatch, true);
    writeServerIni(form_, system, kLaunchIni, true);
    opener_.shellopen(system + std::string(kLaunchBatch));
    unload();
}

// The same with the restart script: the three files written, the script started in a session
// of its own, and the program closed. A loop of the same name that already runs is left
// alone and nothing is written; a game without a server that can run here gets the files
// but nothing is started.
void Shell::launchLoop() {
    const LoopFiles files = loopFiles(form_.gameFolder(), kLaunchBatch);
    if (const auto pid = loops_->running(files)) {
        dialogs_.message(files.scriptName() + " already runs (process " + std::to_string(*pid) +
                             "). Stop it with \"quarnel-cli stop\" before launching again.",
                         "Server Running");
        return;
    }
    writeBatchFile(form_, files.system, kLaunchBatch, true);
    writeRestartScript(form_, files.system, kLaunchBatch);
    writeServerIni(form_, files.system, kLaunchIni, true);
    const bool wine = !loops_->findOnPath("wine").empty();
    if (const auto missing = missingServerProgram(form_.gameFolder(), wine)) {
        dialogs_.message(*missing, kNotStartedTitle);
        return;
    }
    try {
        loops_->start(files, ServerLoops::Output::TerminalIfAny);
    } catch (const Error& e) {
        dialogs_.message(e.what(), kNotStartedTitle);
        return;
    }
    unload();
}

std::optional<FileDialogResult> Shell::chooseConfigFile(FileDialogRequest::Mode mode,
                                                        std::string_view refusal) {
    const std::string& appFolder = form_.appFolder();
    FileDialogRequest request;
    request.mode = mode;
    request.initialFolder =
        appFolder.empty() ? appFolder : appFolder.substr(0, appFolder.size() - 1);
    request.filterDescription = "QUARNEL Config File";
    request.filterPattern = "*.cfg";
    request.defaultExtension = "cfg";
    request.fileName = appFolder + "*.cfg";
    FileDialogResult chosen = dialogs_.fileDialog(request);
    if (chosen.cancelled)
        return std::nullopt;
    if (wrongExtension(chosen, "cfg")) {
        dialogs_.message(refusal, "Requires CFG extension");
        return std::nullopt;
    }
    return chosen;
}

void Shell::loadConfig() {
    const auto chosen = chooseConfigFile(FileDialogRequest::Mode::Open,
                                         "Extension must be .CFG.  Config files not loaded.");
    if (!chosen)
        return;
    loadConfigFile(form_, chosen->path);
    window_.setTitle(std::string(kProductName) + " - " + chosen->title);
}

void Shell::saveConfig() {
    const auto chosen = chooseConfigFile(FileDialogRequest::Mode::Save,
                                         "Extension must be .CFG.  Config files not saved.");
    if (!chosen)
        return;
    writeConfigFile(form_, chosen->path, true);
    window_.setTitle(std::string(kProductName) + " - " + chosen->title);
}

// Writes a batch file and a server INI file under a chosen name into the chosen folder,
// without starting anything.
void Shell::makeBatIni() {
    const std::string& gameFolder = form_.gameFolder();
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.initialFolder = game::join(gameFolder, "system");
    request.filterDescription = "UT2003 INI File";
    request.filterPattern = "*.ini";
    request.defaultExtension = "ini";
    request.fileName = game::systemFolder(gameFolder) + "*.ini";
    const FileDialogResult chosen = dialogs_.fileDialog(request);
    if (chosen.cancelled)
        return;
    if (chosen.flags == FileDialogResult::kExtensionDifferent) {
        dialogs_.message(kIniExtensionMessage, kIniExtensionTitle);
        return;
    }
    if (const auto refusal = refuseIniName(chosen.title)) {
        dialogs_.message(refusal->message, refusal->title);
        return;
    }
    if (!checksLetThrough("The files would not run the server as these settings mean:",
                          "Make anyway"))
        return;
    const MakeFiles files = makeFilesFor(chosen.path);
    writeBatchFile(form_, files.folder, files.batchName, true);
    if (kWritesRestartScript)
        writeRestartScript(form_, files.folder, files.batchName);
    writeServerIni(form_, files.folder, files.iniName, true);
    dialogs_.message(kMakeSavedMessage, kMakeSavedTitle);
}

} // namespace quarnel
