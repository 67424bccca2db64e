#include "game/MapFolder.h"

#include "common/Text.h"

#include <algorithm>
#include <filesystem>

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

} // namespace

std::vector<std::string> listFolder(const std::string& folder, std::string_view pattern) {
    std::vector<std::string> names;
    forEachFile(folder, [&](std::string_view name) {
        if (!name.empty() && name.front() != '.' && wildcardMatch(pattern, name))
            names.emplace_back(name);
    });
    // In the order of the names in lower case, then of the names themselves; compared in
    // place, without a lower-case copy of each name.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const auto lower = [](char c) {
            return static_cast<unsigned char>(lowerByte(c));
        };
        const auto [x, y] = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                          [&](char p, char q) { return lower(p) == lower(q); });
        if (x != a.end() && y != b.end())
            return lower(*x) < lower(*y);
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

} // namespace quarnel::game
