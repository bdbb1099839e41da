#include "printing/LabelPreview.h"

#include "archive/Recordset.h"
#include "archive/RecordsetAddressSource.h"
#include "common/AppError.h"
#include "printing/PreviewPrinter.h"

#include <algorithm>

namespace velomar::printing {

namespace {

// At most limit addresses of another source, from where it stands.
class LimitedSource : public archive::AddressSource {
public:
    LimitedSource(archive::AddressSource& inner, qint64 limit) : m_inner(inner), m_left(limit) {}
    qint64 count() const override { return m_left; }
    bool next(archive::AddressRecord& record) override {
        if (m_left <= 0 || !m_inner.next(record))
            return false;
        --m_left;
        return true;
    }

private:
    archive::AddressSource& m_inner;
    qint64 m_left;
};

} // namespace

LabelPreview::LabelPreview(const archive::Recordset& rs, LabelOptions options, LabelPosition start,
                           SheetFormat sheet)
    : m_rs(rs), m_options(options), m_start(start), m_layout(std::move(sheet)) {}

void LabelPreview::setOneLabelPerDoor(bool on) {
    m_doors.reset();
    if (on) {
        archive::RecordsetAddressSource all(m_rs);
        m_doors = std::make_unique<addresses::HouseholdSource>(all);
    }
}

qint64 LabelPreview::pageCount() const {
    return m_layout.sheetsFor(m_doors ? m_doors->count() : m_rs.recordCount(), m_start);
}

QString LabelPreview::pageCountText(qint64 pages) {
    if (pages == 1)
        return QStringLiteral("La stampa ha 1 pagina.");
    return QStringLiteral("La stampa ha %1 pagine.").arg(pages);
}

QImage LabelPreview::render(qint64 page, double dpi) {
    const qint64 pages = pageCount();
    if (page < 1 || page > pages)
        throw common::AppError(9, pageCountText(pages));

    // The first sheet holds fewer labels when it starts past its first place; every
    // later sheet starts on its first place.
    const qint64 perSheet = m_layout.labelsPerSheet();
    const qint64 used = m_layout.sheetIndex(m_start) - 1;
    const qint64 first = page == 1 ? 0 : (page - 1) * perSheet - used;
    const qint64 onPage = page == 1 ? perSheet - used : perSheet;
    LabelPosition pos = page == 1 ? m_start : LabelPosition{};

    archive::RecordsetAddressSource rows(m_rs);
    archive::AddressSource& all = m_doors ? static_cast<archive::AddressSource&>(*m_doors) : rows;
    if (m_doors)
        m_doors->restart();
    all.skip(first);
    LimitedSource source(all, onPage);
    // The engine sees only this page's addresses: its first document is the page.
    PreviewPrinter printer(1, dpi);
    if (m_margins)
        printer.setPrintableMargins(*m_margins, *m_margins);
    StampaEtichette engine(printer, m_options, m_layout);
    engine.print(source, pos);
    printer.finishJob();
    m_cutLabels = engine.cutLabels();
    return printer.image();
}

} // namespace velomar::printing
