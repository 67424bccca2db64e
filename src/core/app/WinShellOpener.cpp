#ifdef _WIN32

#include "app/WinShellOpener.h"

// windows.h first: shellapi.h builds on its definitions.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace quarnel {

namespace {

// ShellExecute's answer when no program is associated with the file's type.
constexpr INT_PTR kNoAssociation = SE_ERR_NOASSOC; // 31

} // namespace

void WinShellOpener::shellopen(const std::string& file) {
    HWND owner = GetDesktopWindow();
    const auto answer = reinterpret_cast<INT_PTR>(
        ShellExecuteA(owner, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (answer != kNoAssociation)
        return;

    // The system's Open With dialog for the file, run from the system folder.
    char buffer[255];
    const UINT length = GetSystemDirectoryA(buffer, sizeof buffer);
    const std::string systemFolder(buffer, length < sizeof buffer ? length : 0);
    const std::string parameters = "shell32.dll,OpenAs_RunDLL " + file;
    owner = GetDesktopWindow();
    ShellExecuteA(owner, "open", "RUNDLL32.EXE", parameters.c_str(),
                  systemFolder.empty() ? nullptr : systemFolder.c_str(), SW_SHOWNORMAL);
}

} // namespace quarnel

#endif
