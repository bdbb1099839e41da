#include "printing/PostalStyle.h"

#include "archive/AddressRecord.h"
#include "printing/BulkMailing.h"

#include <QRegularExpression>

namespace velomar::printing {

namespace {

enum Field { TITOLO = 1, COGNOME = 2, NOME1 = 3, NOME2 = 4, INDIRIZZO = 5, CAP = 6, CITTA = 7,
             PROV = 8, NAZ = 9 };

QString fitted(const QString& text, double room, const StampaEtichette::Measure& width) {
    qsizetype n = text.size();
    while (n > 0 && width(text.left(n)) > room)
        --n;
    return text.left(n);
}

} // namespace

QString PostalStyle::text(const QString& value) {
    static const QRegularExpression separators(QStringLiteral(R"([,;"()\[\]])"));
    // "N.", "N°", "NR." or "NUM." before the civic number says nothing the number does not.
    static const QRegularExpression number(
        QStringLiteral(R"(\b(?:N|NR|NUM|NUMERO)\s*[.°º]?\s*(?=\d))"));
    // S.P.A., S.R.L.: initials read as well without their dots.
    static const QRegularExpression initials(QStringLiteral(R"(\b(?:\w\.){2,})"));
    // A dot that ends a word (DOTT., V., S.) goes; one inside a word (P.ZZA) stays.
    static const QRegularExpression wordEnd(QStringLiteral(R"((?<=[^\W\d_])\.(?=\s|$))"));
    static const QRegularExpression blanks(QStringLiteral(R"(\s+)"));

    QString t = value.toUpper();
    t.replace(separators, QStringLiteral(" "));
    t.replace(number, QString());
    for (auto m = initials.match(t); m.hasMatch(); m = initials.match(t))
        t.replace(m.capturedStart(), m.capturedLength(), m.captured().remove(u'.'));
    t.replace(wordEnd, QString());
    t.replace(blanks, QStringLiteral(" "));
    return t.trimmed();
}

StampaEtichette::Lines PostalStyle::lines(const archive::AddressRecord& record,
                                          const StampaEtichette::Measure& width, double roomMm,
                                          bool* shortened, const SheetFormat& sheet) {
    archive::AddressRecord postal = record;
    for (int f : {TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CITTA, NAZ})
        postal[f] = text(record[f]);
    postal[CAP] = record[CAP].trimmed();
    const QString prov = record[PROV].trimmed().toUpper();
    postal[PROV].clear();
    postal[NAZ].clear();

    bool cut = false;
    StampaEtichette::Lines lines = StampaEtichette::labelLines(postal, width, roomMm, &cut, sheet);
    for (int i = 1; i < StampaEtichette::LineCount; ++i)
        if (lines[std::size_t(i)].trimmed().isEmpty())
            lines[std::size_t(i)].clear();
    lines[2] = lines[2].trimmed();

    // The province follows the locality after one blank; the locality gives way first.
    const QString province = prov.size() == 2 ? QStringLiteral(" ") + prov : QString();
    QString place = (postal[CAP] + QLatin1Char(' ') + postal[CITTA]).trimmed().left(
        sheet.localityChars(!province.isEmpty()));
    if (width(place + province) > roomMm) {
        place = fitted(place, roomMm - width(province), width);
        cut = true;
    }
    lines[6] = (place + province).trimmed();
    // Italy ("I", "ITALIA") is no country line for an Italian sorting office.
    const QString country = BulkMailing::isItalian(record) ? QString() : text(record[NAZ]);
    lines[7] = fitted(country, roomMm, width);
    if (lines[7].size() < country.size())
        cut = true;

    // At most MaxLines: a rule of the style, not a cut (line 0 is the blank above the block).
    StampaEtichette::dropLines(lines, MaxLines + 1);
    if (shortened)
        *shortened = cut;
    return lines;
}

} // namespace velomar::printing
