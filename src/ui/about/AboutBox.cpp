#include "about/AboutBox.h"

#include "app/Dialogs.h"
#include "common/AnsiText.h"
#include "common/Product.h"
#include "common/Resources.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarnel {

namespace {

QLabel* makeLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

QFrame* makeLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

bool startDetachedProgram(const std::string& program) {
    return QProcess::startDetached(fromNativePath(program), {});
}

AboutBox::AboutBox(Registry& registry, Dialogs& dialogs, ProgramStarter start, QWidget* parent)
    : QDialog(parent), registry_(registry), dialogs_(dialogs),
      start_(start ? std::move(start) : ProgramStarter(startDetachedProgram)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(fromAnsi(kProductName));
    setWindowIcon(programIcon());
    setModal(false);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("abtpicIcon"));
    icon->setPixmap(programIconPixmap(64));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* title = makeLabel("lblTitle", fromAnsi(kProductName), this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    title->setFont(titleFont);

    auto* text = new QVBoxLayout;
    text->setSpacing(6);
    text->addWidget(title);
    text->addWidget(makeLabel("lblVersion", QStringLiteral("Version ") + fromAnsi(kVersion), this));
    text->addWidget(makeLabel(
        "lblDescription1",
        QStringLiteral("Configures and launches Unreal Tournament 2003 Dedicated Servers."), this));
    text->addSpacing(4);
    text->addWidget(makeLine(this));
    text->addWidget(makeLabel("lblAuthor", QStringLiteral("Written by the Quarnel team"), this));
    text->addWidget(makeLabel(
        "lblwebsite", QStringLiteral("Visit the Quarnel project page for news and updates"), this));
    text->addWidget(makeLabel(
        "lblDisclaimer", QStringLiteral("Send suggestions by e-mail to the Quarnel team"), this));

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* sysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addWidget(makeLine(this));
    layout->addLayout(bottom);

    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    connect(sysInfo, &QPushButton::clicked, this, &AboutBox::startSystemInfo);
    setFixedSize(440, sizeHint().height());
}

void AboutBox::startSystemInfo() {
    if (startSysInfo(registry_, start_).empty())
        dialogs_.message(kSysInfoUnavailable, kSysInfoTitle);
}

} // namespace quarnel
