#pragma once

#include "common/AtomicFileWriter.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

// Reads a text file as bytes and splits it into lines. A line ends at LF, and a CR right
// before that LF belongs to the line end; every other byte stays as it is. A final line
// end does not start another line, so "a\r\nb\r\n" and "a\r\nb" both give {"a", "b"}.
// Throws Error 53 when the file cannot be opened.
std::vector<std::string> readTextLines(const std::string& path);

// The whole file as bytes. Only a regular file is read: a folder, a named pipe, a device or
// a socket is refused without waiting on it (Error 53, the message saying what it is), as is
// a file that cannot be opened (53). A file larger than maxBytes is refused (75), as is one
// that cannot be read (75).
std::string readFileBytes(const std::string& path,
                          std::uintmax_t maxBytes = std::numeric_limits<std::uintmax_t>::max());

// The checks of readFileBytes without the read: throws the same Error when path is no regular
// file that can be opened for reading.
void requireRegularFile(const std::string& path);

// The file opened for reading bytes after the same checks; the caller closes it.
std::FILE* openRegularFileForReading(const std::string& path);

// The same split over bytes already in memory.
std::vector<std::string> splitTextLines(const std::string& bytes);

// The same split as views into bytes, which must outlive them.
std::vector<std::string_view> splitTextLineViews(std::string_view bytes);

// Joins lines, each followed by end (CR LF, as the game's files and the batch file end their
// lines; LF for the shell script and the systemd unit).
std::string joinTextLines(const std::vector<std::string>& lines, std::string_view end = "\r\n");

// Writes bytes to path through a temporary file in the same folder that is renamed over
// the target, so the target is either the old file or the complete new one and no
// temporary file is left behind. A new target gets mode, whatever the umask (POSIX; on
// Windows it gets the folder's default access); an existing one keeps its permissions, and
// its owner and group where the process may set them.
// With overwrite false an existing target is an error (58). A missing folder is error 76,
// any other failure to create, write or rename is error 75; the target is then untouched.
void writeFileAtomically(const std::string& path, const std::string& bytes, bool overwrite,
                         NewFileMode mode = NewFileMode::Private);

inline void writeTextFile(const std::string& path, const std::vector<std::string>& lines,
                          bool overwrite, NewFileMode mode = NewFileMode::Private) {
    writeFileAtomically(path, joinTextLines(lines), overwrite, mode);
}

} // namespace quarnel
