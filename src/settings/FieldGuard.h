#pragma once

#include "settings/Controls.h"

#include <QObject>
#include <QPointer>
#include <vector>

class QLineEdit;
class QWidget;

namespace quarnel {

class Dialogs;
class SettingsForm;

// The check of the numeric fields when the user leaves them. A refused value brings the
// field's message, puts its default text back and keeps the focus in the field; the click
// that tried to leave it (on a command button or a tab) is swallowed, so it does not act.
// Leaving for another window or a menu does not count as leaving the field.
class FieldGuard : public QObject {
public:
    FieldGuard(SettingsForm& form, Dialogs& dialogs, QObject* parent = nullptr);

    // A checked field; its FieldCheck is looked up by t.
    void watchField(QLineEdit* edit, Text t);
    // A control whose click must not act while a field refuses to be left.
    void guardClick(QWidget* widget);

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
    std::vector<QWidget*> guarded_;
    QPointer<QLineEdit> refused_; // the field that last refused, until it is left accepted
    bool checking_ = false;
};

} // namespace quarnel
