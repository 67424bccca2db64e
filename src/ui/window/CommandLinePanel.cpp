#include "window/CommandLinePanel.h"

#include "common/AnsiText.h"
#include "launch/LaunchCommand.h"
#include "settings/SettingsForm.h"
#include "window/Panels.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarnel {

namespace {

// A Copy button that puts what text() gives on the clipboard.
template <class Text> QPushButton* makeCopyButton(const char* name, QWidget* parent, Text text) {
    auto* button = new QPushButton(QStringLiteral("Copy"), parent);
    button->setObjectName(QString::fromLatin1(name));
    QObject::connect(button, &QPushButton::clicked, parent,
                     [text] { QApplication::clipboard()->setText(text()); });
    return button;
}

QLabel* makeNote(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

} // namespace

CommandLinePanel::CommandLinePanel(SettingsForm& form, QWidget* parent)
    : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("pageCommandLine"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* frame = makeFrame("frmCommandLine", "Server Command Line", this);
    auto* inner = new QVBoxLayout(frame);
    layout->addWidget(frame);

    inner->addWidget(makeNote("lblCommandLine",
                              QStringLiteral("Launch Server runs this line, the third line of "
                                             "quarnel.bat; it follows every change of the "
                                             "settings."),
                              frame));
    serverLine_ = new QPlainTextEdit(frame);
    serverLine_->setObjectName(QStringLiteral("txtCommandLine"));
    serverLine_->setReadOnly(true);
    serverLine_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    serverLine_->setFont(fixed);
    // The URL holds no blank, so the line wraps wherever the field ends.
    serverLine_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    inner->addWidget(serverLine_, 1);
    auto* serverRow = new QHBoxLayout;
    serverRow->addStretch(1);
    serverRow->addWidget(
        makeCopyButton("cmdCopyCommandLine", frame, [this] { return serverLine_->toPlainText(); }));
    inner->addLayout(serverRow);

#ifndef _WIN32
    inner->addWidget(makeNote("lblScriptCommand",
                              QStringLiteral("On this system Launch Server starts the line through "
                                             "its restart script, as this command does:"),
                              frame));
    auto* scriptRow = new QHBoxLayout;
    scriptLine_ = new QLineEdit(frame);
    scriptLine_->setObjectName(QStringLiteral("txtScriptCommand"));
    scriptLine_->setReadOnly(true);
    scriptLine_->setFont(fixed);
    scriptRow->addWidget(scriptLine_, 1);
    scriptRow->addWidget(
        makeCopyButton("cmdCopyScriptCommand", frame, [this] { return scriptLine_->text(); }));
    inner->addLayout(scriptRow);
#endif

    // Every change marks the lines stale. While the page shows, the update runs once the
    // event loop turns, so a burst of changes costs one update; while it is hidden, the
    // update waits until the page is shown, and the start of the program forms no line
    // that nobody looks at.
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &CommandLinePanel::refresh);
    QPointer<CommandLinePanel> self(this);
    form_.subscribe([self](const FormChange&) {
        if (!self)
            return;
        self->stale_ = true;
        if (self->isVisible() && !self->pending_.isActive())
            self->pending_.start();
    });
}

void CommandLinePanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_)
        refresh();
}

void CommandLinePanel::refresh() {
    pending_.stop();
    stale_ = false;
    LaunchCommand command = launchCommand(form_);
    if (command.serverLine != shownServer_) {
        shownServer_ = std::move(command.serverLine);
        serverLine_->setPlainText(fromAnsi(shownServer_));
    }
    if (scriptLine_ && command.scriptLine != shownScript_) {
        shownScript_ = std::move(command.scriptLine);
        scriptLine_->setText(fromNativePath(shownScript_));
        scriptLine_->setCursorPosition(0);
    }
}

} // namespace quarnel
