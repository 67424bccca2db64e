#include "window/MainWindow.h"

#include "FakeDialogs.h"
#include "TempDir.h"
#include "about/AboutBox.h"
#include "common/AnsiText.h"
#include "launch/LaunchCommand.h"
#include "launch/LaunchFiles.h"
#include "settings/Controls.h"
#include "settings/FieldCheck.h"
#include "settings/SettingsForm.h"
#include "store/Preferences.h"
#include "store/RegistryFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace quarnel {
namespace {

using test::FakeDialogs;

QString qs(std::string_view text) {
    return fromAnsi(text);
}

// The real window offscreen over a copy of the demo installation, in the state start-up
// leaves it in.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.setGameFolder(test::copyDemoInstall(dir));
        form.applyFirstRunDefaults();
        form.bringPanelsInStep();
        window = std::make_unique<MainWindow>(form, dialogs, *registry);
        window->show();
        window->activateWindow();
        // Waits for the activation itself; the limit only ends a run where it never comes.
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 60000));
    }

    template <class T> T* child(const QString& name) {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    void showTab(int index) {
        auto* tabs = child<QTabBar>("tabMain");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }

    // Puts text into a line edit as the user would: click, select everything, type.
    void typeInto(QLineEdit* edit, const QString& text) {
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    // A check box answers clicks on its box and caption only, not on the rest of its row.
    void clickBox(const char* name) {
        auto* box = child<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }

    QRect sliderRect(QScrollBar* bar, QStyle::SubControl part) {
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.subControls = QStyle::SC_All;
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
    }

    test::TempDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<Registry> registry = makeMemoryRegistry();
    SettingsForm form;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, ClicksReachTheControlsOfTheTabShown) {
    EXPECT_EQ(window->windowTitle(), "Quarnel");
    // What a click at a control's place in the window lands on, as the window routes it.
    auto landsOn = [&](const char* name) {
        auto* target = child<QWidget>(QString::fromLatin1(name));
        const QPoint place = target->mapTo(window.get(), target->rect().center());
        QWidget* hit = window->childAt(place);
        return hit == target || target->isAncestorOf(hit);
    };
    // Each tab's frames, and controls on them.
    const std::vector<const char*> frames[] = {
        {"frmGameType", "frmMapList", "frmMutators", "frmGameOptions"},
        {"frmServerOptions", "frmBots"}};
    const std::vector<const char*> controls[] = {
        {"optGameType_2", "chkMutator_0", "filMapList", "chkGameOptions_3"},
        {"chkServerOptions_0", "txtServerName", "chkUseBots"}};
    for (int shown : {0, 1, 0, 1}) {
        showTab(shown);
        for (int tab : {0, 1})
            for (const char* name : frames[tab])
                EXPECT_EQ(child<QGroupBox>(name)->isVisible(), tab == shown) << name;
        for (const char* name : controls[shown])
            EXPECT_TRUE(landsOn(name)) << name;
        EXPECT_TRUE(child<QGroupBox>("frmCommands")->isVisible());
    }
    // The window keeps its size whichever tab shows.
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
}

TEST_F(MainWindowTest, ControlsCarryTheirCaptionsTooltipsAndLimits) {
    for (const auto& def : kCheckControls) {
        const QString name = def.arrayIndex < 0
                                 ? qs(def.name)
                                 : qs(def.name) + "_" + QString::number(def.arrayIndex);
        auto* box = child<QCheckBox>(name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), qs(def.caption));
        EXPECT_EQ(box->toolTip(), qs(def.tooltip));
    }
    for (const auto& def : kTextControls) {
        auto* edit = child<QLineEdit>(qs(def.name));
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->maxLength(), def.maxLength > 0 ? def.maxLength : 32767) << def.name;
        EXPECT_EQ(edit->echoMode() == QLineEdit::Password, def.password) << def.name;
        EXPECT_EQ(edit->toolTip(), def.tooltipOnBox ? qs(def.tooltip) : QString()) << def.name;
        if (!def.labelName.empty()) {
            auto* label = child<QLabel>(qs(def.labelName));
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->text(), qs(def.caption));
            EXPECT_EQ(label->toolTip(), def.tooltipOnLabel ? qs(def.tooltip) : QString());
        }
    }
    for (const auto& def : kScrollControls) {
        auto* bar = child<QScrollBar>(qs(def.name));
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->maximum(), def.max);
        EXPECT_EQ(child<QLabel>(qs(def.labelName))->toolTip(), qs(def.tooltip));
    }

    // A box takes no more characters than its limit, and what it keeps reaches the form.
    typeInto(child<QLineEdit>("txtTimeLimit"), "12345");
    EXPECT_EQ(form.text(Text::TimeLimit), "123");
    // A longer text that a load put in shows whole; shortened by hand, the limit holds again.
    auto* limit = child<QLineEdit>("txtTimeLimit");
    form.setText(Text::TimeLimit, "1000");
    EXPECT_EQ(limit->text(), "1000");
    limit->end(false);
    QTest::keyClick(limit, Qt::Key_Backspace);
    QTest::keyClicks(limit, "45");
    EXPECT_EQ(form.text(Text::TimeLimit), "100");
}

