#include "exchange/VCardReader.h"

#include "common/SystemErrorText.h"
#include "exchange/BinaryFile.h"
#include "exchange/ExchangeError.h"
#include "exchange/TextEncoding.h"

#include <QSet>

namespace velomar::exchange {

namespace {

constexpr qint64 kChunkSize = 64 * 1024;

struct Property {
    QString name;        // upper case, without group
    QSet<QString> types; // upper case: HOME WORK CELL FAX VOICE PREF ...
    bool pref = false;
    bool quotedPrintable = false;
    QString charset;
    QString value; // raw, still escaped
};

// Splits at separator outside double quotes (parameter values of 4.0 may be quoted).
QStringList splitOutsideQuotes(QStringView text, QChar separator) {
    QStringList parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'"')
            quoted = !quoted;
        else if (!quoted && text[i] == separator) {
            parts.append(text.mid(start, i - start).toString());
            start = i + 1;
        }
    }
    parts.append(text.mid(start).toString());
    return parts;
}

bool parseLine(const QString& line, Property& p) {
    // The first ':' outside quotes ends name and parameters.
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (!quoted && line[i] == u':') {
            colon = i;
            break;
        }
    }
    if (colon <= 0)
        return false;
    const QStringList head = splitOutsideQuotes(QStringView(line).left(colon), u';');
    p = Property();
    p.name = head.first().trimmed().toUpper();
    if (const qsizetype dot = p.name.lastIndexOf(u'.'); dot >= 0)
        p.name = p.name.mid(dot + 1); // "item1.ADR"
    p.value = line.mid(colon + 1);
    for (qsizetype i = 1; i < head.size(); ++i) {
        const QString param = head[i].trimmed();
        const qsizetype eq = param.indexOf(u'=');
        const QString key = (eq < 0 ? param : param.left(eq)).trimmed().toUpper();
        QString value = eq < 0 ? QString() : param.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        if (eq < 0) {
            // 2.1 writes bare parameters: TEL;WORK;FAX, ADR;QUOTED-PRINTABLE
            if (key == u"QUOTED-PRINTABLE")
                p.quotedPrintable = true;
            else
                p.types.insert(key);
        } else if (key == u"TYPE") {
            for (const QString& t : value.split(u',', Qt::SkipEmptyParts))
                p.types.insert(t.trimmed().toUpper());
        } else if (key == u"ENCODING") {
            p.quotedPrintable = value.compare(u"QUOTED-PRINTABLE", Qt::CaseInsensitive) == 0;
        } else if (key == u"CHARSET") {
            p.charset = value;
        } else if (key == u"PREF") {
            p.pref = true;
        }
    }
    p.pref = p.pref || p.types.contains(QStringLiteral("PREF"));
    return true;
}

QByteArray decodeQuotedPrintable(const QByteArray& in) {
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '=' && i + 2 < in.size()) {
            bool ok = false;
            const int byte = in.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(byte));
                i += 2;
                continue;
            }
        }
        out.append(in[i]);
    }
    return out;
}

// QUOTED-PRINTABLE undone and the bytes read in the charset they name; without one, UTF-8
// when they are valid UTF-8, else Windows-1252.
QString decodeValue(const Property& p, qint64& replaced) {
    if (!p.quotedPrintable)
        return p.value;
    const QByteArray bytes = decodeQuotedPrintable(p.value.toUtf8());
    QString encoding;
    try {
        if (!p.charset.isEmpty())
            encoding = TextEncoding::canonicalName(p.charset);
    } catch (const ExchangeError&) {
        // An exotic charset: guess from the bytes as if none were named.
    }
    if (encoding.isEmpty())
        encoding = TextEncoding::detect(bytes);
    TextEncoding decoder(encoding);
    QString text = decoder.decode(bytes);
    replaced += decoder.replaced();
    return text;
}

// Splits a value at unescaped separators, then undoes the escapes of each part.
QStringList components(const QString& value, QStringView separators) {
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar e = value[++i];
            if (e == u'n' || e == u'N')
                current.append(u'\n');
            else if (e == u'\\' || e == u';' || e == u',' || e == u':')
                current.append(e);
            else
                current.append(c).append(e); // not an escape (a Windows path in a 2.1 note)
        } else if (separators.contains(c)) {
            parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    parts.append(current);
    return parts;
}

QString part(const QStringList& parts, qsizetype i) {
    return i < parts.size() ? parts[i].trimmed() : QString();
}

QString oneLine(const QString& text) {
    QStringList lines = text.split(u'\n');
    for (QString& l : lines) {
        if (l.endsWith(u'\r'))
            l.chop(1);
        l = l.trimmed();
    }
    lines.removeAll(QString());
    return lines.join(QStringLiteral(", "));
}

