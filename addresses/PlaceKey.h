#pragma once

#include <QString>
#include <QStringView>

namespace velomar::addresses {

// The form of a place name that matching compares: lower case, no accents, no apostrophes,
// spaces or punctuation. "FORLI", "Forli'" and "Forlì" give one key.
class PlaceKey {
public:
    // Key of the whole name.
    static QString of(QStringView name);
    // Same, with San, Santo, Santa, Sant' and S. all written "s": "S.Giovanni" and
    // "San Giovanni" meet here.
    static QString saints(QStringView name);
    // The usual shortening of a long comune name: San/Santo/Santa become "S.", Sant' and
    // the other words stay.
    static QString shortened(const QString& name);

    // CITTA's width.
    static constexpr int CittaWidth = 24;
    // The name as CITTA can hold it: shortened when too long, then cut at CittaWidth.
    static QString forCitta(const QString& name);

private:
    static QString build(QStringView name, bool foldSaints);
};

} // namespace velomar::addresses
