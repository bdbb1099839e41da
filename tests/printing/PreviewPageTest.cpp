#include "PdfWords.h"
#include "PrintFixtures.h"
#include "support/CommandRun.h"

#include "archive/DataModel.h"
#include "archive/Recordset.h"
#include "archive/RecordsetAddressSource.h"
#include "common/AppError.h"
#include "printing/GroupListPrinter.h"
#include "printing/JobPreview.h"
#include "printing/LabelPreview.h"
#include "printing/ListPrinter.h"
#include "printing/ListPrinterRange.h"
#include "printing/PreviewPrinter.h"
#include "printing/SummaryPrinter.h"
#include "printing/SummaryQuery.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;

namespace {

constexpr int kDpi = 100; // as the PDF pages are drawn

// Dark pixels of a with no dark pixel of b within one pixel (anti-aliasing aside), as
// a share of a's dark pixels; dark counts a's dark pixels.
double unmatchedShare(const QImage& a, const QImage& b, qint64* dark = nullptr) {
    const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
    const auto ink = [w, h](const QImage& img, int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && qGray(img.pixel(x, y)) < 128;
    };
    qint64 total = 0, unmatched = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!ink(a, x, y))
                continue;
            ++total;
            bool near = false;
            for (int d = 0; d < 9 && !near; ++d)
                near = ink(b, x + d % 3 - 1, y + d / 3 - 1);
            unmatched += !near;
        }
    if (dark)
        *dark = total;
    return total ? double(unmatched) / double(total) : 0;
}

// The preview page and the printed one: same size, same ink within a pixel, enough of it.
void expectSamePage(const QImage& shown, const QImage& printed, qint64 minDark) {
    ASSERT_FALSE(printed.isNull());
    EXPECT_LE(std::abs(shown.width() - printed.width()), 1);
    EXPECT_LE(std::abs(shown.height() - printed.height()), 1);
    qint64 darkShown = 0, darkPrinted = 0;
    EXPECT_LT(unmatchedShare(shown, printed, &darkShown), 0.01);
    EXPECT_LT(unmatchedShare(printed, shown, &darkPrinted), 0.01);
    EXPECT_GT(darkShown, minDark);
    EXPECT_NEAR(double(darkShown) / double(darkPrinted), 1.0, 0.1);
}

// Counts the addresses read, so a page is seen to read only its own.
class CountingSource : public archive::AddressSource {
public:
    explicit CountingSource(std::unique_ptr<archive::AddressSource> inner)
        : m_inner(std::move(inner)) {}
    qint64 count() const override { return m_inner->count(); }
    bool next(archive::AddressRecord& record) override {
        ++reads;
        return m_inner->next(record);
    }
    qint64 skip(qint64 n) override { return m_inner->skip(n); }
    bool restart() override { return m_inner->restart(); }
    qint64 reads = 0;

private:
    std::unique_ptr<archive::AddressSource> m_inner;
};

ListPrintRequest listRequest(bool formatted) {
    ListPrintRequest request;
    request.formatted = formatted;
    request.heading = QStringLiteral("Indirizzi di prova");
    request.date = QDate(2026, 12, 7);
    for (int f = 0; f <= 14; ++f)
        request.fields[std::size_t(f)] = !formatted || f < 9;
    return request;
}

JobPreview::Job listJob(std::shared_ptr<archive::AddressSource> source,
                        const ListPrintRequest& request) {
    return [source, request](Printer& printer, PrintSpan& span) {
        source->restart();
        ListPrinter::print(printer, *source, request, span);
    };
}

// The page as the job run whole draws it.
QImage wholeRunPage(const JobPreview::Job& job, qint64 page, double dpi) {
    PreviewPrinter printer(page, dpi);
    PrintSpan whole;
    job(printer, whole);
    printer.finishJob();
    return printer.image();
}

} // namespace

