// Importing a CSV file of purchase items, products and services in turn, into a record that holds
// none: reading, checking every row, looking up the groups and storing in one transaction. With
// 10,000 and with 99,999 items (the most a record's five-digit item numbers allow) the items are
// stored, then deleted again outside the timing; in turn in every round the sqlite3 shell imports
// the same file (".import") into a fresh database's table of the file's columns with AdatlapBR's
// types, its time including its process start: shell_ratio is the import's median over the
// shell's. A 100 MB file of 1.4 million rows is refused for its item numbers at row 100,000.
// Peak memory is the process's resident peak (VmHWM) since just before the import, the files
// written beforehand.

#include "db/connection.h"
#include "db/query.h"
#include "memory.h"
#include "purchase/item_import.h"
#include "support/program_folder.h"
#include "timing.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

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
        bench::resetPeakMemory();
    }
    testsupport::ProgramFolder folder;
    QTemporaryDir dir;
    QString csv = dir.filePath(QStringLiteral("tetelek.csv"));
};

// The shell's import of the file into a table of its columns, in a database of its own.
bool shellImport(const QString& csv, const QString& database) {
    QFile::remove(database);
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {database});
    shell.write(
        "create table Tetelek (Beszerzho varchar(2), Termekszolg varchar(1), "
        "Vtszszolgkod varchar(8), Termszolgnev varchar(80), Mennyisegiegyseg varchar(2), "
        "Vasaroltmenny integer, Beszerzforras varchar(1), Felhasznter varchar(2), "
        "Artipus varchar(1), Tegysegar double, Bazisegysegar double);\n"
        ".mode csv\n.separator ;\n.import --skip 1 '" +
        csv.toUtf8() + "' Tetelek\n");
    shell.closeWriteChannel();
    return shell.waitForFinished(-1) && shell.exitCode() == 0 &&
           shell.readAllStandardError().isEmpty();
}

void BM_ImportItems(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Fixture fixture(state, rows);
    const QString database = fixture.dir.filePath(QStringLiteral("shell.db"));
    std::vector<double> import, shell;
    for (auto _ : state) {
        int imported = 0;
        import.push_back(bench::millisecondsOf(
            [&] { imported = purchase::importItemFile(fixture.csv, kKey).imported;
    }));
    if (imported != rows)
        state.SkipWithError("the rows were not imported");
    db::execute(QStringLiteral("delete from AdatlapBR"));
    bool shellDone = false;
    shell.push_back(bench::millisecondsOf([&] { shellDone = shellImport(fixture.csv, database); }));
    if (!shellDone) {
        state.SkipWithError("sqlite3 failed");
        return;
    }
    state.SetIterationTime(import.back() / 1e3);
}
state.counters["import_ms"] = bench::median(import);
state.counters["shell_ms"] = bench::median(shell);
state.counters["shell_ratio"] = bench::median(import) / bench::median(shell);
state.counters["peak_rss_MB"] = bench::peakMegabytes();
}  // namespace
BENCHMARK(BM_ImportItems)
    ->Arg(10000)
    ->Arg(99999)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(7)
    ->UseManualTime();

void BM_ImportLargeFile(benchmark::State& state) {
    Fixture fixture(state, 1'400'000);
    for (auto _ : state) {
        const auto result = purchase::importItemFile(fixture.csv, kKey);
        if (result.failedRows != 1 || result.imported != 0)
            state.SkipWithError("the file was not refused for its item numbers alone");
    }
    state.counters["peak_rss_MB"] = bench::peakMegabytes();
}
BENCHMARK(BM_ImportLargeFile)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