TEST_F(MainWindowTest, ValueLabelsShowSettledValuesAndTheDragForm) {
    for (const auto& def : kScrollControls) {
        SCOPED_TRACE(std::string(def.name));
        auto* bar = child<QScrollBar>(qs(def.name));
        showTab(0);
        if (!bar->isVisible())
            showTab(1);
        if (def.id == Scroll::MinPlayers)
            clickBox("chkUseBots");
        auto* label = child<QLabel>(qs(def.labelName));
        const auto shown = [&](int value) {
            return qs(def.caption) + " = " + QString::number(value) + qs(def.unit);
        };
        EXPECT_EQ(label->text(), shown(def.designValue));

        // A click on the right arrow settles one step further.
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          sliderRect(bar, QStyle::SC_ScrollBarAddLine).center());
        EXPECT_EQ(form.scroll(def.id), def.designValue + 1);
        EXPECT_EQ(label->text(), shown(def.designValue + 1));

        // Dragging the thumb shows the value under it; the time bars add " sec." until release.
        const QPoint grip = sliderRect(bar, QStyle::SC_ScrollBarSlider).center();
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        QTest::mouseMove(bar, grip + QPoint(40, 0));
        const int dragged = bar->sliderPosition();
        ASSERT_GT(dragged, def.designValue + 1);
        EXPECT_EQ(label->text(), shown(dragged) + (def.secondsWhileDragged ? " sec." : ""));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(40, 0));
        EXPECT_EQ(label->text(), shown(dragged));
        EXPECT_EQ(form.scroll(def.id), dragged);
    }
}

TEST_F(MainWindowTest, LeavingACheckedFieldChecksIt) {
    showTab(1);
    clickBox("chkWebadmin");
    // Types text into the field and leaves it with Tab; true when the value was accepted.
    auto leave = [&](Text field, const char* typed) {
        auto* edit = child<QLineEdit>(qs(control(field).name));
        typeInto(edit, QString::fromLatin1(typed));
        QTest::keyClick(edit, Qt::Key_Tab);
        EXPECT_EQ(edit->text().toStdString(), form.text(field));
        return !edit->hasFocus();
    };

    // Every checked field refuses a value out of its range with its own message and puts
    // its default back.
    for (const FieldCheck& check : kFieldChecks) {
        SCOPED_TRACE(std::string(check.title));
        dialogs.messages.clear();
        EXPECT_FALSE(leave(check.field, "0"));
        EXPECT_EQ(form.text(check.field), check.defaultText);
        EXPECT_EQ(dialogs.messages, (std::vector<FakeDialogs::Message>{
                                        {std::string(check.message), std::string(check.title)}}));
    }

    // An accepted value stays, without a message.
    dialogs.messages.clear();
    EXPECT_TRUE(leave(Text::GamePort, "65000"));
    EXPECT_EQ(form.text(Text::GamePort), "65000");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowTest, ARefusedFieldStopsTheButtonButNotTheMenu) {
    QSignalSpy commands(window.get(), &MainWindow::commandRequested);
    showTab(1);
    auto* port = child<QLineEdit>("txtPort");

    typeInto(port, "0");
    QTest::mouseClick(child<QPushButton>("cmdOptions_0"), Qt::LeftButton);
    EXPECT_EQ(commands.count(), 0);
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // Nor does a tab clicked while the field refuses.
    typeInto(port, "65001");
    showTab(0);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(child<QGroupBox>("frmServerOptions")->isVisible());
    EXPECT_EQ(child<QTabBar>("tabMain")->currentIndex(), 1);

    // The menu item runs without the check, whatever the field holds.
    typeInto(port, "0");
    QTest::keyClick(port, Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.takeFirst().at(0).value<Command>(), Command::LaunchServer);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(port->text(), "0");

    // With an accepted value the button acts.
    typeInto(port, "7778");
    QTest::mouseClick(child<QPushButton>("cmdOptions_3"), Qt::LeftButton);
    QTest::keyClick(port, Qt::Key_L, Qt::ControlModifier);
    QTest::keyClick(port, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(commands.count(), 3);
    EXPECT_EQ(commands.at(0).at(0).value<Command>(), Command::MakeBatIni);
    EXPECT_EQ(commands.at(1).at(0).value<Command>(), Command::LoadConfig);
    EXPECT_EQ(commands.at(2).at(0).value<Command>(), Command::SaveConfig);
}

// What the model decides (enabling, the refill, Select All) is tested there; here only that
// clicks reach it and its state reaches the widgets.
TEST_F(MainWindowTest, ClicksReachTheFormAndItsStateReachesTheWidgets) {
    showTab(1);
    auto* skill = child<QComboBox>("cboBotSkill");
    const QPalette system = QApplication::palette();
    EXPECT_FALSE(skill->isEnabled());
    EXPECT_EQ(skill->palette().color(QPalette::Button), system.color(QPalette::Button));
    clickBox("chkUseBots");
    clickBox("chkWebadmin");
    EXPECT_TRUE(form.checked(Check::UseBots));
    for (const char* name : {"chkBotSkill", "cboBotSkill", "sclMinPlayers", "txtwebport"})
        EXPECT_TRUE(child<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(skill->palette().color(QPalette::Button), system.color(QPalette::Base));

    showTab(0);
    auto* list = child<QListView>("filMapList");
    QTest::mouseClick(child<QRadioButton>("optGameType_1"), Qt::LeftButton);
    EXPECT_EQ(form.gameType(), 1);
    ASSERT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(list->model()->index(2, 0).data().toString(), "CTF-Harbor.ut2");
    auto clickRow = [&](int row, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                          list->visualRect(list->model()->index(row, 0)).center());
    };
    clickRow(0, {});
    clickRow(2, Qt::ControlModifier);
    EXPECT_EQ(form.mapList().selected, (std::vector<bool>{true, false, true}));
    QTest::mouseClick(child<QPushButton>("cmdselectall"), Qt::LeftButton);
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 3);
    QTest::mouseClick(child<QPushButton>("cmdclearall"), Qt::LeftButton);
    EXPECT_TRUE(list->selectionModel()->selectedRows().isEmpty());
    QTest::mouseClick(child<QRadioButton>("optGameType_8"), Qt::LeftButton);
    EXPECT_EQ(list->model()->rowCount(), 13);
    EXPECT_TRUE(child<QLineEdit>("txtGametype")->isEnabled());
}

