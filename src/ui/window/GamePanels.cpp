// The frames of the "Game Options" tab, and the small pieces all frames share.
#include "common/AnsiText.h"
#include "common/Resources.h"
#include "window/FormBinding.h"
#include "window/Panels.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quarnel {

namespace {

// A label that heads a group of controls inside a frame.
QLabel* makeHeading(const char* name, std::string_view caption, QWidget* parent) {
    auto* label = new QLabel(fromAnsi(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// Short numeric boxes get a width that fits their few characters.
void makeNarrow(QLineEdit* edit, int characters) {
    const int width = edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (characters + 2);
    edit->setFixedWidth(width + 12);
}

} // namespace

QGroupBox* makeFrame(const char* name, std::string_view caption, QWidget* parent) {
    auto* frame = new QGroupBox(fromAnsi(caption), parent);
    frame->setObjectName(QString::fromLatin1(name));
    return frame;
}

QWidget* makeScrollColumn(FormBinding& binding, Scroll s, QWidget* parent) {
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(binding.valueLabel(s, column));
    auto* bar = binding.scroll(s, column);
    bar->setMinimumWidth(150);
    layout->addWidget(bar);
    return column;
}

QWidget* makeLogo(const char* name, QWidget* parent) {
    auto* logo = new QLabel(parent);
    logo->setObjectName(QString::fromLatin1(name));
    logo->setPixmap(logoPixmap());
    logo->setAlignment(Qt::AlignCenter);
    return logo;
}

QGroupBox* makeGameTypePanel(FormBinding& binding, QWidget* parent) {
    auto* frame = makeFrame("frmGameType", caption::frmGameType, parent);
    auto* layout = new QVBoxLayout(frame);
    for (int i = 0; i < 5; ++i)
        layout->addWidget(binding.gameType(i, frame));
    layout->addSpacing(6);
    layout->addWidget(makeHeading("lblBonuspack", caption::lblBonuspack, frame));
    for (int i = 5; i < 8; ++i)
        layout->addWidget(binding.gameType(i, frame));
    layout->addSpacing(6);
    // The custom game type box sits beside "Other", the type it belongs to.
    auto* other = new QHBoxLayout;
    other->addWidget(binding.gameType(kGameTypeOther, frame));
    auto* custom = binding.text(Text::CustomGameType, frame);
    custom->setMinimumWidth(110);
    other->addWidget(custom, 1);
    layout->addLayout(other);
    layout->addStretch(1);
    return frame;
}

QGroupBox* makeMapListPanel(FormBinding& binding, QWidget* parent) {
    auto* frame = makeFrame("frmMapList", caption::frmMapList, parent);
    auto* layout = new QVBoxLayout(frame);
    auto* label = new QLabel(fromAnsi(caption::lblSelectFiles), frame);
    label->setObjectName(QStringLiteral("lblSelectFiles"));
    auto* list = binding.mapList(frame);
    list->setMinimumSize(190, 200);
    label->setBuddy(list);
    layout->addWidget(label);
    layout->addWidget(list, 1);
    layout->addWidget(binding.check(Check::MapRotation, frame));
    auto* buttons = new QHBoxLayout;
    auto* all = new QPushButton(fromAnsi(caption::cmdselectall), frame);
    all->setObjectName(QStringLiteral("cmdselectall"));
    auto* none = new QPushButton(fromAnsi(caption::cmdclearall), frame);
    none->setObjectName(QStringLiteral("cmdclearall"));
    buttons->addWidget(all);
    buttons->addWidget(none);
    layout->addLayout(buttons);
    SettingsForm& form = binding.form();
    QObject::connect(all, &QPushButton::clicked, frame, [&form] { form.selectAllMaps(); });
    QObject::connect(none, &QPushButton::clicked, frame, [&form] { form.clearAllMaps(); });
    return frame;
}

QGroupBox* makeMutatorsPanel(FormBinding& binding, QWidget* parent) {
    auto* frame = makeFrame("frmMutators", caption::frmMutators, parent);
    auto* layout = new QGridLayout(frame);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    auto* mutators = new QVBoxLayout;
    for (int i = 0; i < 8; ++i)
        mutators->addWidget(binding.check(mutatorBox(i), frame));
    mutators->addStretch(1);
    layout->addLayout(mutators, 0, 0);

    auto* arena = new QVBoxLayout;
    arena->addWidget(makeHeading("lblMutators", caption::lblMutators, frame));
    for (int i = 0; i < kArenaCount; ++i)
        arena->addWidget(binding.arena(i, frame));
    arena->addStretch(1);
    layout->addLayout(arena, 0, 1);

    auto* extra = binding.text(Text::ExtraMutators, frame);
    layout->addWidget(binding.textLabel(Text::ExtraMutators, frame), 1, 0, 1, 2);
    layout->addWidget(extra, 2, 0, 1, 2);
    layout->addWidget(makeLogo("picLogo1", frame), 3, 0, 1, 2, Qt::AlignCenter);
    layout->setRowStretch(0, 1);
    return frame;
}

QGroupBox* makeGameOptionsPanel(FormBinding& binding, QWidget* parent) {
    auto* frame = makeFrame("frmGameOptions", caption::frmGameOptions, parent);
    auto* layout = new QHBoxLayout(frame);

    auto* options = new QVBoxLayout;
    for (int i = 0; i < 4; ++i)
        options->addWidget(binding.check(gameOptionBox(i), frame));
    options->addStretch(1);
    layout->addLayout(options);
    layout->addSpacing(12);

    auto* limits = new QFormLayout;
    limits->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (const Text t : {Text::TimeLimit, Text::GoalLimit, Text::MaxLives}) {
        auto* edit = binding.text(t, frame);
        makeNarrow(edit, 3);
        limits->addRow(binding.textLabel(t, frame), edit);
    }
    layout->addLayout(limits);
    layout->addSpacing(18);

    auto* tuning = new QGridLayout;
    tuning->setHorizontalSpacing(18);
    tuning->setVerticalSpacing(10);
    tuning->addWidget(makeScrollColumn(binding, Scroll::AirControl, frame), 0, 0);
    tuning->addWidget(makeScrollColumn(binding, Scroll::GameSpeed, frame), 0, 1);
    tuning->addWidget(makeScrollColumn(binding, Scroll::FriendlyFire, frame), 1, 0);
    tuning->addWidget(makeScrollColumn(binding, Scroll::SpawnProtection, frame), 1, 1);
    layout->addLayout(tuning, 1);
    return frame;
}

} // namespace quarnel
