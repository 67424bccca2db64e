#include "common/TextFile.h"

#include "common/Error.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#elif defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace quarnel {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A name beside the target that no other writer picks: process-wide counter plus a random
// number, opened with exclusive creation so that a clash fails instead of sharing a file.
std::string temporaryNameFor(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    static const auto seed = std::random_device{}();
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto tag = std::to_string(seed ^ static_cast<unsigned>(stamp)) + "-" +
                     std::to_string(counter.fetch_add(1));
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "." + name + ...
    std::string name = ".";
    name += target.filename().string();
    name += ".tmp-";
    name += tag;
    fs::path temp = target;
    temp.replace_filename(name);
    return temp.string();
}

// A new file for writing bytes; null when the name is taken or cannot be created.
std::FILE* createNew(const std::string& name) {
#ifdef _WIN32
    // The C runtime of Windows knows no "x" mode; exclusive creation is an open flag there.
    const int fd =
        ::_open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::_fdopen(fd, "wb");
    if (!file)
        ::_close(fd);
    return file;
#else
    return std::fopen(name.c_str(), "wbx");
#endif
}

[[noreturn]] void fail(int number, const char* message) {
    throw Error(number, message);
}

} // namespace

std::vector<std::string_view> splitTextLineViews(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const bool ended = end != std::string_view::npos;
        if (!ended)
            end = bytes.size();
        std::size_t stop = end;
        if (ended && stop > start && bytes[stop - 1] == '\r')
            --stop;
        lines.push_back(bytes.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> splitTextLines(const std::string& bytes) {
    const auto views = splitTextLineViews(bytes);
    return std::vector<std::string>(views.begin(), views.end());
}

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    if (!in || fs::is_directory(path, ec))
        fail(errc::FileNotFound, "File not found");
    // One read of the whole file where its size is known; byte by byte is many times slower.
    std::string bytes;
    const auto size = fs::file_size(path, ec);
    if (!ec && size > 0) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        if (in.bad())
            fail(errc::FileIO, "Path/File access error");
        in.clear();
    }
    // Whatever follows (a file that grew, or one whose size the system does not tell).
    bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        fail(errc::FileIO, "Path/File access error");
    return bytes;
}

std::vector<std::string> readTextLines(const std::string& path) {
    return splitTextLines(readFileBytes(path));
}

std::string joinTextLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void writeFileAtomically(const std::string& path, const std::string& bytes, bool overwrite) {
    std::error_code ec;
    // A link is written through: the file it points to gets the new content and the link
    // stays, as a plain write would do.
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (ec)
            fail(errc::PathNotFound, "Path not found");
        target = resolved;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (target.filename().empty() || !fs::is_directory(folder, ec))
        fail(errc::PathNotFound, "Path not found");
    const auto targetStatus = fs::status(target, ec);
    const bool exists = fs::exists(targetStatus);
    if (exists && fs::is_directory(targetStatus))
        fail(errc::FileIO, "Path/File access error");
    if (exists && !overwrite)
        fail(58, "File already exists");

    const std::string temp = temporaryNameFor(target);
    {
        FilePtr file(createNew(temp));
        if (!file)
            fail(errc::FileIO, "Path/File access error");
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
        ok = std::fflush(file.get()) == 0 && ok;
#if defined(__unix__) || defined(__APPLE__)
        ok = ::fsync(::fileno(file.get())) == 0 && ok;
#elif defined(_WIN32)
        ok = ::_commit(::_fileno(file.get())) == 0 && ok;
#endif
        ok = std::fclose(file.release()) == 0 && ok;
        if (!ok) {
            fs::remove(temp, ec);
            fail(errc::FileIO, "Path/File access error");
        }
    }
    if (exists)
        fs::permissions(temp, targetStatus.permissions(), ec);
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        fail(errc::FileIO, "Path/File access error");
    }
}

} // namespace quarnel
