#include "settings/MainWindow.h"

#include "FakeDialogs.h"
#include "MemoryRegistry.h"
#include "TempDir.h"
#include "about/AboutBox.h"
#include "settings/AnsiText.h"
#include "settings/Controls.h"
#include "settings/SettingsForm.h"

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

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { open(test::copyDemoInstall(dir)); }

    // Brings the form to the state start-up leaves it in, then opens the window on it.
    void open(const std::string& utpath) {
        form.setUtpath(utpath);
        form.applyFirstRunDefaults();
        form.chkUseBots_Click();
        form.chkWebadmin_Click();
        for (const auto& bar : kScrollControls)
            form.scl_Change(bar.id);
        window = std::make_unique<MainWindow>(form, dialogs, registry);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <class T> T* child(const QString& name) {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QWidget* frame(const char* name) { return child<QGroupBox>(QString::fromLatin1(name)); }

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
    void clickBox(QCheckBox* box) {
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
    test::MemoryRegistry registry;
    SettingsForm form;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, TabsShowTheirFramesAndTheCommandsAlwaysShow) {
    EXPECT_EQ(window->windowTitle(), "Quarnel");
    const char* game[] = {"frmGameType", "frmMapList", "frmMutators", "frmGameOptions"};
    const char* server[] = {"frmServerOptions", "frmBots"};
    auto expectShown = [&](bool gameShown) {
        for (const char* name : game)
            EXPECT_EQ(frame(name)->isVisible(), gameShown) << name;
        for (const char* name : server)
            EXPECT_EQ(frame(name)->isVisible(), !gameShown) << name;
        EXPECT_TRUE(frame("frmCommands")->isVisible());
    };
    expectShown(true);
    showTab(1);
    expectShown(false);
    showTab(0);
    expectShown(true);
    // The window keeps its size whichever tab shows.
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
}

TEST_F(MainWindowTest, ClicksReachTheControlsOfTheTabShown) {
    // What a click at a control's place in the window lands on, as the window routes it.
    auto landsOn = [&](const char* name) {
        auto* target = child<QWidget>(QString::fromLatin1(name));
        const QPoint place = target->mapTo(window.get(), target->rect().center());
        QWidget* hit = window->childAt(place);
        return hit == target || target->isAncestorOf(hit);
    };
    const char* game[] = {"optGameType_2", "chkMutator_0", "filMapList", "chkGameOptions_3"};
    const char* server[] = {"chkServerOptions_0", "txtServerName", "chkUseBots"};
    for (int round = 0; round < 2; ++round) {
        showTab(0);
        for (const char* name : game)
            EXPECT_TRUE(landsOn(name)) << name;
        showTab(1);
        for (const char* name : server)
            EXPECT_TRUE(landsOn(name)) << name;
    }
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
    auto* skill = child<QComboBox>("cboBotSkill");
    ASSERT_EQ(skill->count(), 8);
    EXPECT_EQ(skill->itemText(7), "Godlike!");

    const std::pair<const char*, const char*> commands[] = {{"cmdOptions_0", "Launch Server"},
                                                            {"cmdOptions_1", "Load Config"},
                                                            {"cmdOptions_2", "Save Config"},
                                                            {"cmdOptions_3", "Make .BAT/.INI"}};
    for (const auto& [name, caption] : commands)
        EXPECT_EQ(child<QPushButton>(name)->text(), caption);
    const std::tuple<const char*, const char*, const char*> items[] = {
        {"LaunchMenuItem", "Launch Server", "Ctrl+R"},
        {"LoadMenuItem", "Load Config", "Ctrl+L"},
        {"SaveMenuItem", "Save Config", "Ctrl+S"},
        {"ExitMenuItem", "Exit", "Ctrl+E"}};
    for (const auto& [name, caption, keys] : items) {
        auto* item = child<QAction>(name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), caption);
        EXPECT_EQ(item->shortcut(), QKeySequence(QString::fromLatin1(keys)));
    }
    EXPECT_EQ(child<QAction>("aboutmenu")->text(), "About");

    // A box takes no more characters than its limit, and what it keeps reaches the form.
    typeInto(child<QLineEdit>("txtTimeLimit"), "12345");
    EXPECT_EQ(form.text(Text::TimeLimit), "123");
}

TEST_F(MainWindowTest, ValueLabelsShowSettledValuesAndTheDragForm) {
    for (const auto& def : kScrollControls) {
        SCOPED_TRACE(std::string(def.name));
        const bool onServerTab = def.id == Scroll::MaxPlayers || def.id == Scroll::MaxSpectators ||
                                 def.id == Scroll::NetStartDelay || def.id == Scroll::MinPlayers;
        showTab(onServerTab ? 1 : 0);
        if (def.id == Scroll::MinPlayers)
            clickBox(child<QCheckBox>("chkUseBots"));
        auto* bar = child<QScrollBar>(qs(def.name));
        auto* label = child<QLabel>(qs(def.labelName));
        const QString unit = qs(def.unit);
        EXPECT_EQ(label->text(), qs(def.caption) + " = " + QString::number(def.designValue) + unit);

        // A click on the right arrow settles one step further.
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          sliderRect(bar, QStyle::SC_ScrollBarAddLine).center());
        const int stepped = def.designValue + 1;
        EXPECT_EQ(form.scroll(def.id), stepped);
        EXPECT_EQ(label->text(), qs(def.caption) + " = " + QString::number(stepped) + unit);

        // Dragging the thumb shows the value under it; the time bars add " sec." until release.
        const QPoint grip = sliderRect(bar, QStyle::SC_ScrollBarSlider).center();
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        QTest::mouseMove(bar, grip + QPoint(40, 0));
        const int dragged = bar->sliderPosition();
        ASSERT_GT(dragged, stepped);
        const QString settled = qs(def.caption) + " = " + QString::number(dragged) + unit;
        EXPECT_EQ(label->text(), def.secondsWhileDragged ? settled + " sec." : settled);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(40, 0));
        EXPECT_EQ(label->text(), settled);
        EXPECT_EQ(form.scroll(def.id), dragged);
        EXPECT_EQ(form.caption(def.id), settled.toStdString());
    }
}

