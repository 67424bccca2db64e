#include "app/Application.h"

#include "common/AnsiText.h"
#include "common/Resources.h"

#include <QMetaObject>

namespace quarnel {

void MainWindowHost::dress() {
    window_->showTab(0);
    window_->setWindowIcon(programIcon());
}

void MainWindowHost::setTitle(const std::string& title) {
    window_->setWindowTitle(fromNativePath(title));
}

void MainWindowHost::close() {
    QMetaObject::invokeMethod(window_, &QWidget::close, Qt::QueuedConnection);
}

Application::Application(Registry& registry, Dialogs& dialogs, ShellOpener& opener,
                         std::string programFolder, ServerLoops* loops)
    : host_(&window_),
      shell_(form_, registry, dialogs, opener, host_, std::move(programFolder), loops),
      window_(restoredForm(), dialogs, registry) {
    QObject::connect(&window_, &MainWindow::commandRequested, &window_,
                     [this](Command command) { shell_.run(command); });
    QObject::connect(&window_, &MainWindow::activated, &window_, [this] { shell_.onActivate(); });
    QObject::connect(&window_, &MainWindow::closing, &window_, [this] { shell_.onClose(); });
}

SettingsForm& Application::restoredForm() {
    shell_.restore();
    return form_;
}

void Application::start() {
    shell_.onStart();
    window_.show();
    // The path check runs when the window becomes active. Where nothing activates a new
    // window (no window manager, a desktop that refuses to move the focus), it runs once
    // the window shows all the same, so the program never stays open without a game folder.
    QMetaObject::invokeMethod(
        &window_,
        [this] {
            if (!window_.isActiveWindow())
                shell_.onActivate();
        },
        Qt::QueuedConnection);
}

} // namespace quarnel
