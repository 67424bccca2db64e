#include "TempDir.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace quarnel::test {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (;;) {
        path_ = fs::temp_directory_path() /
                ("quarnel-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
        if (fs::create_directory(path_))
            break;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    // Folders a test made read-only must be writable again before they can be removed.
    for (fs::recursive_directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::withSeparator() const {
    return (path_ / "").string();
}

fs::path TempDir::makeFolder(std::string_view relative) const {
    const fs::path folder = path_ / relative;
    fs::create_directories(folder);
    return folder;
}

fs::path TempDir::writeFile(std::string_view relative, std::string_view bytes) const {
    const fs::path file = path_ / relative;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

fs::path demoInstall() {
    return fs::path(QUARNEL_DEMO_INSTALL);
}

std::string copyDemoInstall(const TempDir& dir) {
    const fs::path target = dir.path() / "UT2003";
    fs::copy(demoInstall(), target, fs::copy_options::recursive);
    return (target / "").string();
}

} // namespace quarnel::test
