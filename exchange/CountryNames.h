#pragma once

#include <QHash>
#include <QString>
#include <utility>
#include <vector>

namespace velomar::exchange {

// What an imported country becomes in NAZ: nothing for Italy (labels print no home
// country), the Italian name of the country table for a code ("DE", "DEU", "D"), an
// English name ("Germany") or an Italian one, else the text in capitals.
class CountryNames {
public:
    CountryNames(); // without the country table: home country and capitals only
    explicit CountryNames(const std::vector<std::pair<QString, QString>>& table);
    // The table of "StatiEsteri.mdb"; throws DatabaseError when the file is refused.
    static CountryNames fromFile(const QString& path);

    static bool isHome(const QString& value);
    QString storedName(const QString& value) const;

private:
    QHash<QString, QString> m_byCode; // code in capitals -> name
    QHash<QString, QString> m_byName; // key of an English or Italian name -> name
};

} // namespace velomar::exchange
