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

// listFolder in its two steps, for a caller that matches one folder against several
// patterns: the names of the ordinary, not hidden files of folder, in the order the system
// gives them; and those of them that match pattern, sorted.
std::vector<std::string> folderFiles(const std::string& folder);
std::vector<std::string> sortedMatches(const std::vector<std::string>& files,
                                       std::string_view pattern);

} // namespace quarnel::game