struct FieldCase {
    const char* field;
    const char* typed;
    bool accepted;
    const char* textAfter;
    const char* message;
    const char* title;
};

class FieldLeaveTest : public MainWindowTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(FieldLeaveTest, LeavingTheFieldChecksIt) {
    const FieldCase& c = GetParam();
    showTab(1);
    clickBox(child<QCheckBox>("chkWebadmin"));
    auto* edit = child<QLineEdit>(c.field);
    typeInto(edit, QString::fromLatin1(c.typed));
    QTest::keyClick(edit, Qt::Key_Tab);

    EXPECT_EQ(edit->text(), c.textAfter);
    for (const auto& def : kTextControls) {
        if (def.name == c.field) {
            EXPECT_EQ(form.text(def.id), c.textAfter);
        }
    }
    if (c.accepted) {
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_FALSE(edit->hasFocus());
    } else {
        EXPECT_EQ(dialogs.messages, (std::vector<FakeDialogs::Message>{{c.message, c.title}}));
        EXPECT_TRUE(edit->hasFocus());
    }
}

INSTANTIATE_TEST_SUITE_P(
    NumericFields, FieldLeaveTest,
    ::testing::Values(FieldCase{"txtPort", "65000", true, "65000", "", ""},
                      FieldCase{"txtPort", "65001", false, "7777",
                                "Must be a number between 1 and 65000", "Game Port"},
                      FieldCase{"txtPort", "0", false, "7777",
                                "Must be a number between 1 and 65000", "Game Port"},
                      FieldCase{"txtlantickrate", "abc", false, "35",
                                "Must be a number between 1 and 50", "LAN Tick Rate"},
                      FieldCase{"txtlantickrate", "", false, "35",
                                "Must be a number between 1 and 50", "LAN Tick Rate"},
                      FieldCase{"txtnettickrate", "51", false, "20",
                                "Must be a number between 1 and 50", "Net Tick Rate"},
                      FieldCase{"txtnettickrate", "20.4", true, "20.4", "", ""},
                      FieldCase{"txtnettickrate", "50.5", true, "50.5", "", ""},
                      FieldCase{"txtnettickrate", "50.6", false, "20",
                                "Must be a number between 1 and 50", "Net Tick Rate"},
                      FieldCase{"txtnetspeed", "25001", false, "7000",
                                "Must be a number between 1 and 25000", "Net Speed"},
                      FieldCase{"txtlanspeed", " +1 ", true, " +1 ", "", ""},
                      FieldCase{"txtwebport", "12345678901234567890", false, "80",
                                "Must be a number between 1 and 65000", "Web Port"}));

