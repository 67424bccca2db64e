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
    : registry_(registry), dialogs_(dialogs),
      shell_(form_, registry, dialogs, opener, host_, std::move(programFolder), loops) {}

void Application::restore() {
    shell_.restore();
}

void Application::buildWindow() {
    if (window_)
        return;
    shell_.restore();
    window_ = std::make_unique<MainWindow>(form_, dialogs_, registry_);
    host_.attach(*window_);
    MainWindow* window = window_.get();
    QObject::connect(window, &MainWindow::commandRequested, window,
                     [this](Command command) { shell_.run(command); });
    QObject::connect(window, &MainWindow::activated, window, [this] { shell_.onActivate(); });
    QObject::connect(window, &MainWindow::closing, window, [this] { shell_.onClose(); });
}

void Application::start() {
    buildWindow();
    shell_.onStart();
    window_->show();
    // The path check runs when the window becomes active. Where nothing activates a new
    // window (no window manager, a desktop that refuses to move the focus), it runs once
    // the window shows all the same, so the program never stays open without a game folder.
    QMetaObject::invokeMethod(
        window_.get(),
        [this] {
            if (!window_->isActiveWindow())
                shell_.onActivate();
        },
        Qt::QueuedConnection);
}

} // namespace quarnel
