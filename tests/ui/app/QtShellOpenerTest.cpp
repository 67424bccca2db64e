#include "app/QtShellOpener.h"

#include "TempDir.h"
#include "dialogs/OpenWithDialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace quarnel {
namespace {

// A desktop that answers as told and logs what the opener asked of it, in order.
QtShellOpener::Desktop loggingDesktop(QStringList& log, bool associated, bool opens,
                                      std::optional<QString> chosen) {
    QtShellOpener::Desktop d;
    d.hasAssociation = [&log, associated](const QString& file) {
        log << "association? " + file;
        return associated;
    };
    d.openUrl = [&log, opens](const QUrl& url) {
        log << "open " + url.toLocalFile();
        return opens;
    };
    d.chooseProgram = [&log, chosen](const QString& file) {
        log << "choose for " + file;
        return chosen;
    };
    d.startDetached = [&log](const QString& program, const QStringList& arguments) {
        log << "start " + program + " [" + arguments.join("][") + "]";
        return true;
    };
    return d;
}

TEST(QtShellOpenerTest, TriesTheAssociationFirstThenOffersAChooser) {
    test::TempDir dir;
    const QString file =
        QString::fromStdString(dir.writeFile("Server Files/quarnel.bat", "@echo off\r\n").string());
    const QString asked = "association? " + file;
    const QString open = "open " + file;
    const QString choose = "choose for " + file;
    // The path goes to the chosen program unchanged, blanks and all, as one argument.
    const QString start = "start /usr/bin/wine [" + file + "]";
    struct Case {
        const char* desktop;
        bool associated;
        bool opens;
        std::optional<QString> chosen;
        QStringList expected;
    };
    const Case cases[] = {
        {"associated", true, true, "/usr/bin/wine", {asked, open}},
        {"no association", false, false, "/usr/bin/wine", {asked, choose, start}},
        {"chooser cancelled", false, false, std::nullopt, {asked, choose}},
        {"opening failed", true, false, "/usr/bin/wine", {asked, open, choose, start}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desktop);
        QStringList log;
        QtShellOpener(loggingDesktop(log, c.associated, c.opens, c.chosen))
            .shellopen(file.toStdString());
        EXPECT_EQ(log, c.expected);
    }

    // A file that does not exist, or a folder, is not handed to the desktop at all.
    QStringList log;
    QtShellOpener opener(loggingDesktop(log, true, true, "/usr/bin/wine"));
    opener.shellopen((dir.path() / "missing.bat").string());
    opener.shellopen(dir.path().string());
    EXPECT_TRUE(log.isEmpty());
}

TEST(OpenWithDialog, AcceptsOnlyOnceAProgramIsNamed) {
    OpenWithDialog dialog("/srv/ut/quarnel.bat");
    auto* program = dialog.findChild<QLineEdit*>("program");
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(program, nullptr);
    ASSERT_NE(buttons, nullptr);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(program, "   ");
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(program, "/usr/bin/wine ");
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(dialog.program(), "/usr/bin/wine");
}

} // namespace
} // namespace quarnel
