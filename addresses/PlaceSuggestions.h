#pragma once

#include <QList>
#include <QString>

namespace velomar::addresses {

class ItalianPlaces;

// What the entry form offers while the user types a CAP, a comune or a province: each
// choice with the fields it fills. Offers only; the form applies one when chosen.
class PlaceSuggestions {
public:
    struct Choice {
        QString text; // as listed: "CANTÙ (CO) 22063"
        QString cap;  // "" when the comune has several or none known
        QString citta; // as CITTA stores it: capitals, shortened when too long
        QString prov;
    };
    static constexpr int Limit = 30;

    // Comuni using the CAP (needs the CAP table).
    static QList<Choice> forCap(const ItalianPlaces& places, const QString& cap);
    // Comuni whose name starts as the text does.
    static QList<Choice> forCitta(const ItalianPlaces& places, const QString& text);
    // Provinces whose code or name starts as the text does ("FO" offers FC Forlì-Cesena).
    static QList<Choice> forProv(const ItalianPlaces& places, const QString& text);
};

} // namespace velomar::addresses
