// The figures "Negyedév áttekintése" shows for 2007/3 with 1,000 data providers of 100 purchase
// items each, 100,000 items in 20 groups, and 10,000 items of 2007/2 beside it: the steps, and the
// price index per group and for the quarter of the chosen quarter and the quarters before it. Run
// with QT_QPA_PLATFORM=offscreen.

#include "db/connection.h"
#include "db/query.h"
#include "overview/price_index.h"
#include "overview/quarter_steps.h"
#include "support/program_folder.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kProviders = 1000;
constexpr int kItemsEach = 100;

void fillDatabase() {
    db::inTransaction([] {
        for (int provider = 0; provider < kProviders; ++provider) {
            const QString adosajat = QString::number(10000000 + provider);
            db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                                       "Adatszolgnegyedev) values (?, 'Kórház', 2007, '3')"),
                        {adosajat});
            // The quarter's 100 items, and every tenth of them in the quarter before.
            for (int number = 1; number <= kItemsEach; ++number) {
                for (const QString& quarter : {u"3"_qs, u"2"_qs}) {
                    if (quarter == u"3" || number % 10 == 0)
                        db::execute(
                            QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, "
                                           "Beszerznegyedev, Tetelsorszam, Termekszolg, "
                                           "Vtszszolgkod, Vasaroltmenny, Tegysegar, "
                                           "Bazisegysegar) values (?, 2007, ?, ?, '1', "
                                           "?, 12, 1250.5, 1100)"),
                            {adosajat, quarter, number, QString::number(1010 + number % 20 * 10)});
                }
            }
        }
    });
}

void BM_OverviewFigures(benchmark::State& state) {
    testsupport::ProgramFolder folder;
    fillDatabase();
    const overview::Quarter chosen{2007, 3};
    for (auto _ : state) {
        const auto steps = overview::quarterSteps(chosen);
        QList<overview::QuarterPrices> prices;
        for (const overview::Quarter& earlier : overview::quartersWithItems(chosen.previous(), 3))
            prices.append(overview::quarterPrices(earlier));
        prices.append(overview::quarterPrices(chosen));
        const auto table = overview::priceTable(prices);
        if (prices.back().total.items != kProviders * kItemsEach || table.rows.isEmpty())
            state.SkipWithError("the figures are not the quarter's");
        benchmark::DoNotOptimize(steps);
    }
    state.SetItemsProcessed(state.iterations() * kProviders * kItemsEach);
}
BENCHMARK(BM_OverviewFigures)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

}  // namespace
