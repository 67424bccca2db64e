#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace quarnel::bench {

// A fresh folder below the temporary folder, removed with its contents at the end.
class BenchFolder {
public:
    // Below base, by default the system's temporary folder.
    explicit BenchFolder(
        const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        std::random_device random;
        path_ = base / ("quarnel-bench-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~BenchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    void write(const std::string& relative, std::string_view bytes) const {
        const auto file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::filesystem::path path_;
};

} // namespace quarnel::bench
