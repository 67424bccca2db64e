// The frames of the "Server Options" tab.
#include "common/AnsiText.h"
#include "window/FormBinding.h"
#include "window/Panels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace quarnel {

namespace {

QFormLayout* makeForm() {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(5);
    return form;
}

void addTextRow(FormBinding& binding, QFormLayout* form, Text t, QWidget* frame,
                int fixedWidth = 0) {
    auto* edit = binding.text(t, frame);
    if (fixedWidth > 0)
        edit->setFixedWidth(fixedWidth);
    form->addRow(binding.textLabel(t, frame), edit);
}

} // namespace

QGroupBox* makeServerOptionsPanel(FormBinding& binding, QWidget* parent) {
    auto* frame = makeFrame("frmServerOptions", caption::frmServerOptions, parent);
    auto* layout = new QGridLayout(frame);
    layout->setHorizontalSpacing(24);
    layout->setVerticalSpacing(14);

    // Identity, messages and passwords on the left.
    auto* identity = makeForm();
    for (const Text t :
         {Text::ServerName, Text::ShortServerName, Text::AdminName, Text::AdminEmail, Text::MOTD1,
          Text::MOTD2, Text::MOTD3, Text::MOTD4, Text::AdminPassword, Text::GamePassword})
        addTextRow(binding, identity, t, frame);
    identity->itemAt(0, QFormLayout::FieldRole)->widget()->setMinimumWidth(260);
    layout->addLayout(identity, 0, 0);

    // Ports, speeds and rates on the right, the web port under its switch.
    const int numberWidth = frame->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16;
    auto* network = makeForm();
    network->addRow(binding.check(Check::WebAdmin, frame));
    for (const Text t : {Text::WebAdminPort, Text::GamePort, Text::NetSpeed, Text::LanSpeed,
                         Text::NetTickRate, Text::LanTickRate})
        addTextRow(binding, network, t, frame, numberWidth);
    layout->addLayout(network, 0, 1, Qt::AlignTop);

    // The eleven switches in two columns.
    auto* switches = new QGridLayout;
    switches->setVerticalSpacing(8);
    switches->setHorizontalSpacing(16);
    for (int i = 0; i < 11; ++i)
        switches->addWidget(binding.check(serverOptionBox(i), frame), i % 6, i / 6);
    layout->addLayout(switches, 1, 0, Qt::AlignTop);

    auto* limits = new QVBoxLayout;
    limits->setSpacing(10);
    for (const Scroll s : {Scroll::MaxPlayers, Scroll::MaxSpectators, Scroll::NetStartDelay})
        limits->addWidget(makeScrollColumn(binding, s, frame));
    limits->addStretch(1);
    layout->addLayout(limits, 1, 1);

    auto* extra = makeForm();
    addTextRow(binding, extra, Text::ExtraCommandLine, frame);
    layout->addLayout(extra, 2, 0, 1, 2);
    return frame;
}

QGroupBox* makeBotsPanel(FormBinding& binding, QWidget* parent) {
    auto* frame = makeFrame("frmBots", caption::frmBots, parent);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(binding.check(Check::UseBots, frame));
    layout->addWidget(binding.check(Check::BotSkill, frame));
    layout->addSpacing(8);
    layout->addWidget(makeScrollColumn(binding, Scroll::MinPlayers, frame));
    layout->addSpacing(8);
    auto* skill = binding.botSkill(frame);
    auto* label = new QLabel(fromAnsi(caption::lblBotSkill), frame);
    label->setObjectName(QStringLiteral("lblBotSkill"));
    label->setBuddy(skill);
    layout->addWidget(label);
    layout->addWidget(skill);
    layout->addStretch(1);
    layout->addWidget(makeLogo("picLogo2", frame), 0, Qt::AlignCenter);
    return frame;
}

} // namespace quarnel
