#include "window/FieldGuard.h"

#include "app/Dialogs.h"
#include "settings/FieldCheck.h"
#include "settings/SettingsForm.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <algorithm>

namespace quarnel {

namespace {

// Focus moves inside the window: a click, the Tab keys, an access key, or code. Leaving
// for another window, a menu or a popup is not leaving the field.
bool leavesWithinWindow(Qt::FocusReason reason) {
    switch (reason) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        return true;
    default:
        return false;
    }
}

} // namespace

FieldGuard::FieldGuard(SettingsForm& form, Dialogs& dialogs, QObject* parent)
    : QObject(parent), form_(form), dialogs_(dialogs) {
    // A press reaches the application before the widget: the focus moves (and the field
    // is checked) first, then the press is delivered, and can be stopped here.
    qApp->installEventFilter(this);
}

void FieldGuard::watchField(QLineEdit* edit, Text t) {
    fields_.push_back({edit, t});
}

bool FieldGuard::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::FocusOut && !checking_) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const auto it = std::find_if(fields_.begin(), fields_.end(),
                                     [watched](const Field& f) { return f.edit == watched; });
        if (it != fields_.end() && leavesWithinWindow(reason) && !checkField(*it))
            swallowPress_ = reason == Qt::MouseFocusReason;
    } else if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) &&
               swallowPress_ && watched->isWidgetType()) {
        // The press that took the focus away from a refusing field: the focus is back in
        // the field, and the control pressed must not act.
        swallowPress_ = false;
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool FieldGuard::checkField(const Field& field) {
    const FieldCheck* refusal = refusalFor(field.id, form_.text(field.id));
    if (!refusal)
        return true;
    // The message and the focus put back move the focus again: no check while this one runs.
    const QScopedValueRollback<bool> busy(checking_, true);
    dialogs_.message(refusal->message, refusal->title);
    form_.setText(field.id, refusal->defaultText);
    field.edit->setFocus(Qt::OtherFocusReason);
    field.edit->selectAll();
    return false;
}

} // namespace quarnel
