#include "game/MapFolder.h"

#include "common/Text.h"

#include <algorithm>
#include <filesystem>
#include <iterator>

#if defined(__unix__) || defined(__APPLE__)
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace quarnel::game {

namespace {

char lowerByte(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Greedy matcher with one back-tracking point: linear in practice, never exponential.
bool matchNoCase(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || lowerByte(pattern[p]) == lowerByte(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    if (matchNoCase(pattern, name))
        return true;
    // "DM-*.*" lists "DM-Foo" too: the extension part is optional for a name without a dot.
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        return matchNoCase(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

namespace {

// Calls take(name) for every ordinary file of folder (a link counts as what it points to).
template <class Take> void forEachFile(const std::string& folder, Take&& take) {
#if defined(__unix__) || defined(__APPLE__)
    // The entries as the system lists them, with their type: a maps folder of thousands of
    // files is read without building a path for each.
    DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        bool file = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat status {};
            file = ::stat((folder + '/').append(name).c_str(), &status) == 0 &&
                   S_ISREG(status.st_mode);
        }
        if (file)
            take(name);
    }
    ::closedir(dir);
#else
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            take(it->path().filename().string());
    }
#endif
}

// A hidden file's name starts with a dot; no listing shows it.
bool hidden(std::string_view name) {
    return name.empty() || name.front() == '.';
}

// Sorts names by their lower-case forms, then by the names themselves. The lower-case forms
// lie side by side in one buffer, so the sort compares bytes and moves small records rather
// than strings.
std::vector<std::string> sortedNoCase(std::vector<std::string> names) {
    std::size_t bytes = 0;
    for (const auto& name : names)
        bytes += name.size();
    std::string lowered(bytes, '\0');
    struct Entry {
        std::string_view lower;
        std::size_t index;
    };
    std::vector<Entry> order;
    order.reserve(names.size());
    std::size_t at = 0;
    for (std::size_t i = 0; i < names.size(); at += names[i].size(), ++i) {
        std::transform(names[i].begin(), names[i].end(), lowered.begin() + at, lowerByte);
        order.push_back({std::string_view(lowered).substr(at, names[i].size()), i});
    }
    std::sort(order.begin(), order.end(), [&names](const Entry& a, const Entry& b) {
        if (const int c = a.lower.compare(b.lower); c != 0)
            return c < 0;
        return names[a.index] < names[b.index];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const Entry& entry : order)
        sorted.push_back(std::move(names[entry.index]));
    return sorted;
}

} // namespace

std::vector<std::string> folderFiles(const std::string& folder) {
    std::vector<std::string> names;
    forEachFile(folder, [&](std::string_view name) {
        if (!hidden(name))
            names.emplace_back(name);
    });
    return names;
}

std::vector<std::string> sortedMatches(const std::vector<std::string>& files,
                                       std::string_view pattern) {
    std::vector<std::string> names;
    std::copy_if(files.begin(), files.end(), std::back_inserter(names),
                 [pattern](const std::string& name) { return wildcardMatch(pattern, name); });
    return sortedNoCase(std::move(names));
}

std::vector<std::string> listFolder(const std::string& folder, std::string_view pattern) {
    return sortedMatches(folderFiles(folder), pattern);
}

} // namespace quarnel::game
