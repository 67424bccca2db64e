#include "settings/FieldGuard.h"

#include "app/Dialogs.h"
#include "settings/FieldCheck.h"
#include "settings/SettingsForm.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
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
    : QObject(parent), form_(form), dialogs_(dialogs) {}

void FieldGuard::watchField(QLineEdit* edit, Text t) {
    fields_.push_back({edit, t});
    edit->installEventFilter(this);
}

void FieldGuard::guardClick(QWidget* widget) {
    guarded_.push_back(widget);
    widget->installEventFilter(this);
}

bool FieldGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !checking_) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const auto it = std::find_if(fields_.begin(), fields_.end(),
                                     [watched](const Field& f) { return f.edit == watched; });
        if (it != fields_.end() && leavesWithinWindow(reason) && it->edit->isEnabled())
            checkField(*it);
    } else if (event->type() == QEvent::MouseButtonPress ||
               event->type() == QEvent::MouseButtonDblClick) {
        // The press that took the focus away from a field has already run the check; when
        // the field refused, the focus is back in it and this press must not act.
        const bool isGuarded =
            std::find(guarded_.begin(), guarded_.end(), watched) != guarded_.end();
        if (isGuarded && refused_ && refused_->hasFocus())
            return true;
    }
    return QObject::eventFilter(watched, event);
}

bool FieldGuard::checkField(const Field& field) {
    const FieldCheck* refusal = refusalFor(field.id, form_.text(field.id));
    if (!refusal) {
        if (refused_ == field.edit)
            refused_.clear();
        return true;
    }
    checking_ = true;
    dialogs_.message(refusal->message, refusal->title);
    form_.setText(field.id, refusal->defaultText);
    refused_ = field.edit;
    field.edit->setFocus(Qt::OtherFocusReason);
    field.edit->selectAll();
    checking_ = false;
    return false;
}

} // namespace quarnel
