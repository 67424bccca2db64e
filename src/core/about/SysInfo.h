#pragma once

#include "store/Registry.h"

#include <functional>
#include <string>
#include <string_view>

// The About box's System Info button: finding the system information tool through the store
// and starting it, or telling the user that there is none.
namespace quarnel {

inline constexpr std::string_view kSysInfoUnavailable =
    "System Information Is Unavailable At This Time";
inline constexpr std::string_view kSysInfoTitle = "quarnel";

// Where the system information tool is registered (below the local-machine root): its full
// path, or else the folder that holds MSINFO32.EXE.
inline constexpr std::string_view kMsinfoPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view kMsinfoPathValue = "PATH";
inline constexpr std::string_view kMsinfoFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view kMsinfoFolderValue = "MSINFO";
inline constexpr std::string_view kMsinfoProgram = "MSINFO32.EXE";

// Starts a program as a separate process, not waited for; false when it cannot be started.
using ProgramStarter = std::function<bool(const std::string& program)>;

// Reads one value of the store as text into text; true when it was read. A key or value that
// is absent, or a value of more than 1024 bytes (a text counts its terminator), gives false
// and an empty text. A text is taken as it stands, a 32-bit number as its decimal digits;
// bytes leave text as it was.
bool readValueText(Registry& registry, RegRoot root, std::string_view keyPath,
                   std::string_view valueName, std::string& text);

// Starts the registered system information tool through start and returns the program
// started. Returns the empty text when none is registered, the registered folder holds no
// MSINFO32.EXE, or starting fails: the caller then shows kSysInfoUnavailable.
std::string startSysInfo(Registry& registry, const ProgramStarter& start);

} // namespace quarnel
