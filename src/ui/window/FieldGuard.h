#pragma once

#include "settings/Controls.h"

#include <QObject>
#include <vector>

class QLineEdit;
class QWidget;

namespace quarnel {

class Dialogs;
class SettingsForm;

// The check of the numeric fields when the user leaves them. A refused value brings the
// field's message, puts its default text back and keeps the focus in the field; the mouse
// press that tried to leave it (on a command button, a tab, any control) is swallowed, so
// that control does not act. Leaving for another window or a menu is not leaving the field.
class FieldGuard : public QObject {
public:
    FieldGuard(SettingsForm& form, Dialogs& dialogs, QObject* parent = nullptr);

    // A checked field; its FieldCheck is looked up by t.
    void watchField(QLineEdit* edit, Text t);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        QLineEdit* edit;
        Text id;
    };
    // Runs the check of field; true when the value is accepted.
    bool checkField(const Field& field);

    SettingsForm& form_;
    Dialogs& dialogs_;
    std::vector<Field> fields_;
    bool checking_ = false;
    bool swallowPress_ = false; // a press moved the focus out of a field that refused
};

} // namespace quarnel
