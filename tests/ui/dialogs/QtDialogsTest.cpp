#include "dialogs/QtDialogs.h"

#include "TempDir.h"

#include <QDialog>
#include <QtWidgets>
#include <functional>
#include <gtest/gtest.h>

namespace quarnel {
namespace {

// Answers every dialog once it shows, from inside the dialog's own event loop.
class Answerer : public QObject {
public:
    explicit Answerer(std::function<void(QDialog*)> answer) : answer_(std::move(answer)) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && event->type() == QEvent::Show)
            QMetaObject::invokeMethod(
                dialog, [this, dialog] { answer_(dialog); }, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void(QDialog*)> answer_;
};

TEST(QtDialogsTest, TheFileDialogReportsTheFileChosenAndNothingWhenCancelled) {
    test::TempDir dir;
    using Result = std::tuple<bool, std::string, std::string, int>;
    const auto chosen = [&](const char* title, int flags) {
        return Result{false, (dir.path() / title).string(), title, flags};
    };
    const std::tuple<const char*, bool, Result> cases[] = {
        {"server", true, chosen("server.cfg", 0)}, // the default extension is added
        {"a.CFG.txt", true, chosen("a.CFG.txt", FileDialogResult::kExtensionDifferent)},
        {"server", false, Result{true, "", "", 0}}};
    for (const auto& [name, accept, expected] : cases) {
        SCOPED_TRACE(name);
        Answerer answer([accept](QDialog* d) { accept ? d->accept() : d->reject(); });
        const FileDialogResult result = QtDialogs().fileDialog(
            {FileDialogRequest::Mode::Save, dir.path().string(), "Config", "*.cfg", "cfg", name});
        EXPECT_EQ(std::tie(result.cancelled, result.path, result.title, result.flags), expected);
    }
}

// How titles and extensions are told apart is tested with the names of the files made.
TEST(QtDialogsTest, AChosenNameReportsItsTitleAndAnExtensionOtherThanTheDefault) {
    for (const auto& [path, title, flags] :
         {std::tuple<std::string, std::string, int>{"/home/admin/server.cfg", "server.cfg", 0},
          {"/home/my.cfg/plain", "plain", FileDialogResult::kExtensionDifferent},
          {"/home/admin/a.cfg.txt", "a.cfg.txt", FileDialogResult::kExtensionDifferent}}) {
        const FileDialogResult result = fileDialogResult(path, "cfg");
        EXPECT_EQ(std::tie(result.cancelled, result.path, result.title, result.flags),
                  std::tuple(false, path, title, flags));
    }
}

} // namespace
} // namespace quarnel
