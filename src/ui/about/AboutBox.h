#pragma once

#include "about/SysInfo.h"

#include <QDialog>

namespace quarnel {

class Dialogs;
class Registry;

// The About box, frmAbout: the program's title, version and description, with "OK" and
// "System Info...". It is shown without blocking the main window.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    // start runs the system information tool; without one the box starts it as a detached
    // process of its own.
    AboutBox(Registry& registry, Dialogs& dialogs, ProgramStarter start = {},
             QWidget* parent = nullptr);

    // cmdSysInfo: starts the system information tool or shows why it cannot.
    void startSystemInfo();

private:
    Registry& registry_;
    Dialogs& dialogs_;
    ProgramStarter start_;
};

// Starts program as a process of its own, not waited for.
bool startDetachedProgram(const std::string& program);

} // namespace quarnel