TEST_F(MainWindowTest, ValuesSetByCodeShowAtOnce) {
    form.selectGameType(1);
    form.setMapSelection({false, true, true});
    form.setText(Text::ServerName, "Caf\xE9 \x80\xA0"
                                   "Arena"); // 0xA0: the first Latin-1 byte
    form.setChecked(Check::MasterServerUplink, true);
    form.selectArena(3);
    form.setScroll(Scroll::GameSpeed, 150);
    form.setBotSkillText("Godlike!");

    EXPECT_TRUE(child<QRadioButton>("optGameType_1")->isChecked());
    auto* list = child<QListView>("filMapList");
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "CTF-Foundry.ut2");
    EXPECT_FALSE(list->selectionModel()->isRowSelected(0));
    EXPECT_TRUE(list->selectionModel()->isRowSelected(1) &&
                list->selectionModel()->isRowSelected(2));
    EXPECT_EQ(child<QLineEdit>("txtServerName")->text(), QString::fromUtf8("Café €\u00a0Arena"));
    EXPECT_TRUE(child<QCheckBox>("chkServerOptions_9")->isChecked());
    EXPECT_TRUE(child<QRadioButton>("optMutator_3")->isChecked());
    EXPECT_EQ(child<QScrollBar>("sclGameSpeed")->value(), 150);
    EXPECT_EQ(child<QLabel>("lblGameSpeed")->text(), "Game Speed = 150%");
    EXPECT_EQ(child<QComboBox>("cboBotSkill")->currentText(), "Godlike!");

    // Typing goes the other way, in the code page the settings files use.
    auto* admin = child<QLineEdit>("txtAdminName");
    typeInto(admin, "Zo");
    QTest::sendKeyEvent(QTest::Click, admin, Qt::Key_unknown, QString::fromUtf8("ë"), {});
    EXPECT_EQ(form.text(Text::AdminName), "Zo\xEB");
}

