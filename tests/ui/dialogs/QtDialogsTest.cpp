#include "dialogs/QtDialogs.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

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
