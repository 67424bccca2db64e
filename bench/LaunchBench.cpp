#include "BenchFolder.h"
#include "common/TextFile.h"
#include "launch/LaunchFiles.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace quarnel;

// A template of about the given size in the shape of the game's INI: sections of value
// lines, the keys the rewrite replaces among them, and the five map lists.
std::string largeTemplate(std::size_t size) {
    std::string bytes;
    const char* kinds[] = {"MapListBombingRun]", "MapListCaptureTheFlag]", "MapListDeathMatch]",
                           "MapListDoubleDomination]", "MapListTeamDeathMatch]"};
    for (int section = 0; bytes.size() < size; ++section) {
        if (section % 50 == 0) {
            bytes += std::string("[XInterface.") + kinds[(section / 50) % 5] +
                     "\r\nMapNum=2\r\n"
                     "Maps=DM-Cellar\r\nMaps=DM-Quarry\r\n";
            continue;
        }
        bytes += "[Engine.Section" + std::to_string(section) + "]\r\n";
        for (int i = 0; i < 18 && bytes.size() < size; ++i) {
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
    GameFolder(std::size_t size, const std::filesystem::path& base)
        : folder_(base), bytes_(largeTemplate(size)) {
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

// Read the template, rewrite it, write the server INI (atomically, synced to the disk), for
// a template of state.range(0) bytes: the game's own INI is about 100 KB.
void BM_MakeGameConfig(benchmark::State& state) {
    GameFolder game(static_cast<std::size_t>(state.range(0)),
                    std::filesystem::temp_directory_path());
    for (auto _ : state)
        writeServerIni(game.form, game.system, "quarnel.ini", true);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * game.size()));
}
BENCHMARK(BM_MakeGameConfig)
    ->Arg(100 << 10)
    ->Arg(4 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same in a folder in memory (/dev/shm), where the sync costs nothing: the time of the
// rewrite itself, with its reads, writes and rename.
void BM_MakeGameConfigInMemoryFolder(benchmark::State& state) {
    const std::filesystem::path shm = "/dev/shm";
    std::error_code ec;
    if (!std::filesystem::is_directory(shm, ec)) {
        state.SkipWithError("no /dev/shm");
        return;
    }
    GameFolder game(static_cast<std::size_t>(state.range(0)), shm);
    for (auto _ : state)
        writeServerIni(game.form, game.system, "quarnel.ini", true);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * game.size()));
}
BENCHMARK(BM_MakeGameConfigInMemoryFolder)
    ->Arg(100 << 10)
    ->Arg(4 << 20)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// The rewrite alone, over lines already in memory.
void BM_RewriteServerIni(benchmark::State& state) {
    GameFolder game(static_cast<std::size_t>(state.range(0)),
                    std::filesystem::temp_directory_path());
    const std::vector<std::string> lines = readTextLines(game.templatePath());
    for (auto _ : state)
        benchmark::DoNotOptimize(rewriteServerIni(game.form.settings(), lines));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * game.size()));
}
BENCHMARK(BM_RewriteServerIni)->Arg(100 << 10)->Unit(benchmark::kMicrosecond);

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
