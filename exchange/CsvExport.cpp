#include "exchange/CsvExport.h"

#include "archive/DataModel.h"

namespace velomar::exchange {

QString CsvExport::header(const FieldMask& fields) {
    QStringList names;
    for (int f = 0; f < archive::AddressRecord::FieldCount; ++f)
        if (fields[std::size_t(f)])
            names << archive::DataModel::fieldName(f);
    return names.join(u',');
}

void CsvExport::appendValue(QString& out, const QString& value) {
    bool quote = false;
    for (const QChar c : value)
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') {
            quote = true;
            break;
        }
    if (!quote) {
        out += value;
        return;
    }
    out += u'"';
    for (const QChar c : value) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
}

void CsvExport::appendRow(QString& out, const archive::AddressRecord& record,
                          const FieldMask& fields) {
    bool first = true;
    for (int f = 0; f < archive::AddressRecord::FieldCount; ++f) {
        if (!fields[std::size_t(f)])
            continue;
        if (!first)
            out += u',';
        first = false;
        appendValue(out, record[f]);
    }
    out += QLatin1String("\r\n");
}

} // namespace velomar::exchange