// The first value offered, unless a preferred one comes later.
struct Pick {
    QString value;
    bool pref = false;
    void offer(const QString& v, bool p) {
        if (!v.isEmpty() && (value.isEmpty() || (p && !pref))) {
            value = v;
            pref = p;
        }
    }
};

struct Address {
    QStringList fields; // via, localita, provincia, cap, paese, tipo
    bool pref = false;
};

struct Card {
    QStringList values = QStringList(VCardReader::ColumnCount);
    Pick phone, fax, mobile, email;
    Address home, work;
    bool hasAddress = false, hasWork = false;
    QStringList notes, categories;
    qint64 replaced = 0; // U+FFFD made decoding QUOTED-PRINTABLE values

    void add(const Property& p) {
        const QString& name = p.name;
        if (name == u"N") {
            const QStringList n = components(decodeValue(p, replaced), u";");
            for (int i = 0; i < 5; ++i)
                values[VCardReader::Surname + i] = oneLine(part(n, i));
        } else if (name == u"FN") {
            values[VCardReader::FormattedName] = oneLine(components(decodeValue(p, replaced), u"").first());
        } else if (name == u"ORG") {
            const QStringList org = components(decodeValue(p, replaced), u";");
            values[VCardReader::Organization] = oneLine(part(org, 0));
            QStringList units = org.mid(1);
            for (QString& u : units)
                u = oneLine(u);
            units.removeAll(QString());
            values[VCardReader::Department] = units.join(QStringLiteral(", "));
        } else if (name == u"TITLE") {
            values[VCardReader::JobTitle] = oneLine(components(decodeValue(p, replaced), u"").first());
        } else if (name == u"ADR") {
            addAddress(p);
        } else if (name == u"TEL") {
            QString number = oneLine(components(decodeValue(p, replaced), u"").first());
            if (number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive))
                number = number.mid(4);
            if (p.types.contains(QStringLiteral("FAX")))
                fax.offer(number, p.pref);
            else if (p.types.contains(QStringLiteral("CELL")) ||
                     p.types.contains(QStringLiteral("MOBILE")))
                mobile.offer(number, p.pref);
            else
                phone.offer(number, p.pref);
        } else if (name == u"EMAIL") {
            email.offer(oneLine(components(decodeValue(p, replaced), u"").first()), p.pref);
        } else if (name == u"NOTE") {
            const QString note = components(decodeValue(p, replaced), u"").first().trimmed();
            if (!note.isEmpty())
                notes.append(note);
        } else if (name == u"CATEGORIES") {
            for (const QString& c : components(decodeValue(p, replaced), u",;")) {
                if (!c.trimmed().isEmpty())
                    categories.append(c.trimmed());
            }
        }
    }

    void addAddress(const Property& p) {
        const QStringList a = components(decodeValue(p, replaced), u";");
        QStringList street;
        for (int i : {2, 1, 0}) {
            QString s = oneLine(part(a, i));
            if (i == 0 && !s.isEmpty() && s.front().isDigit())
                s = QStringLiteral("C.P. ") + s; // a bare PO box number
            if (!s.isEmpty())
                street.append(s);
        }
        const bool isWork = p.types.contains(QStringLiteral("WORK"));
        Address address;
        address.fields = {street.join(QStringLiteral(", ")),
                          oneLine(part(a, 3)),
                          oneLine(part(a, 4)),
                          oneLine(part(a, 5)),
                          oneLine(part(a, 6)),
                          isWork                                     ? QStringLiteral("lavoro")
                          : p.types.contains(QStringLiteral("HOME")) ? QStringLiteral("casa")
                                                                     : QString()};
        address.pref = p.pref;
        if (address.fields.mid(0, 5).join(QString()).isEmpty())
            return;
        if (!hasAddress || (address.pref && !home.pref)) {
            home = address;
            hasAddress = true;
        }
        if (isWork && (!hasWork || (address.pref && !work.pref))) {
            work = address;
            hasWork = true;
        }
    }

    QStringList finish() {
        for (int i = 0; hasAddress && i < 6; ++i)
            values[VCardReader::Street + i] = home.fields[i];
        for (int i = 0; hasWork && i < 5; ++i)
            values[VCardReader::WorkStreet + i] = work.fields[i];
        values[VCardReader::Phone] = phone.value;
        values[VCardReader::Fax] = fax.value;
        values[VCardReader::Mobile] = mobile.value;
        values[VCardReader::Email] = email.value;
        values[VCardReader::Note] = notes.join(u'\n');
        values[VCardReader::Categories] = categories.join(QStringLiteral(", "));
        return values;
    }
};

