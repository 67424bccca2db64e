#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

// Reads a text file as bytes and splits it into lines. A line ends at LF, and a CR right
// before that LF belongs to the line end; every other byte stays as it is. A final line
// end does not start another line, so "a\r\nb\r\n" and "a\r\nb" both give {"a", "b"}.
// Throws Error 53 when the file cannot be opened.
std::vector<std::string> readTextLines(const std::string& path);

// The whole file as bytes. Throws Error 53 when the file cannot be opened (or is a folder),
// 75 when it cannot be read.
std::string readFileBytes(const std::string& path);

// The same split over bytes already in memory.
std::vector<std::string> splitTextLines(const std::string& bytes);

// The same split as views into bytes, which must outlive them.
std::vector<std::string_view> splitTextLineViews(std::string_view bytes);

// Joins lines, each followed by CR LF.
std::string joinTextLines(const std::vector<std::string>& lines);

// Writes bytes to path through a temporary file in the same folder that is renamed over
// the target, so the target is either the old file or the complete new one and no
// temporary file is left behind. An existing target keeps its permissions.
// With overwrite false an existing target is an error (58). A missing folder is error 76,
// any other failure to create, write or rename is error 75; the target is then untouched.
void writeFileAtomically(const std::string& path, const std::string& bytes, bool overwrite);

inline void writeTextFile(const std::string& path, const std::vector<std::string>& lines,
                          bool overwrite) {
    writeFileAtomically(path, joinTextLines(lines), overwrite);
}

} // namespace quarnel
