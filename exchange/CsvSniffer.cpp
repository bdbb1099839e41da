#include "exchange/CsvSniffer.h"

#include <QRegularExpression>
#include <QSet>

#include <array>
#include <map>

namespace velomar::exchange {

namespace {

constexpr std::array<char16_t, 4> kCandidates = {u',', u';', u'\t', u'|'};

bool isNumeric(const QString& cell) {
    static const QRegularExpression number(
        QStringLiteral("^[\\d\\s.,:+\\-/()]*\\d[\\d\\s.,:+\\-/()]*$"));
    return number.match(cell).hasMatch();
}

// Words that start the usual column names of address exports, English and Italian.
bool isCommonColumnName(const QString& cell) {
    static const QRegularExpression name(
        QStringLiteral(
            "^(cognome|nome|name|first|last|given|family|middle|full name|display|nickname|titolo|"
            "title|ragione sociale|azienda|company|organi[sz]ation|indirizzo|address|street|"
            "città|citta|city|località|localita|comune|provincia|region|cap|zip|postal|country|"
            "nazione|naz|"
            "telefono|tel|phone|mobile|cellulare|fax|e-?mail|note|notes|categories|categorie|"
            "categoria|gruppo|group)"
            "(?:$|[\\s_.:/-])"),
        QRegularExpression::CaseInsensitiveOption);
    return name.match(cell.trimmed()).hasMatch();
}

} // namespace

QChar CsvSniffer::delimiter(QStringView sample) {
    // Counts per line outside quotes, over at most 50 lines.
    QList<std::array<int, 4>> perLine;
    std::array<int, 4> counts{};
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < sample.size() && perLine.size() < 50; ++i) {
        const QChar c = sample[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && (c == u'\n' || c == u'\r')) {
            if (any)
                perLine.append(counts);
            counts = {};
            any = false;
        } else if (!quoted) {
            any = true;
            for (size_t k = 0; k < kCandidates.size(); ++k)
                counts[k] += c == kCandidates[k];
        }
    }
    if (any && perLine.size() < 50)
        perLine.append(counts);

    QChar best = u',';
    int bestAgree = 0;
    int bestCount = 0;
    for (size_t k = 0; k < kCandidates.size(); ++k) {
        std::map<int, int> frequency;
        for (const auto& line : perLine)
            ++frequency[line[k]];
        for (const auto& [count, lines] : frequency) {
            if (count == 0)
                continue;
            if (lines > bestAgree || (lines == bestAgree && count > bestCount)) {
                best = QChar(kCandidates[k]);
                bestAgree = lines;
                bestCount = count;
            }
        }
    }
    return best;
}

bool CsvSniffer::hasHeader(const QList<QStringList>& rows) {
    if (rows.isEmpty())
        return false;
    // Spreadsheets often add empty columns at the right of the header.
    QStringList first = rows.first();
    while (first.size() > 1 && first.last().trimmed().isEmpty())
        first.removeLast();
    QSet<QString> seen;
    bool known = false;
    for (const QString& cell : first) {
        const QString text = cell.trimmed();
        if (text.isEmpty() || isNumeric(text) || text.contains(u'\n') || text.contains(u'\r'))
            return false;
        const QString key = text.toCaseFolded();
        if (seen.contains(key))
            return false;
        seen.insert(key);
        known = known || isCommonColumnName(text);
    }
    if (known || rows.size() == 1)
        return true;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        for (qsizetype c = 0; c < first.size(); ++c) {
            const QString value = c < row.size() ? row[c].trimmed() : QString();
            if (isNumeric(value) && !isNumeric(first[c]))
                return true;
        }
    }
    return false;
}

} // namespace velomar::exchange
