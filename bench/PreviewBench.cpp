// The print preview on an archive of 100,000 addresses, at screen resolution:
//   BM_PreviewPage         one page of a label job (arg 1: the page)
//   BM_PreviewLabelsOpen   what "Anteprima" of labels costs before the first page shows:
//                          the printable columns read and sorted, page 1
//   BM_PreviewListOpen     what "Anteprima" of a list costs before the first page shows:
//                          the archive read and sorted, the layout pass, page 1
//   BM_PreviewListPage     one page of that list once open (arg 1: the page)
//   BM_PreviewSummaryOpen  the layout pass of the summary by CAP and its page 1 (the
//                          summary window has its rows already)
//   BM_PreviewSummaryPage  one page of that summary once open
// Arg formatted: 1 the formatted list (landscape columns), 0 the running text.
#include "archive/ArchiveFile.h"
#include "archive/DataModel.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "printing/JobPreview.h"
#include "printing/LabelPreview.h"
#include "printing/ListPrinter.h"
#include "printing/ListPrinterRange.h"
#include "printing/SummaryPrinter.h"
#include "printing/SummaryQuery.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

using namespace velomar;

namespace {

QString previewSample(qint64 count) {
    static QTemporaryDir dir;
    static std::map<qint64, QString> made;
    auto it = made.find(count);
    if (it != made.end())
        return it->second;
    const QString path = dir.filePath(QStringLiteral("preview-%1.mdb").arg(count));
    archive::SampleArchive::write(path, count, 7);
    return made.emplace(count, path).first->second;
}

archive::Database openSample(qint64 count) {
    return archive::ArchiveFile::open(previewSample(count), archive::ArchiveKind::Addresses,
                                      archive::ArchiveFile::Access::ReadOnly);
}

// One page of a big label job as the preview draws it, the archive opened and sorted
// once as a preview window would have it.
void BM_PreviewPage(benchmark::State& state) {
    auto db = openSample(state.range(0));
    auto rs = archive::Recordset::open(db, QStringLiteral("TabMAIL"), archive::LockType::ReadOnly);
    archive::DataModel::applySortOrder(rs, 6);
    printing::LabelPreview preview(rs, {}, {1, 2});
    for (auto _ : state) {
        const QImage page = preview.render(state.range(1), 96);
        benchmark::DoNotOptimize(page.constBits());
    }
    state.counters["pages"] = double(preview.pageCount());
}
void BM_PreviewLabelsOpen(benchmark::State& state) {
    auto db = openSample(state.range(0));
    const QString select = QStringLiteral("SELECT %1 FROM TabMAIL")
                               .arg(archive::DataModel::printColumns().join(QStringLiteral(", ")));
    for (auto _ : state) {
        auto rs = archive::Recordset::open(db, select, archive::LockType::ReadOnly);
        archive::DataModel::applySortOrder(rs, 6);
        printing::LabelPreview preview(rs, {}, {1, 2});
        const QImage page = preview.render(1, 96);
        benchmark::DoNotOptimize(page.constBits());
    }
}
BENCHMARK(BM_PreviewLabelsOpen)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_PreviewPage)
    ->ArgNames({"", "page"})
    ->Args({100000, 1})
    ->Args({100000, 3000})
    ->Unit(benchmark::kMillisecond);

printing::ListPrintRequest listRequest(bool formatted) {
    printing::ListPrintRequest request;
    request.formatted = formatted;
    request.heading = QStringLiteral("Indirizzi");
    if (formatted) {
        for (int f : {0, 2, 3, 5, 6, 7, 8, 10, 14}) // 174 characters a line
            request.fields[std::size_t(f)] = true;
    } else {
        for (int f = 0; f <= 14; ++f)
            request.fields[std::size_t(f)] = true;
    }
    return request;
}

// The list preview as frmStampaLista opens it: one source for the window's life.
std::unique_ptr<printing::JobPreview> openListPreview(archive::Database& db, bool formatted) {
    std::shared_ptr<archive::AddressSource> source =
        printing::ListPrinterRange::wholeArchive(db, printing::ListPrinterRange::Values::Printable);
    const printing::ListPrintRequest request = listRequest(formatted);
    return std::make_unique<printing::JobPreview>(
        [source, request](printing::Printer& printer, printing::PrintSpan& span) {
            source->restart();
            printing::ListPrinter::print(printer, *source, request, span);
        });
}

void BM_PreviewListOpen(benchmark::State& state) {
    auto db = openSample(state.range(0));
    qint64 pages = 0;
    for (auto _ : state) {
        auto preview = openListPreview(db, state.range(1) != 0);
        const QImage page = preview->render(1, 96);
        benchmark::DoNotOptimize(page.constBits());
        pages = preview->pageCount();
    }
    state.counters["pages"] = double(pages);
}
BENCHMARK(BM_PreviewListOpen)
    ->ArgNames({"", "formatted"})
    ->Args({100000, 1})
    ->Args({100000, 0})
    ->Unit(benchmark::kMillisecond);

void BM_PreviewListPage(benchmark::State& state) {
    auto db = openSample(state.range(0));
    auto preview = openListPreview(db, state.range(1) != 0);
    for (auto _ : state) {
        const QImage page = preview->render(state.range(2), 96);
        benchmark::DoNotOptimize(page.constBits());
    }
    state.counters["pages"] = double(preview->pageCount());
}
BENCHMARK(BM_PreviewListPage)
    ->ArgNames({"", "formatted", "page"})
    ->Args({100000, 1, 1})
    ->Args({100000, 1, 1400})
    ->Args({100000, 0, 1})
    ->Args({100000, 0, 2300})
    ->Unit(benchmark::kMillisecond);

std::unique_ptr<printing::JobPreview> openSummaryPreview(const std::vector<printing::SummaryRow>& rows) {
    return std::make_unique<printing::JobPreview>(
        [&rows](printing::Printer& printer, printing::PrintSpan& span) {
            printing::SummaryPrinter::print(printer, QStringLiteral("CAP"), rows, QDate(2026, 12, 7), span);
        });
}

void BM_PreviewSummaryOpen(benchmark::State& state) {
    auto db = openSample(state.range(0));
    const auto rows = printing::SummaryQuery::run(db, QStringLiteral("CAP"), printing::SummaryQuery::Order::ByValue);
    qint64 pages = 0;
    for (auto _ : state) {
        auto preview = openSummaryPreview(rows);
        const QImage page = preview->render(1, 96);
        benchmark::DoNotOptimize(page.constBits());
        pages = preview->pageCount();
    }
    state.counters["pages"] = double(pages);
    state.counters["rows"] = double(rows.size());
}
BENCHMARK(BM_PreviewSummaryOpen)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PreviewSummaryPage(benchmark::State& state) {
    auto db = openSample(state.range(0));
    const auto rows = printing::SummaryQuery::run(db, QStringLiteral("CAP"), printing::SummaryQuery::Order::ByValue);
    auto preview = openSummaryPreview(rows);
    const qint64 page = std::min<qint64>(state.range(1), preview->pageCount());
    for (auto _ : state) {
        const QImage image = preview->render(page, 96);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["pages"] = double(preview->pageCount());
    state.counters["page"] = double(page);
}
BENCHMARK(BM_PreviewSummaryPage)
    ->ArgNames({"", "page"})
    ->Args({100000, 1})
    ->Args({100000, 1000000}) // the last
    ->Unit(benchmark::kMillisecond);

} // namespace
