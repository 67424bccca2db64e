// saveSettings and loadSettings with 1,000 selected maps, over the store file as the program
// uses it (one transaction per save, written through to the disk) and over memory; and the
// whole restore of a start, maps folder included.
#include "store/RegistryFile.h"
#include "store/RegistrySettings.h"
#include "store/RememberedSettings.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace quarnel;

namespace {

constexpr int kMaps = 1000;

// A game folder with kMaps maps below the system's temporary folder, removed at exit.
class GameFolder {
public:
    GameFolder() {
        std::string pattern = (fs::temp_directory_path() / "quarnel-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("no temporary folder");
        root_ = pattern;
        fs::create_directories(root_ / "Maps");
        for (int i = 0; i < kMaps; ++i)
            std::ofstream(root_ / "Maps" / ("DM-Bench" + std::to_string(10000 + i) + ".ut2"));
    }
    ~GameFolder() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::string gameFolder() const { return (root_ / "").string(); }
    fs::path storeFile() const { return root_ / "registry.db"; }

private:
    fs::path root_;
};

const GameFolder& game() {
    static const GameFolder folder;
    return folder;
}

// Deathmatch with every map selected.
SettingsForm fullForm() {
    SettingsForm form;
    form.setGameFolder(game().gameFolder());
    form.applyFirstRunDefaults();
    form.setText(Text::ServerName, "Bench Server");
    form.selectAllMaps();
    if (form.mapList().selectedCount() != kMaps)
        throw std::runtime_error("map folder not listed");
    return form;
}

std::unique_ptr<Registry> openStore(bool onDisk) {
    if (!onDisk)
        return makeMemoryRegistry();
    std::error_code ec;
    fs::remove(game().storeFile(), ec);
    auto opened = openRegistry(game().storeFile());
    if (!opened.persistent())
        throw std::runtime_error("store not opened");
    return std::move(opened.registry);
}

void BM_savetoreg(benchmark::State& state) {
    const SettingsForm form = fullForm();
    auto registry = openStore(state.range(0) != 0);
    registry->createKey(RegRoot::LocalMachine, kProgramKey);
    for (auto _ : state)
        saveSettings(*registry, form);
}

void BM_loadfromreg(benchmark::State& state) {
    auto registry = openStore(state.range(0) != 0);
    registry->createKey(RegRoot::LocalMachine, kProgramKey);
    saveSettings(*registry, fullForm());
    SettingsForm form;
    form.setGameFolder(game().gameFolder());
    form.applyFirstRunDefaults();
    for (auto _ : state) {
        form.clearAllMaps();
        const auto result = loadSettings(*registry, form);
        if (result.mapCount != kMaps || form.mapList().selectedCount() != kMaps)
            state.SkipWithError("maps not restored");
        benchmark::DoNotOptimize(result);
    }
}

// What a start restores: the game folder, the first-run settings, the maps folder listed for
// the first-run game type, then the stored settings and maps over them.
void BM_restoreStoredSettings(benchmark::State& state) {
    auto registry = openStore(true);
    registry->createKey(RegRoot::LocalMachine, kProgramKey);
    saveSettings(*registry, fullForm());
    for (auto _ : state) {
        SettingsForm form;
        restoreStoredSettings(*registry, form);
        if (form.mapList().selectedCount() != kMaps)
            state.SkipWithError("maps not restored");
        benchmark::DoNotOptimize(form);
    }
}

} // namespace

BENCHMARK(BM_savetoreg)->ArgName("file")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_loadfromreg)->ArgName("file")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_restoreStoredSettings)->Unit(benchmark::kMillisecond);