TEST_F(MainWindowTest, ARefusedFieldStopsTheButtonButNotTheMenu) {
    QSignalSpy commands(window.get(), &MainWindow::commandRequested);
    showTab(1);
    auto* port = child<QLineEdit>("txtPort");
    auto* launch = child<QPushButton>("cmdOptions_0");

    typeInto(port, "0");
    QTest::mouseClick(launch, Qt::LeftButton);
    EXPECT_EQ(commands.count(), 0);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(port->hasFocus());
    EXPECT_EQ(port->text(), "7777");

    // Nor does a tab clicked while the field refuses.
    typeInto(port, "65001");
    showTab(0);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(frame("frmServerOptions")->isVisible());
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
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.takeFirst().at(0).toInt(), MainWindow::MakeBatIni);

    QTest::keyClick(port, Qt::Key_L, Qt::ControlModifier);
    QTest::keyClick(port, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.at(0).at(0).toInt(), MainWindow::LoadConfig);
    EXPECT_EQ(commands.at(1).at(0).toInt(), MainWindow::SaveConfig);
}

TEST_F(MainWindowTest, MasterBoxesEnableTheirDependantsAndKeepValues) {
    form.setChecked(Check::BotSkill, true);
    form.setScroll(Scroll::MinPlayers, 7);
    form.setBotSkillText("Masterful");
    form.setText(Text::webport, "8080");
    showTab(1);
    auto* useBots = child<QCheckBox>("chkUseBots");
    auto* adjust = child<QCheckBox>("chkBotSkill");
    auto* skill = child<QComboBox>("cboBotSkill");
    auto* minPlayers = child<QScrollBar>("sclMinPlayers");
    const QPalette system = QApplication::palette();

    auto expectBots = [&](bool on) {
        EXPECT_EQ(adjust->isEnabled(), on);
        EXPECT_EQ(skill->isEnabled(), on);
        EXPECT_EQ(minPlayers->isEnabled(), on);
        EXPECT_EQ(skill->palette().color(QPalette::Button),
                  system.color(on ? QPalette::Base : QPalette::Button));
        EXPECT_TRUE(adjust->isChecked());
        EXPECT_EQ(skill->currentText(), "Masterful");
        EXPECT_EQ(minPlayers->value(), 7);
    };
    expectBots(false);
    clickBox(useBots);
    expectBots(true);
    clickBox(useBots);
    expectBots(false);

    auto* webadmin = child<QCheckBox>("chkWebadmin");
    auto* webport = child<QLineEdit>("txtwebport");
    EXPECT_FALSE(webport->isEnabled());
    clickBox(webadmin);
    EXPECT_TRUE(webport->isEnabled());
    clickBox(webadmin);
    EXPECT_FALSE(webport->isEnabled());
    EXPECT_EQ(webport->text(), "8080");
}

QStringList entries(QListWidget* list) {
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names << list->item(row)->text();
    return names;
}