// A .vcf file may have something before its first card; it must have one.
bool holdsCard(QByteArrayView sample) {
    QByteArray ascii;
    ascii.reserve(sample.size());
    for (char c : sample) {
        if (c != 0)
            ascii.append(c);
    }
    return ascii.toUpper().contains("BEGIN:VCARD");
}

bool isCardLine(QStringView line, QStringView what) {
    return line.trimmed().compare(what, Qt::CaseInsensitive) == 0;
}

} // namespace

const QStringList& VCardReader::columnNames() {
    static const QStringList names = {"N.cognome",
                                      "N.nome",
                                      "N.secondo",
                                      "N.titolo",
                                      "N.suffisso",
                                      "FN",
                                      "ORG",
                                      "ORG.reparto",
                                      "TITLE",
                                      "ADR.via",
                                      "ADR.localita",
                                      "ADR.provincia",
                                      "ADR.cap",
                                      "ADR.paese",
                                      "ADR.tipo",
                                      "ADR.lavoro.via",
                                      "ADR.lavoro.localita",
                                      "ADR.lavoro.provincia",
                                      "ADR.lavoro.cap",
                                      "ADR.lavoro.paese",
                                      "TEL.voce",
                                      "TEL.fax",
                                      "TEL.cellulare",
                                      "EMAIL",
                                      "NOTE",
                                      "CATEGORIES"};
    return names;
}

bool VCardReader::looksLikeVCard(QByteArrayView sample) {
    // UTF-16 compared with its zero bytes taken out; a BOM and blank lines come first.
    QByteArray ascii;
    ascii.reserve(sample.size());
    for (char c : sample) {
        if (c != 0)
            ascii.append(c);
    }
    if (ascii.startsWith("\xEF\xBB\xBF"))
        ascii.remove(0, 3);
    else if (ascii.startsWith("\xFF\xFE") || ascii.startsWith("\xFE\xFF"))
        ascii.remove(0, 2);
    return ascii.trimmed().left(11).toUpper() == "BEGIN:VCARD";
}

VCardReader::VCardReader(const QString& path, const QString& encoding) : m_file(path) {
    if (!m_file.open(QIODevice::ReadOnly))
        throw ExchangeError(ExchangeError::ReadFailed,
                            QStringLiteral("Impossibile leggere il file \"%1\": %2")
                                .arg(path, common::SystemErrorText::ofFile(m_file)));
    const QByteArray sample = m_file.peek(kChunkSize);
    m_decoder = std::make_unique<TextEncoding>(encoding.isEmpty() ? TextEncoding::detect(m_file)
                                                                  : encoding);
    BinaryFile::requireTextHead(sample, m_decoder->name(), path);
    if (!holdsCard(sample))
        throw ExchangeError(ExchangeError::BadInput,
                            QStringLiteral("Il file \"%1\" non contiene schede vCard").arg(path));
    const QString text = TextEncoding(m_decoder->name()).decode(sample);
    const qsizetype at = text.indexOf(QStringLiteral("VERSION:"), 0, Qt::CaseInsensitive);
    if (at >= 0)
        m_version = text.mid(at + 8, 3).trimmed();
}

VCardReader::~VCardReader() = default;

bool VCardReader::fill() {
    if (m_atEnd)
        return false;
    const QByteArray chunk = m_file.read(kChunkSize);
    if (chunk.isEmpty()) {
        if (m_file.error() != QFileDevice::NoError)
            throw ExchangeError::readFailed(m_file);
        m_atEnd = true;
        return false;
    }
    BinaryFile::requireText(chunk, m_decoder->name(), m_file.fileName());
    m_buffer.remove(0, m_pos);
    m_pos = 0;
    m_buffer.append(m_decoder->decode(chunk));
    return true;
}

bool VCardReader::readPhysical(QString& line) {
    // The search for the line break goes on where the last chunk stopped it.
    qsizetype i = m_pos;
    for (;;) {
        while (i < m_buffer.size() && m_buffer[i] != u'\n' && m_buffer[i] != u'\r')
            ++i;
        // A CR at the end of the buffer may be the first half of CRLF.
        const bool complete =
            i < m_buffer.size() && (m_buffer[i] == u'\n' || i + 1 < m_buffer.size());
        if (i - m_pos > kMaxTextLine)
            throw ExchangeError::lineTooLong(m_line + 1);
        if (complete || (m_atEnd && m_pos < m_buffer.size())) {
            line = m_buffer.mid(m_pos, i - m_pos);
            if (i < m_buffer.size()) {
                const bool cr = m_buffer[i] == u'\r';
                ++i;
                if (cr && i < m_buffer.size() && m_buffer[i] == u'\n')
                    ++i;
            }
            m_pos = i;
            ++m_line;
            return true;
        }
        const qsizetype scanned = i - m_pos;
        if (!fill() && m_pos >= m_buffer.size())
            return false;
        i = m_pos + scanned;
    }
}

