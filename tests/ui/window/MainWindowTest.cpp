#include "window/MainWindow.h"

#include "FakeDialogs.h"
#include "TempDir.h"
#include "about/AboutBox.h"
#include "common/AnsiText.h"
#include "settings/Controls.h"
#include "settings/FieldCheck.h"
#include "settings/SettingsForm.h"
#include "store/RegistryFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
        form.setUtpath(test::copyDemoInstall(dir));
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
    std::unique_ptr<MRegistry> registry = makeMemoryRegistry();
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
        EXPECT_EQ(bar->minimum(), def.min);
        EXPECT_EQ(bar->maximum(), def.max);
        EXPECT_EQ(bar->singleStep(), 1);
        EXPECT_EQ(bar->pageStep(), 1);
        EXPECT_EQ(child<QLabel>(qs(def.labelName))->toolTip(), qs(def.tooltip));
    }
    for (int i = 0; i < kArenaCount; ++i)
        EXPECT_EQ(child<QRadioButton>("optMutator_" + QString::number(i))->toolTip(),
                  qs(kArenaOptions[static_cast<std::size_t>(i)].tooltip));

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
        EXPECT_EQ(form.caption(def.id), shown(dragged).toStdString());
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

    dialogs.messages.clear();
    EXPECT_TRUE(leave(Text::Port, "65000"));
    EXPECT_EQ(form.text(Text::Port), "65000");
    EXPECT_TRUE(dialogs.messages.empty());
    for (const char* refused : {"65001", "abc", ""}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(leave(Text::Port, refused));
        EXPECT_EQ(form.text(Text::Port), "7777");
    }
    EXPECT_EQ(dialogs.messages.size(), 3u);
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
    EXPECT_EQ(commands.takeFirst().at(0).toInt(), MainWindow::LaunchServer);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(port->text(), "0");

    // With an accepted value the button acts.
    typeInto(port, "7778");
    QTest::mouseClick(child<QPushButton>("cmdOptions_3"), Qt::LeftButton);
    QTest::keyClick(port, Qt::Key_L, Qt::ControlModifier);
    QTest::keyClick(port, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(commands.count(), 3);
    EXPECT_EQ(commands.at(0).at(0).toInt(), MainWindow::MakeBatIni);
    EXPECT_EQ(commands.at(1).at(0).toInt(), MainWindow::LoadConfig);
    EXPECT_EQ(commands.at(2).at(0).toInt(), MainWindow::SaveConfig);
}

TEST_F(MainWindowTest, MasterBoxesEnableTheirDependantsAndKeepValues) {
    form.setChecked(Check::BotSkill, true);
    form.setScroll(Scroll::MinPlayers, 7);
    form.setBotSkillText("Masterful");
    form.setText(Text::webport, "8080");
    showTab(1);
    auto* adjust = child<QCheckBox>("chkBotSkill");
    auto* skill = child<QComboBox>("cboBotSkill");
    auto* minPlayers = child<QScrollBar>("sclMinPlayers");
    auto* webport = child<QLineEdit>("txtwebport");
    const QPalette system = QApplication::palette();

    auto expectShown = [&](bool bots, bool web) {
        EXPECT_EQ(adjust->isEnabled(), bots);
        EXPECT_EQ(skill->isEnabled(), bots);
        EXPECT_EQ(minPlayers->isEnabled(), bots);
        EXPECT_EQ(skill->palette().color(QPalette::Button),
                  system.color(bots ? QPalette::Base : QPalette::Button));
        EXPECT_EQ(webport->isEnabled(), web);
        EXPECT_TRUE(adjust->isChecked());
        EXPECT_EQ(skill->currentText(), "Masterful");
        EXPECT_EQ(minPlayers->value(), 7);
        EXPECT_EQ(webport->text(), "8080");
    };
    expectShown(false, false);
    clickBox("chkUseBots");
    expectShown(true, false);
    clickBox("chkWebadmin");
    expectShown(true, true);
    clickBox("chkUseBots");
    clickBox("chkWebadmin");
    expectShown(false, false);
}

