#include "archive/ArchiveFile.h"
#include "archive/DataModel.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "printing/LabelPreview.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace velomar;

namespace {

// One page of a big label job as the preview draws it, at screen resolution, the archive
// opened and sorted once as a preview window would have it. Arg 0: addresses; arg 1: page.
void BM_PreviewPage(benchmark::State& state) {
    static QTemporaryDir dir;
    static qint64 madeCount = 0;
    const qint64 count = state.range(0);
    const QString path = dir.filePath(QStringLiteral("preview-%1.mdb").arg(count));
    if (madeCount != count) {
        archive::SampleArchive::write(path, count, 7);
        madeCount = count;
    }
    auto db = archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses,
                                         archive::ArchiveFile::Access::ReadOnly);
    auto rs = archive::Recordset::open(db, QStringLiteral("TabMAIL"), archive::LockType::ReadOnly);
    archive::DataModel::applySortOrder(rs, 6);
    printing::LabelPreview preview(rs, {}, {1, 2});
    for (auto _ : state) {
        const QImage page = preview.render(state.range(1), 96);
        benchmark::DoNotOptimize(page.constBits());
    }
    state.counters["pages"] = double(preview.pageCount());
}
BENCHMARK(BM_PreviewPage)
    ->ArgNames({"", "page"})
    ->Args({100000, 1})
    ->Args({100000, 3000})
    ->Unit(benchmark::kMillisecond);

} // namespace
