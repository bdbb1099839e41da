#include "archive/ArchiveFile.h"
#include "archive/DataModel.h"
#include "archive/Recordset.h"
#include "archive/RecordsetAddressSource.h"
#include "archive/SampleArchive.h"
#include "printing/PdfPrinter.h"
#include "printing/StampaEtichette.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <map>

using namespace velomar;

namespace {

// One sample archive per size, made once for the whole run.
QString sampleArchive(QTemporaryDir& dir, qint64 count) {
    static std::map<qint64, QString> made;
    auto it = made.find(count);
    if (it != made.end())
        return it->second;
    const QString path = dir.filePath(QStringLiteral("sample-%1.mdb").arg(count));
    archive::SampleArchive::write(path, count, 7);
    return made[count] = path;
}

// Archive to PDF as velomar-batch labels does it: open, sort by postal code, print.
void BM_LabelsToPdf(benchmark::State& state) {
    static QTemporaryDir dir;
    const QString archivePath = sampleArchive(dir, state.range(0));
    const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    for (auto _ : state) {
        auto db = archive::ArchiveFile::open(archivePath, archive::ArchiveKind::Addresses,
                                             archive::ArchiveFile::Access::ReadOnly);
        auto rs = archive::Recordset::open(db, QStringLiteral("TabMAIL"), archive::LockType::ReadOnly);
        archive::DataModel::applySortOrder(rs, 6);
        archive::RecordsetAddressSource source(rs);
        printing::PdfPrinter printer(pdf);
        printing::StampaEtichette engine(printer, {});
        printing::LabelPosition pos;
        engine.print(source, pos);
        printer.finishJob();
        state.counters["sheets"] = printer.pagesPrinted();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LabelsToPdf)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
