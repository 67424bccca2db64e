#include "window/MainWindow.h"

#include "FakeDialogs.h"
#include "TempDir.h"
#include "about/AboutBox.h"
#include "common/AnsiText.h"
#include "launch/LaunchFiles.h"
#include "settings/FieldCheck.h"
#include "store/Preferences.h"
#include "store/RegistryFile.h"

#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>
#include <memory>

namespace quarnel {
namespace {

using Messages = std::vector<test::FakeDialogs::Message>;

// The real window over a copy of the demo installation as start-up leaves it. What the model
// decides is tested with the model; here, that the window shows it and input reaches it.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.setGameFolder(test::copyDemoInstall(dir));
        form.applyFirstRunDefaults();
        form.bringPanelsInStep();
        window = std::make_unique<MainWindow>(form, dialogs, *registry);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 60000)); // ends a run that hangs
    }
    static QString qs(std::string_view text) { return fromAnsi(text); }
    template <class T = QWidget> T* child(const QString& name) {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    void showTab(int index) {
        auto* tabs = child<QTabBar>("tabMain");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }
    void typeInto(QLineEdit* edit, const char* text) {
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // On the box itself: a check box does not answer clicks on the rest of its row.
    void clickBox(const char* name) {
        auto* box = child<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    // The middle of a part of a scroll bar (an arrow, the thumb) where the style draws it.
    static QPoint middleOf(QScrollBar* bar, QStyle::SubControl part) {
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = option.sliderValue = bar->value();
        option.pageStep = bar->pageStep();
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
    }

    test::TempDir dir;
    test::FakeDialogs dialogs;
    std::unique_ptr<Registry> registry = makeMemoryRegistry();
    SettingsForm form;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, ATabShowsItsFramesAndClicksReachTheirControls) {
    EXPECT_EQ(window->windowTitle(), "Quarnel");
    // Shown, and where a click at its middle lands as the window routes it.
    auto reachable = [&](const char* name) {
        auto* target = child(name);
        QWidget* hit = window->childAt(target->mapTo(window.get(), target->rect().center()));
        return target->isVisible() && (hit == target || target->isAncestorOf(hit));
    };
    const std::vector<const char*> tabs[] = {
        {"frmGameType", "frmMapList", "frmMutators", "frmGameOptions", "optGameType_2",
         "chkMutator_0", "filMapList", "chkGameOptions_3"},
        {"frmServerOptions", "frmBots", "chkServerOptions_0", "txtServerName", "chkWebadmin"}};
    for (int shown : {0, 1, 0}) {
        showTab(shown);
        for (int tab : {0, 1})
            for (const char* name : tabs[tab])
                EXPECT_EQ(reachable(name), tab == shown) << name;
        EXPECT_TRUE(reachable("frmCommands"));
    }
    // One size for every tab; the tabs keep their own widths, short of the strip's end.
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_LT(child<QTabBar>("tabMain")->tabRect(2).right(), window->width() / 2);
}

TEST_F(MainWindowTest, TextBoxesTakeTheirLimitsAndTooltipsAndHideThePasswords) {
    for (const auto& def : kTextControls) {
        auto* edit = child<QLineEdit>(qs(def.name));
        auto* label = window->findChild<QLabel*>(qs(def.labelName));
        const QString tip = qs(def.tooltip), none;
        EXPECT_EQ(std::tuple(edit->maxLength(), edit->echoMode() == QLineEdit::Password,
                             edit->toolTip(), def.labelName.empty() ? none : label->toolTip()),
                  std::tuple(def.maxLength > 0 ? def.maxLength : 32767, def.password,
                             def.tooltipOnBox ? tip : none, def.tooltipOnLabel ? tip : none))
            << def.name;
    }
    // Typing stops at the limit; a longer text a load put in shows whole, and once shortened
    // by hand the limit holds again.
    auto* limit = child<QLineEdit>("txtTimeLimit");
    typeInto(limit, "12345");
    EXPECT_EQ(form.text(Text::TimeLimit), "123");
    form.setText(Text::TimeLimit, "1000");
    EXPECT_EQ(limit->text(), "1000");
    QTest::keyClick(limit, Qt::Key_Backspace);
    QTest::keyClicks(limit, "45");
    EXPECT_EQ(form.text(Text::TimeLimit), "100");
}

TEST_F(MainWindowTest, ScrollBarsReachTheFormAndTheirLabelsShowTheDragForm) {
    form.setChecked(Check::UseBots, true);
    for (const auto& def : kScrollControls) {
        SCOPED_TRACE(std::string(def.name));
        auto* bar = child<QScrollBar>(qs(def.name));
        showTab(0);
        if (!bar->isVisible())
            showTab(1);
        auto* label = child<QLabel>(qs(def.labelName));
        const auto shown = [&](int value) {
            return qs(def.caption) + " = " + QString::number(value) + qs(def.unit);
        };
        QTest::mouseClick(bar, Qt::LeftButton, {}, middleOf(bar, QStyle::SC_ScrollBarAddLine));
        EXPECT_EQ(std::pair(form.scroll(def.id), label->text()),
                  std::pair(def.designValue + 1, shown(def.designValue + 1)));
        // While the thumb is dragged, the time bars add " sec." to the value under it.
        const QPoint grip = middleOf(bar, QStyle::SC_ScrollBarSlider);
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        QTest::mouseMove(bar, grip + QPoint(40, 0));
        const int dragged = bar->sliderPosition();
        ASSERT_GT(dragged, def.designValue + 1);
        EXPECT_EQ(label->text(), shown(dragged) + (def.secondsWhileDragged ? " sec." : ""));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(40, 0));
        EXPECT_EQ(std::pair(form.scroll(def.id), label->text()),
                  std::pair(dragged, shown(dragged)));
    }
}

TEST_F(MainWindowTest, ALeftFieldIsCheckedAndARefusalStopsTheClickButNotTheMenuKeys) {
    QSignalSpy commands(window.get(), &MainWindow::commandRequested);
    showTab(1);
    clickBox("chkWebadmin");
    QTest::keyClick(child("chkWebadmin"), Qt::Key_Tab); // the switch hands on to its port
    EXPECT_EQ(QApplication::focusWidget(), child("txtwebport"));
    // Types into the field and leaves it with Tab: the messages shown and whether it was left.
    auto leave = [&](Text field, const char* typed) {
        dialogs.messages.clear();
        auto* edit = child<QLineEdit>(qs(control(field).name));
        typeInto(edit, typed);
        QTest::keyClick(edit, Qt::Key_Tab);
        EXPECT_EQ(edit->text().toStdString(), form.text(field));
        return std::pair(dialogs.messages, !edit->hasFocus());
    };
    for (const FieldCheck& check : kFieldChecks) {
        EXPECT_EQ(
            leave(check.field, "0"),
            std::pair(Messages{{std::string(check.message), std::string(check.title)}}, false));
        EXPECT_EQ(form.text(check.field), check.defaultText);
    }
    EXPECT_EQ(leave(Text::GamePort, "65000"), std::pair(Messages{}, true));

    // Neither the button nor the tab clicked to leave a refused value acts; the menu's keys
    // reach the menu from a text box, and run without the check.
    auto* port = child<QLineEdit>("txtPort");
    typeInto(port, "0");
    QTest::mouseClick(child<QPushButton>("cmdOptions_0"), Qt::LeftButton);
    typeInto(port, "65001");
    showTab(0);
    EXPECT_TRUE(child("frmServerOptions")->isVisible());
    QTest::mouseClick(child<QPushButton>("cmdOptions_3"), Qt::LeftButton);
    typeInto(port, "0");
    for (const auto key : {Qt::Key_R, Qt::Key_L, Qt::Key_S})
        QTest::keyClick(port, key, Qt::ControlModifier);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    std::vector<Command> sent;
    for (const auto& signal : commands)
        sent.push_back(signal.at(0).value<Command>());
    EXPECT_EQ(sent, (std::vector{Command::MakeBatIni, Command::LaunchServer, Command::LoadConfig,
                                 Command::SaveConfig}));
    QTest::keyClick(port, Qt::Key_E, Qt::ControlModifier); // Exit
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, ValuesSetByCodeShowAtOnceAndClicksAndTypingReachTheForm) {
    form.selectGameType(1);
    form.setMapSelection({false, true, true});
    form.setText(Text::ServerName, "Caf\xE9 \x80\xA0"
                                   "Arena"); // 0xA0: the first Latin-1 byte
    form.setChecked(Check::MasterServerUplink, true);
    form.selectArena(3);
    form.setScroll(Scroll::GameSpeed, 150);
    form.setBotSkillText("Godlike!");
    auto* list = child<QListView>("filMapList");
    const auto selected = [list] {
        std::vector<bool> rows;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            rows.push_back(list->selectionModel()->isRowSelected(row));
        return rows;
    };
    EXPECT_EQ(selected(), (std::vector{false, true, true}));
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "CTF-Foundry.ut2");
    EXPECT_EQ(child<QLineEdit>("txtServerName")->text(), QString::fromUtf8("Café €\u00a0Arena"));
    for (const char* name : {"optGameType_1", "chkServerOptions_9", "optMutator_3"})
        EXPECT_TRUE(child<QAbstractButton>(name)->isChecked()) << name;
    EXPECT_EQ(child<QScrollBar>("sclGameSpeed")->value(), 150);
    EXPECT_EQ(child<QLabel>("lblGameSpeed")->text(), "Game Speed = 150%");
    auto* skill = child<QComboBox>("cboBotSkill");
    EXPECT_EQ(skill->currentText(), "Godlike!");

    // Clicks go the other way, and the enabling and colours they cause come back.
    for (auto [row, keys] : {std::pair(0, Qt::NoModifier), {2, Qt::ControlModifier}}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                          list->visualRect(list->model()->index(row, 0)).center());
    }
    EXPECT_EQ(form.mapList().selected, (std::vector{true, false, true}));
    QTest::mouseClick(child<QPushButton>("cmdselectall"), Qt::LeftButton);
    EXPECT_EQ(selected(), (std::vector{true, true, true}));
    QTest::mouseClick(child<QPushButton>("cmdclearall"), Qt::LeftButton);
    EXPECT_EQ(selected(), (std::vector{false, false, false}));
    QTest::mouseClick(child<QRadioButton>("optGameType_8"), Qt::LeftButton);
    EXPECT_EQ(std::pair(form.gameType(), child("txtGametype")->isEnabled()), std::pair(8, true));
    showTab(1);
    const QPalette system = QApplication::palette();
    EXPECT_EQ(skill->palette().color(QPalette::Button), system.color(QPalette::Button));
    clickBox("chkUseBots");
    clickBox("chkWebadmin");
    for (const char* name : {"chkBotSkill", "cboBotSkill", "sclMinPlayers", "txtwebport"})
        EXPECT_TRUE(child(name)->isEnabled()) << name;
    EXPECT_EQ(skill->palette().color(QPalette::Button), system.color(QPalette::Base));
    // Typing goes in the code page the settings files use.
    auto* admin = child<QLineEdit>("txtAdminName");
    typeInto(admin, "Zo");
    QTest::sendKeyEvent(QTest::Click, admin, Qt::Key_unknown, QString::fromUtf8("ë"), {});
    EXPECT_EQ(form.text(Text::AdminName), "Zo\xEB");
}

