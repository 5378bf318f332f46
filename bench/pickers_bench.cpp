// The sector tree built as the "Szakág" button builds it, the settlement list loaded as the
// "Település" button loads it, and the institution editor opened with its code tables, all on a
// copy of the shipped database. Run with QT_QPA_PLATFORM=offscreen.

#include "db/table.h"
#include "institution/widgets/UnitAdatlapInt.h"
#include "pickers/UnitFa.h"
#include "pickers/UnitLista.h"
#include "support/program_folder.h"

#include <benchmark/benchmark.h>

namespace {

// A copy of the shipped database, and the record table whose column a picker fills.
struct RecordToFill {
    testsupport::ProgramFolder folder;
    db::Table record;
    RecordToFill() { record.open(QStringLiteral("AdatlapInt")); }
};

void BM_BuildSectorTree(benchmark::State& state) {
    RecordToFill target;
    for (auto _ : state) {
        TFormFa picker;
        picker.BuildTree(
            {QStringLiteral("AH_AG"), QStringLiteral("AH_AGAZAT"), QStringLiteral("AH_SZAKAGAZAT")},
            {&target.record, QStringLiteral("Intag")}, QStringLiteral("Szakágazat"));
        benchmark::DoNotOptimize(picker.TreeView_cont);
    }
}
BENCHMARK(BM_BuildSectorTree)->Unit(benchmark::kMillisecond);

void BM_LoadSettlementList(benchmark::State& state) {
    RecordToFill target;
    for (auto _ : state) {
        TFormLista picker;
        picker.LoadList(QStringLiteral("torzs_kshtelepules"), QStringLiteral("Település"), 200,
                        {&target.record, QStringLiteral("Sz_telepuleskod")});
        benchmark::DoNotOptimize(picker.DBLookupListBox_list);
    }
}
BENCHMARK(BM_LoadSettlementList)->Unit(benchmark::kMillisecond);

void BM_OpenInstitutionEditor(benchmark::State& state) {
    testsupport::ProgramFolder folder;
    for (auto _ : state) {
        TFormAszolgInt form;
        benchmark::DoNotOptimize(form.GroupBox_edit);
    }
}
BENCHMARK(BM_OpenInstitutionEditor)->Unit(benchmark::kMillisecond);

}  // namespace
