#include "archive/ArchiveFile.h"
#include "archive/DataModel.h"
#include "archive/Recordset.h"
#include "archive/RecordsetAddressSource.h"
#include "archive/SampleArchive.h"
#include "printing/BulkJob.h"
#include "printing/DeliveryList.h"
#include "printing/PdfPrinter.h"
#include "printing/StampaEtichette.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <map>

using namespace velomar;

// The bulk mailing side by side with the plain print-shop labels of the same addresses:
// the target is the bulk job (labels with headers, delivery list) in at most twice the
// plain job's time.
namespace {

const QString& bulkArchive(qint64 count) {
    static QTemporaryDir dir;
    static std::map<qint64, QString> made;
    auto it = made.find(count);
    if (it == made.end()) {
        const QString path = dir.filePath(QStringLiteral("bulk-%1.mdb").arg(count));
        archive::SampleArchive::write(path, count, 11);
        it = made.emplace(count, path).first;
    }
    return it->second;
}

QString output(const char* name) {
    static QTemporaryDir dir;
    return dir.filePath(QString::fromLatin1(name));
}

// Print-shop labels: every address, by CAP, city and surname, from the first label.
void BM_PrintShopLabels(benchmark::State& state) {
    const QString& path = bulkArchive(state.range(0));
    for (auto _ : state) {
        auto db = archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses,
                                             archive::ArchiveFile::Access::ReadOnly);
        auto rs = archive::Recordset::open(db,
                                           QStringLiteral("SELECT %1 FROM TabMAIL")
                                               .arg(archive::DataModel::printColumns().join(u',')),
                                           archive::LockType::ReadOnly);
        archive::DataModel::applySortOrder(rs, 6);
        archive::RecordsetAddressSource source(rs);
        printing::PdfPrinter printer(output("tipografia.pdf"));
        printing::StampaEtichette engine(printer, {});
        printing::LabelPosition pos;
        engine.print(source, pos);
        printer.finishJob();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same addresses as a bulk mailing: bundles, labels with headers in the postal style,
// and the delivery list.
void BM_BulkMailing(benchmark::State& state) {
    const QString& path = bulkArchive(state.range(0));
    for (auto _ : state) {
        auto db = archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses,
                                             archive::ArchiveFile::Access::ReadOnly);
        const auto job = printing::BulkJob::ofGroups(db, {}, {});
        printing::LabelOptions options;
        options.postalStyle = true;
        printing::PdfPrinter labels(output("blocco.pdf"));
        job.printLabels(labels, options, printing::SheetFormat::standard(), {1, 1});
        labels.finishJob();
        printing::PdfPrinter list(output("distinta.pdf"));
        printing::DeliveryList({{}, QDate::currentDate(), {}}, job.bundles(), job.addresses())
            .print(list);
        list.finishJob();
        state.counters["bundles"] = double(job.bundles().size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_PrintShopLabels)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_BulkMailing)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
