#include "exchange/VCardExport.h"

#include "archive/DataModel.h"

namespace velomar::exchange {

namespace {

using archive::DataModel;

int utf8Length(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return 1;
    if (u < 0x800)
        return 2;
    if (c.isHighSurrogate())
        return 4; // the pair together
    if (c.isLowSurrogate())
        return 0;
    return 3;
}

} // namespace

QString VCardExport::escape(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' || c == u',' || c == u';') {
            out += u'\\';
            out += c;
        } else if (c == u'\r') {
            out += QLatin1String("\\n");
            if (i + 1 < value.size() && value[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += QLatin1String("\\n");
        } else {
            out += c;
        }
    }
    return out;
}

void VCardExport::appendLine(QString& out, const QString& line) {
    int bytes = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const int n = utf8Length(line[i]);
        if (n > 0 && bytes + n > 75) {
            out += QLatin1String("\r\n ");
            bytes = 1;
        }
        out += line[i];
        bytes += n;
    }
    out += QLatin1String("\r\n");
}

void VCardExport::appendCard(QString& out, const archive::AddressRecord& record,
                             const FieldMask& fields) {
    const auto value = [&](int f) { return fields[std::size_t(f)] ? record[f] : QString(); };
    const auto property = [&](const QString& name, const QString& text) {
        if (!text.isEmpty())
            appendLine(out, name + u':' + escape(text));
    };
    out += QLatin1String("BEGIN:VCARD\r\nVERSION:3.0\r\n");
    appendLine(out, QStringLiteral("N:%1;%2;;%3;")
                        .arg(escape(value(DataModel::COGNOME)), escape(value(DataModel::NOME1)),
                             escape(value(DataModel::TITOLO))));
    QStringList name;
    for (int f : {DataModel::TITOLO, DataModel::NOME1, DataModel::COGNOME})
        if (!value(f).isEmpty())
            name << value(f);
    appendLine(out, QStringLiteral("FN:") + escape(name.join(u' ')));
    property(QStringLiteral("TITLE"), value(DataModel::NOME2));
    QStringList adr;
    bool anyAddress = false;
    for (int f : {DataModel::INDIRIZZO, DataModel::CITTA, DataModel::PROV, DataModel::CAP,
                  DataModel::NAZ}) {
        adr << escape(value(f));
        anyAddress = anyAddress || !value(f).isEmpty();
    }
    if (anyAddress)
        appendLine(out, QStringLiteral("ADR;TYPE=home:;;") + adr.join(u';'));
    property(QStringLiteral("TEL;TYPE=voice"), value(DataModel::NUM_TEL));
    property(QStringLiteral("TEL;TYPE=fax"), value(DataModel::NUM_FAX));
    property(QStringLiteral("TEL;TYPE=cell"), value(DataModel::NUM_CEL));
    property(QStringLiteral("EMAIL;TYPE=internet"), value(DataModel::E_MAIL));
    QStringList notes;
    for (int f : {DataModel::NOTE, DataModel::APPUNTI})
        if (!value(f).isEmpty())
            notes << value(f);
    property(QStringLiteral("NOTE"), notes.join(u'\n'));
    property(QStringLiteral("CATEGORIES"), value(DataModel::GR));
    out += QLatin1String("END:VCARD\r\n");
}

} // namespace velomar::exchange