// The preview is the PDF: same pages, same places, page count, offsets, a partly used
// first sheet and the narrow font's stretch; a later page is found by position alone. So
// for every other job.
TEST(PreviewPage, PagesAgreeWithThePdfOfTheSameJob) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("esempio.mdb");
    auto db = test::sampleArchive(mdb, 100, 11);
    auto rs = archive::Recordset::open(db, QStringLiteral("TabMAIL"), archive::LockType::ReadOnly);
    archive::DataModel::applySortOrder(rs, 6);

    LabelOptions options;
    options.extraCondensed = true;
    options.topOffsetMm = 3;
    options.leftOffsetMm = 2;
    const LabelPosition start{2, 2};

    const QString pdf = dir.filePath("etichette.pdf");
    archive::RecordsetAddressSource all(rs);
    const int pdfPages = test::printLabelsPdf(pdf, all, options, start).pages;

    LabelPreview preview(rs, options, start);
    ASSERT_EQ(preview.pageCount(), pdfPages);
    ASSERT_EQ(pdfPages, 5); // 4 labels skipped on the first sheet: 104 places

    QImage page1, page4;
    for (int page : {1, 4}) {
        SCOPED_TRACE(page);
        const QImage shown = preview.render(page, kDpi);
        expectSamePage(shown, test::pdfPage(pdf, page, dir.path()), 5000);
        (page == 1 ? page1 : page4) = shown;
    }
    // A page placed wrongly is caught: page 4 is not page 1, nor shifted by one label.
    EXPECT_GT(unmatchedShare(page4, page1), 0.2);
    EXPECT_GT(unmatchedShare(page4, test::pdfPage(pdf, 3, dir.path())), 0.2);

    // The printer that passes over pages, fed the whole job, draws the same page 4.
    {
        archive::RecordsetAddressSource source(rs);
        PreviewPrinter printer(4, kDpi);
        test::printLabels(printer, source, options, start);
        printer.finishJob();
        EXPECT_EQ(printer.pagesPrinted(), 5);
        ASSERT_TRUE(printer.pageReached());
        EXPECT_TRUE(printer.image() == page4);
    }

    // The batch command: page check, output only when asked and possible.
    const QString png = dir.filePath("pagina.png");
    const auto batch = [&](const QStringList& args) {
        return test::runCommand("preview", QStringList{mdb} + args);
    };
    EXPECT_TRUE(batch({"--page", "2"}).err.contains("--png"));
    EXPECT_EQ(batch({"--page", "0", "--png", png}).status, 2);
    EXPECT_EQ(batch({"--page", "1", "--png", png, "--dpi", "5000"}).status, 2);
    const auto beyond = batch({"--page", "6", "--png", png, "--start", "2,2"});
    EXPECT_EQ(beyond.status, 1);
    EXPECT_EQ(beyond.err.trimmed(), "La stampa ha 5 pagine.");
    EXPECT_FALSE(QFile::exists(png));
    EXPECT_EQ(batch({"--page", "5", "--png", png, "--start", "2,2", "--dpi", "50"}).status, 0);
    EXPECT_EQ(QImage(png).size(), QSize(413, 585));
    EXPECT_TRUE(batch({"--page", "1", "--png", dir.filePath("manca/x.png")})
                    .err.startsWith("Impossibile scrivere il file PNG"));

    // With one label per door the preview has the pages the print has: 30 addresses at 6
    // doors fill a quarter of one sheet.
    std::vector<archive::AddressRecord> family;
    for (int i = 0; i < 30; ++i)
        family.push_back(test::address("", "", "ROSSI", QStringLiteral("NOME%1").arg(i), "",
                                       QStringLiteral("VIA ROMA %1").arg(i % 6 + 1), "00100",
                                       "ROMA", ""));
    auto families = test::archiveWith(dir.filePath("famiglie.mdb"), family);
    auto all30 =
        archive::Recordset::open(families, QStringLiteral("TabMAIL"), archive::LockType::ReadOnly);
    LabelPreview doors(all30, {}, {1, 1});
    EXPECT_EQ(doors.pageCount(), 2);
    doors.setOneLabelPerDoor(true);
    ASSERT_EQ(doors.pageCount(), 1);
    const QImage once = doors.render(1, 20);
    doors.setOneLabelPerDoor(false);
    EXPECT_FALSE(doors.render(1, 20) == once);
    doors.setOneLabelPerDoor(true);
    EXPECT_THROW(doors.render(2, 40).isNull(), common::AppError);

    // Lists (landscape columns, portrait running text), summaries and the group list: each
    // page drawn from where the layout pass says it starts is exactly the page of the whole
    // job and reads only its own items, an address split over two pages included; the first
    // pages are those of the PDF.
    auto counting = std::make_shared<CountingSource>(
        ListPrinterRange::wholeArchive(db, ListPrinterRange::Values::Printable));
    std::vector<GroupListPrinter::Group> groups;
    for (int i = 0; i < 150; ++i)
        groups.push_back({QStringLiteral("%1").arg(i, 2, 36, QChar('0')).toUpper(),
                          QStringLiteral("Gruppo numero %1").arg(i)});
    const JobPreview::Job groupJob = [groups](Printer& printer, PrintSpan& span) {
        GroupListPrinter::print(printer, groups, QDate(2026, 12, 7), span);
    };
    const auto rows = SummaryQuery::run(db, QStringLiteral("CITTA"), SummaryQuery::Order::ByCount);
    const JobPreview::Job summaryJob = [rows](Printer& printer, PrintSpan& span) {
        SummaryPrinter::print(printer, QStringLiteral("CAP"), rows, QDate(2026, 12, 7), span);
    };

    constexpr double dpi = 40;
    bool splitAddress = false;
    for (const auto& [name, job] : std::vector<std::pair<const char*, JobPreview::Job>>{
             {"testo", listJob(counting, listRequest(false))},
             {"lista", listJob(counting, listRequest(true))},
             {"riepilogo", summaryJob},
             {"gruppi", groupJob}}) {
        const JobPreview preview(job);
        ASSERT_GT(preview.pageCount(), 1) << name;
        ASSERT_EQ(qint64(preview.pageStarts().size()), preview.pageCount()) << name;
        const QString pdf = dir.filePath(QStringLiteral("%1.pdf").arg(name));
        {
            PdfPrinter printer(pdf);
            PrintSpan whole;
            job(printer, whole);
            printer.finishJob();
            EXPECT_EQ(printer.pagesPrinted(), preview.pageCount()) << name;
        }
        for (int page : {1, 2}) {
            SCOPED_TRACE(std::string(name) + " pagina " + std::to_string(page));
            const QImage shown = preview.render(page, kDpi);
            expectSamePage(shown, test::pdfPage(pdf, page, dir.path()), 1000);
            if (page > 1) { // a page one line off is caught
                EXPECT_GT(unmatchedShare(shown, test::pdfPage(pdf, page - 1, dir.path())), 0.2);
            }
        }
        for (qint64 page = 1; page <= preview.pageCount(); ++page) {
            counting->reads = 0;
            const QImage shown = preview.render(page, dpi);
            const qint64 reads = counting->reads;
            EXPECT_TRUE(shown == wholeRunPage(job, page, dpi)) << name << " pagina " << page;
            if (page > 1)
                splitAddress = splitAddress || preview.pageStarts()[std::size_t(page - 1)].line > 0;
            if (page < preview.pageCount() && std::string(name) != "riepilogo" &&
                std::string(name) != "gruppi") {
                const auto& starts = preview.pageStarts();
                EXPECT_LE(reads,
                          starts[std::size_t(page)].item - starts[std::size_t(page - 1)].item + 1)
                    << name << " pagina " << page;
            }
        }
        EXPECT_THROW(preview.render(preview.pageCount() + 1, dpi), common::AppError);
    }
    EXPECT_TRUE(splitAddress); // the running text broke a page inside an address
}

