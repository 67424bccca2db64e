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
    // The folder ending in the native separator, as gameFolder holds it.
    std::string withSeparator() const { return (path_ / "").string(); }
    std::filesystem::path makeFolder(std::string_view relative) const;
    std::filesystem::path writeFile(std::string_view relative, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

// A file's bytes (empty if unreadable); a folder's names; the demo installation; a copy of it.
std::string readFile(const std::filesystem::path& file);
std::set<std::string> namesIn(const std::filesystem::path& folder);
inline std::filesystem::path demoInstall() {
    return QUARNEL_DEMO_INSTALL;
}
std::string copyDemoInstall(const TempDir& dir);

// The spelling the program uses for an entry asked for as `asked`: as on disk where case counts.
inline std::string spelled([[maybe_unused]] std::string_view asked,
                           [[maybe_unused]] std::string_view onDisk) {
#ifdef _WIN32
    return std::string(asked);
#else
    return std::string(onDisk);
#endif
}

} // namespace quarnel::test
