#pragma once

#include <QTimer>
#include <QWidget>
#include <string>

class QLineEdit;
class QPlainTextEdit;

namespace quarnel {

class SettingsForm;

// The page of the tab "Command Line": the server command line that Launch Server would run
// with the settings now (the launch batch file's third line, formed by the same code), and
// on Linux the command that starts its restart script, each read-only and selectable with a
// Copy button. While it shows, it follows every change of the form; a burst of changes (a
// load, Select All) brings one update, once the event loop turns. Hidden, it catches up
// when it is shown.
class CommandLinePanel : public QWidget {
public:
    explicit CommandLinePanel(SettingsForm& form, QWidget* parent = nullptr);

    // Forms the lines now and shows those that changed; the update a burst of changes
    // comes down to.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    SettingsForm& form_;
    QPlainTextEdit* serverLine_ = nullptr;
    QLineEdit* scriptLine_ = nullptr;
    std::string shownServer_;
    std::string shownScript_;
    QTimer pending_;
    bool stale_ = true;
};

} // namespace quarnel
