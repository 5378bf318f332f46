// Run as root: build/bench/bench_floppy_copy. Mounts a tmpfs of its own as the medium and
// compares the medians of CopyToFloppy and Cp, each copying the same 50 MB file onto it.
#include "transmission/floppy_copy.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kFileSize = 50 << 20;

QString source;
QString medium;

// The copy tells nobody what it does.
class Unobserved : public transmission::MediaCopyObserver {
public:
    void logLine(const QString& /*line*/) override {}
    void warn(const QString& /*text*/) override {}
};

void CopyToFloppy(benchmark::State& state) {
    Unobserved observer;
    transmission::FloppyCopy copy(QStringLiteral("2007"), QStringLiteral("1"), observer);
    const QString destination = QDir(medium).filePath(QStringLiteral("2007_1_12345678_BR.txt"));
    for (auto _ : state) {
        if (!copy.CopyToFloppy(source, destination))
            state.SkipWithError("the medium lacks the space");
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}

void Cp(benchmark::State& state) {
    const QString destination = QDir(medium).filePath(QStringLiteral("cp.txt"));
    for (auto _ : state) {
        if (QProcess::execute(QStringLiteral("cp"), {source, destination}) != 0)
            state.SkipWithError("cp failed");
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}

BENCHMARK(CopyToFloppy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Cp)->Unit(benchmark::kMillisecond)->UseRealTime();

bool writeSource(const QString& path) {
    QByteArray bytes(kFileSize, Qt::Uninitialized);
    QRandomGenerator(1).fillRange(reinterpret_cast<quint32*>(bytes.data()), kFileSize / 4);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == kFileSize;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    source = work.filePath(QStringLiteral("source.txt"));
    medium = work.filePath(QStringLiteral("medium"));
    // Room for both copies and a replacement.
    if (!writeSource(source) || !QDir().mkpath(medium) ||
        QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=160m"), QStringLiteral("tmpfs"), medium}) != 0) {
        qCritical("cannot prepare the source file or mount the medium (needs root)");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return QProcess::execute(QStringLiteral("umount"), {medium}) == 0 ? 0 : 1;
}
