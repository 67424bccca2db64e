#include "dialogs/QtDialogs.h"

#include "common/AnsiText.h"
#include "store/MakeNames.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace quarnel {

QWidget* QtDialogs::owner() const {
    // The window the user is working in owns the box (the About box for its own message),
    // so the box comes up over it.
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return parent_;
}

void QtDialogs::message(std::string_view text, std::string_view title) {
    QMessageBox box(QMessageBox::NoIcon, fromAnsi(title), fromAnsi(text), QMessageBox::Ok, owner());
    box.exec();
}

bool QtDialogs::ask(std::string_view text, std::string_view title, std::string_view goOnCaption,
                    std::string_view stopCaption) {
    QMessageBox box(QMessageBox::Warning, fromAnsi(title), fromAnsi(text), QMessageBox::NoButton,
                    owner());
    QPushButton* goOn = box.addButton(fromAnsi(goOnCaption), QMessageBox::AcceptRole);
    QPushButton* stop = box.addButton(fromAnsi(stopCaption), QMessageBox::RejectRole);
    goOn->setObjectName(QStringLiteral("cmdGoOn"));
    stop->setObjectName(QStringLiteral("cmdStop"));
    box.setDefaultButton(stop);
    box.setEscapeButton(stop);
    box.exec();
    return box.clickedButton() == goOn;
}

FileDialogResult fileDialogResult(const std::string& path, std::string_view defaultExtension) {
    FileDialogResult result;
    result.cancelled = false;
    result.path = path;
    result.title = fileTitleOf(path);
    if (!hasExtension(result.title, defaultExtension))
        result.flags |= FileDialogResult::kExtensionDifferent;
    return result;
}

FileDialogResult QtDialogs::fileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(owner());
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(fromAnsi(request.filterDescription) + QStringLiteral(" (") +
                         fromNativePath(request.filterPattern) + QLatin1Char(')'));
    dialog.setDefaultSuffix(fromNativePath(request.defaultExtension));
    if (!request.initialFolder.empty())
        dialog.setDirectory(fromNativePath(request.initialFolder));
    // A pre-filled wildcard pattern is no name to offer; the filter already shows it.
    if (!request.fileName.empty() && request.fileName.find_first_of("*?") == std::string::npos)
        dialog.selectFile(fromNativePath(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return fileDialogResult(toNativePath(QDir::toNativeSeparators(dialog.selectedFiles().first())),
                            request.defaultExtension);
}

} // namespace quarnel
