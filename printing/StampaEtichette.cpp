#include "printing/StampaEtichette.h"

#include "archive/AddressRecord.h"
#include "common/AppError.h"
#include "printing/PostalStyle.h"
#include "settings/Options.h"

#include <algorithm>
#include <cmath>

namespace velomar::printing {

namespace {
enum Field { TITOLO = 1, COGNOME = 2, NOME1 = 3, NOME2 = 4, INDIRIZZO = 5, CAP = 6, CITTA = 7,
             PROV = 8, NAZ = 9 };
} // namespace

LabelOptions LabelOptions::from(const settings::Options& options) {
    return {options.labelExtraCondensed(), options.labelBold(), options.labelTopOffsetMm(),
            options.labelLeftOffsetMm()};
}

PrintFont LabelOptions::font(const SheetFormat& sheet) const {
    PrintFont font;
    font.family = extraCondensed ? QStringLiteral("Abadi MT Condensed") : QStringLiteral("Arial Narrow");
    font.pointSize = sheet.fontPointSize();
    font.bold = bold;
    font.italic = false;
    return font;
}

StampaEtichette::StampaEtichette(Printer& printer, LabelOptions options, SheetFormat sheet)
    : m_printer(printer), m_options(options), m_layout(std::move(sheet)) {}

namespace {

// The longest start of text (at least nothing) whose width fits in room.
QString fitted(const QString& text, double room, const StampaEtichette::Measure& width) {
    qsizetype n = text.size();
    while (n > 0 && width(text.left(n)) > room)
        --n;
    return text.left(n);
}

void drawOutline(Printer& printer, const QRectF& r) {
    constexpr double kWidthMm = 0.15;
    printer.drawLine(r.left(), r.top(), r.right(), r.top(), kWidthMm);
    printer.drawLine(r.right(), r.top(), r.right(), r.bottom(), kWidthMm);
    printer.drawLine(r.right(), r.bottom(), r.left(), r.bottom(), kWidthMm);
    printer.drawLine(r.left(), r.bottom(), r.left(), r.top(), kWidthMm);
}

} // namespace

StampaEtichette::Lines StampaEtichette::labelLines(const archive::AddressRecord& r,
                                                   const Measure& width, double roomMm,
                                                   bool* shortened, const SheetFormat& sheet) {
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
    // The joining width is what the label really leaves, once offset and margin are taken.
    if (std::floor(width(lines[2]) + width(lines[3])) < std::min(sheet.joinWidth(), roomMm)) {
        lines[2] += lines[3];
        lines[3].clear();
    }
    const QString& prov = r[PROV];
    QString province;
    QString place = locality.left(sheet.localityChars(false));
    if (prov.size() == 2) {
        province = QStringLiteral(" (") + prov + QLatin1Char(')');
        place = locality.left(sheet.localityChars(true));
    }
    lines[6] = place + province;

    // A line the label cannot hold loses its last characters here rather than half a
    // letter at the label's edge; the locality keeps its province.
    bool cut = false;
    if (width(lines[6]) > roomMm) {
        lines[6] = fitted(place, roomMm - width(province), width) + province;
        cut = true;
    }
    for (int i = 1; i < LineCount; ++i) {
        if (!lines[std::size_t(i)].isEmpty() && width(lines[std::size_t(i)]) > roomMm) {
            lines[std::size_t(i)] = fitted(lines[std::size_t(i)], roomMm, width);
            cut = true;
        }
    }
    if (shortened)
        *shortened = cut;
    return lines;
}

bool StampaEtichette::dropLines(Lines& lines, int maxLines) {
    enum { Title = 1, Role = 4 };
    auto shown = std::count_if(lines.begin(), lines.end(), [](const QString& l) { return !l.isEmpty(); });
    bool dropped = false;
    for (int line : {Title, Role}) {
        if (shown <= maxLines)
            break;
        if (!lines[std::size_t(line)].isEmpty()) {
            lines[std::size_t(line)].clear();
            --shown;
            dropped = true;
        }
    }
    return dropped;
}

QStringList StampaEtichette::wrapped(const QStringList& texts, const Measure& width, double roomMm) {
    QStringList out;
    for (const QString& text : texts) {
        QString line;
        for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (width(longer) <= roomMm || line.isEmpty()) {
                line = longer;
            } else {
                out << line;
                line = word;
            }
        }
        out << fitted(line, roomMm, width);
    }
    return out;
}

QString StampaEtichette::cutLabelsNote(const QStringList& nrs) {
    if (nrs.isEmpty())
        return {};
    constexpr int kListed = 20;
    QString list = nrs.mid(0, kListed).join(QStringLiteral(", "));
    if (nrs.size() > kListed)
        list += QStringLiteral(", …");
    return QStringLiteral("Etichette con testo tagliato: %1 (NR %2)").arg(nrs.size()).arg(list);
}

