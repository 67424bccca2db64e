#include "about/AboutBox.h"

#include "FakeDialogs.h"
#include "MemoryRegistry.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace quarnel {
namespace {

TEST(AboutBoxTest, ShowsItsTextsAndStartsTheRegisteredTool) {
    test::MemoryRegistry registry;
    test::FakeDialogs dialogs;
    std::vector<std::string> started;
    registry.put(RegRoot::LocalMachine, kMsinfoPathKey, kMsinfoPathValue,
                 std::string("/usr/bin/sysinfo"));
    AboutBox box(registry, dialogs, [&started](const std::string& program) {
        started.push_back(program);
        return true;
    });
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));

    EXPECT_EQ(box.objectName(), "frmAbout");
    EXPECT_EQ(box.windowTitle(), "Quarnel");
    EXPECT_FALSE(box.isModal());
    const std::pair<const char*, const char*> texts[] = {
        {"lblTitle", "Quarnel"},
        {"lblVersion", "Version 1.0.0"},
        {"lblDescription1", "Configures and launches Unreal Tournament 2003 Dedicated Servers."}};
    for (const auto& [name, text] : texts)
        EXPECT_EQ(box.findChild<QLabel*>(name)->text(), text);
    for (const char* name : {"lblAuthor", "lblwebsite", "lblDisclaimer"})
        EXPECT_FALSE(box.findChild<QLabel*>(name)->text().isEmpty()) << name;
    EXPECT_FALSE(box.findChild<QLabel*>("abtpicIcon")->pixmap().isNull());
    auto* sysInfo = box.findChild<QPushButton*>("cmdSysInfo");
    EXPECT_EQ(sysInfo->text(), "&System Info...");
    EXPECT_EQ(box.findChild<QPushButton*>("cmdOK")->text(), "OK");

    QTest::mouseClick(sysInfo, Qt::LeftButton);
    EXPECT_EQ(started, (std::vector<std::string>{"/usr/bin/sysinfo"}));
    EXPECT_TRUE(dialogs.messages.empty());

    QTest::mouseClick(box.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
}

} // namespace
} // namespace quarnel
