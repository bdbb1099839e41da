#pragma once

#include "archive/AddressRecord.h"
#include "printing/BulkMailing.h"

#include <QByteArray>
#include <QDate>
#include <QStringList>
#include <vector>

namespace velomar::printing {

class Printer;

// The delivery list (distinta) handed in with a bulk mailing: sender, date, product, every
// bundle with its pieces, totals by province and region, the grand total.
class DeliveryList {
public:
    struct Heading {
        QStringList sender; // its non-empty lines
        QDate date;
        QString product;
    };
    struct Total {
        QString name;
        qint64 pieces = 0;
    };

    DeliveryList(Heading heading, const std::vector<Bundle>& bundles,
                 const std::vector<archive::AddressRecord>& addresses);

    // Only provinces and regions with pieces, in alphabetical order; foreign pieces are
    // one "ESTERO" row of the regions.
    const std::vector<Total>& provinces() const { return m_provinces; }
    const std::vector<Total>& regions() const { return m_regions; }
    qint64 pieces() const { return m_pieces; }

    // A4 portrait, as many pages as it takes; ends its document.
    void print(Printer& printer) const;
    // The same list as CSV (UTF-8, semicolons, CR LF): one row per bundle, then the totals.
    QByteArray csv() const;

    // The two columns a bundle shows: "20121" and "MILANO", "PROVINCIA MI" and "LOMBARDIA".
    static QString areaColumn(const Bundle& bundle);
    static QString destinationColumn(const Bundle& bundle);

private:
    Heading m_heading;
    const std::vector<Bundle>& m_bundles;
    std::vector<Total> m_provinces;
    std::vector<Total> m_regions;
    qint64 m_pieces = 0;
};

} // namespace velomar::printing
