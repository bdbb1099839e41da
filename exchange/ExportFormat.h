#pragma once

#include "archive/AddressRecord.h"

#include <QDate>
#include <QStringList>
#include <array>

namespace velomar::exchange {

// Which of the 17 fields (index as in the address record) the user ticked.
using FieldMask = std::array<bool, archive::AddressRecord::FieldCount>;

// The text export file: a header, then one block per address. A field whose box is not ticked counts as empty.
class ExportFormat {
public:
    static constexpr int RuleWidth = 70;

    static QString dateText(const QDate& date); // "06/12/2026"
    static QStringList header(const QDate& date, const QString& description);
    // Appends one address's block to out, every line ended by CR LF.
    static void appendBlock(QString& out, const archive::AddressRecord& record,
                            const FieldMask& fields);

    // Removes leading and trailing blanks (spaces only: tabs and line breaks of a memo stay).
    static QString trimBlanks(const QString& text);
};

} // namespace velomar::exchange
