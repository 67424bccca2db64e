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
    explicit MainWindowHost(MainWindow& window) : window_(window) {}

    void dress() override;
    void setTitle(const std::string& title) override;
    // Closing from inside an event of the window itself (its activation, a command) waits
    // until that event has finished.
    void close() override;

private:
    MainWindow& window_;
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
    SettingsForm form_;
    MainWindow window_;
    MainWindowHost host_;
    Shell shell_;
};

} // namespace quarnel