TEST_F(MainWindowTest, TheCommandLineTabFollowsEverySettingInOneUpdatePerBurst) {
    const auto batchLine3 = [&] {
        return qs(batchServerLine(form, "quarnel.ini"));
    };
    auto* line = child<QPlainTextEdit>("txtCommandLine");
    QSignalSpy updates(line, &QPlainTextEdit::textChanged);
    showTab(2);
    ASSERT_TRUE(line->isVisible() && line->isReadOnly());
    // Edits while the tab is hidden form no line until it shows again, and then at once.
    showTab(1);
    typeInto(child<QLineEdit>("txtAdminName"), "Ann & Bo");
    QCoreApplication::processEvents();
    EXPECT_EQ(updates.count(), 1);
    showTab(2);
    EXPECT_EQ(std::tuple(line->toPlainText(), updates.count()), std::tuple(batchLine3(), 2));
    // While it shows, a burst of changes is one update, once the event loop turns.
    form.selectGameType(1);
    form.setScroll(Scroll::GameSpeed, 150);
    EXPECT_EQ(updates.count(), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(std::tuple(line->toPlainText(), updates.count()), std::tuple(batchLine3(), 3));
    QTest::mouseClick(child<QPushButton>("cmdCopyCommandLine"), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), batchLine3());
#ifndef _WIN32
    EXPECT_EQ(child<QLineEdit>("txtScriptCommand")->text().toStdString(),
              "cd '" + form.gameFolder() + "System/' && ./quarnel.sh");
#endif
}

