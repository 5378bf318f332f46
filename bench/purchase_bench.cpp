// The purchase editor on a database of 100,000 purchase items, 5,000 for each of 20 data
// providers of 2007/3: opening the window and choosing a provider, then "Új sor felvitele". Run
// with QT_QPA_PLATFORM=offscreen (or under Xvfb).

#include "db/connection.h"
#include "db/query.h"
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

void fillDatabase() {
    db::inTransaction([] {
        for (int provider = 0; provider < kProviders; ++provider) {
            db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                                       "Adatszolgnegyedev) values (?, 'Kórház', 2007, '3')"),
                        {adosajat(provider)});
            for (int number = 1; number <= kItemsEach; ++number)
                db::execute(QStringLiteral("insert into AdatlapBR values (?, 2007, '3', '08', ?, "
                                           "'1', '1010', '24421300', '30049019', 'Tabletta', "
                                           "'01', 12, '1', '01', '1', 1250.5, 0.5)"),
                            {adosajat(provider), number});
        }
    });
}

// Chooses the middle provider, as the user does in the drop-down list.
void chooseProvider(TFormAdatlapBR& form) {
    QComboBox* list = form.DBLookupComboBox_intezmenyid;
    const int entry = kProviders / 2;
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

}  // namespace