// The list's entries, or only its selected ones.
QStringList entries(QListWidget* list, bool selectedOnly = false) {
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        if (!selectedOnly || list->item(row)->isSelected())
            names << list->item(row)->text();
    return names;
}

TEST_F(MainWindowTest, ChoosingAGameTypeRefillsTheListWithNothingSelected) {
    auto* list = child<QListWidget>("filMapList");
    EXPECT_EQ(entries(list), (QStringList{"DM-Cellar.ut2", "DM-Lighthouse.ut2", "DM-Quarry.ut2",
                                          "DM-Reactor.ut2", "dm-sunken.ut2"}));
    auto choose = [&](int type) {
        QTest::mouseClick(child<QRadioButton>("optGameType_" + QString::number(type)),
                          Qt::LeftButton);
    };

    choose(1);
    EXPECT_EQ(entries(list), (QStringList{"CTF-Foundry.ut2", "CTF-Glacier.ut2", "CTF-Harbor.ut2"}));
    auto clickRow = [&](int row, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                          list->visualItemRect(list->item(row)).center());
    };
    clickRow(0, {});
    clickRow(2, Qt::ControlModifier);
    EXPECT_EQ(form.mapList().selected, (std::vector<bool>{true, false, true}));

    choose(0);
    EXPECT_EQ(form.gameType(), 0);
    EXPECT_EQ(entries(list), (QStringList{"BR-Canyon.ut2", "BR-Skyline.ut2"}));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(form.mapList().selectedCount(), 0u);

    // "Other" lists every map and opens the custom type box; its text survives a switch.
    auto* custom = child<QLineEdit>("txtGametype");
    EXPECT_FALSE(custom->isEnabled());
    choose(8);
    EXPECT_EQ(list->count(), 13);
    EXPECT_TRUE(custom->isEnabled());
    typeInto(custom, "MyGame.MyType");
    choose(2);
    EXPECT_FALSE(custom->isEnabled());
    EXPECT_EQ(form.text(Text::Gametype), "MyGame.MyType");
}

TEST_F(MainWindowTest, SelectAllAndClearAllCoverEveryMap) {
    test::TempDir big;
    for (int i = 1; i <= 40; ++i)
        big.writeFile("Maps/DM-Map" + std::to_string(100 + i) + ".ut2", "");
    form.setUtpath(big.withSeparator());
    form.optGameType_Click(2);
    auto* list = child<QListWidget>("filMapList");
    ASSERT_EQ(list->count(), 40);

    QTest::mouseClick(child<QPushButton>("cmdselectall"), Qt::LeftButton);
    EXPECT_EQ(list->selectedItems().size(), 40);
    EXPECT_EQ(form.mapList().selectedCount(), 40u);
    QTest::mouseClick(child<QPushButton>("cmdclearall"), Qt::LeftButton);
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(form.mapList().selectedCount(), 0u);
}

TEST_F(MainWindowTest, ValuesSetByCodeShowAtOnce) {
    form.selectGameType(1);
    form.setMapSelection({false, true, true});
    form.setText(Text::ServerName, "Caf\xE9 \x80 Arena");
    form.setChecked(chkServerOptions(9), true);
    form.selectArena(3);
    form.setScroll(Scroll::GameSpeed, 150);
    form.setBotSkillText("Godlike!");

    EXPECT_TRUE(child<QRadioButton>("optGameType_1")->isChecked());
    EXPECT_EQ(entries(child<QListWidget>("filMapList"), true),
              (QStringList{"CTF-Glacier.ut2", "CTF-Harbor.ut2"}));
    EXPECT_EQ(child<QLineEdit>("txtServerName")->text(), QString::fromUtf8("Café € Arena"));
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
    registry->createregkey(RegRoot::LocalMachine, kMsinfoPathKey);
    registry->writeregvalue(RegRoot::LocalMachine, kMsinfoPathKey, kMsinfoPathValue,
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

    registry->deleteregvalue(RegRoot::LocalMachine, kMsinfoPathKey, kMsinfoPathValue);
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
