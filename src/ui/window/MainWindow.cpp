#include "window/MainWindow.h"

#include "about/AboutBox.h"
#include "app/Dialogs.h"
#include "common/AnsiText.h"
#include "common/Product.h"
#include "common/Resources.h"
#include "settings/FieldCheck.h"
#include "store/Preferences.h"
#include "window/CommandLinePanel.h"
#include "window/FieldGuard.h"
#include "window/FormBinding.h"
#include "window/Panels.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace quarnel {

namespace {

constexpr std::array<const char*, 4> kCommandCaptions = {"Launch Server", "Load Config",
                                                         "Save Config", "Make .BAT/.INI"};

// The third tab's caption and key.
constexpr std::string_view kCommandLineTab = "Command Line";

// The menu shortcuts; they win over a text box's own use of the same keys.
const std::array<QKeySequence, 4> kMenuShortcuts = {
    QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::CTRL | Qt::Key_L),
    QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_E)};

} // namespace

MainWindow::MainWindow(SettingsForm& form, Dialogs& dialogs, Registry& registry, QWidget* parent)
    : QMainWindow(parent), form_(form), dialogs_(dialogs), registry_(registry),
      binding_(new FormBinding(form, this)), guard_(new FieldGuard(form, dialogs, this)) {
    setObjectName(QStringLiteral("frmquarnel"));
    setWindowTitle(fromAnsi(kProductName));
    // A fixed single border: no maximise button, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    buildMenus();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->setSpacing(8);

    tabMain_ = new QTabBar(central);
    tabMain_->setObjectName(QStringLiteral("tabMain"));
    tabMain_->addTab(fromAnsi(caption::tabGame));
    tabMain_->setTabData(0, QStringLiteral("game"));
    tabMain_->addTab(fromAnsi(caption::tabServer));
    tabMain_->setTabData(1, QStringLiteral("server"));
    tabMain_->addTab(fromAnsi(kCommandLineTab));
    tabMain_->setTabData(2, QStringLiteral("command"));
    tabMain_->setExpanding(false);
    tabMain_->setDrawBase(true);
    // Clicking a tab takes the focus, so leaving a field for a tab runs its check.
    tabMain_->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(tabMain_);
    layout->addWidget(buildPages(), 1);
    layout->addWidget(buildCommands());
    setCentralWidget(central);

    watchFields();
    connect(tabMain_, &QTabBar::currentChanged, this, &MainWindow::showTab);

    binding_->refreshAll();
    // The window is as large as the largest of the tabs, and stays so.
    setFixedSize(sizeHint());
    // The window opens on "Game Options".
    pages_->setCurrentIndex(0);
    // Last: at a start the icon is read on another thread meanwhile.
    setWindowIcon(programIcon());
}

MainWindow::~MainWindow() {
    delete about_.data();
}

void MainWindow::buildMenus() {
    auto* options = menuBar()->addMenu(QStringLiteral("Options"));
    options->setObjectName(QStringLiteral("OptionMenu"));
    const std::array<const char*, 3> names = {"LaunchMenuItem", "LoadMenuItem", "SaveMenuItem"};
    for (int i = 0; i < 3; ++i) {
        auto* item = options->addAction(QString::fromLatin1(kCommandCaptions[i]));
        item->setObjectName(QString::fromLatin1(names[i]));
        item->setShortcut(kMenuShortcuts[i]);
        // A menu item acts at once: it does not move the focus, so no field is checked.
        connect(item, &QAction::triggered, this,
                [this, i] { emit commandRequested(kCommands[static_cast<std::size_t>(i)]); });
    }
    options->addSeparator();
    // Whether Launch Server and Make .BAT/.INI check the settings first; remembered at once.
    auto* checks = options->addAction(QStringLiteral("Check Before Launch"));
    checks->setObjectName(QStringLiteral("CheckBeforeLaunchMenuItem"));
    checks->setCheckable(true);
    checks->setChecked(launchChecksOn(registry_));
    connect(checks, &QAction::toggled, this, [this](bool on) {
        try {
            setLaunchChecksOn(registry_, on);
        } catch (const std::exception&) {
            // A store that refuses it keeps the choice for this run only.
        }
    });
    options->addSeparator();
    auto* exit = options->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("ExitMenuItem"));
    exit->setShortcut(kMenuShortcuts[3]);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    auto* about = menuBar()->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("aboutmenu"));
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
}

QStackedWidget* MainWindow::buildPages() {
    // The tabs' pages share the area below the strip; the strip picks the one shown.
    pages_ = new QStackedWidget(this);

    auto* game = new QWidget(pages_);
    auto* gameLayout = new QGridLayout(game);
    gameLayout->setContentsMargins(0, 0, 0, 0);
    gameLayout->addWidget(makeGameTypePanel(*binding_, game), 0, 0);
    gameLayout->addWidget(makeMapListPanel(*binding_, game), 0, 1);
    gameLayout->addWidget(makeMutatorsPanel(*binding_, game), 0, 2);
    gameLayout->addWidget(makeGameOptionsPanel(*binding_, game), 1, 0, 1, 3);
    gameLayout->setRowStretch(0, 1);
    gameLayout->setColumnStretch(1, 1);
    gameLayout->setColumnStretch(2, 1);

    auto* server = new QWidget(pages_);
    auto* serverLayout = new QHBoxLayout(server);
    serverLayout->setContentsMargins(0, 0, 0, 0);
    serverLayout->addWidget(makeServerOptionsPanel(*binding_, server), 3);
    serverLayout->addWidget(makeBotsPanel(*binding_, server), 1);

    pages_->addWidget(game);
    pages_->addWidget(server);
    pages_->addWidget(new CommandLinePanel(form_, pages_));
    return pages_;
}

QGroupBox* MainWindow::buildCommands() {
    auto* frame = makeFrame("frmCommands", caption::frmCommands, this);
    auto* layout = new QHBoxLayout(frame);
    layout->setSpacing(12);
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(kCommandCaptions[i]), frame);
        button->setObjectName(arrayName("cmdOptions", i));
        button->setMinimumHeight(30);
        connect(button, &QPushButton::clicked, this,
                [this, i] { emit commandRequested(kCommands[static_cast<std::size_t>(i)]); });
        layout->addWidget(button);
        commands_[static_cast<std::size_t>(i)] = button;
    }
    return frame;
}

void MainWindow::watchFields() {
    for (const auto& check : kFieldChecks)
        if (auto* edit = binding_->lineEdit(check.field))
            guard_->watchField(edit, check.field);
    for (auto* edit : findChildren<QLineEdit*>())
        edit->installEventFilter(this);
}

void MainWindow::showTab(int index) {
    // The page goes by the tab's caption; a tab of another caption changes nothing.
    const QString caption = tabMain_->tabText(index);
    const std::array<std::string_view, 3> captions = {caption::tabGame, caption::tabServer,
                                                      kCommandLineTab};
    for (std::size_t page = 0; page < captions.size(); ++page)
        if (caption == fromAnsi(captions[page]))
            pages_->setCurrentIndex(static_cast<int>(page));
}

void MainWindow::showAbout() {
    if (!about_) {
        // A window of its own, not a child: it stays open when the main window closes.
        about_ = new AboutBox(registry_, dialogs_, start_);
        about_->setAttribute(Qt::WA_DeleteOnClose);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

AboutBox* MainWindow::aboutBox() const {
    return about_.data();
}

void MainWindow::setProgramStarter(ProgramStarter start) {
    start_ = std::move(start);
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        emit activated();
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    emit closing();
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const auto& shortcut : kMenuShortcuts) {
            if (pressed == shortcut) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace quarnel
