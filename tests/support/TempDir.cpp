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
    do
        path_ = fs::temp_directory_path() /
                ("quarnel-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
    while (!fs::create_directory(path_));
}

TempDir::~TempDir() {
    std::error_code ec;
    // Folders a test made read-only must be writable again before they can be removed.
    for (fs::recursive_directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

fs::path TempDir::makeFolder(std::string_view relative) const {
    fs::create_directories(path_ / relative);
    return path_ / relative;
}

fs::path TempDir::writeFile(std::string_view relative, std::string_view bytes) const {
    fs::create_directories((path_ / relative).parent_path());
    std::ofstream(path_ / relative, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path_ / relative;
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

std::string copyDemoInstall(const TempDir& dir) {
    fs::copy(demoInstall(), dir.path() / "UT2003", fs::copy_options::recursive);
    return (dir.path() / "UT2003" / "").string();
}

} // namespace quarnel::test
