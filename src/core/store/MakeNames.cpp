#include "store/MakeNames.h"

#include "common/Text.h"
#include "game/Installation.h"

namespace quarnel {

namespace {

// The position of a path's last separator; on Windows both separators count.
std::size_t lastSeparator(std::string_view path) {
#ifdef _WIN32
    return path.find_last_of("\\/");
#else
    return path.rfind(game::kNativeSeparator);
#endif
}

} // namespace

bool hasExtension(std::string_view fileName, std::string_view extension) {
    const std::size_t dot = fileName.rfind('.');
    return dot != std::string_view::npos && equalsNoCase(fileName.substr(dot + 1), extension);
}

std::string fileTitleOf(std::string_view path) {
    const std::size_t sep = lastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string folderOf(std::string_view path) {
    const std::size_t sep = lastSeparator(path);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string batchNameFor(std::string_view iniName) {
    return replaceAllNoCase(iniName, ".ini", ".bat");
}

std::optional<MakeRefusal> refuseIniName(std::string_view fileTitle) {
    if (!hasExtension(fileTitle, "ini"))
        return MakeRefusal{kIniExtensionMessage, kIniExtensionTitle};
    if (game::isBuiltInIniName(fileTitle))
        return MakeRefusal{kBuiltInIniMessage, kBuiltInIniTitle};
    return std::nullopt;
}

MakeFiles makeFilesFor(std::string_view chosenPath) {
    MakeFiles files;
    files.folder = folderOf(chosenPath);
    files.iniName = fileTitleOf(chosenPath);
    files.batchName = batchNameFor(files.iniName);
    return files;
}

} // namespace quarnel
