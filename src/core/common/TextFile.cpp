#include "common/TextFile.h"

#include "common/Error.h"

#include <algorithm>
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
#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
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

// The temporary file of a write, readable and writable by its owner only from its creation,
// so the bytes are never open to others, not even for a moment. Exclusive creation: a name
// that is taken fails instead of sharing a file.
FilePtr createTemporary(const std::string& temp) {
#ifndef _WIN32
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    FilePtr file(::fdopen(fd, "wb"));
    if (!file)
        ::close(fd);
    return file;
#else
    // The C runtime of Windows knows no "x" mode; exclusive creation is an open flag there.
    const int fd =
        ::_open(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    FilePtr file(::_fdopen(fd, "wb"));
    if (!file)
        ::_close(fd);
    return file;
#endif
}

#ifndef _WIN32
// Gives the temporary file the permissions the target is to have once renamed: those of the
// existing target (and its owner and group where the process may set them, which the rename
// would otherwise change to the writer's), else those of mode whatever the umask.
void settleTemporaryMode(std::FILE* file, const fs::path& target,
                         const fs::file_status& targetStatus, NewFileMode mode) {
    const int fd = ::fileno(file);
    struct stat info {};
    if (fs::exists(targetStatus) && ::stat(target.c_str(), &info) == 0) {
        // Only a privileged process may give a file away; otherwise it stays the writer's.
        if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
        }
        ::fchmod(fd, info.st_mode & 07777);
    } else {
        ::fchmod(fd, mode == NewFileMode::PrivateExecutable ? 0700 : 0600);
    }
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
            bytes.resize(std::max<std::size_t>(bytes.size() * 2, 64 * 1024));
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
#else
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

void writeFileAtomically(const std::string& path, const std::string& bytes, bool overwrite,
                         NewFileMode mode) {
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
        FilePtr file = createTemporary(temp);
        if (!file)
            fail(errc::FileIO, "Path/File access error");
#ifndef _WIN32
        settleTemporaryMode(file.get(), target, targetStatus, mode);
#endif
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
#ifdef _WIN32
    (void)mode;
    if (exists)
        fs::permissions(temp, targetStatus.permissions(), ec);
#endif
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        fail(errc::FileIO, "Path/File access error");
    }
}

} // namespace quarnel
