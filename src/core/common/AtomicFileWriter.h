#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace quarnel {

// Who may use a file that a write creates. The files written hold passwords (server INI,
// batch file, configuration), so only their owner may read them.
enum class NewFileMode {
    Private,          // 0600: read and written by the owner only
    PrivateExecutable // 0700: a script its owner runs
};

// Writes a file of any size through one buffer of fixed size into a temporary file beside
// the target, which commit() syncs and renames over the target: the target is either the
// old file or the complete new one. Without commit(), or when it fails, the temporary file
// is removed and the target stays as it was. A new target gets the permissions of mode; an
// existing one keeps its own (and its owner and group where the process may set them); a
// link is written through to the file it points to.
class AtomicFileWriter {
public:
    static constexpr std::size_t kDefaultBufferSize = std::size_t{64} * 1024;

    // Creates the temporary file. With overwrite false an existing target is an error (58);
    // a missing folder is error 76, any other failure to create the file error 75.
    AtomicFileWriter(const std::string& path, bool overwrite,
                     NewFileMode mode = NewFileMode::Private,
                     std::size_t bufferSize = kDefaultBufferSize);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Appends bytes. Throws Error 75 when the file cannot be written.
    void write(std::string_view bytes) {
        if (bytes.size() <= capacity_ - used_) {
            bytes.copy(buffer_.get() + used_, bytes.size());
            used_ += bytes.size();
        } else {
            writeSlow(bytes);
        }
    }
    // Appends line and CR LF.
    void writeLine(std::string_view line) {
        write(line);
        write("\r\n");
    }

    // Flushes, syncs and renames the file over the target. Throws Error 75 on failure.
    void commit();

private:
    void writeSlow(std::string_view bytes);
    void flushBuffer();
    void discard() noexcept;

    std::string target_;
    std::string temp_;
    std::FILE* file_ = nullptr;
    std::size_t capacity_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::size_t written_ = 0;   // bytes handed to the file
    std::size_t startedTo_ = 0; // bytes whose write to the disk has been started
};

} // namespace quarnel
