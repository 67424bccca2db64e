#pragma once

#include "settings/SettingsForm.h"

#include <QObject>
#include <array>
#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QRadioButton;
class QScrollBar;
class QWidget;

namespace quarnel {

class MapListModel;

// Creates the settings widgets with their names, captions, tooltips and limits, and keeps
// them in step with the SettingsForm both ways: a widget edit is written into the form, and
// every change of the form (user edit, panel handling, a load by code) shows in the widgets.
class FormBinding : public QObject {
public:
    explicit FormBinding(SettingsForm& form, QObject* parent = nullptr);

    SettingsForm& form() { return form_; }

    // The bound widgets, created on first request with parent as their parent.
    QCheckBox* check(Check c, QWidget* parent);
    QLineEdit* text(Text t, QWidget* parent);
    // The caption label of a text box; carries the box's tooltip where the table says so.
    QLabel* textLabel(Text t, QWidget* parent);
    QScrollBar* scroll(Scroll s, QWidget* parent);
    QLabel* valueLabel(Scroll s, QWidget* parent);
    QRadioButton* gameType(int index, QWidget* parent);
    QRadioButton* arena(int index, QWidget* parent);
    QComboBox* botSkill(QWidget* parent);
    QListView* mapList(QWidget* parent);

    // The line edit of a text box once created, or nullptr.
    QLineEdit* lineEdit(Text t) const { return texts_[index(t)]; }

    // Shows the whole state of the form in the widgets.
    void refreshAll();

private:
    void apply(const FormChange& change);
    void showCheck(Check c);
    void showText(Text t);
    void showScroll(Scroll s);
    void showCaption(Scroll s);
    void showGameType();
    void showArena();
    void showBotSkill();
    void showMapList();
    void sizeMapRows();
    void showMapEntry(int entry);
    void showEnabled();
    void pushMapSelection();
    // A member of an option array: a button of the array's group (made with its first
    // member) that selects its index in the form when the user picks it.
    QRadioButton* option(QButtonGroup*& group, const std::function<void(int)>& choose,
                         std::string_view array, std::string_view caption, int index,
                         QWidget* parent);

    // Form values are put into widgets with the widgets' signals blocked, so showing a value
    // never writes it back.
    SettingsForm& form_;
    std::array<QCheckBox*, kCheckCount> checks_{};
    std::array<QLineEdit*, kTextCount> texts_{};
    std::array<QLabel*, kTextCount> textLabels_{};
    std::array<QScrollBar*, kScrollCount> scrolls_{};
    std::array<QLabel*, kScrollCount> valueLabels_{};
    std::array<QRadioButton*, kGameTypeCount> gameTypes_{};
    std::array<QRadioButton*, kArenaCount> arenas_{};
    QButtonGroup* gameTypeGroup_ = nullptr;
    QButtonGroup* arenaGroup_ = nullptr;
    QComboBox* botSkill_ = nullptr;
    QListView* mapList_ = nullptr;
    MapListModel* mapModel_ = nullptr;
    // Set while the form's map list is put into the view, whose selection signals then
    // carry nothing new to the form.
    bool showingMaps_ = false;
};

// "optGameType_2": the object name of a member of a control array.
QString arrayName(std::string_view name, int index);

} // namespace quarnel
