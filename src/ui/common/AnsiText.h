#pragma once

#include <QString>
#include <string>
#include <string_view>

// The core keeps setting texts as 8-bit Windows-1252 ("ANSI") bytes and paths as the file
// system's own bytes; the window shows QStrings. These are the only crossings.
namespace quarnel {

// Windows-1252 bytes to text. The five bytes that code page leaves unassigned map to the
// control characters of the same number, so every byte string survives a round trip.
QString fromAnsi(std::string_view bytes);

// Text to Windows-1252 bytes; a character the code page cannot hold becomes "?".
std::string toAnsi(const QString& text);

// A path or file name as the file system spells it, and back.
QString fromNativePath(std::string_view path);
std::string toNativePath(const QString& path);

} // namespace quarnel
