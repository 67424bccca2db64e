#include "BenchFolder.h"
#include "game/MapFolder.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace quarnel;

// A maps folder of 10,000 files, a quarter of them Deathmatch maps in mixed case, with a few
// hidden files and folders among them; listing it for the Deathmatch pattern (argument 0),
// which keeps a quarter, and for every map (1), where sorting the names weighs most.
void BM_ListMapsFolder(benchmark::State& state) {
    bench::BenchFolder folder;
    const char* prefixes[] = {"DM-", "CTF-", "BR-", "dom-"};
    for (int i = 0; i < 10000; ++i)
        folder.write("Maps/" + std::string(prefixes[i % 4]) + "Map" + std::to_string(i) + ".ut2",
                     "");
    for (int i = 0; i < 20; ++i) {
        folder.write("Maps/.DM-Hidden" + std::to_string(i) + ".ut2", "");
        std::filesystem::create_directories(folder.path() / "Maps" /
                                            ("DM-Folder" + std::to_string(i)));
    }
    const std::string maps = (folder.path() / "Maps").string();
    const bool all = state.range(0) == 1;
    for (auto _ : state) {
        const auto names = game::listFolder(maps, all ? "*.ut2" : "DM-*.*");
        if (names.size() != (all ? 10000U : 2500U))
            state.SkipWithError("wrong number of maps listed");
        benchmark::DoNotOptimize(names.data());
    }
}
BENCHMARK(BM_ListMapsFolder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A pattern of many stars against a long name that it does not match: the matcher's worst
// case, which grows with the name's length, not with every star.
void BM_WildcardManyStars(benchmark::State& state) {
    const std::string name(20000, 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(game::wildcardMatch("*a*a*a*a*a*a*a*a*a*a*b", name));
}
BENCHMARK(BM_WildcardManyStars)->Unit(benchmark::kMicrosecond);

} // namespace
