#pragma once

#include "exchange/ExportFormat.h"

namespace velomar::exchange {

// The CSV export: a header of our field names, then one line per address, comma
// separated, quoted as RFC 4180 wants (values with commas, quotes or line breaks),
// CR LF after every line. A file with this header comes back as it was when imported.
class CsvExport {
public:
    static QString header(const FieldMask& fields);
    static void appendRow(QString& out, const archive::AddressRecord& record,
                          const FieldMask& fields);
    static void appendValue(QString& out, const QString& value);
};

} // namespace velomar::exchange
