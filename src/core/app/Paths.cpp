#include "app/Paths.h"

#include "common/Text.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

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

std::string programFolder(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // The file the running program was loaded from; argv[0] only where the system cannot
    // say, since a program found through PATH may be started by its bare name.
#ifdef _WIN32
    std::string module(MAX_PATH, '\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameA(nullptr, module.data(),
                                        static_cast<DWORD>(module.size()))) == module.size())
        module.resize(module.size() * 2);
    module.resize(length);
    fs::path self(module);
#else
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
#endif
    if (ec || self.empty())
        self = fs::absolute(fs::path(argv0 ? argv0 : ""), ec);
    std::string folder = self.parent_path().string();
    if (folder.empty())
        return game::currentFolder();
    if (folder.back() != game::kNativeSeparator)
        folder += game::kNativeSeparator;
    return folder;
}

} // namespace quarnel::app
