#include "app/QtShellOpener.h"

#include "TempDir.h"
#include "app/OpenWithDialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace quarnel {
namespace {

// What the opener did with the desktop.
struct Calls {
    std::vector<QUrl> opened;
    std::vector<QString> chooserShownFor;
    std::vector<std::pair<QString, QStringList>> started;
};

struct OpenCase {
    const char* name;
    bool associated;
    bool openSucceeds;
    std::optional<const char*> chosenProgram; // nullopt: the chooser is cancelled
    bool opens;                               // the association was tried
    bool chooses;                             // the chooser was shown
    bool starts;                              // the chosen program was started
};

class QtShellOpenerTest : public testing::TestWithParam<OpenCase> {
protected:
    QtShellOpener::Desktop desktop(const OpenCase& c) {
        QtShellOpener::Desktop d;
        d.hasAssociation = [c](const QString&) {
            return c.associated;
        };
        d.openUrl = [this, c](const QUrl& url) {
            calls.opened.push_back(url);
            return c.openSucceeds;
        };
        d.chooseProgram = [this, c](const QString& file) -> std::optional<QString> {
            calls.chooserShownFor.push_back(file);
            if (!c.chosenProgram)
                return std::nullopt;
            return QString::fromLatin1(*c.chosenProgram);
        };
        d.startDetached = [this](const QString& program, const QStringList& arguments) {
            calls.started.emplace_back(program, arguments);
            return true;
        };
        return d;
    }

    test::TempDir dir;
    Calls calls;
};

TEST_P(QtShellOpenerTest, TriesTheAssociationFirstThenOffersAChooser) {
    const auto& c = GetParam();
    const std::string file = dir.writeFile("Server Files/quarnel.bat", "@echo off\r\n").string();
    const QString path = QString::fromStdString(file);
    QtShellOpener opener(desktop(c));
    opener.shellopen(file);

    EXPECT_EQ(calls.opened, c.opens ? std::vector{QUrl::fromLocalFile(path)} : std::vector<QUrl>{});
    EXPECT_EQ(calls.chooserShownFor, c.chooses ? std::vector{path} : std::vector<QString>{});
    if (c.starts) {
        ASSERT_EQ(calls.started.size(), 1u);
        EXPECT_EQ(calls.started[0].first, QString::fromLatin1(*c.chosenProgram));
        // The path goes to the program unchanged, blanks and all, as one argument.
        EXPECT_EQ(calls.started[0].second, QStringList{path});
    } else {
        EXPECT_TRUE(calls.started.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, QtShellOpenerTest,
    testing::Values(OpenCase{"Associated", true, true, "/usr/bin/wine", true, false, false},
                    OpenCase{"NoAssociation", false, false, "/usr/bin/wine", false, true, true},
                    OpenCase{"NoAssociationCancelled", false, false, std::nullopt, false, true,
                             false},
                    OpenCase{"OpeningFailed", true, false, "/usr/bin/wine", true, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtShellOpener, MissingFileDoesNothing) {
    test::TempDir dir;
    int asked = 0;
    QtShellOpener::Desktop d;
    d.hasAssociation = [&](const QString&) {
        return ++asked, true;
    };
    d.openUrl = [&](const QUrl&) {
        return ++asked, true;
    };
    d.chooseProgram = [&](const QString&) -> std::optional<QString> {
        return ++asked, QString("x");
    };
    d.startDetached = [&](const QString&, const QStringList&) {
        return ++asked, true;
    };
    QtShellOpener opener(d);
    opener.shellopen((dir.path() / "missing.bat").string());
    opener.shellopen(dir.path().string());
    EXPECT_EQ(asked, 0);
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
