#include "window/MainWindow.h"

#include "FakeDialogs.h"
#include "TempDir.h"
#include "about/AboutBox.h"
#include "common/AnsiText.h"
#include "launch/LaunchFiles.h"
#include "settings/FieldCheck.h"
#include "store/RegistryFile.h"

#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace quarnel {
namespace {

using Messages = std::vector<test::FakeDialogs::Message>;

// The real window over the demo installation as start-up leaves it: what the window adds.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.setGameFolder(test::copyDemoInstall(dir));
        form.applyFirstRunDefaults();
        form.bringPanelsInStep();
        window = std::make_unique<MainWindow>(form, dialogs, *registry);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 60000)); // ends a run that hangs
    }
    template <class T = QWidget> T* child(const char* name) { return window->findChild<T*>(name); }
    QTabBar* tabs() { return child<QTabBar>("tabMain"); }
    void showTab(int i) {
        QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(i).center());
    }
    void typeInto(QLineEdit* edit, const char* text) {
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // On the box itself: a check box does not answer clicks on the rest of its row.
    void clickBox(const char* name) { QTest::mouseClick(child(name), Qt::LeftButton, {}, {6, 8}); }

    test::TempDir dir;
    test::FakeDialogs dialogs;
    std::unique_ptr<Registry> registry = makeMemoryRegistry();
    SettingsForm form;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, TabsAndTextBoxesAreBuiltAndALeftFieldIsCheckedAsTheUserLeavesIt) {
    // Shown, and where a click at its middle lands as the window routes it.
    auto reachable = [&](const char* name) {
        auto* target = child(name);
        QWidget* hit = window->childAt(target->mapTo(window.get(), target->rect().center()));
        return target->isVisible() && (hit == target || target->isAncestorOf(hit));
    };
    const std::vector<const char*> frames[] = {
        {"frmGameType", "frmMapList", "frmMutators", "frmGameOptions", "optGameType_2",
         "chkMutator_0", "filMapList", "chkGameOptions_3"},
        {"frmServerOptions", "frmBots", "chkServerOptions_0", "txtServerName", "chkWebadmin"}};
    for (int shown : {0, 1, 0}) {
        showTab(shown);
        for (int tab : {0, 1})
            for (const char* name : frames[tab])
                EXPECT_EQ(reachable(name), tab == shown) << name;
        EXPECT_TRUE(reachable("frmCommands"));
    }
    // One size for every tab; the tabs keep their own widths, short of the strip's end.
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_LT(tabs()->tabRect(2).right(), window->width() / 2);
    for (const TextControl& box : kTextControls) {
        SCOPED_TRACE(box.name.data());
        const auto* edit = child<QLineEdit>(box.name.data());
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->maxLength(), box.maxLength > 0 ? box.maxLength : QLineEdit().maxLength());
        EXPECT_EQ(edit->echoMode(), box.password ? QLineEdit::Password : QLineEdit::Normal);
        EXPECT_EQ(edit->toolTip().isEmpty(), !box.tooltipOnBox);
        const bool labelled = !box.labelName.empty();
        const auto* label = labelled ? child<QLabel>(box.labelName.data()) : nullptr;
        EXPECT_EQ(label ? label->text() : "", labelled ? fromAnsi(box.caption) : "");
    }

    // A left field is checked, and a refusal stops the click but not the menu's keys.
    std::vector<Command> sent;
    QObject::connect(window.get(), &MainWindow::commandRequested,
                     [&](Command c) { sent.push_back(c); });
    showTab(1);
    clickBox("chkWebadmin");
    QTest::keyClick(child("chkWebadmin"), Qt::Key_Tab); // the switch hands on to its port
    EXPECT_EQ(QApplication::focusWidget(), child("txtwebport"));
    // Types into the field and leaves it with Tab: the messages shown and whether it was left.
    auto leave = [&](Text field, const char* typed) {
        dialogs.messages.clear();
        auto* edit = child<QLineEdit>(control(field).name.data());
        typeInto(edit, typed);
        QTest::keyClick(edit, Qt::Key_Tab);
        return std::pair(dialogs.messages, !edit->hasFocus());
    };
    for (const FieldCheck& check : kFieldChecks) {
        EXPECT_EQ(
            leave(check.field, "0"),
            std::pair(Messages{{std::string(check.message), std::string(check.title)}}, false));
        EXPECT_EQ(form.text(check.field), check.defaultText);
    }
    EXPECT_EQ(leave(Text::GamePort, "65000"), std::pair(Messages{}, true));

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
    EXPECT_EQ(sent, (std::vector{Command::MakeBatIni, Command::LaunchServer, Command::LoadConfig,
                                 Command::SaveConfig}));
    QTest::keyClick(port, Qt::Key_E, Qt::ControlModifier); // Exit
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, ValuesSetByCodeShowAtOnceClicksAndTypingReachTheFormAndAboutWorks) {
    form.selectGameType(1);
    form.setMapSelection({false, true, true});
    form.setText(Text::ServerName, "Caf\xE9 \x80\xA0."); // 0xA0: the first Latin-1 byte
    form.setChecked(Check::MasterServerUplink, true);
    form.selectArena(3);
    form.setScroll(Scroll::GameSpeed, 150);
    form.setBotSkillText("Godlike!");
    auto* list = child<QListView>("filMapList");
    QItemSelectionModel* rows = list->selectionModel();
    EXPECT_TRUE(!rows->isRowSelected(0) && rows->isRowSelected(1) && rows->isRowSelected(2));
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "CTF-Foundry.ut2");
    EXPECT_EQ(child<QLineEdit>("txtServerName")->text(), QString::fromUtf8("Café €\u00a0."));
    for (const char* name : {"optGameType_1", "chkServerOptions_9", "optMutator_3"})
        EXPECT_TRUE(child<QAbstractButton>(name)->isChecked()) << name;
    auto* speed = child<QScrollBar>("sclGameSpeed");
    auto* label = child<QLabel>("lblGameSpeed");
    auto* skill = child<QComboBox>("cboBotSkill");
    EXPECT_EQ(std::tuple(speed->value(), label->text(), skill->currentText()),
              std::tuple(150, QString("Game Speed = 150%"), QString("Godlike!")));

    // Clicks and keys go the other way, and the enabling and colours they cause come back.
    QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(speed->width() - 4, 4)); // right arrow
    EXPECT_EQ(std::pair(form.scroll(Scroll::GameSpeed), label->text()),
              std::pair(151, QString("Game Speed = 151%")));
    for (const auto key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}) // as the arrows do
        QTest::keyClick(speed, key);
    EXPECT_EQ(form.scroll(Scroll::GameSpeed), 150);
    for (auto [row, keys] : {std::pair(0, Qt::NoModifier), {2, Qt::ControlModifier}})
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                          list->visualRect(list->model()->index(row, 0)).center());
    EXPECT_EQ(form.mapList().selected, (std::vector{true, false, true}));
    QTest::mouseClick(child<QRadioButton>("optGameType_8"), Qt::LeftButton);
    EXPECT_EQ(form.gameType(), 8);
    showTab(1);
    clickBox("chkUseBots");
    clickBox("chkWebadmin");
    for (const char* name : {"chkBotSkill", "cboBotSkill", "sclMinPlayers", "txtwebport"})
        EXPECT_TRUE(child(name)->isEnabled()) << name;
    EXPECT_EQ(skill->palette().color(QPalette::Button),
              QApplication::palette().color(QPalette::Base));
    // Typing goes in the code page the settings files use.
    auto* admin = child<QLineEdit>("txtAdminName");
    typeInto(admin, "Zo");
    QTest::sendKeyEvent(QTest::Click, admin, Qt::Key_unknown, QString::fromUtf8("ë"), {});
    EXPECT_EQ(form.text(Text::AdminName), "Zo\xEB");

    // The command line tab shows the line at once, and follows later changes once the loop turns.
    showTab(2);
    auto* line = child<QPlainTextEdit>("txtCommandLine");
    EXPECT_EQ(line->toPlainText(), fromAnsi(batchServerLine(form, "quarnel.ini")));
    form.selectGameType(2);
    form.setText(Text::AdminName, "Ann & Bo");
    QCoreApplication::processEvents();
    EXPECT_EQ(line->toPlainText(), fromAnsi(batchServerLine(form, "quarnel.ini")));

    // About says when the system information is missing, and outlives the window.
    child<QAction>("aboutmenu")->trigger();
    AboutBox* box = window->aboutBox();
    QTest::mouseClick(box->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
    EXPECT_EQ(dialogs.messages,
              (Messages{{"System Information Is Unavailable At This Time", "quarnel"}}));
    window->close();
    EXPECT_TRUE(box->isVisible());
}

} // namespace
} // namespace quarnel
