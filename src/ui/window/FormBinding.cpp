#include "window/FormBinding.h"

#include "common/AnsiText.h"
#include "window/MapListModel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelection>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>
#include <array>

namespace quarnel {

namespace {

QString qs(std::string_view text) {
    return fromAnsi(text);
}

// Sets the tooltip unless the table has none.
void setTip(QWidget* widget, std::string_view tooltip) {
    if (!tooltip.empty())
        widget->setToolTip(qs(tooltip));
}

// The map list takes the size of every row from its last one (uniform item sizes), rather
// than laying out the text of thousands of names before the window can show. The widest name
// is found by adding up character widths; the last row is then given its size, so that a
// long name can still be scrolled into view.
std::size_t widestEntry(const QFontMetrics& metrics, const MapList& list) {
    std::array<int, 256> latin1;
    latin1.fill(-1);
    const auto advance = [&](QChar c) {
        if (c.unicode() >= latin1.size())
            return metrics.horizontalAdvance(c);
        int& width = latin1[c.unicode()];
        if (width < 0)
            width = metrics.horizontalAdvance(c);
        return width;
    };
    std::size_t widest = 0;
    int widestWidth = -1;
    for (std::size_t row = 0; row < list.count(); ++row) {
        const std::string& name = list.entries[row];
        int width = 0;
        // A name in ASCII, as nearly all are, is the same text in every encoding: it is
        // measured from its bytes, without being converted first.
        if (std::all_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            for (const char c : name)
                width += advance(QChar::fromLatin1(c));
        } else {
            for (const QChar c : fromNativePath(name))
                width += advance(c);
        }
        if (width > widestWidth) {
            widest = row;
            widestWidth = width;
        }
    }
    return widest;
}

} // namespace

QString arrayName(std::string_view name, int index) {
    return qs(name) + QLatin1Char('_') + QString::number(index);
}

FormBinding::FormBinding(SettingsForm& form, QObject* parent) : QObject(parent), form_(form) {
    QPointer<FormBinding> self(this);
    form_.subscribe([self](const FormChange& change) {
        if (self)
            self->apply(change);
    });
}

QCheckBox* FormBinding::check(Check c, QWidget* parent) {
    auto& box = checks_[index(c)];
    if (box)
        return box;
    const auto& def = control(c);
    box = new QCheckBox(qs(def.caption), parent);
    box->setObjectName(def.arrayIndex < 0 ? qs(def.name) : arrayName(def.name, def.arrayIndex));
    setTip(box, def.tooltip);
    connect(box, &QCheckBox::toggled, this, [this, c](bool on) { form_.setChecked(c, on); });
    showCheck(c);
    return box;
}

QLineEdit* FormBinding::text(Text t, QWidget* parent) {
    auto& edit = texts_[index(t)];
    if (edit)
        return edit;
    const auto& def = control(t);
    edit = new QLineEdit(parent);
    edit->setObjectName(qs(def.name));
    if (def.maxLength > 0)
        edit->setMaxLength(def.maxLength);
    if (def.password) {
        // A password box shows an asterisk for every character, whatever the style's mark.
        edit->setEchoMode(QLineEdit::Password);
        edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    }
    if (def.tooltipOnBox)
        setTip(edit, def.tooltip);
    connect(edit, &QLineEdit::textChanged, this, [this, t, edit](const QString& value) {
        // A longer text that a load put in may be shortened by hand; once it fits, the
        // box's own limit holds again.
        const int limit = control(t).maxLength;
        if (limit > 0 && value.size() <= limit)
            edit->setMaxLength(limit);
        form_.setText(t, toAnsi(value));
    });
    showText(t);
    return edit;
}

QLabel* FormBinding::textLabel(Text t, QWidget* parent) {
    auto& label = textLabels_[index(t)];
    if (label)
        return label;
    const auto& def = control(t);
    label = new QLabel(qs(def.caption), parent);
    label->setObjectName(qs(def.labelName));
    if (def.tooltipOnLabel)
        setTip(label, def.tooltip);
    if (auto* edit = texts_[index(t)])
        label->setBuddy(edit);
    return label;
}

QScrollBar* FormBinding::scroll(Scroll s, QWidget* parent) {
    auto& bar = scrolls_[index(s)];
    if (bar)
        return bar;
    const auto& def = control(s);
    bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(qs(def.name));
    bar->setRange(def.min, def.max);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setFocusPolicy(Qt::StrongFocus);
    // Qt's scroll bars take Right and Up as "scroll back"; a value bar raises its value on them.
    bar->setInvertedControls(false);
    // A value that settles (arrow, track, keyboard, code) gives the change form of the label;
    // while the thumb is dragged the form shows the drag form, and the release settles it.
    connect(bar, &QScrollBar::valueChanged, this, [this, s, bar](int value) {
        if (!bar->isSliderDown())
            form_.setScroll(s, value);
    });
    connect(bar, &QScrollBar::sliderMoved, this,
            [this, s](int value) { form_.dragScroll(s, value); });
    connect(bar, &QScrollBar::sliderReleased, this, [this, s, bar] {
        if (form_.scroll(s) != bar->value())
            form_.setScroll(s, bar->value());
        else
            form_.settleScroll(s);
    });
    showScroll(s);
    return bar;
}

QLabel* FormBinding::valueLabel(Scroll s, QWidget* parent) {
    auto& label = valueLabels_[index(s)];
    if (label)
        return label;
    const auto& def = control(s);
    label = new QLabel(parent);
    label->setObjectName(qs(def.labelName));
    setTip(label, def.tooltip);
    showCaption(s);
    return label;
}

QRadioButton* FormBinding::option(QButtonGroup*& group, const std::function<void(int)>& choose,
                                  std::string_view array, std::string_view caption, int i,
                                  QWidget* parent) {
    if (!group) {
        group = new QButtonGroup(this);
        connect(group, &QButtonGroup::idToggled, this, [choose](int id, bool on) {
            if (on)
                choose(id);
        });
    }
    auto* button = new QRadioButton(qs(caption), parent);
    button->setObjectName(arrayName(array, i));
    group->addButton(button, i);
    return button;
}

QRadioButton* FormBinding::gameType(int i, QWidget* parent) {
    auto& button = gameTypes_[static_cast<std::size_t>(i)];
    if (button)
        return button;
    button = option(
        gameTypeGroup_, [this](int id) { form_.selectGameType(id); }, "optGameType",
        kGameTypes[static_cast<std::size_t>(i)].caption, i, parent);
    showGameType();
    showEnabled();
    return button;
}

QRadioButton* FormBinding::arena(int i, QWidget* parent) {
    auto& button = arenas_[static_cast<std::size_t>(i)];
    if (button)
        return button;
    const auto& def = kArenaOptions[static_cast<std::size_t>(i)];
    button = option(
        arenaGroup_, [this](int id) { form_.selectArena(id); }, "optMutator", def.caption, i,
        parent);
    setTip(button, def.tooltip);
    showArena();
    return button;
}

QComboBox* FormBinding::botSkill(QWidget* parent) {
    if (botSkill_)
        return botSkill_;
    botSkill_ = new QComboBox(parent);
    botSkill_->setObjectName(QStringLiteral("cboBotSkill"));
    for (const auto item : kBotSkills)
        botSkill_->addItem(qs(item));
    connect(botSkill_, &QComboBox::currentIndexChanged, this,
            [this](int i) { form_.setBotSkillIndex(i); });
    showBotSkill();
    showEnabled();
    return botSkill_;
}

QListView* FormBinding::mapList(QWidget* parent) {
    if (mapList_)
        return mapList_;
    mapList_ = new QListView(parent);
    mapList_->setObjectName(QStringLiteral("filMapList"));
    mapList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mapList_->setUniformItemSizes(true);
    mapModel_ = new MapListModel(form_.mapList(), mapList_);
    mapList_->setModel(mapModel_);
    connect(mapList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { pushMapSelection(); });
    sizeMapRows();
    showMapList();
    return mapList_;
}

void FormBinding::pushMapSelection() {
    if (showingMaps_)
        return;
    std::vector<bool> flags(form_.mapList().count(), false);
    for (const QItemSelectionRange& range : mapList_->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (static_cast<std::size_t>(row) < flags.size())
                flags[static_cast<std::size_t>(row)] = true;
    if (static_cast<int>(flags.size()) == mapModel_->rowCount())
        form_.setMapSelection(std::move(flags));
}

void FormBinding::refreshAll() {
    for (std::size_t i = 0; i < kCheckCount; ++i)
        showCheck(static_cast<Check>(i));
    for (std::size_t i = 0; i < kTextCount; ++i)
        showText(static_cast<Text>(i));
    for (std::size_t i = 0; i < kScrollCount; ++i) {
        showScroll(static_cast<Scroll>(i));
        showCaption(static_cast<Scroll>(i));
    }
    showGameType();
    showArena();
    showBotSkill();
    showMapList();
    showEnabled();
}

void FormBinding::apply(const FormChange& change) {
    using Kind = FormChange::Kind;
    switch (change.kind) {
    case Kind::Check:
        showCheck(static_cast<Check>(change.id));
        break;
    case Kind::Text:
        showText(static_cast<Text>(change.id));
        break;
    case Kind::Scroll:
        showScroll(static_cast<Scroll>(change.id));
        break;
    case Kind::Caption:
        showCaption(static_cast<Scroll>(change.id));
        break;
    case Kind::GameType:
        showGameType();
        break;
    case Kind::Arena:
        showArena();
        break;
    case Kind::BotSkill:
        showBotSkill();
        break;
    case Kind::MapList:
        if (change.id < 0)
            showMapList();
        else
            showMapEntry(change.id);
        break;
    case Kind::Enabled:
        showEnabled();
        break;
    case Kind::FormVariables:
        break;
    }
}

void FormBinding::showCheck(Check c) {
    if (auto* box = checks_[index(c)]) {
        const QSignalBlocker quiet(box);
        box->setChecked(form_.checked(c));
    }
}

void FormBinding::showText(Text t) {
    auto* edit = texts_[index(t)];
    if (!edit)
        return;
    const QString value = fromAnsi(form_.text(t));
    // Only a different text is put in, so the caret stays where the user is typing.
    if (edit->text() != value) {
        const QSignalBlocker quiet(edit);
        // The limit is on typing only: a longer text set by a load is shown whole.
        const int limit = control(t).maxLength;
        if (limit > 0)
            edit->setMaxLength(std::max<int>(limit, static_cast<int>(value.size())));
        edit->setText(value);
    }
}

void FormBinding::showScroll(Scroll s) {
    if (auto* bar = scrolls_[index(s)]) {
        const QSignalBlocker quiet(bar);
        // While the user drags, the bar already shows the value under the thumb.
        if (!bar->isSliderDown())
            bar->setValue(form_.scroll(s));
    }
}

void FormBinding::showCaption(Scroll s) {
    if (auto* label = valueLabels_[index(s)])
        label->setText(qs(form_.caption(s)));
}

void FormBinding::showGameType() {
    // The group reports the buttons' toggles; quiet, it does not write them back.
    const QSignalBlocker quiet(gameTypeGroup_);
    const int selected = form_.gameType();
    if (selected >= 0)
        if (auto* button = gameTypes_[static_cast<std::size_t>(selected)])
            button->setChecked(true);
}

void FormBinding::showArena() {
    const QSignalBlocker quiet(arenaGroup_);
    const int selected = form_.arena();
    if (selected >= 0)
        if (auto* button = arenas_[static_cast<std::size_t>(selected)])
            button->setChecked(true);
}

void FormBinding::showBotSkill() {
    if (!botSkill_)
        return;
    const QSignalBlocker quiet(botSkill_);
    botSkill_->setCurrentIndex(form_.botSkillIndex());
}

void FormBinding::sizeMapRows() {
    const MapList& list = form_.mapList();
    if (list.count() < 2)
        return;
    const std::size_t widest = widestEntry(mapList_->fontMetrics(), list);
    if (widest != list.count() - 1)
        mapModel_->setLastRowSize(
            mapList_->sizeHintForIndex(mapModel_->index(static_cast<int>(widest))));
}

void FormBinding::showMapList() {
    if (!mapList_)
        return;
    const QScopedValueRollback showing(showingMaps_, true);
    if (mapModel_->reload())
        sizeMapRows();
    // The selected rows in runs, set in one step rather than row by row.
    const MapList& list = form_.mapList();
    QItemSelection selection;
    for (std::size_t i = 0; i < list.count();) {
        if (!list.selected[i]) {
            ++i;
            continue;
        }
        const std::size_t first = i;
        while (i < list.count() && list.selected[i])
            ++i;
        selection.select(mapModel_->index(static_cast<int>(first)),
                         mapModel_->index(static_cast<int>(i - 1)));
    }
    mapList_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void FormBinding::showMapEntry(int entry) {
    if (!mapList_ || entry >= mapModel_->rowCount())
        return;
    const QScopedValueRollback showing(showingMaps_, true);
    const bool selected = form_.mapList().selected[static_cast<std::size_t>(entry)];
    mapList_->selectionModel()->select(mapModel_->index(entry),
                                       selected ? QItemSelectionModel::Select
                                                : QItemSelectionModel::Deselect);
}

void FormBinding::showEnabled() {
    const EnabledState& state = form_.enabled();
    auto enable = [](QWidget* widget, bool on) {
        if (widget)
            widget->setEnabled(on);
    };
    enable(checks_[index(Check::BotSkill)], state.botSkillCheck);
    enable(scrolls_[index(Scroll::MinPlayers)], state.minPlayers);
    enable(texts_[index(Text::WebAdminPort)], state.webAdminPort);
    enable(texts_[index(Text::CustomGameType)], state.customGameType);
    for (int i = 0; i < kGameTypeCount; ++i)
        enable(gameTypes_[static_cast<std::size_t>(i)],
               state.gameTypes[static_cast<std::size_t>(i)]);
    if (botSkill_) {
        botSkill_->setEnabled(state.botSkillList);
        // The list's background refers to the system colours: the window (edit field)
        // colour while bots are on, the button face while they are off.
        const QPalette system = QApplication::palette();
        const QColor back = state.botSkillListColor == BackColor::Window
                                ? system.color(QPalette::Active, QPalette::Base)
                                : system.color(QPalette::Active, QPalette::Button);
        QPalette palette = botSkill_->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, QPalette::Base, back);
            palette.setColor(group, QPalette::Button, back);
        }
        botSkill_->setPalette(palette);
    }
}

} // namespace quarnel
