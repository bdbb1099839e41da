#pragma once

#include "archive/Recordset.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace velomar::archive {

// The Address record layout of TabMAIL: field order, column table (headings and widths
// in characters), entry-form captions and the 17 sort orders, all by field index 0..16.
class DataModel {
public:
    static constexpr int FieldCount = 17; // NR .. APPUNTI; SERV follows them
    static constexpr int SortCount = 17;

    enum Field {
        NR, TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, NAZ,
        NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI
    };

    static QString fieldName(int index);     // "NR" .. "APPUNTI"; "" out of range
    static QString columnHeading(int index); // "Nr." .. "Appunti"
    static int columnWidth(int index);       // characters, for lists and export
    static QString entryCaption(int index);  // placeholder of the entry form box; "" for none
    static int fieldIndex(const QString& name); // case-insensitive; -1 when unknown
    // Characters a field holds as typed in; 0 for NR (a number) and APPUNTI (a memo).
    static int fieldSize(int index);
    // Characters of a field any print can show or any print rule needs: fieldSize; the
    // list's 170 for the memo; 33 for CAP and CITTA (the label's locality line); 3 for
    // PROV (one more than printed, to tell a 2-letter province); 0 for NR.
    static int printWidth(int index);
    // The field as printing reads it: "substr(COGNOME, 1, 35) AS COGNOME" (substr counts
    // characters on text), so a value stored far longer by another tool costs no more
    // than one that fits; CAP and CITTA read printWidth characters after their leading
    // blanks; "NR" as it is.
    static QString printColumn(int index);
    static QStringList printColumns(); // NR .. APPUNTI

    // Every column of TabMAIL in table order, SERV last.
    static QStringList tabMailColumns();
    static QStringList columnHeadings();

    // Sort text of an order ("CAP,CITTA,COGNOME"); nullopt out of 0..16.
    static std::optional<QString> sortSpec(int index);

    // Sets the record set's sort to the order; an index out of range changes nothing.
    static void applySortOrder(Recordset& rs, int index) {
        if (const auto spec = sortSpec(index))
            rs.setSort(*spec);
    }

    // The Null rule: a Null value reads as the default.
    static QVariant nullRule(const QVariant& value, const QVariant& fallback) {
        return (!value.isValid() || value.isNull()) ? fallback : value;
    }
    static QString nullText(const QVariant& value) {
        return (!value.isValid() || value.isNull()) ? QString(QLatin1String("")) : value.toString();
    }
};

} // namespace velomar::archive
