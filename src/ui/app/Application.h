#pragma once

#include "app/Dialogs.h"
#include "app/Shell.h"
#include "app/ShellOpener.h"
#include "app/WindowHost.h"
#include "settings/SettingsForm.h"
#include "store/Registry.h"
#include "window/MainWindow.h"

#include <string>

namespace quarnel {

// The main window as the shell sees it.
class MainWindowHost : public WindowHost {
public:
    // The window may be built after the host, before the host is first used.
    explicit MainWindowHost(MainWindow* window) : window_(window) {}

    void dress() override;
    void setTitle(const std::string& title) override;
    // Closing from inside an event of the window itself (its activation, a command) waits
    // until that event has finished.
    void close() override;

private:
    MainWindow* window_;
};

// The program's parts joined together: the settings form, the main window and the shell
// that drives them. The window's activation runs the path check, its close saves the
// settings, its command buttons and menu items run the commands.
class Application {
public:
    // programFolder is the folder of the program's executable; loops starts the restart
    // loop on Launch Server (none: the batch file is opened with opener).
    Application(Registry& registry, Dialogs& dialogs, ShellOpener& opener,
                std::string programFolder, ServerLoops* loops);

    // Start-up, then the window is shown; its first activation runs the path check.
    void start();

    SettingsForm& form() { return form_; }
    MainWindow& window() { return window_; }
    Shell& shell() { return shell_; }

private:
    // The form after the shell's restore, for the window built over it.
    SettingsForm& restoredForm();

    SettingsForm form_;
    MainWindowHost host_;
    Shell shell_;
    // Built last, over the restored settings: it shows them from the start instead of
    // following each as it arrives, and the store and the maps folder are read while
    // another thread builds the font database that the window's text needs.
    MainWindow window_;
};

} // namespace quarnel
