#pragma once

#include "app/Command.h"
#include "app/Dialogs.h"
#include "app/ShellOpener.h"
#include "app/WindowHost.h"
#include "check/Machine.h"
#include "launch/ServerLoops.h"
#include "settings/SettingsForm.h"
#include "store/Registry.h"

#include <optional>
#include <string>

namespace quarnel {

// The application shell of the main window: start-up (finding the game, the first-run
// notice, restoring the last settings), the path check on activation, shutdown (saving the
// settings) and the four commands. It works on the form's settings and talks to the user,
// the desktop, the store and the window only through the interfaces it is given.
class Shell {
public:
    // programFolder is the folder of the program's executable; appFolder is it with a final
    // separator. loops starts the restart script on Launch Server; without it (Windows) the
    // batch file is started with opener.
    Shell(SettingsForm& form, Registry& registry, Dialogs& dialogs, ShellOpener& opener,
          WindowHost& window, std::string programFolder, ServerLoops* loops);

    // Start-up's first part: the stored settings, or the first-run ones, into the form. It
    // only reads the store and touches neither the window nor the dialogs, so it can run
    // before the window is built, on another thread while nothing else uses the form.
    void restore();
    // Start-up, before the window is first shown: restore() unless it has run, then what
    // start-up writes into the store and tells the user, and the search for a game folder.
    void onStart();
    // The path check, each time the window becomes active: closes the program when no game
    // folder is known.
    void onActivate();
    // Shutdown, for whatever reason the window closes: saves the settings, once. Never
    // refuses the close; a store that cannot save is passed over.
    void onClose();
    // Saves and closes the window, as the Exit menu item does.
    void unload();

    // Runs the command. A command that fails ends silently where it failed and keeps what it
    // had already written.
    void run(Command command);

    bool unloaded() const { return unloaded_; }

    // The machine the checks before a launch probe; this one by default.
    void setMachine(Machine& machine) { machine_ = &machine; }

private:
    // Start-up's sources of the game folder, in the order they are asked.
    void rememberProgramFolder();
    void browseToUccExe();

    void launchServer();
    void launchLoop();
    void loadConfig();
    void saveConfig();
    void makeBatIni();
    // The checks before Launch Server and Make .BAT/.INI, unless the user turned them off:
    // true when there is no problem, or when the user chose goOnCaption over "Cancel" in the
    // one message that lists them.
    bool checksLetThrough(std::string_view intro, std::string_view goOnCaption);
    // The .cfg file the user chooses; none when the dialog was cancelled or the name was
    // refused with refusal (the message shown).
    std::optional<FileDialogResult> chooseConfigFile(FileDialogRequest::Mode mode,
                                                     std::string_view refusal);

    SettingsForm& form_;
    Registry& registry_;
    Dialogs& dialogs_;
    ShellOpener& opener_;
    WindowHost& window_;
    LocalMachine localMachine_;
    Machine* machine_ = &localMachine_;
    std::string programFolder_;
    ServerLoops* loops_;
    bool unloaded_ = false;
    bool storeUnusable_ = false; // the store could not be asked at start-up
    bool storeReadOnly_ = false; // the store can only be read: nothing is saved into it
    bool restored_ = false;
    bool firstRun_ = false; // a store that can be written does not hold the program's key yet
};

} // namespace quarnel
