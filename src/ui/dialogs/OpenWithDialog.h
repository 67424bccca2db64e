#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace quarnel {

// Asks which program should open a file that the desktop has no program for: a program
// path typed or picked with "Browse...", confirmed with OK.
class OpenWithDialog : public QDialog {
    Q_OBJECT

public:
    explicit OpenWithDialog(const QString& file, QWidget* parent = nullptr);

    QString program() const;

private:
    void browse();

    QLineEdit* program_;
    QPushButton* ok_;
};

} // namespace quarnel