void StampaEtichette::print(archive::AddressSource& source, LabelPosition& position) {
    if (!m_layout.contains(position))
        throw common::AppError(9, QStringLiteral("Indice non compreso nell'intervallo."));

    const LabelPosition documentStart = position;
    LabelPosition pos = position;
    LabelPosition lastDocumentStart = documentStart;
    m_labelsPrinted = 0;
    m_insertsPrinted = 0;
    m_cutLabels.clear();
    try {
        m_printer.setPaperSize(m_layout.paperSize());
        m_printer.setOrientation(Orientation::Portrait);
        m_printer.setFont(m_options.font(m_layout));
        m_printer.setAutoPageBreak(false);
        const Measure width = [this](const QString& text) { return m_printer.textWidth(text); };
        const QPointF origin = m_printer.paperOrigin();
        const QSizeF printable = m_printer.printableSize();
        const double lineHeight = m_printer.lineHeight();
        constexpr double kTolerance = 1e-6;

        int p = m_layout.sheetIndex(pos);
        const auto advance = [&] {
            if (++p > m_layout.labelsPerSheet()) {
                m_printer.clearClip();
                m_printer.endDoc();
                p = 1;
                pos = {1, 1};
                lastDocumentStart = pos;
            } else {
                pos = m_layout.positionOf(p);
            }
        };
        // The physical label, in printable-area coordinates, as far as the printer reaches.
        const auto labelAt = [&](LabelPosition at) {
            const QRectF label = m_layout.physicalLabel(at).translated(-origin);
            return QRectF(label.topLeft(), QPointF(std::min(label.right(), printable.width()),
                                                   std::min(label.bottom(), printable.height())));
        };
        const PrintFont font = m_options.font(m_layout);
        PrintFont insertFont = font;
        insertFont.bold = true;

        archive::AddressRecord record;
        for (qint64 index = 0; source.next(record); ++index) {
            if (m_insert) {
                const QStringList texts = m_insert(index);
                if (!texts.isEmpty()) {
                    if (p == m_layout.labelsPerSheet() && p > 1)
                        advance();
                    const QRectF area = labelAt(pos);
                    const QPointF text = m_layout.textOrigin(pos);
                    const double x = text.x() + m_options.leftOffsetMm;
                    m_printer.setFont(insertFont);
                    const QStringList shown = wrapped(texts, width, area.right() - x);
                    const double height = m_printer.lineHeight();
                    const QRectF whole = m_layout.physicalLabel(pos).translated(-origin);
                    m_printer.setClip(whole.x(), whole.y(), whole.width(), whole.height());
                    m_printer.setCurrentY(std::max(std::min(text.y() + m_options.topOffsetMm + height,
                                                            area.bottom() - double(shown.size()) * height),
                                                   area.top()));
                    for (const QString& line : shown) {
                        m_printer.setCurrentX(x);
                        m_printer.printLine(line);
                    }
                    m_printer.setFont(font);
                    ++m_insertsPrinted;
                    advance();
                }
            }
            const QRectF clipped = labelAt(pos);
            const QRectF label = m_layout.physicalLabel(pos).translated(-origin);
            const double right = clipped.right();
            const double bottom = clipped.bottom();
            const QPointF text = m_layout.textOrigin(pos);
            const double x = text.x() + m_options.leftOffsetMm;
            bool cut = false;
            Lines lines = m_options.postalStyle ? PostalStyle::lines(record, width, right - x, &cut, m_layout)
                                                : labelLines(record, width, right - x, &cut, m_layout);
            // The block may start one (blank) line above the label, and its first printed
            // line never above what the printer reaches; a label too low for it gives up
            // its least important lines.
            const double highest = std::max(label.top(), 0.0) - lineHeight;
            const int room = int(std::floor((bottom - highest) / lineHeight + kTolerance));
            if (dropLines(lines, room))
                cut = true;

            // The block moves down by the top offset only as far as it still fits; a block
            // taller than the label may rise until only its blank first line is off the label.
            const auto shown = std::count_if(lines.begin(), lines.end(),
                                             [](const QString& l) { return !l.isEmpty(); });
            const double block = double(shown) * lineHeight;
            double y = std::min(text.y() + m_options.topOffsetMm, bottom - block);
            y = std::max(y, highest);
            if (y + block > bottom + kTolerance)
                cut = true;
            if (cut)
                m_cutLabels.append(record[0].trimmed());

            if (m_options.outlines) {
                m_printer.clearClip();
                drawOutline(m_printer, label);
            }
            m_printer.setClip(label.x(), label.y(), label.width(), label.height());
            m_printer.setCurrentY(y);
            for (const QString& line : lines) {
                m_printer.setCurrentX(x);
                if (!line.isEmpty())
                    m_printer.printLine(line);
            }
            ++m_labelsPrinted;
            advance();
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
