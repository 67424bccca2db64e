#include "BenchFolder.h"
#include "launch/LaunchCommand.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

#ifdef QUARNEL_BENCH_WINDOW
#include "window/CommandLinePanel.h"

#include <QApplication>
#include <memory>
#endif

namespace {

using namespace quarnel;

// A game folder whose Maps folder holds 10,000 maps, every other one of them selected (the
// first not), as the window holds them.
class LargeMapFolder {
public:
    LargeMapFolder() {
        folder_.write("UT/System/ut2003.ini", "[URL]\r\nPort=7777\r\n");
        for (int i = 0; i < 10000; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "UT/Maps/DM-Map%05d.ut2", i);
            folder_.write(name, "");
        }
        form.setGameFolder((folder_.path() / "UT" / "").string());
        form.applyFirstRunDefaults();
        form.gameTypeClicked(2);
        std::vector<bool> selected(form.mapList().count());
        for (std::size_t i = 1; i < selected.size(); i += 2)
            selected[i] = true;
        form.setMapSelection(std::move(selected));
    }

    SettingsForm form;

private:
    bench::BenchFolder folder_;
};

LargeMapFolder& maps() {
    static LargeMapFolder folder;
    return folder;
}

// Forming what Launch Server would run.
void BM_FormLaunchCommand(benchmark::State& state) {
    SettingsForm& form = maps().form;
    for (auto _ : state)
        benchmark::DoNotOptimize(launchCommand(form));
}
BENCHMARK(BM_FormLaunchCommand)->Unit(benchmark::kMicrosecond);

#ifdef QUARNEL_BENCH_WINDOW
// One update of the window's field after a change of a setting: the lines formed again and
// the field's text replaced.
void BM_CommandLineFieldUpdate(benchmark::State& state) {
    SettingsForm& form = maps().form;
    CommandLinePanel panel(form);
    bool on = false;
    for (auto _ : state) {
        state.PauseTiming();
        on = !on;
        form.setChecked(Check::LanGame, on); // LAN? comes and goes
        state.ResumeTiming();
        panel.refresh();
    }
}
BENCHMARK(BM_CommandLineFieldUpdate)->Unit(benchmark::kMicrosecond);
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef QUARNEL_BENCH_WINDOW
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
