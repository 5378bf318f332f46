// The period check over 2007/3 with 1,000 data providers of 100 and of 300 purchase items each:
// 100,000 and 300,000 items, every record and item passing its checks and raising no
// plausibility warning (a price index of 104, the same price as in 2007/2), no two items alike
// (their quantities differ), but one item in a hundred naming a unit the code table lacks. Beside
// it, in turn in every round, the sqlite3 shell running a script that finds the same kinds of
// problem in the same database: script_ratio is the check's median over the script's. Peak memory
// is the process's resident peak (VmHWM) from just before the first check. Run with
// QT_QPA_PLATFORM=offscreen.

#include "db/connection.h"
#include "db/query.h"
#include "memory.h"
#include "support/program_folder.h"
#include "timing.h"
#include "toolsmenu/period_check.h"

#include <QFile>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kProviders = 1000;

void fillDatabase(int itemsEach) {
    db::inTransaction([itemsEach] {
        for (int provider = 0; provider < kProviders; ++provider) {
            const QString adosajat = QString::number(10000000 + provider);
            db::execute(
                QStringLiteral("insert into AdatlapInt values (?, 'Kórház', '01', '01508', "
                               "'1011', 'Ipolyszög', 'Fő utca', '1', '2441', '11', '123456', "
                               "'Kiss Anna', 'nincs', '1234', 'Nagy Béla', 'nincs', '5678', "
                               "2007, '3')"),
                {adosajat});
            for (int number = 1; number <= itemsEach; ++number)
                db::execute(
                    QStringLiteral("insert into AdatlapBR values (?, 2007, '3', '08', ?, "
                                   "'1', '1010', '24421300', '30049019', 'Tabletta', "
                                   "?, ?, '1', '01', '1', 1250.5, 1200)"),
                    {adosajat, number,
                     number == itemsEach ? QStringLiteral("99") : QStringLiteral("01"), number});
        }
        // The previous quarter of ten providers, for the price comparison.
        db::execute(
            QStringLiteral("insert into AdatlapBR select Adosajat, 2007, '2', '05', "
                           "Tetelsorszam, Termekszolg, Vtszszolgkod, Termitj, Vtszszolg, "
                           "Termszolgnev, Mennyisegiegyseg, Vasaroltmenny, Beszerzforras, "
                           "Felhasznter, Artipus, Tegysegar, Bazisegysegar from AdatlapBR "
                           "where Beszerznegyedev = '3' and Adosajat < '10000010'"));
    });
}

// What the check finds, as statements: the records' empty fields and records without items,
// items without a record, codes missing from their tables or empty, a group missing from its
// kind's table, names too long, items entered twice, a price index out of range and a price far
// from the previous quarter's.
const char kScript[] = R"(
select r.Adosajat from AdatlapInt r where r.Adatszolgev = 2007 and r.Adatszolgnegyedev = '3' and
  (ifnull(r.Intnev, '') = '' or ifnull(r.Utca, '') = '' or ifnull(r.Hsz, '') = '' or
   ifnull(r.Toltnev, '') = '' or ifnull(r.Vezetonev, '') = '' or
   not exists (select 1 from Torzs_KSHMEGYE m where m.ID = r.Sz_megyekod) or
   not exists (select 1 from Torzs_IRSZ i where i.ID = r.Irsz) or
   not exists (select 1 from Torzs_gazdfor g where g.ID = r.Gazdfor) or
   not exists (select 1 from AdatlapBR b where b.Adosajat = r.Adosajat and b.Beszerzev = 2007
               and b.Beszerznegyedev = '3'));
