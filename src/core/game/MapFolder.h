#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarnel::game {

// Windows wildcard rules, letters compared without regard to case: "*" matches any run of
// characters, "?" exactly one. A pattern ending in ".*" also matches a name without any
// dot, as "*.*" lists every file on Windows.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// The names of the ordinary files of folder that match pattern: no folders, no hidden
// files (a leading dot), sorted by name without regard to case (names that differ only in
// case in byte order). A folder that does not exist or cannot be read lists nothing.
std::vector<std::string> listFolder(const std::string& folder, std::string_view pattern);

} // namespace quarnel::game
