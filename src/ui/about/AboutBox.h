#pragma once

#include "about/SysInfo.h"

#include <QDialog>

namespace quarnel {

class Dialogs;
class MRegistry;

// The About box, frmAbout: the program's title, version and description, with "OK" and
// "System Info...". It is shown without blocking the main window.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    // start runs the system information tool; without one the box starts it as a detached
    // process of its own.
    AboutBox(MRegistry& registry, Dialogs& dialogs, ProgramStarter start = {},
             QWidget* parent = nullptr);

    // cmdSysInfo: starts the system information tool or shows why it cannot.
    void cmdSysInfo_Click();

private:
    MRegistry& registry_;
    Dialogs& dialogs_;
    ProgramStarter start_;
};

// Starts program as a process of its own, not waited for.
bool startDetachedProgram(const std::string& program);

} // namespace quarnel
