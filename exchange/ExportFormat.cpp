#include "exchange/ExportFormat.h"

#include <cstring>
#include <utility>

namespace velomar::exchange {

namespace {

enum Field {
    NR = 0, TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, NAZ,
    NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI
};

// Writes a block into room made once: a QString::append per piece (some twenty a block)
// cost more than all the copying. The text is cut to what was written when done.
class BlockWriter {
public:
    BlockWriter(QString& out, qsizetype room) : m_out(out), m_pos(out.size()) {
        out.resize(m_pos + room);
        m_text = reinterpret_cast<char16_t*>(out.data());
    }
    ~BlockWriter() { m_out.truncate(m_pos); }
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    qsizetype pos() const { return m_pos; }
    void add(QStringView text) {
        if (!text.isEmpty())
            std::memcpy(m_text + m_pos, text.utf16(), std::size_t(text.size()) * sizeof(char16_t));
        m_pos += text.size();
    }
    void add(QLatin1String text) {
        for (char c : text)
            m_text[m_pos++] = char16_t(static_cast<unsigned char>(c));
    }
    void add(char16_t c) { m_text[m_pos++] = c; }
    void line(QStringView text) {
        add(text);
        endLine();
    }
    void endLine() {
        add(u'\r');
        add(u'\n');
    }
    // Trims the blanks of what was written since from; ends the line when anything is
    // left (or always with keepEmpty), else takes it back.
    void closeTrimmedLine(qsizetype from, bool keepEmpty = false) {
        qsizetype end = m_pos;
        while (end > from && m_text[end - 1] == u' ')
            --end;
        qsizetype lead = 0;
        while (from + lead < end && m_text[from + lead] == u' ')
            ++lead;
        if (lead > 0)
            std::memmove(m_text + from, m_text + from + lead, std::size_t(end - from - lead) * sizeof(char16_t));
        m_pos = end - lead;
        if (keepEmpty || m_pos > from)
            endLine();
    }

private:
    QString& m_out;
    qsizetype m_pos;
    char16_t* m_text;
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

void ExportFormat::appendBlock(QString& out, const archive::AddressRecord& record,
                               const FieldMask& fields) {
    static const QString empty;
    auto v = [&](int f) -> const QString& { return fields[std::size_t(f)] ? record[f] : empty; };
    // Every value once, plus the labels, blanks, line ends and the rule.
    qsizetype room = 256 + RuleWidth;
    for (const QString& value : record.fields)
        room += value.size();
    BlockWriter w(out, room);

    // Identity: "Nr. " + NR, four blanks, "Gruppo " + GR, trimmed.
    qsizetype from = w.pos();
    if (fields[NR]) {
        w.add(QLatin1String("Nr. "));
        w.add(record[NR]);
    }
    w.add(QLatin1String("    "));
    if (!v(GR).isEmpty()) {
        w.add(QLatin1String("Gruppo "));
        w.add(v(GR));
    }
    w.closeTrimmedLine(from);

    if (!v(TITOLO).isEmpty())
        w.line(v(TITOLO));

    // Joined without trimming: an empty NOME2 leaves a trailing blank.
    if (!v(COGNOME).isEmpty() || !v(NOME1).isEmpty() || !v(NOME2).isEmpty()) {
        w.add(v(COGNOME));
        w.add(u' ');
        w.add(v(NOME1));
        w.add(u' ');
        w.line(v(NOME2));
    }

    if (!v(INDIRIZZO).isEmpty())
        w.line(v(INDIRIZZO));

    // Place: CAP, CITTA, "(PROV)", " (NAZ)" joined by blanks and trimmed, so a country
    // follows the province after two blanks and blanks between empty parts stay. A CAP
    // of blanks still writes its (empty) line: readers of the file count on it.
    if (!v(CAP).isEmpty() || !v(CITTA).isEmpty() || !v(PROV).isEmpty() || !v(NAZ).isEmpty()) {
        from = w.pos();
        w.add(v(CAP));
        w.add(u' ');
        w.add(v(CITTA));
        w.add(u' ');
        if (!v(PROV).isEmpty()) {
            w.add(u'(');
            w.add(v(PROV));
            w.add(u')');
        }
        w.add(u' ');
        if (!v(NAZ).isEmpty()) {
            w.add(QLatin1String(" ("));
            w.add(v(NAZ));
            w.add(u')');
        }
        w.closeTrimmedLine(from, true);
    }

    // Phones: the three parts joined by three blanks and trimmed.
    const auto labelled = [&](QLatin1String label, int f) {
        if (!v(f).isEmpty()) {
            w.add(label);
            w.add(v(f));
        }
    };
    if (!v(NUM_TEL).isEmpty() || !v(NUM_FAX).isEmpty() || !v(NUM_CEL).isEmpty()) {
        from = w.pos();
        labelled(QLatin1String("Tel. "), NUM_TEL);
        w.add(QLatin1String("   "));
        labelled(QLatin1String("Fax. "), NUM_FAX);
        w.add(QLatin1String("   "));
        labelled(QLatin1String("Cell. "), NUM_CEL);
        w.closeTrimmedLine(from);
    }

    for (const auto& [label, f] : {std::pair{QLatin1String("E-Mail: "), int(E_MAIL)},
                                   std::pair{QLatin1String("NOTE: "), int(NOTE)},
                                   std::pair{QLatin1String("APPUNTI: "), int(APPUNTI)}}) {
        if (!v(f).isEmpty()) {
            w.add(label);
            w.line(v(f));
        }
    }

    for (int i = 0; i < RuleWidth; ++i)
        w.add(u'-');
    w.endLine();
}

} // namespace velomar::exchange
