#pragma once

#include "TempDir.h"

#include <filesystem>
#include <string>

// What the demo configuration gives for the demo game installed as C:\UT2003\: the server
// command line (without a line end), quarnel.bat and quarnel.ini, kept in
// tests/data/windows-demo. The Linux and
// the Windows build are both held to these bytes.
namespace quarnel::test {

inline constexpr const char* kWindowsGameFolder = "C:\\UT2003\\";

inline std::filesystem::path windowsDemoFile(const char* name) {
    return std::filesystem::path(QUARNEL_TEST_DATA) / "windows-demo" / name;
}

} // namespace quarnel::test
