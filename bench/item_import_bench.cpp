// Importing a CSV file of purchase items, products and services in turn, into a record that holds
// none: reading, checking every row, looking up the groups and storing in one transaction. With
// 10,000 and with 99,999 items (the most a record's five-digit item numbers allow) the items are
// stored, then deleted again outside the timing; a 100 MB file of 1.4 million rows is read and
// checked through and refused for its item numbers. Peak memory is the process's resident peak
// (VmHWM) since just before the import, the files written beforehand.

#include "db/connection.h"
#include "db/query.h"
#include "purchase/item_import.h"
#include "support/program_folder.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QByteArray kHeader =
    "Beszerzho;Termekszolg;Vtszszolgkod;Termszolgnev;Mennyisegiegyseg;"
    "Vasaroltmenny;Beszerzforras;Felhasznter;Artipus;Tegysegar;Bazisegysegar\r\n";
const QByteArray kProduct =
    "07;1;1030;\"Amoxicillin 500 mg; 16 db\";01;120;2;02;1;\"1 234,50\";1200\r\n";
const QByteArray kService =
    "szeptember;Szolgáltatás;2010;Takarítás;darab (db);1;6;03;2;98000;95000,5\r\n";

// Writes the rows a few at a time, so that the file is not held in memory.
bool writeCsv(const QString& path, qint64 rows) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(kHeader) < 0)
        return false;
    const QByteArray pair = kProduct + kService;
    for (qint64 row = 0; row + 1 < rows; row += 2) {
        if (file.write(pair) < 0)
            return false;
    }
    return rows % 2 == 0 || file.write(kProduct) >= 0;
}

void resetPeakMemory() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

const purchase::ReportKey kKey{QStringLiteral("12345676"), QStringLiteral("2007"),
                               QStringLiteral("3")};

// The record and the file of the given rows.
struct Fixture {
    explicit Fixture(benchmark::State& state, qint64 rows) {
        db::execute(
            QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                           "Adatszolgnegyedev) values ('12345676', 'Kórház', 2007, '3')"));
        if (!writeCsv(csv, rows))
            state.SkipWithError("the CSV file cannot be written");
        state.counters["file_MB"] = static_cast<double>(QFile(csv).size()) / (1024.0 * 1024.0);
        resetPeakMemory();
    }
    testsupport::ProgramFolder folder;
    QTemporaryDir dir;
    QString csv = dir.filePath(QStringLiteral("tetelek.csv"));
};

void BM_ImportItems(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Fixture fixture(state, rows);
    for (auto _ : state) {
        const auto result = purchase::importItemFile(fixture.csv, kKey);
        if (result.imported != rows)
            state.SkipWithError("the rows were not imported");
        state.PauseTiming();
        db::execute(QStringLiteral("delete from AdatlapBR"));
        state.ResumeTiming();
    }
    state.counters["peak_rss_MB"] = peakMegabytes();
}
BENCHMARK(BM_ImportItems)
    ->Arg(10000)
    ->Arg(99999)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

void BM_ImportLargeFile(benchmark::State& state) {
    Fixture fixture(state, 1'400'000);
    for (auto _ : state) {
        const auto result = purchase::importItemFile(fixture.csv, kKey);
        if (result.failedRows != 1 || result.imported != 0)
            state.SkipWithError("the file was not refused for its item numbers alone");
    }
    state.counters["peak_rss_MB"] = peakMegabytes();
}
BENCHMARK(BM_ImportLargeFile)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
