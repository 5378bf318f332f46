// Start-up to the main window shown: the main window with its connection and save menu, the hidden
// tree picker and the purchase editor's tables, on a copy of the shipped database. Run with
// QT_QPA_PLATFORM=offscreen (or under Xvfb).

#include "app/UnitFo.h"
#include "app/startup.h"
#include "db/connection.h"
#include "support/program_folder.h"

#include <QTest>

#include <benchmark/benchmark.h>

namespace {

void BM_StartupToMainWindowShown(benchmark::State& state) {
    testsupport::ProgramFolder folder(false);
    for (auto _ : state) {
        auto window = app::createStartupWindows();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            state.SkipWithError("the main window was not shown");
        state.PauseTiming();
        window.reset();
        db::closeConnection();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToMainWindowShown)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
