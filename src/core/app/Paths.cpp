#include "app/Paths.h"

#include "common/Text.h"

namespace quarnel::app {

namespace {

// Windows accepts both slashes in a path; elsewhere only the separator divides it.
std::string separatorsFor(char sep) {
    return sep == '\\' ? "\\/" : std::string(1, sep);
}

bool endsWithSeparator(std::string_view path, char sep) {
    return !path.empty() && separatorsFor(sep).find(path.back()) != std::string::npos;
}

} // namespace

std::string gameFolderFromUccExe(std::string_view path, std::string_view title, char sep,
                                 bool caseSensitive) {
    if (!equalsNoCase(title, "ucc.exe") && !equalsNoCase(title, "ucc-bin"))
        return {};
    std::string chosen = caseSensitive ? std::string(path) : lowerAscii(path);
    const std::size_t name = chosen.find_last_of(separatorsFor(sep));
    std::string folder = name == std::string::npos ? std::string() : chosen.substr(0, name + 1);
    // Drop the final separator, then a last folder named System.
    while (endsWithSeparator(folder, sep))
        folder.pop_back();
    const std::size_t cut = folder.find_last_of(separatorsFor(sep));
    const std::string_view last =
        std::string_view(folder).substr(cut == std::string::npos ? 0 : cut + 1);
    if (equalsNoCase(last, "system"))
        folder.resize(cut == std::string::npos ? 0 : cut);
    while (endsWithSeparator(folder, sep))
        folder.pop_back();
    // A server program at the top of the file system names no game folder.
    if (folder.empty())
        return {};
    return folder + sep;
}

bool gameFolderUnset(std::string_view gameFolder, char sep) {
    return gameFolder.empty() || gameFolder == std::string(1, sep) ||
           gameFolder == std::string(".") + sep;
}

} // namespace quarnel::app
