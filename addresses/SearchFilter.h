#pragma once

#include <QString>

namespace velomar::addresses {

// Filter texts of the grid's searches and initial-letter filters, in the record set's
// filter syntax. Whatever the user typed is matched literally.
namespace SearchFilter {

// Quotes text for use inside a LIKE pattern between apostrophes: wildcards and the
// bracket match themselves, apostrophes are doubled.
QString likeLiteral(const QString& text);

// FIELD LIKE '*word*' (substring, case-insensitive), for every field NOTE and APPUNTI
// included.
QString wordSearch(const QString& field, const QString& word);

// FIELD LIKE 'X*' for a letter A..Z.
QString initial(const QString& field, QChar letter);

// Values whose first character is a digit.
QString digitInitial(const QString& field);

// NR = n, for the go-to command.
QString numberIs(qint64 nr);

// Go-to answer: the address number, or 0 when the text is not a positive whole number.
qint64 parseNumber(const QString& answer);

} // namespace SearchFilter
} // namespace velomar::addresses
