#include "common/AtomicFileWriter.h"

#include "common/Error.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace quarnel {

namespace {

// A name beside the target that no other writer picks: a process-wide counter and a random
// number; the file is created exclusively, so a clash fails instead of sharing a file.
std::string temporaryNameBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    static const auto seed = std::random_device{}();
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "." + name + ...
    std::string name = ".";
    name += target.filename().string();
    name += ".tmp-";
    name += std::to_string(seed ^ static_cast<unsigned>(stamp));
    name += "-";
    name += std::to_string(counter.fetch_add(1));
    fs::path temp = target;
    temp.replace_filename(name);
    return temp.string();
}

// The temporary file, readable and writable by its owner only from its creation, so the
// bytes are never open to others, not even for a moment.
std::FILE* createTemporary(const std::string& temp) {
#ifndef _WIN32
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (fd >= 0 && !file)
        ::close(fd);
#else
    // The C runtime of Windows knows no "x" mode; exclusive creation is an open flag there.
    const int fd =
        ::_open(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    std::FILE* file = fd < 0 ? nullptr : ::_fdopen(fd, "wb");
    if (fd >= 0 && !file)
        ::_close(fd);
#endif
    return file;
}

#ifndef _WIN32
// Gives the temporary file the permissions the target is to have once renamed: those of the
// existing target (and its owner and group where the process may set them, which the rename
// would otherwise change to the writer's), else those of mode whatever the umask.
void settleTemporaryMode(std::FILE* file, const fs::path& target, bool exists, NewFileMode mode) {
    const int fd = ::fileno(file);
    struct stat info {};
    if (exists && ::stat(target.c_str(), &info) == 0) {
        // Only a privileged process may give a file away; otherwise it stays the writer's.
        if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
        }
        ::fchmod(fd, info.st_mode & 07777);
    } else {
        ::fchmod(fd, mode == NewFileMode::PrivateExecutable ? 0700 : 0600);
    }
}
#endif

[[noreturn]] void fail(int number, const char* message) {
    throw Error(number, message);
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& path, bool overwrite, NewFileMode mode,
                                   std::size_t bufferSize)
    : capacity_(std::max<std::size_t>(bufferSize, 1)), buffer_(new char[capacity_]) {
    std::error_code ec;
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
    target_ = target.string();
    temp_ = temporaryNameBeside(target);
    file_ = createTemporary(temp_);
    if (!file_)
        fail(errc::FileIO, "Path/File access error");
#ifndef _WIN32
    settleTemporaryMode(file_, target, exists, mode);
#else
    (void)mode;
    if (exists)
        fs::permissions(temp_, targetStatus.permissions(), ec);
#endif
    // The buffer here is the only one: the stream passes whole buffers straight through.
    std::setvbuf(file_, nullptr, _IONBF, 0);
}

AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

void AtomicFileWriter::discard() noexcept {
    if (!file_)
        return;
    std::fclose(file_);
    file_ = nullptr;
    std::error_code ignored;
    fs::remove(temp_, ignored);
}

void AtomicFileWriter::flushBuffer() {
    if (used_ > 0 && std::fwrite(buffer_.get(), 1, used_, file_) != used_) {
        discard();
        fail(errc::FileIO, "Path/File access error");
    }
    written_ += used_;
    used_ = 0;
#if defined(__linux__)
    // A large file starts on its way to the disk while the rest is still being made, so
    // that the sync at the end waits for the last piece only.
    constexpr std::size_t kWriteBehind = std::size_t{8} * 1024 * 1024;
    if (written_ - startedTo_ >= kWriteBehind) {
        ::sync_file_range(::fileno(file_), static_cast<off_t>(startedTo_),
                          static_cast<off_t>(written_ - startedTo_), SYNC_FILE_RANGE_WRITE);
        startedTo_ = written_;
    }
#endif
}

void AtomicFileWriter::writeSlow(std::string_view bytes) {
    if (!file_)
        fail(errc::FileIO, "Path/File access error");
    while (!bytes.empty()) {
        if (used_ == capacity_)
            flushBuffer();
        const std::size_t n = std::min(bytes.size(), capacity_ - used_);
        bytes.copy(buffer_.get() + used_, n);
        used_ += n;
        bytes.remove_prefix(n);
    }
}

void AtomicFileWriter::commit() {
    if (!file_)
        fail(errc::FileIO, "Path/File access error");
    flushBuffer();
    bool ok = std::fflush(file_) == 0;
#ifdef _WIN32
    ok = ::_commit(::_fileno(file_)) == 0 && ok;
#else
    ok = ::fsync(::fileno(file_)) == 0 && ok;
#endif
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    std::error_code ec;
    if (ok) {
        fs::rename(temp_, target_, ec);
        ok = !ec;
    }
    if (!ok) {
        std::error_code ignored;
        fs::remove(temp_, ignored);
        fail(errc::FileIO, "Path/File access error");
    }
}

} // namespace quarnel
