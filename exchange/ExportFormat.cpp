#include "exchange/ExportFormat.h"

namespace velomar::exchange {

namespace {
enum Field {
    NR = 0, TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, NAZ,
    NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI
};
} // namespace

QString ExportFormat::dateText(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString ExportFormat::trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QStringList ExportFormat::header(const QDate& date, const QString& description) {
    QStringList lines;
    lines << QLatin1Char('(') + dateText(date) + QLatin1Char(')');
    if (!description.isEmpty())
        lines << description;
    lines << QString(RuleWidth, QLatin1Char('='));
    return lines;
}

QStringList ExportFormat::block(const archive::AddressRecord& record, const FieldMask& fields) {
    auto v = [&](int f) { return fields[std::size_t(f)] ? record[f] : QString(); };
    QStringList lines;

    const QString nr = fields[NR] ? QStringLiteral("Nr. ") + record[NR] : QString();
    const QString gr = v(GR).isEmpty() ? QString() : QStringLiteral("Gruppo ") + v(GR);
    const QString identity = trimBlanks(nr + QStringLiteral("    ") + gr);
    if (!identity.isEmpty())
        lines << identity;

    if (!v(TITOLO).isEmpty())
        lines << v(TITOLO);

    // Joined without trimming: an empty NOME2 leaves a trailing blank.
    if (!v(COGNOME).isEmpty() || !v(NOME1).isEmpty() || !v(NOME2).isEmpty())
        lines << v(COGNOME) + QLatin1Char(' ') + v(NOME1) + QLatin1Char(' ') + v(NOME2);

    if (!v(INDIRIZZO).isEmpty())
        lines << v(INDIRIZZO);

    if (!v(CAP).isEmpty() || !v(CITTA).isEmpty() || !v(PROV).isEmpty() || !v(NAZ).isEmpty()) {
        const QString prov =
            v(PROV).isEmpty() ? QString() : QLatin1Char('(') + v(PROV) + QLatin1Char(')');
        const QString naz =
            v(NAZ).isEmpty() ? QString() : QStringLiteral(" (") + v(NAZ) + QLatin1Char(')');
        lines << trimBlanks(v(CAP) + QLatin1Char(' ') + v(CITTA) + QLatin1Char(' ') + prov +
                            QLatin1Char(' ') + naz);
    }

    if (!v(NUM_TEL).isEmpty() || !v(NUM_FAX).isEmpty() || !v(NUM_CEL).isEmpty()) {
        auto part = [&](int f, const char* label) {
            return v(f).isEmpty() ? QString() : QLatin1String(label) + v(f);
        };
        const QString sep = QStringLiteral("   ");
        lines << trimBlanks(part(NUM_TEL, "Tel. ") + sep + part(NUM_FAX, "Fax. ") + sep +
                            part(NUM_CEL, "Cell. "));
    }

    if (!v(E_MAIL).isEmpty())
        lines << QStringLiteral("E-Mail: ") + v(E_MAIL);
    if (!v(NOTE).isEmpty())
        lines << QStringLiteral("NOTE: ") + v(NOTE);
    if (!v(APPUNTI).isEmpty())
        lines << QStringLiteral("APPUNTI: ") + v(APPUNTI);

    lines << QString(RuleWidth, QLatin1Char('-'));
    return lines;
}

} // namespace velomar::exchange
