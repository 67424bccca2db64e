#include "dialogs/QtDialogs.h"

#include "TempDir.h"

#include <QtWidgets>
#include <gtest/gtest.h>

namespace quarnel {
namespace {

// Accepts or cancels every dialog once it shows, from inside the dialog's own event loop.
struct Answerer : QObject {
    bool accept = true;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && event->type() == QEvent::Show)
            QMetaObject::invokeMethod(dialog, accept ? &QDialog::accept : &QDialog::reject,
                                      Qt::QueuedConnection);
        return false;
    }
};

TEST(QtDialogsTest, TheFileDialogReportsTheFileChosenAndNothingWhenCancelled) {
    test::TempDir dir;
    const std::filesystem::path folder = dir.makeFolder("my.cfg");
    Answerer answer;
    qApp->installEventFilter(&answer);
    // The name typed, whether the dialog is accepted, the title and flags reported.
    const std::tuple<const char*, bool, const char*, int> cases[] = {
        {"server", true, "server.cfg", 0}, // the default extension is added
        {"a.CFG.txt", true, "a.CFG.txt", FileDialogResult::kExtensionDifferent},
        {"server", false, "", 0}};
    for (const auto& [name, accept, title, flags] : cases) {
        SCOPED_TRACE(name);
        answer.accept = accept;
        const FileDialogResult result = QtDialogs().fileDialog(
            {FileDialogRequest::Mode::Save, folder.string(), "Config", "*.cfg", "cfg", name});
        const std::string path = accept ? (folder / title).string() : "";
        EXPECT_EQ(std::tie(result.cancelled, result.path, result.title, result.flags),
                  std::tuple(!accept, path, std::string(title), flags));
    }
}

} // namespace
} // namespace quarnel
