// Importing a CSV file of 10,000 (and of 100,000) purchase items, products and services in turn,
// into a record that holds none: reading, checking every row, looking up the groups and storing in
// one transaction. The stored items are deleted again outside the timing.

#include "db/connection.h"
#include "db/query.h"
#include "purchase/item_import.h"
#include "support/program_folder.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray csvFile(int rows) {
    QByteArray text =
        "Beszerzho;Termekszolg;Vtszszolgkod;Termszolgnev;Mennyisegiegyseg;"
        "Vasaroltmenny;Beszerzforras;Felhasznter;Artipus;Tegysegar;Bazisegysegar\r\n";
    for (int row = 0; row < rows; ++row) {
        text +=
            row % 2 == 0
                ? "07;1;1030;\"Amoxicillin 500 mg; 16 db\";01;120;2;02;1;\"1 234,50\";1200\r\n"
                : "szeptember;Szolgáltatás;2010;Takarítás;darab (db);1;6;03;2;98000;95000,5\r\n";
    }
    return text;
}

void BM_ImportItems(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    testsupport::ProgramFolder folder;
    db::execute(
        QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                       "Adatszolgnegyedev) values ('12345676', 'Kórház', 2007, '3')"));
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("tetelek.csv"));
    QFile file(csv);
    if (!file.open(QIODevice::WriteOnly) || file.write(csvFile(rows)) < 0)
        state.SkipWithError("the CSV file cannot be written");
    file.close();
    const purchase::ReportKey key{QStringLiteral("12345676"), QStringLiteral("2007"),
                                  QStringLiteral("3")};
    for (auto _ : state) {
        const auto result = purchase::importItemFile(csv, key);
        if (result.imported != rows)
            state.SkipWithError("the rows were not imported");
        state.PauseTiming();
        db::execute(QStringLiteral("delete from AdatlapBR"));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportItems)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

}  // namespace
