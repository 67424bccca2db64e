// Arbitrary bytes as a configuration file: the load may stop with a ConfigLoadError, but
// must never crash, and whatever it applied must save to a well-formed file.
#include "common/TextFile.h"
#include "store/ConfigFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// A game folder with a few maps of several types, made once; every input is read as if its
// first line named it, so the map list never wanders over the file system.
std::string gameFolder() {
    static const std::string folder = [] {
        namespace fs = std::filesystem;
        const fs::path root =
            fs::temp_directory_path() / ("quarnel-fuzz-config-" + std::to_string(::getpid()));
        fs::create_directories(root / "maps");
        for (const char* name : {"BR-Ball.ut2", "CTF-Alpha.ut2", "CTF-Beta.UT2", "DM-One.ut2",
                                 "DM-Two.ut2", "DOM-Ring.ut2", "Other.ut2"})
            quarnel::writeFileAtomically((root / "maps" / name).string(), "map", true);
        static const fs::path removeAtExit = root;
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(removeAtExit, ec);
        });
        return (root / "").string();
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarnel;
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    SettingsForm form;
    form.setGameFolder(gameFolder());
    form.applyFirstRunDefaults();
    form.gameTypeClicked(form.gameType());
    try {
        applyConfigLines(form, splitTextLines(bytes), gameFolder());
    } catch (const ConfigLoadError& e) {
        if (e.line() < 1 || e.line() > kCfgFixedLines || e.key() != kCfgLines[e.line() - 1].key)
            std::abort();
    }

    const std::vector<std::string> lines = configLines(form);
    if (lines.size() != kCfgFixedLines + form.mapList().selectedCount())
        std::abort();
    for (const std::string& line : lines)
        if (line.find_first_of("\r\n") != std::string::npos)
            std::abort();
    // What was saved loads again without error: every value the writer forms is one the
    // reader accepts.
    SettingsForm again;
    again.setGameFolder(gameFolder());
    again.applyFirstRunDefaults();
    applyConfigLines(again, lines, gameFolder());
    return 0;
}
