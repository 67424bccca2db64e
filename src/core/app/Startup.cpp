#include "app/Paths.h"
#include "app/Shell.h"
#include "common/Error.h"
#include "common/Product.h"
#include "game/Installation.h"
#include "store/RegistrySettings.h"
#include "store/RememberedSettings.h"

#include <cstdlib>
#include <utility>
#include <variant>

namespace quarnel {

namespace {

constexpr std::string_view kFirstRunText = "This is your first time running this app. Your "
                                           "configuration will be saved when the application "
                                           "is closed normally.";

// The files the browse dialog lists: the server program, and on Linux the game's Linux
// server as well.
#ifdef _WIN32
constexpr std::string_view kServerProgramPattern = "ucc.exe";
#else
constexpr std::string_view kServerProgramPattern = "ucc.exe ucc-bin";
#endif
constexpr std::string_view kReadOnlyText =
    "Your stored settings can only be read: the settings file or its folder is read-only. "
    "The window shows them, but changes made in this run will not be saved when the "
    "application is closed.";
constexpr std::string_view kReadOnlyTitle = "Settings Will Not Be Saved";

// The folder where the browse dialog opens.
std::string browseStartFolder() {
#ifdef _WIN32
    return "C:\\";
#else
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != '\0' ? std::string(home) : std::string("/");
#endif
}

} // namespace

Shell::Shell(SettingsForm& form, Registry& registry, Dialogs& dialogs, ShellOpener& opener,
             WindowHost& window, std::string programFolder, ServerLoops* loops)
    : form_(form), registry_(registry), dialogs_(dialogs), opener_(opener), window_(window),
      programFolder_(game::withSeparator(std::move(programFolder))), loops_(loops) {}

void Shell::restore() {
    if (restored_)
        return;
    restored_ = true;
    // A store that cannot say whether it holds the program's key counts as holding nothing:
    // the settings keep their first-run values. It is not told it is new, and the settings
    // are not saved into it at shutdown, so whatever it does hold is not overwritten.
    bool ranBefore = false;
    try {
        ranBefore = registry_.keyExists(kProgramRoot, kProgramKey);
    } catch (const Error&) {
        storeUnusable_ = true;
    }

    // A store that can only be read is read all the same; nothing is written into it, and
    // the user is told once, instead of being promised a save at shutdown.
    storeReadOnly_ = !storeUnusable_ && registry_.readOnly();

    form_.setAppFolder(programFolder_);
    firstRun_ = !storeUnusable_ && !storeReadOnly_ && !ranBefore;
    if (storeUnusable_ || !ranBefore) {
        form_.setGameFolder({});
        form_.applyFirstRunDefaults();
    } else {
        // A later run: the game folder saved at the last shutdown and every stored setting
        // over the first-run ones. The stored map entries stay; the save at shutdown
        // replaces them.
        restoreStoredSettings(registry_, form_);
    }
}

void Shell::onStart() {
    restore();
    // Start-up writes into the store only here, so that a start that ends before its window
    // shows (a program without a display) has changed nothing.
    if (!storeUnusable_ && !storeReadOnly_) {
        if (firstRun_) {
            try {
                registry_.createKey(kProgramRoot, kProgramKey);
            } catch (const Error&) {
            }
        }
        rememberProgramFolder();
    }
    window_.dress();
    window_.setTitle(std::string(kProductName));
    if (firstRun_)
        dialogs_.message(kFirstRunText, "First Run Time");
    if (storeReadOnly_)
        dialogs_.message(kReadOnlyText, kReadOnlyTitle);

    if (!game::folderExists(form_.gameFolder()))
        useGameEntry(registry_, form_);
    if (!game::folderExists(form_.gameFolder()))
        browseToUccExe();

    form_.offerBonusPackTypes(game::hasBonusPack(form_.gameFolder()));
    form_.bringPanelsInStep();
}

// Notes the program's folder in the store at every start ("Path"); nothing reads it back,
// so a store that refuses it changes nothing. A store that holds it already is not written:
// a write waits for the store to reach the disk, which an ordinary start need not do.
void Shell::rememberProgramFolder() {
    try {
        const RegValue stored = registry_.readValue(kProgramRoot, kProgramKey, kPathValue);
        if (const auto* text = std::get_if<std::string>(&stored); text && *text == programFolder_)
            return;
    } catch (const Error&) {
        // No such value yet: written below.
    }
    try {
        registry_.writeValue(kProgramRoot, kProgramKey, kPathValue, programFolder_);
    } catch (const Error&) {
    }
}

// The last resort: the user points at the game's server program. Any other file, or no
// file, leaves the game folder unknown, and the path check closes the program.
void Shell::browseToUccExe() {
    dialogs_.message("UT2003 path not found.  Please browse to UCC.EXE", "Browse to UCC.EXE");
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.initialFolder = browseStartFolder();
    request.filterDescription = "UCC.EXE";
    request.filterPattern = kServerProgramPattern;
    request.defaultExtension = "exe";
    const FileDialogResult chosen = dialogs_.fileDialog(request);
    form_.setGameFolder(chosen.cancelled ? std::string()
                                         : app::gameFolderFromUccExe(chosen.path, chosen.title));
    if (!form_.gameFolder().empty())
        pointMapListAtGame(form_);
}

void Shell::onActivate() {
    if (unloaded_ || !app::gameFolderUnset(form_.gameFolder()))
        return;
    dialogs_.message("UT2003 Path not set properly.  App will close", "Path Not Set");
    unload();
}

void Shell::onClose() {
    if (unloaded_)
        return;
    unloaded_ = true;
    if (storeUnusable_ || storeReadOnly_)
        return;
    // Closing always succeeds, whether or not the store takes the settings.
    try {
        saveSettings(registry_, form_);
    } catch (const std::exception&) {
    }
}

void Shell::unload() {
    onClose();
    window_.close();
}

} // namespace quarnel
