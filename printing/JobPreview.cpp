#include "printing/JobPreview.h"

#include "common/AppError.h"
#include "printing/LabelPreview.h"
#include "printing/PdfPrinter.h"
#include "printing/PreviewPrinter.h"

namespace velomar::printing {

namespace {
const QMarginsF kPdfMargins(PdfPrinter::InsetMm, PdfPrinter::InsetMm, PdfPrinter::InsetMm, PdfPrinter::InsetMm);
}

JobPreview::JobPreview(Job job) : JobPreview(std::move(job), kPdfMargins, kPdfMargins) {}

JobPreview::JobPreview(Job job, QMarginsF portrait, QMarginsF landscape)
    : m_job(std::move(job)), m_portrait(portrait), m_landscape(landscape) {
    layOut();
}

void JobPreview::layOut() {
    PreviewPrinter measure(0, 1);
    measure.setPrintableMargins(m_portrait, m_landscape);
    // A page turns inside the line printed after a mark: that line starts the page.
    std::vector<ItemLine> starts{ItemLine{}};
    ItemLine last;
    bool marked = false;
    bool resumable = true;
    const auto catchUp = [&] {
        while (qint64(starts.size()) < measure.pagesPrinted()) {
            // A page turned in the heading, or twice on one line, cannot be started alone.
            resumable = resumable && marked && last > starts.back();
            starts.push_back(last);
        }
    };
    PrintSpan whole;
    whole.setObserver([&](ItemLine at) {
        catchUp();
        last = at;
        marked = true;
    });
    m_job(measure, whole);
    measure.finishJob();
    catchUp();
    m_pages = measure.pagesPrinted();
    if (resumable && marked)
        m_starts = std::move(starts);
}

QImage JobPreview::render(qint64 page, double dpi) const {
    if (page < 1 || page > m_pages)
        throw common::AppError(9, LabelPreview::pageCountText(m_pages));
    const bool fromStart = !m_starts.empty();
    PreviewPrinter printer(fromStart ? 1 : page, dpi);
    printer.setPrintableMargins(m_portrait, m_landscape);
    PrintSpan span;
    if (fromStart) {
        const auto at = std::size_t(page - 1);
        span = PrintSpan(m_starts[at], at + 1 < m_starts.size() ? std::optional(m_starts[at + 1]) : std::nullopt);
    }
    m_job(printer, span);
    printer.finishJob();
    return printer.image();
}

} // namespace velomar::printing
