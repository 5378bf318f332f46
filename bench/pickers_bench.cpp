// The sector tree built as the "Szakág" button builds it, and the institution editor opened with
// its code tables, both on a copy of the shipped database. Run with QT_QPA_PLATFORM=offscreen.

#include "db/table.h"
#include "institution/UnitAdatlapInt.h"
#include "pickers/UnitFa.h"
#include "support/program_folder.h"


#include <benchmark/benchmark.h>

namespace {

void BM_BuildSectorTree(benchmark::State& state) {
    testsupport::ProgramFolder folder;
    db::Table record;
    record.open(QStringLiteral("AdatlapInt"));
    for (auto _ : state) {
        TFormFa picker;
        picker.BuildTree(
            {QStringLiteral("AH_AG"), QStringLiteral("AH_AGAZAT"), QStringLiteral("AH_SZAKAGAZAT")},
            {&record, QStringLiteral("Intag")}, QStringLiteral("Szakágazat"));
        benchmark::DoNotOptimize(picker.TreeView_cont);
    }
}
BENCHMARK(BM_BuildSectorTree)->Unit(benchmark::kMillisecond);

void BM_OpenInstitutionEditor(benchmark::State& state) {
    testsupport::ProgramFolder folder;
    for (auto _ : state) {
        TFormAszolgInt form;
        benchmark::DoNotOptimize(form.GroupBox_edit);
    }
}
BENCHMARK(BM_OpenInstitutionEditor)->Unit(benchmark::kMillisecond);

}  // namespace
