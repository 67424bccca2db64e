#include "app/QtDialogs.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

TEST(QtDialogsTest, AChosenNameReportsItsTitleAndAnExtensionOtherThanTheDefault) {
    struct Case {
        const char* path;
        const char* title;
        bool differs;
    };
    const Case cases[] = {
        {"/home/admin/server.cfg", "server.cfg", false},
        {"/home/admin/Server.CFG", "Server.CFG", false},
        {"/home/admin/notes.txt", "notes.txt", true},
        {"/home/admin/plain", "plain", true},
        {"/home/my.configs/plain", "plain", true},
        {"/home/admin/a.cfg.txt", "a.cfg.txt", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const FileDialogResult result = fileDialogResult(c.path, "cfg");
        EXPECT_FALSE(result.cancelled);
        EXPECT_EQ(result.path, c.path);
        EXPECT_EQ(result.title, c.title);
        EXPECT_EQ(result.flags == FileDialogResult::kExtensionDifferent, c.differs);
    }
}

} // namespace
} // namespace quarnel
