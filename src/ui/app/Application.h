#pragma once

#include "app/Dialogs.h"
#include "app/Shell.h"
#include "app/ShellOpener.h"
#include "app/WindowHost.h"
#include "settings/SettingsForm.h"
#include "store/Registry.h"
#include "window/MainWindow.h"

#include <memory>
#include <string>

namespace quarnel {

// The main window as the shell sees it; the window is built after the host.
class MainWindowHost : public WindowHost {
public:
    void attach(MainWindow& window) { window_ = &window; }

    void dress() override;
    void setTitle(const std::string& title) override;
    // Closing from inside an event of the window itself (its activation, a command) waits
    // until that event has finished.
    void close() override;

private:
    MainWindow* window_ = nullptr;
};

// The program's parts joined together: the settings form, the shell that drives it and the
// main window over them. The window's activation runs the path check, its close saves the
// settings, its command buttons and menu items run the commands.
class Application {
public:
    // programFolder is the folder of the program's executable; loops starts the restart
    // loop on Launch Server (none: the batch file is opened with opener). Builds no widget,
    // so it may come before the QApplication.
    Application(Registry& registry, Dialogs& dialogs, ShellOpener& opener,
                std::string programFolder, ServerLoops* loops);

    // Reads the stored settings into the form. It needs neither the window nor a display, so
    // a start runs it on another thread while the QApplication connects to the display;
    // nothing else may use the application meanwhile.
    void restore();
    // Builds the window over the restored settings (restoring them first, unless restore()
    // has run): it shows them from the start instead of following each as it arrives.
    void buildWindow();
    // Start-up, then the window is shown; its first activation runs the path check. Builds
    // the window first, unless buildWindow() has run.
    void start();

    SettingsForm& form() { return form_; }
    // Once built.
    MainWindow& window() { return *window_; }
    Shell& shell() { return shell_; }

private:
    Registry& registry_;
    Dialogs& dialogs_;
    SettingsForm form_;
    MainWindowHost host_;
    Shell shell_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace quarnel
