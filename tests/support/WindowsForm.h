#pragma once

#include "TempDir.h"

#include <filesystem>
#include <string>

// What the demo configuration gives for the demo game installed as C:\UT2003\: the command
// line (no line end), quarnel.bat and quarnel.ini in tests/data/windows-demo, for every build.
namespace quarnel::test {

inline constexpr const char* kWindowsGameFolder = "C:\\UT2003\\";

inline std::filesystem::path windowsDemoFile(const char* name) {
    return std::filesystem::path(QUARNEL_TEST_DATA) / "windows-demo" / name;
}

} // namespace quarnel::test
