#pragma once

#include "game/Installation.h"

#include <string>
#include <string_view>

// The path rules of start-up: the game folder from the browsed server program, and the path
// check.
namespace quarnel::app {

#ifdef _WIN32
inline constexpr bool kCaseSensitiveFileSystem = false;
#else
inline constexpr bool kCaseSensitiveFileSystem = true;
#endif

// The game folder from the file chosen in the browse step. Only a file titled ucc.exe, or
// ucc-bin (the Linux server), without regard to case, counts; anything else gives the
// empty text. The file name and a
// final "System" folder (without regard to case) are removed, and the folder keeps exactly
// one final separator. Where the file system ignores case, the path is lower-cased first.
std::string gameFolderFromUccExe(std::string_view path, std::string_view title,
                                 char sep = game::kNativeSeparator,
                                 bool caseSensitive = kCaseSensitiveFileSystem);

// Whether gameFolder names no game folder at all: the empty text, the separator alone, or the
// current folder ("." and the separator).
bool gameFolderUnset(std::string_view gameFolder, char sep = game::kNativeSeparator);

// The folder of the running program, ending in a separator; argv0 is the fallback when the
// system cannot say.
std::string programFolder(const char* argv0);

} // namespace quarnel::app
