#pragma once

#include <QString>
#include <QStringView>
#include <string>

namespace velomar::archive {

// Text order and equality as an Italian reader expects them: case does not count,
// accented letters go with their base letter (È with E), blanks before punctuation,
// punctuation before digits, digits before letters. Accents, then case, only break ties
// in the full order, so "Citta" and "Città" stay together.
class ItalianCollation {
public:
    // Primary weight of one UTF-16 unit; equal weights mean "the same letter".
    static quint32 weight(char16_t c);
    // The unit folded to lower case without accent ("È" -> 'e'); used by character classes.
    static char16_t fold(char16_t c);

    // Primary comparison (-1, 0, 1): the basis of =, <, > in filters.
    static int comparePrimary(QStringView a, QStringView b);
    static bool equalsPrimary(QStringView a, QStringView b) { return comparePrimary(a, b) == 0; }
    static bool startsWithPrimary(QStringView text, QStringView prefix);

    // Appends bytes whose byte-wise order (shorter first on a common prefix) is the
    // primary order; sorts compare these instead of walking texts again and again.
    static void appendPrimaryKey(QStringView text, std::string& out);

    // Full order used by sorts: primary, then accents, then case (lower first).
    static int compare(QStringView a, QStringView b);
};

} // namespace velomar::archive
