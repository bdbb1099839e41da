#include "printing/GlabelsTemplates.h"
#include "printing/SheetCatalog.h"

#include <QDir>
#include <benchmark/benchmark.h>

using namespace velomar;

namespace {

// Every template of glabels-data, as the catalogue reads it when a window or the batch
// command lists the formats. Target: under 0.3 s.
void BM_ReadGlabelsTemplates(benchmark::State& state) {
    const QString folder = printing::SheetCatalog::glabelsFolder();
    if (!QDir(folder).exists()) {
        state.SkipWithError("glabels-data missing");
        return;
    }
    printing::GlabelsTemplates::Result result;
    for (auto _ : state) {
        result = printing::GlabelsTemplates::readFolder(folder);
        benchmark::DoNotOptimize(result.formats.data());
    }
    state.counters["files"] = result.files;
    state.counters["read"] = double(result.formats.size());
    state.counters["skipped"] = result.skipped;
}
BENCHMARK(BM_ReadGlabelsTemplates)->Unit(benchmark::kMillisecond);

// The whole catalogue: built-ins, templates, names made unique.
void BM_LoadSheetCatalog(benchmark::State& state) {
    for (auto _ : state) {
        printing::SheetCatalog catalog;
        const auto summary = catalog.addGlabels();
        benchmark::DoNotOptimize(summary.read);
    }
}
BENCHMARK(BM_LoadSheetCatalog)->Unit(benchmark::kMillisecond);

} // namespace
