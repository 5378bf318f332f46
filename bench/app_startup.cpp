// Start-up to the main window shown: the main window with its connection and save menu, the hidden
// tree picker and the purchase editor's tables, on a copy of the shipped database; and a command's
// whole process against the sqlite3 shell's. Run with QT_QPA_PLATFORM=offscreen (or under Xvfb).

#include "app/UnitFo.h"
#include "app/startup.h"
#include "db/connection.h"
#include "support/program_folder.h"
#include "timing.h"

#include <QProcess>
#include <QTest>

#include <benchmark/benchmark.h>

#include <vector>

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

// A command's whole process, from its start to its exit, against the sqlite3 shell's
// "sqlite3 --version", taken in turn in every round: command_ratio is the command's median over
// the shell's. Argument 0: "velkor --version"; 1: "velkor --check" of a quarter without records,
// on a copy of the program in a program folder of its own. In the same rounds the toolkit's floor,
// a program that only opens the same database with the toolkit and runs one statement:
// floor_ratio is its median over the shell's, command_over_floor the command's over its.
bool runs(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit;
}

void BM_CommandStartup(benchmark::State& state) {
    if (qEnvironmentVariableIsEmpty("VK_PROGRAM_DIR"))
        qputenv("VK_PROGRAM_DIR", VK_PROGRAM_DIR);
    testsupport::ProgramFolder folder(false);
    const QString program = folder.copyProgram();
    const QStringList arguments =
        state.range(0) == 0
            ? QStringList{QStringLiteral("--version")}
            : QStringList{QStringLiteral("--check"), QStringLiteral("2006"), QStringLiteral("1")};
    std::vector<double> command, shell, floor;
    for (auto _ : state) {
        bool ran = false;
        command.push_back(bench::millisecondsOf([&] { ran = runs(program, arguments); }));
        shell.push_back(bench::millisecondsOf(
            [&] { ran = runs(QStringLiteral("sqlite3"), {QStringLiteral("--version")}) && ran; }));
        floor.push_back(bench::millisecondsOf(
            [&] { ran = runs(QStringLiteral(VK_TOOLKIT_FLOOR), {folder.databasePath()}) && ran; }));
        if (!ran) {
            state.SkipWithError("a process did not run");
            return;
        }
        state.SetIterationTime(command.back() / 1e3);
    }
    state.counters["command_ms"] = bench::median(command);
    state.counters["shell_ms"] = bench::median(shell);
    state.counters["command_ratio"] = bench::median(command) / bench::median(shell);
    state.counters["floor_ratio"] = bench::median(floor) / bench::median(shell);
    state.counters["command_over_floor"] = bench::median(command) / bench::median(floor);
}
BENCHMARK(BM_CommandStartup)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(31)
    ->UseManualTime();

}  // namespace
