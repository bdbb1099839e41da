#pragma once

#include "printing/PrintSpan.h"

#include <QImage>
#include <QMarginsF>
#include <functional>
#include <vector>

namespace velomar::printing {

class Printer;

// The pages of a list, summary or groups job as images, with nothing printed or written.
// One pass lays the whole job out without drawing and keeps where each page starts in
// the job's items; a page is then drawn by printing from its start to the next page's,
// so any page of a huge job costs about what the first does.
class JobPreview {
public:
    // Prints the part of the job in the span and ends its document (not the job). It is
    // run once for the layout and once per page drawn, so it must print the same each time.
    using Job = std::function<void(Printer& printer, PrintSpan& span)>;

    // Lays the job out on the PDF printer's page, or on one with the given unprintable
    // edges (mm) by orientation. Throws what the job throws.
    explicit JobPreview(Job job);
    JobPreview(Job job, QMarginsF portrait, QMarginsF landscape);

    qint64 pageCount() const { return m_pages; }
    // Where each page starts; empty when the job does not say where its lines are, whose
    // pages are then drawn by running it whole.
    const std::vector<ItemLine>& pageStarts() const { return m_starts; }

    // Page 1..pageCount() at dpi: the whole A4 sheet. A page outside throws
    // common::AppError ("La stampa ha N pagine."); printing failures throw as in a print.
    QImage render(qint64 page, double dpi) const;

private:
    void layOut();

    Job m_job;
    QMarginsF m_portrait;
    QMarginsF m_landscape;
    qint64 m_pages = 0;
    std::vector<ItemLine> m_starts;
};

} // namespace velomar::printing
