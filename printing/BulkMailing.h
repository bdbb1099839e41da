#pragma once

#include "archive/AddressRecord.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace velomar::printing {

// How a bulk mailing is tied: a bundle for each CAP with at least minPieces pieces; the
// rest by province, then by region (each level only when it reaches minPieces, and only
// when switched on), then one bundle for the rest of Italy; foreign addresses last, one
// bundle per country. The post office's current rules decide the values.
struct BulkRules {
    int minPieces = 10;
    bool byProvince = true;
    bool byRegion = true;
    bool headers = true; // a header label before each bundle
};

struct Bundle {
    enum class Level { Cap, Province, Region, Italy, Foreign };

    int number = 0; // from 1, in print order
    Level level = Level::Cap;
    QString key;         // the CAP, the province code, the region, "" or the country
    QString destination; // the locality of a CAP, the region of a province, else ""
    qint64 first = 0;    // index of its first address in bundle order
    qint64 pieces = 0;

    // "CAP 20121 MILANO", "PROVINCIA MI (LOMBARDIA)", "REGIONE LOMBARDIA",
    // "RESTO D'ITALIA", "ESTERO FRANCIA"
    QString area() const;
    // The header label: "MAZZETTO 12", the area, "14 pezzi".
    QStringList headerTexts() const;
    // "MAZZETTO 12 – CAP 20121 MILANO – 14 pezzi"
    QString headerText() const { return headerTexts().join(QStringLiteral(" – ")); }
};

class BulkMailing {
public:
    // Puts addresses in bundle order (within a bundle by CAP, locality and street) and
    // returns the bundles, which cover every address once.
    static std::vector<Bundle> arrange(std::vector<archive::AddressRecord>& addresses,
                                       const BulkRules& rules);

    // NAZ empty or Italy.
    static bool isItalian(const archive::AddressRecord& record);
    // Five digits.
    static bool isCap(const QString& cap);
};

} // namespace velomar::printing
