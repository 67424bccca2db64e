#include "game/Installation.h"

#include "common/Text.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace quarnel::game {

namespace {

// The entry of folder whose name equals name without regard to case, if there is exactly
// the one spelling or several (then the smallest, so the choice does not depend on the
// order in which the file system lists them).
std::optional<std::string> entryDifferingInCase(const std::string& folder, std::string_view name) {
    std::error_code ec;
    std::optional<std::string> best;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (equalsNoCase(entry, name) && (!best || entry < *best))
            best = std::move(entry);
    }
    return best;
}

} // namespace

std::string currentFolder(char sep) {
    return std::string(".") + sep;
}

std::string join(std::string_view folder, std::string_view name, char sep) {
    std::string joined = std::string(folder) + std::string(name);
    if (sep != kNativeSeparator || name.empty())
        return joined;
    std::error_code ec;
    if (fs::exists(joined, ec))
        return joined;
    if (const auto found = entryDifferingInCase(std::string(folder), name))
        return std::string(folder) + *found;
    return joined;
}

std::string withSeparator(std::string path, char sep) {
    if (!path.empty() && path.back() != sep)
        path += sep;
    return path;
}

std::string systemFolder(std::string_view gameFolder, char sep) {
    return join(gameFolder, "system", sep) + sep;
}

std::string mapsFolder(std::string_view gameFolder, char sep) {
    return join(gameFolder, "maps", sep);
}

std::string uccExe(std::string_view gameFolder, char sep) {
    return join(systemFolder(gameFolder, sep), "ucc.exe", sep);
}

std::string uccBin(std::string_view gameFolder, char sep) {
    return join(systemFolder(gameFolder, sep), "ucc-bin", sep);
}

std::string templateIni(std::string_view gameFolder, char sep) {
    return join(systemFolder(gameFolder, sep), "ut2003.ini", sep);
}

std::string bonusPackMarker(std::string_view gameFolder, char sep) {
    return join(systemFolder(gameFolder, sep), "BonusPack.int", sep);
}

std::string absoluteFolder(const std::string& path) {
#ifdef _WIN32
    // The system's own rules: the library's take a share's name for a folder of the drive.
    const DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::string full(size, '\0');
    const DWORD length = size == 0 ? 0 : GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    if (length > 0 && length < size) {
        full.resize(length);
        return full;
    }
#endif
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    return ec ? path : absolute.string();
}

std::optional<std::string> invalidFolderReason(std::string_view path) {
#ifdef _WIN32
    // A path of the form \\?\C:\... or \\.\... names the rest without any translation.
    const std::size_t start = path.starts_with("\\\\?\\") || path.starts_with("\\\\.\\") ? 4 : 0;
    for (std::size_t i = start; i < path.size(); ++i) {
        const char c = path[i];
        const bool driveColon = c == ':' && i == start + 1;
        if (static_cast<unsigned char>(c) < 32 || (c == ':' && !driveColon) ||
            std::string_view("<>\"|?*").find(c) != std::string_view::npos) {
            // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "x" + text + "y".
            std::string reason = "not a valid folder on Windows: a name cannot hold ";
            if (static_cast<unsigned char>(c) < 32) {
                reason += "a control character";
            } else {
                reason += '"';
                reason += c;
                reason += '"';
            }
            return reason;
        }
    }
#else
    if (path.find('\0') != std::string_view::npos)
        return "not a valid folder: a name cannot hold a NUL";
#endif
    return std::nullopt;
}

bool hasBonusPack(std::string_view gameFolder) {
    return !gameFolder.empty() && fileExists(bonusPackMarker(gameFolder));
}

bool folderExists(std::string_view path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(fs::path(std::string(path)), ec);
}

bool fileExists(std::string_view path) {
    std::error_code ec;
    const auto status = fs::status(fs::path(std::string(path)), ec);
    return !path.empty() && fs::exists(status) && !fs::is_directory(status);
}

bool isBuiltInIniName(std::string_view name) {
    const std::string lower = lowerAscii(name);
    return std::find(kBuiltInIniNames.begin(), kBuiltInIniNames.end(), lower) !=
           kBuiltInIniNames.end();
}

} // namespace quarnel::game
