#include "common/TextFile.h"

#include "common/AtomicFileWriter.h"
#include "common/Error.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace quarnel {

namespace {

[[noreturn]] void fail(int number, const std::string& message) {
    throw Error(number, message);
}

[[noreturn]] void tooLarge(std::uintmax_t maxBytes) {
    fail(errc::FileIO, "File too large (over " + std::to_string(maxBytes) + " bytes)");
}

#ifndef _WIN32
// An open file descriptor, closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Descriptor& operator=(Descriptor&&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Why a path that is no regular file is not read.
std::string notAFile(mode_t mode) {
    if (S_ISDIR(mode))
        return "Not a file but a folder";
    if (S_ISFIFO(mode))
        return "Not a file but a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "Not a file but a device";
    return "Not a regular file";
}

// Opens path for reading, as a regular file only. The path is looked at first, so that a
// device is never opened at all; the open does not block, so that a named pipe put there in
// the meantime cannot make it wait for a writer; and the open file is checked again.
Descriptor openRegularFile(const std::string& path, struct stat& info) {
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        fail(errc::FileNotFound, "File not found");
    if (!S_ISREG(info.st_mode))
        fail(errc::FileNotFound, notAFile(info.st_mode));
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        fail(errc::FileNotFound, "File not found");
    if (::fstat(fd.get(), &info) != 0)
        fail(errc::FileIO, "Path/File access error");
    if (!S_ISREG(info.st_mode))
        fail(errc::FileNotFound, notAFile(info.st_mode));
    // Reading a regular file never waits for data; the flag is dropped all the same, so the
    // reads behave as ordinary ones.
    if (const int flags = ::fcntl(fd.get(), F_GETFL); flags >= 0)
        ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}
#endif

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

#ifndef _WIN32
std::string readFileBytes(const std::string& path, std::uintmax_t maxBytes) {
    struct stat info {};
    const Descriptor fd = openRegularFile(path, info);
    const auto known = static_cast<std::uintmax_t>(info.st_size);
    if (known > maxBytes)
        tooLarge(maxBytes);
    // One read of the whole file where its size is known, with a byte to spare to see its
    // end; whatever follows (a file that grew, or one whose size the system does not tell,
    // such as those of /proc) in further pieces.
    std::string bytes(static_cast<std::size_t>(known) + 1, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(std::max(bytes.size() * 2, std::size_t{64} * 1024));
        const ssize_t got = ::read(fd.get(), bytes.data() + used, bytes.size() - used);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(errc::FileIO, "Path/File access error");
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
        if (used > maxBytes)
            tooLarge(maxBytes);
    }
    bytes.resize(used);
    return bytes;
}

void requireRegularFile(const std::string& path) {
    struct stat info {};
    openRegularFile(path, info);
}

std::FILE* openRegularFileForReading(const std::string& path) {
    struct stat info {};
    Descriptor fd = openRegularFile(path, info);
    std::FILE* file = ::fdopen(fd.get(), "rb");
    if (!file)
        fail(errc::FileIO, "Path/File access error");
    fd.release();
    return file;
}
#else
std::FILE* openRegularFileForReading(const std::string& path) {
    requireRegularFile(path);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        fail(errc::FileNotFound, "File not found");
    return file;
}

void requireRegularFile(const std::string& path) {
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec) || !std::ifstream(path, std::ios::binary))
        fail(errc::FileNotFound, "File not found");
}

std::string readFileBytes(const std::string& path, std::uintmax_t maxBytes) {
    requireRegularFile(path);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail(errc::FileNotFound, "File not found");
    // One read of the whole file where its size is known; byte by byte is many times slower.
    std::error_code ec;
    std::string bytes;
    const auto size = fs::file_size(path, ec);
    if (!ec && size > maxBytes)
        tooLarge(maxBytes);
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
    if (bytes.size() > maxBytes)
        tooLarge(maxBytes);
    return bytes;
}
#endif

std::vector<std::string> readTextLines(const std::string& path) {
    return splitTextLines(readFileBytes(path));
}

std::string joinTextLines(const std::vector<std::string>& lines, std::string_view end) {
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + end.size();
    std::string out;
    out.reserve(size);
    for (const auto& line : lines) {
        out += line;
        out += end;
    }
    return out;
}

void writeFileAtomically(const std::string& path, const std::string& bytes, bool overwrite,
                         NewFileMode mode) {
    AtomicFileWriter writer(path, overwrite, mode);
    writer.write(bytes);
    writer.commit();
}

} // namespace quarnel
