#pragma once

#include "app/ShellOpener.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

class QWidget;

namespace quarnel {

// Starts a file the way the desktop does on a double-click, and when the desktop knows no
// program for the file's type, lets the user choose one in an Open With dialog of our own.
// Never waits for the started program; failures stay silent.
class QtShellOpener : public ShellOpener {
public:
    // The desktop services it uses, replaceable for tests.
    struct Desktop {
        // Whether the desktop associates a program with the file's type.
        std::function<bool(const QString& file)> hasAssociation;
        // Opens the file with its associated program; false when that failed.
        std::function<bool(const QUrl& url)> openUrl;
        // Asks the user for a program to open the file with; nullopt when cancelled.
        std::function<std::optional<QString>(const QString& file)> chooseProgram;
        // Starts program with the arguments, detached.
        std::function<bool(const QString& program, const QStringList& arguments)> startDetached;
    };

    // The desktop's own services; the chooser is owned by parent.
    static Desktop systemDesktop(QWidget* parent);

    explicit QtShellOpener(QWidget* parent = nullptr);
    explicit QtShellOpener(Desktop desktop);

    void shellopen(const std::string& file) override;

private:
    Desktop desktop_;
};

} // namespace quarnel
