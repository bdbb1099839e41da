#include "printing/StampaEtichette.h"

#include "archive/AddressRecord.h"
#include "common/AppError.h"
#include "settings/Options.h"

#include <cmath>

namespace velomar::printing {

namespace {
enum Field { TITOLO = 1, COGNOME = 2, NOME1 = 3, NOME2 = 4, INDIRIZZO = 5, CAP = 6, CITTA = 7,
             PROV = 8, NAZ = 9 };
constexpr double kJoinLimitMm = 60;
constexpr int kLocalityWithProvince = 28;
constexpr int kLocalityMax = 33;
} // namespace

LabelOptions LabelOptions::from(const settings::Options& options) {
    return {options.labelExtraCondensed(), options.labelBold(), options.labelTopOffsetMm(),
            options.labelLeftOffsetMm()};
}

PrintFont LabelOptions::font() const {
    PrintFont font;
    font.family = extraCondensed ? QStringLiteral("Abadi MT Condensed") : QStringLiteral("Arial Narrow");
    font.pointSize = 10;
    font.bold = bold;
    font.italic = false;
    return font;
}

StampaEtichette::StampaEtichette(Printer& printer, LabelOptions options, LabelLayout layout)
    : m_printer(printer), m_options(options), m_layout(layout) {}

StampaEtichette::Lines StampaEtichette::labelLines(const archive::AddressRecord& r,
                                                   const Measure& width) {
    Lines lines;
    lines[0] = QStringLiteral(" ");
    lines[1] = r[TITOLO];
    lines[2] = r[COGNOME] + QLatin1Char(' ');
    lines[3] = r[NOME1];
    lines[4] = r[NOME2];
    lines[5] = r[INDIRIZZO];
    if (!r[NAZ].isEmpty())
        lines[7] = QStringLiteral("- ") + r[NAZ] + QStringLiteral(" -");

    const QString locality = r[CAP].trimmed() + QLatin1Char(' ') + r[CITTA].trimmed();
    if (std::floor(width(lines[2]) + width(lines[3])) < kJoinLimitMm) {
        lines[2] += lines[3];
        lines[3].clear();
    }
    const QString& prov = r[PROV];
    if (prov.size() == 2)
        lines[6] = locality.left(kLocalityWithProvince) + QStringLiteral(" (") + prov + QLatin1Char(')');
    else
        lines[6] = locality.left(kLocalityMax);
    return lines;
}

void StampaEtichette::print(archive::AddressSource& source, LabelPosition& position) {
    if (!m_layout.contains(position))
        throw common::AppError(9, QStringLiteral("Indice non compreso nell'intervallo."));

    const LabelPosition documentStart = position;
    LabelPosition pos = position;
    LabelPosition lastDocumentStart = documentStart;
    m_labelsPrinted = 0;
    try {
        m_printer.setOrientation(Orientation::Portrait);
        m_printer.setFont(m_options.font());
        m_printer.setAutoPageBreak(false);
        const Measure width = [this](const QString& text) { return m_printer.textWidth(text); };
        const QPointF origin = m_printer.paperOrigin();

        int p = m_layout.sheetIndex(pos);
        archive::AddressRecord record;
        while (source.next(record)) {
            const Lines lines = labelLines(record, width);
            const QRectF label = m_layout.physicalLabel(pos).translated(-origin);
            m_printer.setClip(label.x(), label.y(), label.width(), label.height());
            m_printer.setCurrentY(m_layout.rowOffset(pos.row) + m_options.topOffsetMm);
            const double x = m_layout.columnOffset(pos.column) + m_options.leftOffsetMm;
            for (const QString& line : lines) {
                m_printer.setCurrentX(x);
                if (!line.isEmpty())
                    m_printer.printLine(line);
            }
            ++m_labelsPrinted;
            if (++p > m_layout.labelsPerSheet()) {
                m_printer.clearClip();
                m_printer.endDoc();
                p = 1;
                pos = {1, 1};
                lastDocumentStart = pos;
            } else {
                pos = m_layout.positionOf(p);
            }
        }
        m_printer.clearClip();
        m_printer.endDoc();
        position = pos;
    } catch (...) {
        try {
            m_printer.clearClip();
            m_printer.abortDoc();
        } catch (...) {
            // The first failure is the one to report.
        }
        position = lastDocumentStart;
        throw;
    }
}

} // namespace velomar::printing