// A page's span ends before the line that starts the next page; a job that turns the page
// twice on one line cannot start a page alone, so every page is drawn from the job's start.
TEST(PreviewPage, SpansStopAtTheNextPageAndAPageTurnedTwiceOnALineIsDrawnWhole) {
    PrintSpan span({1, 2}, ItemLine{3, 0});
    const struct {
        qint64 item;
        int line;
        bool printed;
    } lines[] = {{1, 1, false}, {1, 2, true}, {2, 7, true}, {3, 0, false}, {3, 1, false}};
    for (const auto& l : lines)
        EXPECT_EQ(span.prints(l.item, l.line), l.printed) << l.item << "," << l.line;
    EXPECT_FALSE(span.endsBefore(2));
    EXPECT_TRUE(span.endsBefore(3));

    const JobPreview::Job job = [](Printer& printer, PrintSpan& span) {
        printer.setAutoPageBreak(true);
        printer.printLine(QStringLiteral("Intestazione"));
        for (qint64 item = 1; item <= 3; ++item) {
            if (!span.prints(item, 0))
                continue;
            for (int turn = 0; turn < (item == 2 ? 2 : 1); ++turn) {
                printer.setCurrentY(1000); // past the bottom: the line opens a page
                printer.printLine(QStringLiteral("Riga %1").arg(item));
            }
        }
    };
    const JobPreview preview(job);
    ASSERT_EQ(preview.pageCount(), 5);
    EXPECT_TRUE(preview.pageStarts().empty());
    for (qint64 page = 1; page <= preview.pageCount(); ++page)
        EXPECT_TRUE(preview.render(page, 20) == wholeRunPage(job, page, 20)) << "pagina " << page;
}
