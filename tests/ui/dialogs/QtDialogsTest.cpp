#include "dialogs/QtDialogs.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

TEST(QtDialogsTest, AChosenNameReportsItsTitleAndAnExtensionOtherThanTheDefault) {
    // The chosen path, its title, whether its extension differs from "cfg".
    const std::tuple<const char*, const char*, bool> choices[] = {
        {"/home/admin/server.cfg", "server.cfg", false},
        {"/home/admin/Server.CFG", "Server.CFG", false},
        {"/home/admin/notes.txt", "notes.txt", true},
        {"/home/admin/plain", "plain", true},
        {"/home/my.configs/plain", "plain", true},
        {"/home/admin/a.cfg.txt", "a.cfg.txt", true},
    };
    for (const auto& [path, title, differs] : choices) {
        SCOPED_TRACE(path);
        const FileDialogResult result = fileDialogResult(path, "cfg");
        EXPECT_FALSE(result.cancelled);
        EXPECT_EQ(result.path, path);
        EXPECT_EQ(result.title, title);
        EXPECT_EQ(result.flags == FileDialogResult::kExtensionDifferent, differs);
    }
}

} // namespace
} // namespace quarnel
