#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace velomar::archive {

// Country name of a code, from the read-only "StatiEsteri.mdb" of the program folder.
// The file is opened and closed on every lookup; the code is a bound value, so any text
// (apostrophes included) is simply a code the table does not know.
class CountryLookup {
public:
    explicit CountryLookup(QString databasePath) : m_path(std::move(databasePath)) {}
    static QString fileName() { return QStringLiteral("StatiEsteri.mdb"); }

    // "" when no row has the code (compared without regard to case). Throws
    // DatabaseError when the country file is missing or not ours.
    QString nameOf(const QString& code) const;

    // Every code with its name, read in one go for jobs that look up many values.
    std::vector<std::pair<QString, QString>> entries() const;

private:
    QString m_path;
};

} // namespace velomar::archive
