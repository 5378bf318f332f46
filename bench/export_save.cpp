// The save run of one quarter over 1,000 data providers with 100 purchase items each (100,000
// purchase lines), with the main-window controls shown on the offscreen platform. Beside it, the
// sqlite3 shell writing the same 100,000 rows from the same database as tab-separated text.
// Peak memory is the benchmark process's maximum resident set size; the shell's own is measured
// apart, with /usr/bin/time.

#include "db/connection.h"
#include "export/save_run.h"
#include "support/program_folder.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QProcess>
#include <QProgressBar>
#include <QSqlQuery>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr int kProviders = 1000;
constexpr int kItemsPerProvider = 100;

void fillDatabase() {
    QSqlDatabase connection = db::connection();
    connection.transaction();
    QSqlQuery provider(connection);
    provider.prepare(QStringLiteral(
        "insert into AdatlapInt values (?, ?, '01', '13578', '1011', 'Budapest', 'Fő utca', '12', "
        "'8610', '32', '010100', 'Kiss Ödön', 'kiss@example.hu', '+36 1 234 5678', "
        "'Nagy Erzsébet', 'nagy@example.hu', '+36 1 234 5679', 2007, '3')"));
    QSqlQuery item(connection);
    item.prepare(QStringLiteral(
        "insert into AdatlapBR values (?, 2007, '3', '07', ?, '1', '12345678', '1234', "
        "'3004 90 00', ?, '01', ?, '1', '10', '1', ?, ?)"));
    for (int p = 0; p < kProviders; ++p) {
        const QString adosajat = QString::number(10000000 + p);
        provider.addBindValue(adosajat);
        provider.addBindValue(QStringLiteral("Szent Győző Kórház és Rendelőintézet %1").arg(p));
        provider.exec();
        for (int i = 1; i <= kItemsPerProvider; ++i) {
            item.addBindValue(adosajat);
            item.addBindValue(i);
            item.addBindValue(QStringLiteral("Fűtőolaj 'extra' %1").arg(i));
            item.addBindValue(i * 3);
            item.addBindValue(1250.5 + i);
            item.addBindValue(0.25 * i);
            item.exec();
        }
    }
    for (const char* code :
         {"insert or replace into Torzs_Mennyisegiegyseg values ('01', 'db', 'darab')",
          "insert or replace into Torzs_Beszerzesiforras values ('1', 'h', 'hazai')",
          "insert or replace into Torzs_Felhasznter values ('10', 'á', 'ápolás')",
          "insert or replace into Torzs_Artipus values ('1', 'n', 'nettó ár')"})
        QSqlQuery(connection).exec(QString::fromUtf8(code));
    connection.commit();
}

struct MainWindowControls {
    QWidget window;
    exporting::SaveRunControls controls{};

    MainWindowControls() {
        auto* layout = new QVBoxLayout(&window);
        controls.log = new QListWidget;
        controls.step = new QLabel;
        controls.gauge = new QProgressBar;
        layout->addWidget(controls.log);
        layout->addWidget(controls.step);
        layout->addWidget(controls.gauge);
        controls.send = new QAction(QStringLiteral("Küldés"), &window);
        controls.coverNote = new QAction(QStringLiteral("Kísérőjegyzék nyomtatása"), &window);
        window.resize(705, 300);
        window.show();
    }
};

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_SaveRun(benchmark::State& state) {
    MainWindowControls main;
    for (auto _ : state)
        exporting::Ment(main.controls, QStringLiteral("2007"), QStringLiteral("3"));
    state.counters["peak_rss_MB"] = peakMegabytes();
}

void BM_Sqlite3Shell(benchmark::State& state) {
    for (auto _ : state) {
        QProcess shell;
        shell.setStandardOutputFile(QStringLiteral("text/sqlite3.tsv"));
        shell.start(QStringLiteral("sqlite3"),
                    {QStringLiteral("-tabs"), QString::fromLatin1(db::kDatabasePath),
                     QStringLiteral("select * from AdatlapBR")});
        if (!shell.waitForFinished(-1) || shell.exitCode() != 0)
            state.SkipWithError("sqlite3 failed");
    }
}

BENCHMARK(BM_SaveRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(7);
BENCHMARK(BM_Sqlite3Shell)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    testsupport::ProgramFolder folder;
    fillDatabase();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
