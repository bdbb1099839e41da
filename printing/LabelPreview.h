#pragma once

#include "addresses/HouseholdSource.h"

#include "printing/LabelLayout.h"
#include "printing/StampaEtichette.h"

#include <QImage>
#include <QMarginsF>
#include <QStringList>
#include <memory>
#include <optional>

namespace velomar::archive {
class Recordset;
}

namespace velomar::printing {

// One page of a label job as an image, through the label engine and the PDF printer's
// geometry, with nothing printed or written. A page is drawn from its own addresses
// only (a sheet's worth, found by position in the record set), so any page of a huge
// job costs the same as the first.
class LabelPreview {
public:
    // rs: the addresses in print order (filter and sort already set); it must stay open
    // and unchanged while the preview is used. start: first label of the first sheet.
    LabelPreview(const archive::Recordset& rs, LabelOptions options, LabelPosition start = {},
                 SheetFormat sheet = SheetFormat::standard());

    // "Una sola etichetta per indirizzo": the pages hold one label per door, as the print.
    void setOneLabelPerDoor(bool on);

    // The printer's unprintable edges (mm); the PDF printer's by default.
    void setPrintableMargins(QMarginsF margins) { m_margins = margins; }

    // Sheets the job prints (0 for no address).
    qint64 pageCount() const;
    // Page 1..pageCount() at dpi: the whole sheet of the format's paper. A page outside throws
    // common::AppError ("La stampa ha N pagine."); printing failures throw as in a print.
    QImage render(qint64 page, double dpi);
    // NR of the labels of the last rendered page whose text did not wholly fit.
    const QStringList& cutLabels() const { return m_cutLabels; }

    static QString pageCountText(qint64 pages);

private:
    const archive::Recordset& m_rs;
    LabelOptions m_options;
    LabelPosition m_start;
    SheetFormat m_layout;
    QStringList m_cutLabels;
    std::optional<QMarginsF> m_margins;
    std::unique_ptr<addresses::HouseholdSource> m_doors; // read once, when asked for
};

} // namespace velomar::printing
