// A backup of a database of 1,000 data providers with 100 purchase items each (100,000 items),
// beside the sqlite3 shell's ".backup" of the same database, taken in turn in every round so that
// a busy machine weighs on both alike. The counters are the medians of the rounds; shell_ratio is
// the backup's median over the shell's (whose time includes starting its process). Run with
// QT_QPA_PLATFORM=offscreen; TMPDIR chooses the disk.

#include "backup/backups.h"
#include "db/connection.h"
#include "db/query.h"
#include "support/program_folder.h"
#include "timing.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

void fillDatabase() {
    db::inTransaction([] {
        db::execute(QStringLiteral(
            "with recursive n(i) as (select 0 union all select i + 1 from n where i < 999) "
            "insert into AdatlapInt select 10000000 + i, 'Kórház', '01', '01508', '1011', "
            "'Ipolyszög', 'Fő utca', '1', '2441', '11', '123456', 'Kiss Anna', 'nincs', '1234', "
            "'Nagy Béla', 'nincs', '5678', 2007, '3' from n"));
        db::execute(QStringLiteral(
            "with recursive n(i) as (select 0 union all select i + 1 from n where i < 99999) "
            "insert into AdatlapBR select 10000000 + i / 100, 2007, '3', '08', i % 100 + 1, '1', "
            "'1010', '24421300', '30049019', 'Tabletta ' || i, '01', 12, '1', '01', '1', 1250.5, "
            "0.5 from n"));
    });
}

using bench::median;
using bench::millisecondsOf;

bool shellBackup(const QString& target) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {QString::fromLatin1(db::kDatabasePath),
                                            QStringLiteral(".backup '%1'").arg(target)});
    return shell.waitForFinished(-1) && shell.exitCode() == 0;
}

void BM_BackupAgainstShell(benchmark::State& state) {
    testsupport::ProgramFolder folder;
    fillDatabase();
    const QString ours = folder.file(QStringLiteral("ours.mdb"));
    const QString theirs = folder.file(QStringLiteral("shell.mdb"));
    std::vector<double> backup, shell;
    for (auto _ : state) {
        QFile::remove(ours);
        QFile::remove(theirs);
        backup.push_back(millisecondsOf([&] { backup::writeBackup(ours); }));
        bool shellDone = false;
        shell.push_back(millisecondsOf([&] { shellDone = shellBackup(theirs); }));
        if (!shellDone) {
            state.SkipWithError("sqlite3 failed");
            return;
        }
        state.SetIterationTime(backup.back() / 1e3);
    }
    state.counters["backup_ms"] = median(backup);
    state.counters["shell_ms"] = median(shell);
    state.counters["shell_ratio"] = median(backup) / median(shell);
    state.counters["size_MB"] = static_cast<double>(QFileInfo(ours).size()) / 1e6;
}
BENCHMARK(BM_BackupAgainstShell)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);

}  // namespace
