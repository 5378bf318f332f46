// The entry of the benchmarks that need widgets: an application object, then the benchmarks.
// Run them with QT_QPA_PLATFORM=offscreen (or under Xvfb).

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
