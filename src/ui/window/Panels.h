#pragma once

#include "settings/Controls.h"

#include <string_view>

class QGroupBox;
class QWidget;

// The frames of the settings window. Each builds its controls through the binding, which
// names them and keeps them in step with the form; the frames only arrange them.
namespace quarnel {

class FormBinding;

// Tab "Game Options".
QGroupBox* makeGameTypePanel(FormBinding& binding, QWidget* parent);
QGroupBox* makeMapListPanel(FormBinding& binding, QWidget* parent);
QGroupBox* makeMutatorsPanel(FormBinding& binding, QWidget* parent);
QGroupBox* makeGameOptionsPanel(FormBinding& binding, QWidget* parent);

// Tab "Server Options".
QGroupBox* makeServerOptionsPanel(FormBinding& binding, QWidget* parent);
QGroupBox* makeBotsPanel(FormBinding& binding, QWidget* parent);

// A frame with its name and caption.
QGroupBox* makeFrame(const char* name, std::string_view caption, QWidget* parent);

// A value label above its scroll bar, the pair as one column.
QWidget* makeScrollColumn(FormBinding& binding, Scroll s, QWidget* parent);

// A logo picture box.
QWidget* makeLogo(const char* name, QWidget* parent);

} // namespace quarnel
