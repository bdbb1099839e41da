#pragma once

#include "exchange/ExportFormat.h"

namespace velomar::exchange {

// The vCard 3.0 export: one card per address, for phones and mail programs. N and FN
// always; TITLE (the role), ADR;TYPE=home, TEL by type, EMAIL, NOTE and CATEGORIES (the
// group) when they have a value. A field whose box is not ticked counts as empty.
class VCardExport {
public:
    static void appendCard(QString& out, const archive::AddressRecord& record,
                           const FieldMask& fields);
    // Backslash, comma, semicolon and line breaks escaped as the format wants.
    static QString escape(const QString& value);
    // The line folded at 75 bytes of UTF-8 (continuations start with a blank), CR LF ended.
    static void appendLine(QString& out, const QString& line);
};

} // namespace velomar::exchange