TEST_F(MainWindowTest, ChoosingAGameTypeRefillsTheListWithNothingSelected) {
    auto* list = child<QListWidget>("filMapList");
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    const QStringList deathmatch = {"DM-Cellar.ut2", "DM-Lighthouse.ut2", "DM-Quarry.ut2",
                                    "DM-Reactor.ut2", "dm-sunken.ut2"};
    EXPECT_EQ(entries(list), deathmatch);

    QTest::mouseClick(child<QRadioButton>("optGameType_1"), Qt::LeftButton);
    EXPECT_EQ(entries(list), (QStringList{"CTF-Foundry.ut2", "CTF-Glacier.ut2", "CTF-Harbor.ut2"}));
    auto clickRow = [&](int row, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                          list->visualItemRect(list->item(row)).center());
    };
    clickRow(0, {});
    clickRow(2, Qt::ControlModifier);
    EXPECT_EQ(form.mapList().selected, (std::vector<bool>{true, false, true}));

    QTest::mouseClick(child<QRadioButton>("optGameType_0"), Qt::LeftButton);
    EXPECT_EQ(form.gameType(), 0);
    EXPECT_EQ(entries(list), (QStringList{"BR-Canyon.ut2", "BR-Skyline.ut2"}));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_EQ(form.mapList().selectedCount(), 0u);

    QTest::mouseClick(child<QRadioButton>("optGameType_4"), Qt::LeftButton);
    EXPECT_EQ(entries(list), deathmatch);
    EXPECT_FALSE(child<QLineEdit>("txtGametype")->isEnabled());

    // "Other" lists every map and opens the custom type box; its text survives a switch.
    QTest::mouseClick(child<QRadioButton>("optGameType_8"), Qt::LeftButton);
    EXPECT_EQ(list->count(), 13);
    auto* custom = child<QLineEdit>("txtGametype");
    EXPECT_TRUE(custom->isEnabled());
    typeInto(custom, "MyGame.MyType");
    QTest::mouseClick(child<QRadioButton>("optGameType_2"), Qt::LeftButton);
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
    form.setText(Text::AdminPassword, "secret");
    form.setChecked(chkServerOptions(9), true);
    form.setChecked(chkMutator(6), true);
    form.selectArena(3);
    form.setScroll(Scroll::GameSpeed, 150);
    form.setScroll(Scroll::NetStartDelay, 12);
    form.setBotSkillText("Godlike!");

    EXPECT_TRUE(child<QRadioButton>("optGameType_1")->isChecked());
    auto* list = child<QListWidget>("filMapList");
    EXPECT_FALSE(list->item(0)->isSelected());
    EXPECT_TRUE(list->item(1)->isSelected());
    EXPECT_TRUE(list->item(2)->isSelected());
    EXPECT_EQ(child<QLineEdit>("txtServerName")->text(), QString::fromUtf8("Café € Arena"));
    EXPECT_EQ(child<QLineEdit>("txtAdminPassword")->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(child<QCheckBox>("chkServerOptions_9")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("chkMutator_6")->isChecked());
    EXPECT_TRUE(child<QRadioButton>("optMutator_3")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("optMutator_0")->isChecked());
    EXPECT_EQ(child<QScrollBar>("sclGameSpeed")->value(), 150);
    EXPECT_EQ(child<QLabel>("lblGameSpeed")->text(), "Game Speed = 150%");
    EXPECT_EQ(child<QLabel>("lblNetStartDelay")->text(), "Net Start Delay = 12");
    EXPECT_EQ(child<QComboBox>("cboBotSkill")->currentText(), "Godlike!");

    // Typing goes the other way, in the code page the settings files use.
    auto* admin = child<QLineEdit>("txtAdminName");
    typeInto(admin, "Zo");
    QTest::sendKeyEvent(QTest::Click, admin, Qt::Key_unknown, QString::fromUtf8("ë"), {});
    EXPECT_EQ(form.text(Text::AdminName), "Zo\xEB");
}

TEST_F(MainWindowTest, ActivationCloseAndExitAreReported) {
    QSignalSpy activated(window.get(), &MainWindow::activated);
    QSignalSpy closing(window.get(), &MainWindow::closing);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(activated.count(), 1);

    // Ctrl+E is Exit even while a text box has the focus.
    auto* name = child<QLineEdit>("txtMutator");
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::keyClick(name, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(closing.count(), 1);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, AboutComesUpOnceAndReportsAMissingSystemInfo) {
    auto* about = child<QAction>("aboutmenu");
    about->trigger();
    AboutBox* box = window->aboutBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    about->trigger();
    EXPECT_EQ(window->aboutBox(), box);
    int boxes = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        boxes += top->objectName() == "frmAbout" && top->isVisible();
    EXPECT_EQ(boxes, 1);

    QTest::mouseClick(box->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
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
