#include "app/QtShellOpener.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <optional>

namespace quarnel {
namespace {

TEST(QtShellOpenerTest, TriesTheAssociationFirstThenOffersAChooser) {
    test::TempDir dir;
    const std::string bat = dir.writeFile("Server Files/quarnel.bat", "@echo off\r\n").string();
    // The chosen program is given the path unchanged, blanks and all, as one argument.
    const QString file = QString::fromStdString(bat), asked = "association? " + file,
                  open = "open " + file, choose = "choose for " + file,
                  start = "start /usr/bin/wine [" + file + "]";
    struct Case {
        std::string path;
        bool associated, opens;
        std::optional<QString> chosen;
        QStringList expected; // what the opener asked of the desktop, in order
    };
    const Case cases[] = {
        {bat, true, true, "/usr/bin/wine", {asked, open}},
        {bat, false, false, "/usr/bin/wine", {asked, choose, start}},
        {bat, false, false, std::nullopt, {asked, choose}},
        {bat, true, false, "/usr/bin/wine", {asked, open, choose, start}},
        // A file that does not exist, or a folder, is not handed to the desktop at all.
        {(dir.path() / "missing.bat").string(), true, true, "/usr/bin/wine", {}},
        {dir.path().string(), true, true, "/usr/bin/wine", {}},
    };
    for (const Case& c : cases) {
        QStringList log;
        const auto note = [&log](const QString& call, auto answer) {
            log << call;
            return answer;
        };
        QtShellOpener({[&](const QString& f) { return note("association? " + f, c.associated); },
                       [&](const QUrl& url) { return note("open " + url.toLocalFile(), c.opens); },
                       [&](const QString& f) { return note("choose for " + f, c.chosen); },
                       [&](const QString& program, const QStringList& arguments) {
                           return note("start " + program + " [" + arguments.join("][") + "]",
                                       true);
                       }})
            .shellopen(c.path);
        EXPECT_EQ(log, c.expected) << c.path;
    }
}

} // namespace
} // namespace quarnel
