#include "about/SysInfo.h"

#include "game/Installation.h"

#include <exception>
#include <type_traits>

namespace quarnel {

namespace {

// The size of the buffer the value is read into.
constexpr std::size_t kValueBufferSize = 1024;

// The tool's full name in the registered folder; a file whose name differs only in case is
// the same tool on a file system that tells case apart.
std::string programInFolder(const std::string& folder) {
    return game::join(folder + game::kNativeSeparator, kMsinfoProgram);
}

} // namespace

bool readValueText(Registry& registry, RegRoot root, std::string_view keyPath,
                   std::string_view valueName, std::string& text) {
    RegValue value;
    try {
        if (!registry.keyExists(root, keyPath)) {
            text.clear();
            return false;
        }
        value = registry.readValue(root, keyPath, valueName, std::string());
    } catch (const std::exception&) {
        text.clear();
        return false;
    }
    return std::visit(
        [&text](const auto& data) {
            using T = std::decay_t<decltype(data)>;
            if constexpr (std::is_same_v<T, std::string>) {
                if (data.size() + 1 > kValueBufferSize) {
                    text.clear();
                    return false;
                }
                text = data;
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                text = std::to_string(data);
            } else if (data.size() > kValueBufferSize) {
                text.clear();
                return false;
            }
            return true;
        },
        value);
}

std::string startSysInfo(Registry& registry, const ProgramStarter& start) {
    try {
        std::string program;
        if (!readValueText(registry, RegRoot::LocalMachine, kMsinfoPathKey, kMsinfoPathValue,
                           program)) {
            // The registered folder counts only when the tool is really there.
            std::string folder;
            if (readValueText(registry, RegRoot::LocalMachine, kMsinfoFolderKey, kMsinfoFolderValue,
                              folder))
                program = programInFolder(folder);
            if (!game::fileExists(program))
                program.clear();
        }
        if (!program.empty() && start && start(program))
            return program;
    } catch (const std::exception&) {
        // Any failure on the way means the tool is unavailable.
    }
    return {};
}

} // namespace quarnel