bool VCardReader::readLogical(QString& line, qint64& number) {
    if (m_hasPending) {
        line = m_pending;
        number = m_line; // the line read ahead is the last one counted
        m_hasPending = false;
    } else if (!readPhysical(line)) {
        return false;
    } else {
        number = m_line;
    }
    QString more;
    const qsizetype colon = line.indexOf(u':');
    const bool qp = colon > 0 && QStringView(line).left(colon).contains(
                                     QStringLiteral("QUOTED-PRINTABLE"), Qt::CaseInsensitive);
    for (;;) {
        if (qp && line.endsWith(u'=')) {
            // Soft line break of QUOTED-PRINTABLE: the next line goes on as it is, unless
            // it ends or starts a card (a last "=" left by a careless writer).
            if (!readPhysical(more))
                break;
            line.chop(1);
            if (isCardLine(more, u"END:VCARD") || isCardLine(more, u"BEGIN:VCARD")) {
                m_pending = more;
                m_hasPending = true;
                break;
            }
            line += more;
            if (line.size() > kMaxTextLine)
                throw ExchangeError::lineTooLong(number);
            continue;
        }
        if (!readPhysical(more))
            break;
        if (!more.isEmpty() && (more[0] == u' ' || more[0] == u'\t')) {
            // Folding: 2.1 keeps the white space, 3.0 and 4.0 drop the one character.
            line += m_cardVersion == u"2.1" ? QStringView(more) : QStringView(more).mid(1);
            if (line.size() > kMaxTextLine)
                throw ExchangeError::lineTooLong(number);
            continue;
        }
        m_pending = more;
        m_hasPending = true;
        break;
    }
    return true;
}

bool VCardReader::next(QStringList& values) {
    QString line;
    qint64 number = 0;
    Property property;
    std::optional<Card> card;
    const auto open = [&](qint64 at) {
        card.emplace();
        m_cardVersion = QStringLiteral("3.0");
        m_position = at;
    };
    if (m_openAt > 0) {
        open(m_openAt);
        m_openAt = 0;
    }
    bool agentFollows = false; // "AGENT:" of 2.1 with its card on the next line
    bool inAgent = false;      // the lines of that card are not the owner's
    while (readLogical(line, number)) {
        if (isCardLine(line, u"BEGIN:VCARD")) {
            if (card && agentFollows) {
                agentFollows = false;
                inAgent = true;
            } else if (card) {
                // The open card lost its END: it ends here, this line starts the next.
                ++m_unclosed;
                m_openAt = number;
                m_replacedInValues += card->replaced;
                values = card->finish();
                return true;
            } else {
                open(number);
            }
            continue;
        }
        agentFollows = false;
        if (!card || !parseLine(line, property))
            continue; // base64 lines of 2.1, blank lines, text between cards
        const QString value = property.value.trimmed();
        if (property.name == u"END" && value.compare(u"VCARD", Qt::CaseInsensitive) == 0) {
            if (inAgent) {
                inAgent = false;
                continue;
            }
            m_replacedInValues += card->replaced;
            values = card->finish();
            return true;
        }
        if (inAgent)
            continue;
        if (property.name == u"VERSION")
            m_cardVersion = value;
        else if (property.name == u"AGENT" && value.isEmpty())
            agentFollows = true;
        else
            card->add(property);
    }
    if (card) {
        // The last card lost its END: what it has is kept.
        ++m_unclosed;
        m_replacedInValues += card->replaced;
        values = card->finish();
        return true;
    }
    return false;
}

QStringList VCardReader::readNotes() const {
    QStringList notes;
    if (m_unclosed > 0)
        notes << QStringLiteral("Schede senza END:VCARD, chiuse dove inizia la seguente o dove "
                                "finisce il file: %1.")
                     .arg(m_unclosed);
    if (const QString note = m_decoder->replacedNote(); !note.isEmpty())
        notes << note;
    if (m_replacedInValues > 0)
        notes << TextEncoding::replacedNote(QStringLiteral("nei valori QUOTED-PRINTABLE"),
                                            m_replacedInValues);
    return notes;
}

QString VCardReader::description() const {
    return QStringLiteral("vCard %1, codifica %2")
        .arg(m_version.isEmpty() ? QStringLiteral("?") : m_version, m_decoder->name());
}

} // namespace velomar::exchange
