#include "dialogs/QtDialogs.h"

#include "TempDir.h"

#include <QtWidgets>
#include <functional>
#include <gtest/gtest.h>

namespace quarnel {
namespace {

// Answers every dialog once it shows, from inside the dialog's own event loop.
struct Answerer : QObject {
    explicit Answerer(std::function<void(QDialog*)> answer) : answer(std::move(answer)) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && event->type() == QEvent::Show)
            QMetaObject::invokeMethod(
                dialog, [this, dialog] { answer(dialog); }, Qt::QueuedConnection);
        return false;
    }
    std::function<void(QDialog*)> answer;
};

TEST(QtDialogsTest, TheFileDialogReportsTheFileChosenAndNothingWhenCancelled) {
    test::TempDir dir;
    const std::filesystem::path folder = dir.makeFolder("my.cfg");
    // The name typed, whether the dialog is accepted, the title and flags reported.
    const std::tuple<const char*, bool, const char*, int> cases[] = {
        {"server", true, "server.cfg", 0}, // the default extension is added
        {"a.CFG.txt", true, "a.CFG.txt", FileDialogResult::kExtensionDifferent},
        {"server", false, "", 0}};
    for (const auto& [name, accept, title, flags] : cases) {
        SCOPED_TRACE(name);
        Answerer answer([accept](QDialog* d) { accept ? d->accept() : d->reject(); });
        const FileDialogResult result = QtDialogs().fileDialog(
            {FileDialogRequest::Mode::Save, folder.string(), "Config", "*.cfg", "cfg", name});
        const std::string path = accept ? (folder / title).string() : "";
        EXPECT_EQ(std::tie(result.cancelled, result.path, result.title, result.flags),
                  std::tuple(!accept, path, std::string(title), flags));
    }
}

} // namespace
} // namespace quarnel