select b.Adosajat, b.Tetelsorszam,
  (select 1 from AdatlapInt r where r.Adosajat = b.Adosajat and r.Adatszolgev = 2007 and
   r.Adatszolgnegyedev = '3') is null,
  ho.Nev is null, t.Nev is null, u.Nev is null, f.Nev is null, a.Nev is null, p.Nev is null,
  case b.Termekszolg
    when '1' then (select Nev from Torzs_TermekCsoport c where c.ID = b.Vtszszolgkod)
    else (select Nev from Torzs_SzolgaltatasCsoport c where c.ID = b.Vtszszolgkod) end is null,
  ifnull(b.Termszolgnev, '') = '' or length(b.Termszolgnev) > 80,
  b.Vasaroltmenny is null or b.Tegysegar is null or b.Bazisegysegar is null,
  b.Tegysegar / b.Bazisegysegar * 100 not between 80 and 150,
  abs(b.Tegysegar - prev.Ar) / prev.Ar > 0.5
from AdatlapBR b
  left join Torzs_ho ho on ho.ID = b.Beszerzho and ho.Negyedev = '3'
  left join Torzs_Termekszolg t on t.ID = b.Termekszolg
  left join Torzs_Mennyisegiegyseg u on u.ID = b.Mennyisegiegyseg
  left join Torzs_Felhasznter f on f.ID = b.Felhasznter
  left join Torzs_Artipus a on a.ID = b.Artipus
  left join Torzs_Beszerzesiforras p on p.ID = b.Beszerzforras
  left join (select Adosajat, Termekszolg, Vtszszolgkod, Mennyisegiegyseg,
             total(Tegysegar * Vasaroltmenny) / total(Vasaroltmenny) as Ar from AdatlapBR
             where Beszerzev = 2007 and Beszerznegyedev = '2' group by 1, 2, 3, 4) prev
    on prev.Adosajat = b.Adosajat and prev.Termekszolg = b.Termekszolg and
       prev.Vtszszolgkod = b.Vtszszolgkod and prev.Mennyisegiegyseg = b.Mennyisegiegyseg
where b.Beszerzev = 2007 and b.Beszerznegyedev = '3'
order by b.Adosajat, b.Tetelsorszam;
select Adosajat, min(Tetelsorszam), count(*) from AdatlapBR
where Beszerzev = 2007 and Beszerznegyedev = '3'
group by Adosajat, Beszerzho, Termekszolg, Vtszszolgkod, Termszolgnev, Mennyisegiegyseg,
  Vasaroltmenny, Beszerzforras, Felhasznter, Artipus, Tegysegar, Bazisegysegar
having count(*) > 1;
)";

bool runScript() {
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    shell.start(QStringLiteral("sqlite3"), {QString::fromLatin1(db::kDatabasePath)});
    shell.write(kScript);
    shell.closeWriteChannel();
    return shell.waitForFinished(-1) && shell.exitCode() == 0;
}

void BM_CheckPeriod(benchmark::State& state) {
    const int itemsEach = static_cast<int>(state.range(0));
    testsupport::ProgramFolder folder;
    fillDatabase(itemsEach);
    bench::resetPeakMemory();
    std::vector<double> check, script;
    for (auto _ : state) {
        qsizetype found = 0;
        check.push_back(bench::millisecondsOf([&found] {
            found = toolsmenu::checkPeriod(QStringLiteral("2007"), QStringLiteral("3")).size();
        }));
        if (found < kProviders)
            state.SkipWithError("the problems were not found");
        bool scriptDone = false;
        script.push_back(bench::millisecondsOf([&scriptDone] { scriptDone = runScript(); }));
        if (!scriptDone) {
            state.SkipWithError("sqlite3 failed");
            return;
        }
        state.SetIterationTime(check.back() / 1e3);
    }
    state.SetItemsProcessed(state.iterations() * kProviders * itemsEach);
    state.counters["check_ms"] = bench::median(check);
    state.counters["script_ms"] = bench::median(script);
    state.counters["script_ratio"] = bench::median(check) / bench::median(script);
    state.counters["peak_rss_MB"] = bench::peakMegabytes();
}
BENCHMARK(BM_CheckPeriod)
    ->Arg(100)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(7)
    ->UseManualTime();

}  // namespace
