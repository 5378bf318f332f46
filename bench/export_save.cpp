// The save run of one quarter over 1,000 data providers with 100 purchase items each (100,000
// purchase lines, 4,000 files), with the main-window controls shown on the offscreen platform,
// beside the sqlite3 shell writing the same 100,000 rows from the same database as tab-separated
// text, taken in turn in every round so that a busy machine weighs on both alike: the counters are
// their medians over fifteen rounds, as the machine's speed varies from one round to the next, and
// shell_ratio is the save run's median over the shell's; main_user_ms and
// main_sys_ms are the processor time of the run's own thread, the files' thread left out. Peak
// memory is the benchmark process's maximum resident set size. Then the floor the file system
// sets: deleting and creating again the run's 4,000 files with their final bytes and nothing else.
// Last, the same providers' listings as 1,000 workbooks (.xlsx), as "velkor --listing" writes them.

#include "app/save_run_view.h"
#include "db/connection.h"
#include "export/listing_workbook.h"
#include "export/save_run.h"
#include "support/program_folder.h"
#include "timing.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QProcess>
#include <QProgressBar>
#include <QSqlQuery>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

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
    QListWidget* log = new QListWidget;
    QLabel* step = new QLabel;
    QProgressBar* gauge = new QProgressBar;
    app::SaveRunView view{log, gauge, step, new QAction(QStringLiteral("Küldés"), &window),
                          new QAction(QStringLiteral("Kísérőjegyzék nyomtatása"), &window)};

    MainWindowControls() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(log);
        layout->addWidget(step);
        layout->addWidget(gauge);
        window.resize(705, 300);
        window.show();
    }
};

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

using bench::median;
using bench::millisecondsOf;

bool runShell() {
    QProcess shell;
    shell.setStandardOutputFile(QStringLiteral("text/sqlite3.tsv"));
    shell.start(QStringLiteral("sqlite3"),
                {QStringLiteral("-tabs"), QString::fromLatin1(db::kDatabasePath),
                 QStringLiteral("select * from AdatlapBR")});
    return shell.waitForFinished(-1) && shell.exitCode() == 0;
}

struct FinalFile {
    QByteArray path;
    QByteArray bytes;
};

// The files a save run leaves in the working folders, with their bytes.
std::vector<FinalFile> filesOfTheRun() {
    std::vector<FinalFile> files;
    for (const char* folder : {"text", "Listak", "kuldes/temp"}) {
        QDirIterator entries(QString::fromLatin1(folder),
                             {QStringLiteral("*.txt"), QStringLiteral("*.xls")}, QDir::Files);
        while (entries.hasNext()) {
            const QString path = entries.next();
            if (!path.endsWith(QStringLiteral("hibalista.txt")))
                files.push_back({QFile::encodeName(path), testsupport::readFile(path)});
        }
    }
    return files;
}

// What the file system takes for the run's files alone: each deleted, created and written in one
// piece, straight through the system calls.
bool recreate(const std::vector<FinalFile>& files) {
    for (const FinalFile& file : files) {
        unlink(file.path.constData());
        const int fd = open(file.path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        const bool written = write(fd, file.bytes.constData(),
                                   static_cast<size_t>(file.bytes.size())) == file.bytes.size();
        if (close(fd) != 0 || !written)
            return false;
    }
    return true;
}

void save(MainWindowControls& main) {
    exporting::Ment(main.view, QStringLiteral("2007"), QStringLiteral("3"));
}

// The calling thread's processor time so far, in the program's code or in the system's.
double threadMilliseconds(bool inSystem) {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    const timeval time = inSystem ? usage.ru_stime : usage.ru_utime;
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
}

void BM_SaveRunAgainstShell(benchmark::State& state) {
    MainWindowControls main;
    std::vector<double> run, shell, user, system;
    for (auto _ : state) {
        const double userBefore = threadMilliseconds(false);
        const double systemBefore = threadMilliseconds(true);
        run.push_back(millisecondsOf([&main] { save(main); }));
        user.push_back(threadMilliseconds(false) - userBefore);
        system.push_back(threadMilliseconds(true) - systemBefore);
        bool shellDone = false;
        shell.push_back(millisecondsOf([&shellDone] { shellDone = runShell(); }));
        if (!shellDone) {
            state.SkipWithError("sqlite3 failed");
            return;
        }
        state.SetIterationTime(run.back() / 1e3);
    }
    state.counters["run_ms"] = median(run);
    state.counters["shell_ms"] = median(shell);
    state.counters["main_user_ms"] = median(user);
    state.counters["main_sys_ms"] = median(system);
    state.counters["shell_ratio"] = median(run) / median(shell);
    // Taken before the floor below holds the run's files in memory.
    state.counters["peak_rss_MB"] = peakMegabytes();
}

void BM_FileCreationFloor(benchmark::State& state) {
    MainWindowControls main;
    save(main);
    const std::vector<FinalFile> files = filesOfTheRun();
    for (auto _ : state) {
        if (!recreate(files)) {
            state.SkipWithError("cannot write the files");
            return;
        }
    }
    state.counters["files"] = static_cast<double>(files.size());
}

void BM_ListingWorkbooks(benchmark::State& state) {
    for (auto _ : state) {
        if (exporting::writeListingWorkbooks(QStringLiteral("2007"), QStringLiteral("3")).size() !=
            kProviders) {
            state.SkipWithError("not every workbook was written");
            return;
        }
    }
}

BENCHMARK(BM_SaveRunAgainstShell)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);
// Runs after the save run, so that its files' bytes held here do not count in the peak above.
BENCHMARK(BM_FileCreationFloor)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly();
// Two threads write the workbooks: the processor time is the whole process's.
BENCHMARK(BM_ListingWorkbooks)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

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
