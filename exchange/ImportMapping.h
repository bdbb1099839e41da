#pragma once

#include "archive/AddressRecord.h"

#include <QString>
#include <QStringList>
#include <array>

namespace velomar::exchange {

// Which source column fills each field of an Address record (index 1..16; NR is always
// numbered by the target). Filled from the header names of the usual address exports and
// changed freely by the user.
class ImportMapping {
public:
    static constexpr int NoColumn = -1;

    ImportMapping() = default;
    explicit ImportMapping(QStringList columns) : m_columns(std::move(columns)) {}

    // Every field whose name (Italian, English or of a known export) appears in the header.
    static ImportMapping fromHeader(const QStringList& columns);

    // Key under which column names are compared: lower case, without accents, blanks or
    // punctuation ("E-mail Address" -> "emailaddress").
    static QString nameKey(const QString& name);
    // The field a column name stands for on its own (-1 when none): for messages and tests.
    static int fieldOfName(const QString& name);

    const QStringList& columns() const { return m_columns; }
    int column(int field) const;
    // Sets the column of a field; a field set by hand has no fallback.
    void setColumn(int field, int column);
    // The columns, best first, that fill COGNOME in the rows where the surname is empty
    // (a company, a display name). Only found from the header.
    QList<int> fallbacks(int field) const;
    // By names, for the command line: FIELD as in TabMAIL (any case) and a column of the
    // source (exact, else by key). An empty column clears the field. False when either
    // name is unknown.
    bool set(const QString& fieldName, const QString& columnName);

    // True when the header is made only of our field names and each one fills its own
    // field: a file we wrote ourselves, stored as it is.
    bool isOneToOne() const;

    // Columns that fill no field.
    QList<int> unmappedColumns() const;

    // Copies the mapped values of a source row into record (fields 1..16; others empty).
    void apply(const QStringList& values, archive::AddressRecord& record) const;

private:
    QStringList m_columns;
    std::array<int, archive::AddressRecord::FieldCount> m_field{
        NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn,
        NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn};
    QList<int> m_surnameFallbacks;
};

} // namespace velomar::exchange
