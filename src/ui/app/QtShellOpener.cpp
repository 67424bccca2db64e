#include "app/QtShellOpener.h"

#include "dialogs/OpenWithDialog.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPointer>
#include <QProcess>
#include <QWidget>

namespace quarnel {

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// Whether the desktop names a default program for the MIME type, as xdg-open would find it.
// Answers true when that cannot be told, so that the desktop gets its chance.
bool hasDefaultProgram(const QString& mimeType) {
    QProcess query;
    query.start("xdg-mime", {"query", "default", mimeType});
    if (!query.waitForStarted(2000))
        return true;
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}
#endif

bool desktopAssociates(const QString& file) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file);
    if (hasDefaultProgram(type.name()))
        return true;
    // A type with no program of its own opens with its parent type's (text/plain for many).
    for (const QString& parent : type.allAncestors())
        if (parent != "application/octet-stream" && hasDefaultProgram(parent))
            return true;
    return false;
#else
    // Elsewhere the desktop itself refuses a file without a program.
    Q_UNUSED(file);
    return true;
#endif
}

} // namespace

QtShellOpener::Desktop QtShellOpener::systemDesktop(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    Desktop desktop;
    desktop.hasAssociation = desktopAssociates;
    desktop.openUrl = [](const QUrl& url) {
        return QDesktopServices::openUrl(url);
    };
    desktop.chooseProgram = [owner](const QString& file) -> std::optional<QString> {
        OpenWithDialog dialog(file, owner.data());
        if (dialog.exec() != QDialog::Accepted || dialog.program().isEmpty())
            return std::nullopt;
        return dialog.program();
    };
    desktop.startDetached = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    return desktop;
}

QtShellOpener::QtShellOpener(QWidget* parent) : desktop_(systemDesktop(parent)) {}

QtShellOpener::QtShellOpener(Desktop desktop) : desktop_(std::move(desktop)) {}

void QtShellOpener::shellopen(const std::string& file) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(file));
    // A file that does not exist cannot be opened by anything: nothing happens.
    if (!QFileInfo(path).isFile())
        return;
    if (desktop_.hasAssociation(path) && desktop_.openUrl(QUrl::fromLocalFile(path)))
        return;
    if (const auto program = desktop_.chooseProgram(path))
        desktop_.startDetached(*program, {path});
}

} // namespace quarnel
