#pragma once

#include "about/SysInfo.h"
#include "app/Command.h"

#include <QMainWindow>
#include <QPointer>
#include <array>

class QGroupBox;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace quarnel {

class AboutBox;
class Dialogs;
class FieldGuard;
class FormBinding;
class Registry;
class SettingsForm;

// The settings window, frmquarnel: the menus, the tab strip with its six frames and the
// live command line, and the "Application Commands" frame. It shows the SettingsForm and writes the
// user's edits into it; what the commands do is left to whoever listens to commandRequested.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(SettingsForm& form, Dialogs& dialogs, Registry& registry, QWidget* parent = nullptr);
    ~MainWindow() override;

    // tabMain's click: shows the page of the tab with this index (by its caption) and hides
    // the others.
    void showTab(int index);

    // aboutmenu: shows the About box without blocking this window; an open one comes up.
    void showAbout();
    // The About box while it is open, else nullptr.
    AboutBox* aboutBox() const;
    // How "System Info..." starts a program; by default a detached process.
    void setProgramStarter(ProgramStarter start);

signals:
    // A command button was clicked (and the field being left accepted its value), or a menu
    // item chosen: 0 Launch Server, 1 Load Config, 2 Save Config, 3 Make .BAT/.INI.
    void commandRequested(quarnel::Command command);
    // The window became the active window.
    void activated();
    // The window is closing; the close is never cancelled.
    void closing();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    QStackedWidget* buildPages();
    QGroupBox* buildCommands();
    void watchFields();

    SettingsForm& form_;
    Dialogs& dialogs_;
    Registry& registry_;
    FormBinding* binding_;
    FieldGuard* guard_;
    QTabBar* tabMain_ = nullptr;
    // The tabs' pages, one shown at a time: the frames of "Game Options", those of "Server
    // Options", and the command line.
    QStackedWidget* pages_ = nullptr;
    std::array<QPushButton*, 4> commands_{};
    QPointer<AboutBox> about_;
    ProgramStarter start_;
};

} // namespace quarnel
