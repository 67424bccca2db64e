#include "BenchFolder.h"
#include "common/TextFile.h"
#include "launch/LaunchFiles.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using namespace quarnel;

// A template of 100,000 lines in the shape of the game's INI: sections of value lines, the
// keys the rewrite replaces among them, and the five map lists.
std::string largeTemplate() {
    std::string bytes;
    const char* kinds[] = {"MapListBombingRun]", "MapListCaptureTheFlag]", "MapListDeathMatch]",
                           "MapListDoubleDomination]", "MapListTeamDeathMatch]"};
    int lines = 0;
    for (int section = 0; lines < 100000; ++section) {
        if (section % 50 == 0) {
            bytes += std::string("[XInterface.") + kinds[(section / 50) % 5] +
                     "\r\nMapNum=2\r\n"
                     "Maps=DM-Cellar\r\nMaps=DM-Quarry\r\n";
            lines += 4;
            continue;
        }
        bytes += "[Engine.Section" + std::to_string(section) + "]\r\n";
        ++lines;
        for (int i = 0; i < 18 && lines < 100000; ++i, ++lines) {
            switch (i) {
            case 3:
                bytes += "ServerName=Another UT2003 Server\r\n";
                break;
            case 7:
                bytes += "MaxClientRate=15000\r\n";
                break;
            case 11:
                bytes += "bEnabled=False\r\n";
                break;
            default:
                bytes += "SomeSetting" + std::to_string(i) + "=../System/*.u value " +
                         std::to_string(section) + "\r\n";
            }
        }
    }
    return bytes;
}

class GameFolder {
public:
    GameFolder() : bytes_(largeTemplate()) {
        folder_.write("UT/System/ut2003.ini", bytes_);
        for (const char* map : {"DM-Cellar.ut2", "DM-Quarry.ut2", "DM-Reactor.ut2"})
            folder_.write(std::string("UT/Maps/") + map, "map");
        form.setGameFolder((folder_.path() / "UT" / "").string());
        form.applyFirstRunDefaults();
        form.setText(Text::ServerName, "Bench Server");
        form.selectAllMaps();
        system = game::systemFolder(form.gameFolder());
    }
    std::size_t size() const { return bytes_.size(); }
    std::string templatePath() const { return game::templateIni(form.gameFolder()); }

    SettingsForm form;
    std::string system;

private:
    bench::BenchFolder folder_;
    std::string bytes_;
};

// Read the template, rewrite it, write the server INI (atomically, flushed to disk).
void BM_MakeGameConfig(benchmark::State& state) {
    GameFolder game;
    for (auto _ : state)
        writeServerIni(game.form, game.system, "quarnel.ini", true);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * game.size()));
}
BENCHMARK(BM_MakeGameConfig)->Unit(benchmark::kMillisecond)->UseRealTime();

// The rewrite alone, over lines already in memory.
void BM_RewriteServerIni(benchmark::State& state) {
    GameFolder game;
    const std::vector<std::string> lines = readTextLines(game.templatePath());
    for (auto _ : state)
        benchmark::DoNotOptimize(rewriteServerIni(game.form.settings(), lines));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * game.size()));
}
BENCHMARK(BM_RewriteServerIni)->Unit(benchmark::kMillisecond);

void BM_BuildCommandLine(benchmark::State& state) {
    bench::BenchFolder folder;
    for (const char* map : {"DM-Cellar.ut2", "DM-Quarry.ut2"})
        folder.write(std::string("UT/Maps/") + map, "map");
    SettingsForm form;
    form.setGameFolder("C:\\UT2003\\");
    form.applyFirstRunDefaults();
    form.setMapFolder((folder.path() / "UT" / "Maps").string());
    form.setMapSelected(1, true);
    form.setChecked(Check::BigHead, true);
    form.setText(Text::ExtraCommandLine, "X=1");
    for (auto _ : state)
        benchmark::DoNotOptimize(serverCommandLine(form, "quarnel.ini", '\\'));
}
BENCHMARK(BM_BuildCommandLine)->Unit(benchmark::kMicrosecond);

} // namespace