TEST_F(MainWindowTest, TheOptionsMenuTurnsTheChecksOffAndRemembersIt) {
    auto* checks = child<QAction>("CheckBeforeLaunchMenuItem");
    EXPECT_TRUE(checks->isCheckable() && checks->isChecked());
    checks->trigger();
    EXPECT_FALSE(launchChecksOn(*registry));
    // A window started over that store opens with the box clear.
    MainWindow again(form, dialogs, *registry);
    EXPECT_FALSE(again.findChild<QAction*>("CheckBeforeLaunchMenuItem")->isChecked());
    checks->trigger();
    EXPECT_TRUE(launchChecksOn(*registry));
}

TEST_F(MainWindowTest, AboutComesUpOnceStartsTheSystemInfoOrSaysItIsMissingAndOutlivesTheWindow) {
    std::vector<std::string> started;
    window->setProgramStarter([&started](const std::string& program) {
        started.push_back(program);
        return true;
    });
    auto* about = child<QAction>("aboutmenu");
    about->trigger();
    AboutBox* box = window->aboutBox();
    about->trigger();
    ASSERT_TRUE(box && window->aboutBox() == box);
    EXPECT_FALSE(box->findChild<QLabel*>("abtpicIcon")->pixmap().isNull());
    auto* sysInfo = box->findChild<QPushButton*>("cmdSysInfo");
    QTest::mouseClick(sysInfo, Qt::LeftButton);
    registry->createKey(RegRoot::LocalMachine, kMsinfoPathKey);
    registry->writeValue(RegRoot::LocalMachine, kMsinfoPathKey, kMsinfoPathValue,
                         std::string("/usr/bin/sysinfo"));
    QTest::mouseClick(sysInfo, Qt::LeftButton);
    EXPECT_EQ(started, std::vector<std::string>{"/usr/bin/sysinfo"});
    EXPECT_EQ(dialogs.messages,
              (Messages{{"System Information Is Unavailable At This Time", "quarnel"}}));
    // Closing the main window leaves the box open; its OK closes and removes it.
    window->close();
    EXPECT_TRUE(box->isVisible());
    QTest::mouseClick(box->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->aboutBox(), nullptr);
}

} // namespace
} // namespace quarnel
