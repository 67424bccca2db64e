// loadConfigFile of a file with 5,000 map lines against a map list of 10,000 entries, and
// writeConfigFile of the same settings.
#include "store/ConfigFile.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace quarnel;

constexpr int kMaps = 10000;

// A game folder whose maps folder holds kMaps Deathmatch maps, with every other one
// selected and saved; removed when the program ends.
struct Setup {
    Setup()
        : root(fs::temp_directory_path() / ("quarnel-bench-config-" + std::to_string(::getpid()))) {
        fs::create_directories(root / "maps");
        for (int i = 0; i < kMaps; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "DM-Map%05d.ut2", i);
            std::FILE* file = std::fopen((root / "maps" / name).c_str(), "wb");
            if (file)
                std::fclose(file);
        }
        form.setGameFolder((root / "").string());
        form.applyFirstRunDefaults();
        form.gameTypeClicked(form.gameType());
        std::vector<bool> selected(form.mapList().count());
        for (std::size_t i = 0; i < selected.size(); i += 2)
            selected[i] = true;
        form.setMapSelection(selected);
        cfg = (root / "maps.cfg").string();
        writeConfigFile(form, cfg, true);
    }
    ~Setup() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    fs::path root;
    SettingsForm form;
    std::string cfg;
};

Setup& setup() {
    static Setup instance;
    return instance;
}

void BM_loadconfig(benchmark::State& state) {
    Setup& s = setup();
    SettingsForm form = s.form;
    for (auto _ : state)
        loadConfigFile(form, s.cfg);
    if (form.mapList().selectedCount() != kMaps / 2)
        state.SkipWithError("the map selection was not restored");
}
BENCHMARK(BM_loadconfig)->Unit(benchmark::kMillisecond);

void BM_createconfig(benchmark::State& state) {
    Setup& s = setup();
    const std::string target = (s.root / "saved.cfg").string();
    for (auto _ : state)
        writeConfigFile(s.form, target, true);
}
BENCHMARK(BM_createconfig)->Unit(benchmark::kMillisecond);

void BM_configLines(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state)
        benchmark::DoNotOptimize(configLines(s.form));
}
BENCHMARK(BM_configLines)->Unit(benchmark::kMillisecond);

} // namespace
