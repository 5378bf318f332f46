// The purchase editor on a database of 100,000 purchase items, 5,000 for each of 20 data
// providers of 2007/3: opening the window and choosing a provider, then "Új sor felvitele". Then
// the memory the window adds with one provider of 50,000 items chosen: the process's resident
// peak while it is opened, shown and the provider chosen, over its resident size before. Run with
// QT_QPA_PLATFORM=offscreen (or under Xvfb).

#include "db/connection.h"
#include "db/query.h"
#include "memory.h"
#include "purchase/widgets/UnitAdatlapBR.h"
#include "support/program_folder.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include <benchmark/benchmark.h>

namespace {

constexpr int kProviders = 20;
constexpr int kItemsEach = 5000;

QString adosajat(int provider) {
    return QString::number(10000000 + provider);
}

void fillDatabase(int providers = kProviders, int itemsEach = kItemsEach) {
    db::inTransaction([=] {
        for (int provider = 0; provider < providers; ++provider) {
            db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                                       "Adatszolgnegyedev) values (?, 'Kórház', 2007, '3')"),
                        {adosajat(provider)});
            for (int number = 1; number <= itemsEach; ++number)
                db::execute(QStringLiteral("insert into AdatlapBR values (?, 2007, '3', '08', ?, "
                                           "'1', '1010', '24421300', '30049019', 'Tabletta', "
                                           "'01', 12, '1', '01', '1', 1250.5, 0.5)"),
                            {adosajat(provider), number});
        }
    });
}

// Chooses a provider, the middle one unless told, as the user does in the drop-down list.
void chooseProvider(TFormAdatlapBR& form, int entry = kProviders / 2) {
    QComboBox* list = form.DBLookupComboBox_intezmenyid;
    list->setCurrentIndex(entry);
    Q_EMIT list->activated(entry);
}

void BM_OpenEditorAndChooseProvider(benchmark::State& state) {
    testsupport::ProgramFolder folder;
    fillDatabase();
    for (auto _ : state) {
        TFormAdatlapBR form;
        form.show();
        chooseProvider(form);
        QApplication::processEvents();
        if (form.DBGrid_adatlapBR == nullptr || form.ADOTable_AdatlapBR.rowCount() != kItemsEach)
            state.SkipWithError("the provider's items are not shown");
    }
}
BENCHMARK(BM_OpenEditorAndChooseProvider)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

// Argument 0: the command until it returns; 1: also until the window is drawn again.
void BM_NewRow(benchmark::State& state) {
    const bool drawn = state.range(0) == 1;
    testsupport::ProgramFolder folder;
    fillDatabase();
    TFormAdatlapBR form;
    form.show();
    chooseProvider(form);
    QApplication::processEvents();
    for (auto _ : state) {
        form.Button_felvitel->click();
        if (drawn)
            QApplication::processEvents();
        state.PauseTiming();
        if (form.ADOTable_AdatlapBR.text(QStringLiteral("Tetelsorszam")) != u"5001")
            state.SkipWithError("the new item is not numbered 5001");
        form.Button_megsem->click();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_NewRow)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->Repetitions(5)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

void BM_EditorMemory(benchmark::State& state) {
    constexpr int kItems = 50000;
    testsupport::ProgramFolder folder;
    fillDatabase(1, kItems);
    {
        // The toolkit's fonts and styles, loaded for the first window, are not the editor's.
        TFormAdatlapBR first;
        first.show();
        QApplication::processEvents();
    }
    for (auto _ : state) {
        const double before = bench::statusMegabytes("VmRSS:");
        bench::resetPeakMemory();
        TFormAdatlapBR form;
        form.show();
        chooseProvider(form, 0);
        QApplication::processEvents();
        if (form.ADOTable_AdatlapBR.rowCount() != kItems)
            state.SkipWithError("the provider's items are not shown");
        state.counters["added_MB"] = bench::peakMegabytes() - before;
    }
}
BENCHMARK(BM_EditorMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