TEST_F(MainWindowTest, TheCommandLineTabFollowsEverySettingInOneUpdatePerBurst) {
    showTab(2);
    auto* line = child<QPlainTextEdit>("txtCommandLine");
    ASSERT_TRUE(line->isVisible());
    EXPECT_TRUE(line->isReadOnly());
    const auto batchLine3 = [&] {
        return qs(batchServerLine(form, "quarnel.ini"));
    };
    EXPECT_EQ(line->toPlainText(), batchLine3());
    EXPECT_TRUE(line->toPlainText().contains("DM-Cellar?Game=XGame.xDeathMatch?"));

    // Edits made on another tab form no line until the tab shows again, and then at once.
    showTab(1);
    QSignalSpy updates(line, &QPlainTextEdit::textChanged);
    typeInto(child<QLineEdit>("txtPort"), "7778");
    clickBox("chkServerOptions_1");
    QCoreApplication::processEvents();
    EXPECT_EQ(updates.count(), 0);
    showTab(2);
    EXPECT_TRUE(line->toPlainText().contains(" port=7778 "));
    EXPECT_TRUE(line->toPlainText().contains("?LAN?"));
    EXPECT_EQ(line->toPlainText(), batchLine3());

    // While it shows, a burst of changes is one update, once the event loop turns.
    updates.clear();
    form.selectGameType(1);
    form.selectAllMaps();
    form.setText(Text::AdminName, "Ann & Bo");
    form.setScroll(Scroll::GameSpeed, 150);
    EXPECT_EQ(updates.count(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(updates.count(), 1);
    EXPECT_TRUE(line->toPlainText().contains("CTF-Foundry?Game=XGame.xCTFGame?GameSpeed=1.5?"));
    EXPECT_TRUE(line->toPlainText().contains("AdminName=Ann ^& Bo?"));

    showTab(2);
    QTest::mouseClick(child<QPushButton>("cmdCopyCommandLine"), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), batchLine3());
#ifndef _WIN32
    EXPECT_EQ(child<QLineEdit>("txtScriptCommand")->text().toStdString(),
              "cd '" + form.gameFolder() + "System/' && ./quarnel.sh");
#endif
}

TEST_F(MainWindowTest, TheOptionsMenuTurnsTheChecksOffAndRemembersIt) {
    auto* checks = child<QAction>("CheckBeforeLaunchMenuItem");
    EXPECT_TRUE(checks->isCheckable());
    EXPECT_TRUE(checks->isChecked());
    checks->trigger();
    EXPECT_FALSE(launchChecksOn(*registry));
    // A window started over that store opens with the box clear.
    MainWindow again(form, dialogs, *registry);
    EXPECT_FALSE(again.findChild<QAction*>("CheckBeforeLaunchMenuItem")->isChecked());
    checks->trigger();
    EXPECT_TRUE(launchChecksOn(*registry));
}

TEST_F(MainWindowTest, CtrlEExitsEvenFromATextBox) {
    QSignalSpy closing(window.get(), &MainWindow::closing);
    auto* name = child<QLineEdit>("txtMutator");
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::keyClick(name, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(closing.count(), 1);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, AboutComesUpOnceAndStartsTheSystemInfoOrSaysItIsMissing) {
    std::vector<std::string> started;
    window->setProgramStarter([&started](const std::string& program) {
        started.push_back(program);
        return true;
    });
    registry->createKey(RegRoot::LocalMachine, kMsinfoPathKey);
    registry->writeValue(RegRoot::LocalMachine, kMsinfoPathKey, kMsinfoPathValue,
                         std::string("/usr/bin/sysinfo"));
    auto* about = child<QAction>("aboutmenu");
    about->trigger();
    AboutBox* box = window->aboutBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->findChild<QLabel*>("abtpicIcon")->pixmap().isNull());
    about->trigger();
    EXPECT_EQ(window->aboutBox(), box);
    int boxes = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        boxes += top->objectName() == "frmAbout" && top->isVisible();
    EXPECT_EQ(boxes, 1);

    auto* sysInfo = box->findChild<QPushButton*>("cmdSysInfo");
    QTest::mouseClick(sysInfo, Qt::LeftButton);
    EXPECT_EQ(started, std::vector<std::string>{"/usr/bin/sysinfo"});
    EXPECT_TRUE(dialogs.messages.empty());

    registry->deleteValue(RegRoot::LocalMachine, kMsinfoPathKey, kMsinfoPathValue);
    QTest::mouseClick(sysInfo, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages,
              (std::vector<FakeDialogs::Message>{
                  {"System Information Is Unavailable At This Time", "quarnel"}}));
    EXPECT_TRUE(box->isVisible());

    // Closing the main window leaves the box open.
    window->close();
    EXPECT_TRUE(box->isVisible());
    QTest::mouseClick(box->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->aboutBox(), nullptr);
}

} // namespace
} // namespace quarnel
