#include "printing/DeliveryList.h"

#include "printing/Printer.h"
#include "printing/ProvinceRegions.h"

#include <QLocale>
#include <map>

namespace velomar::printing {

namespace {

enum Field { PROV = 8 };

std::vector<DeliveryList::Total> totalsOf(const std::map<QString, qint64>& counts) {
    std::vector<DeliveryList::Total> list;
    for (const auto& [name, pieces] : counts)
        list.push_back({name, pieces});
    return list;
}

QString number(qint64 n) { return QLocale(QLocale::Italian, QLocale::Italy).toString(n); }

QString csvField(const QString& text) {
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n'))
        return text;
    return QLatin1Char('"') + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// Columns of the printed list, in mm from the left of the printable area.
constexpr double kLeft = 10;
constexpr double kArea = 32;
constexpr double kDestination = 80;
constexpr double kPiecesRight = 185;

} // namespace

DeliveryList::DeliveryList(Heading heading, const std::vector<Bundle>& bundles,
                           const std::vector<archive::AddressRecord>& addresses)
    : m_heading(std::move(heading)), m_bundles(bundles) {
    std::map<QString, qint64> provinces;
    std::map<QString, qint64> regions;
    for (const Bundle& b : bundles) {
        m_pieces += b.pieces;
        for (qint64 i = b.first; i < b.first + b.pieces; ++i) {
            if (b.level == Bundle::Level::Foreign) {
                ++regions[QStringLiteral("ESTERO")];
                continue;
            }
            const QString prov = addresses[std::size_t(i)][PROV].trimmed().toUpper();
            const QString region = ProvinceRegions::regionOf(prov);
            ++provinces[region.isEmpty() ? QStringLiteral("(sconosciuta)") : prov];
            ++regions[region.isEmpty() ? QStringLiteral("(sconosciuta)") : region];
        }
    }
    m_provinces = totalsOf(provinces);
    m_regions = totalsOf(regions);
}

QString DeliveryList::areaColumn(const Bundle& b) {
    switch (b.level) {
    case Bundle::Level::Cap:
        return b.key;
    case Bundle::Level::Province:
        return QStringLiteral("PROVINCIA ") + b.key;
    case Bundle::Level::Region:
        return QStringLiteral("REGIONE");
    case Bundle::Level::Italy:
        return QStringLiteral("RESTO D'ITALIA");
    case Bundle::Level::Foreign:
        return QStringLiteral("ESTERO");
    }
    return {};
}

QString DeliveryList::destinationColumn(const Bundle& b) {
    return b.level == Bundle::Level::Cap || b.level == Bundle::Level::Province ? b.destination : b.key;
}

void DeliveryList::print(Printer& printer) const {
    printer.setPaperSize({210, 297});
    printer.setOrientation(Orientation::Portrait);
    printer.setAutoPageBreak(true);
    const PrintFont plain{QStringLiteral("Arial"), 10, false, false};
    const PrintFont bold{QStringLiteral("Arial"), 10, true, false};
    const auto line = [&](const QString& text) {
        printer.setCurrentX(kLeft);
        printer.printLine(text);
    };
    // A row begins with printText at its left, so a page break never splits it.
    const auto row = [&](const QString& a, const QString& b, const QString& c, const QString& pieces) {
        printer.setCurrentX(kLeft);
        printer.printText(a);
        printer.setCurrentX(kArea);
        printer.printText(b);
        printer.setCurrentX(kDestination);
        printer.printText(c);
        printer.setCurrentX(kPiecesRight - printer.textWidth(pieces));
        printer.printLine(pieces);
    };

    printer.setFont({QStringLiteral("Arial"), 14, true, false});
    line(QStringLiteral("DISTINTA DI SPEDIZIONE"));
    printer.setFont(plain);
    line(QString());
    if (!m_heading.sender.isEmpty()) {
        printer.setFont(bold);
        line(QStringLiteral("Mittente:"));
        printer.setFont(plain);
        for (const QString& s : m_heading.sender)
            line(s);
        line(QString());
    }
    line(QStringLiteral("Data: ") + m_heading.date.toString(QStringLiteral("dd/MM/yyyy")));
    if (!m_heading.product.isEmpty())
        line(QStringLiteral("Prodotto: ") + m_heading.product);
    line(QStringLiteral("Mazzetti: %1   Pezzi: %2").arg(number(qint64(m_bundles.size())), number(m_pieces)));
    line(QString());

    printer.setFont(bold);
    row(QStringLiteral("Mazzetto"), QStringLiteral("CAP o area"), QStringLiteral("Destinazione"),
        QStringLiteral("Pezzi"));
    printer.setFont(plain);
    for (const Bundle& b : m_bundles)
        row(QString::number(b.number), areaColumn(b), destinationColumn(b), number(b.pieces));

    for (const auto& [title, totals] : {std::pair{QStringLiteral("Totali per provincia"), &m_provinces},
                                        std::pair{QStringLiteral("Totali per regione"), &m_regions}}) {
        if (totals->empty())
            continue;
        line(QString());
        printer.setFont(bold);
        line(title);
        printer.setFont(plain);
        for (const Total& t : *totals) {
            const QString region = title.endsWith(QLatin1String("provincia")) ? ProvinceRegions::regionOf(t.name)
                                                                              : QString();
            row(QString(), t.name, region, number(t.pieces));
        }
    }
    line(QString());
    printer.setFont(bold);
    row(QStringLiteral("TOTALE PEZZI"), QString(), QString(), number(m_pieces));
    printer.endDoc();
}

QByteArray DeliveryList::csv() const {
    QString out;
    const auto line = [&out](const QStringList& fields) {
        QStringList quoted;
        for (const QString& f : fields)
            quoted << csvField(f);
        out += quoted.join(u';') + QStringLiteral("\r\n");
    };
    line({QStringLiteral("Mazzetto"), QStringLiteral("CAP o area"), QStringLiteral("Destinazione"),
          QStringLiteral("Pezzi")});
    for (const Bundle& b : m_bundles)
        line({QString::number(b.number), areaColumn(b), destinationColumn(b), QString::number(b.pieces)});
    for (const Total& t : m_provinces)
        line({QStringLiteral("Provincia"), t.name, ProvinceRegions::regionOf(t.name), QString::number(t.pieces)});
    for (const Total& t : m_regions)
        line({QStringLiteral("Regione"), t.name, QString(), QString::number(t.pieces)});
    line({QStringLiteral("Totale"), QString(), QString(), QString::number(m_pieces)});
    return out.toUtf8();
}

} // namespace velomar::printing
