#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

namespace quarnel::test {

// A fresh folder in the system's temporary folder, removed with its contents at scope end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as a text ending in the native separator, as gameFolder holds it.
    std::string withSeparator() const;

    // Creates folder (and its parents) below this one; returns its full path.
    std::filesystem::path makeFolder(std::string_view relative) const;
    // Writes bytes into a file below this one (parents created); returns its full path.
    std::filesystem::path writeFile(std::string_view relative, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

// Reads a whole file as bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& file);

// The names of the files and folders directly in folder.
std::set<std::string> namesIn(const std::filesystem::path& folder);

// How the program spells an entry asked for as `asked` and held as `onDisk`: as on disk where
// the file system tells case apart, as asked where it does not (Windows).
inline std::string spelled([[maybe_unused]] std::string_view asked,
                           [[maybe_unused]] std::string_view onDisk) {
#ifdef _WIN32
    return std::string(asked);
#else
    return std::string(onDisk);
#endif
}

// The demo installation that ships in examples/demo-install.
std::filesystem::path demoInstall();

// A copy of the demo installation in a temporary folder, for tests that write into it.
std::string copyDemoInstall(const TempDir& dir);

} // namespace quarnel::test
