#include "exchange/ExportFormat.h"

namespace velomar::exchange {

namespace {

enum Field {
    NR = 0, TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, NAZ,
    NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI
};

const QString kEnd = QStringLiteral("\r\n");
const QString kDashes(ExportFormat::RuleWidth, QLatin1Char('-'));

// Trims the blanks of what was appended to out since from; ends the line when anything
// is left (or always with keepEmpty), else takes it back.
void closeTrimmedLine(QString& out, qsizetype from, bool keepEmpty = false) {
    qsizetype end = out.size();
    while (end > from && out.at(end - 1) == QLatin1Char(' '))
        --end;
    out.truncate(end);
    qsizetype lead = 0;
    while (from + lead < end && out.at(from + lead) == QLatin1Char(' '))
        ++lead;
    out.remove(from, lead);
    if (keepEmpty || out.size() > from)
        out += kEnd;
}

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

void ExportFormat::appendBlock(QString& out, const archive::AddressRecord& record,
                               const FieldMask& fields) {
    static const QString empty;
    auto v = [&](int f) -> const QString& { return fields[std::size_t(f)] ? record[f] : empty; };
    auto line = [&](const QString& text) {
        out += text;
        out += kEnd;
    };

    // Identity: "Nr. " + NR, four blanks, "Gruppo " + GR, trimmed.
    qsizetype from = out.size();
    if (fields[NR]) {
        out += QLatin1String("Nr. ");
        out += record[NR];
    }
    out += QLatin1String("    ");
    if (!v(GR).isEmpty()) {
        out += QLatin1String("Gruppo ");
        out += v(GR);
    }
    closeTrimmedLine(out, from);

    if (!v(TITOLO).isEmpty())
        line(v(TITOLO));

    // Joined without trimming: an empty NOME2 leaves a trailing blank.
    if (!v(COGNOME).isEmpty() || !v(NOME1).isEmpty() || !v(NOME2).isEmpty()) {
        out += v(COGNOME);
        out += QLatin1Char(' ');
        out += v(NOME1);
        out += QLatin1Char(' ');
        line(v(NOME2));
    }

    if (!v(INDIRIZZO).isEmpty())
        line(v(INDIRIZZO));

    // Place: CAP, CITTA, "(PROV)", " (NAZ)" joined by blanks and trimmed, so a country
    // follows the province after two blanks and blanks between empty parts stay. A CAP
    // of blanks still writes its (empty) line: readers of the file count on it.
    if (!v(CAP).isEmpty() || !v(CITTA).isEmpty() || !v(PROV).isEmpty() || !v(NAZ).isEmpty()) {
        from = out.size();
        out += v(CAP);
        out += QLatin1Char(' ');
        out += v(CITTA);
        out += QLatin1Char(' ');
        if (!v(PROV).isEmpty()) {
            out += QLatin1Char('(');
            out += v(PROV);
            out += QLatin1Char(')');
        }
        out += QLatin1Char(' ');
        if (!v(NAZ).isEmpty()) {
            out += QLatin1String(" (");
            out += v(NAZ);
            out += QLatin1Char(')');
        }
        closeTrimmedLine(out, from, true);
    }

    // Phones: the three parts joined by three blanks and trimmed.
    if (!v(NUM_TEL).isEmpty() || !v(NUM_FAX).isEmpty() || !v(NUM_CEL).isEmpty()) {
        from = out.size();
        const auto labelled = [&](QLatin1String label, int f) {
            if (!v(f).isEmpty()) {
                out += label;
                out += v(f);
            }
        };
        labelled(QLatin1String("Tel. "), NUM_TEL);
        out += QLatin1String("   ");
        labelled(QLatin1String("Fax. "), NUM_FAX);
        out += QLatin1String("   ");
        labelled(QLatin1String("Cell. "), NUM_CEL);
        closeTrimmedLine(out, from);
    }

    const auto labelledLine = [&](QLatin1String label, int f) {
        if (!v(f).isEmpty()) {
            out += label;
            line(v(f));
        }
    };
    labelledLine(QLatin1String("E-Mail: "), E_MAIL);
    labelledLine(QLatin1String("NOTE: "), NOTE);
    labelledLine(QLatin1String("APPUNTI: "), APPUNTI);

    line(kDashes);
}

} // namespace velomar::exchange
