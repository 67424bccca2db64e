#pragma once

#include "app/Dialogs.h"

class QWidget;

namespace quarnel {

// Message boxes and file dialogs of the desktop, for the window.
class QtDialogs : public Dialogs {
public:
    // The dialogs come up over the active window of the program, else over parent.
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    void setParent(QWidget* parent) { parent_ = parent; }

    // A modal box with the text, the title, an OK button and no icon.
    void message(std::string_view text, std::string_view title) override;
    // A modal open or save dialog with one filter entry, "description (pattern)".
    FileDialogResult fileDialog(const FileDialogRequest& request) override;
    // A modal box with a warning icon; the stop button is the default and Escape's.
    bool ask(std::string_view text, std::string_view title, std::string_view goOnCaption,
             std::string_view stopCaption) override;

private:
    QWidget* owner() const;

    QWidget* parent_;
};

// What the dialog reports for a chosen path: the path, its file name as title, and the
// extension flag when the name's extension differs from defaultExtension without regard
// to case.
FileDialogResult fileDialogResult(const std::string& path, std::string_view defaultExtension);

} // namespace quarnel
