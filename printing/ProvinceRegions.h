#pragma once

#include <QString>
#include <QStringList>

namespace velomar::printing {

// The region of each Italian province, by its two-letter code (the 107 provinces and
// metropolitan cities, plus the four Sardinian codes abolished in 2016 that old
// archives still hold).
class ProvinceRegions {
public:
    // "LOMBARDIA" for "MI" (case and blanks ignored); "" for a code that is no province.
    static QString regionOf(const QString& province);
    static QStringList provinces();
};

} // namespace velomar::printing
