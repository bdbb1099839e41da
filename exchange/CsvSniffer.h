#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace velomar::exchange {

// Guesses about the shape of a CSV file from its first lines of decoded text.
class CsvSniffer {
public:
    // , ; tab or |: the one found the same number of times (at least once) on most lines,
    // counted outside quotes; ',' when none is.
    static QChar delimiter(QStringView sample);

    // The first row is a header when its cells (empty ones at the end aside) are distinct
    // non-empty non-numeric texts on one line each and it differs from the rows under it:
    // one of its names is a common column name, or the rows under it have numbers where it
    // has text (empty cells prove nothing: optional columns are empty in data too).
    static bool hasHeader(const QList<QStringList>& rows);
};

} // namespace velomar::exchange
