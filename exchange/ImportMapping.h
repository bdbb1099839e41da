#pragma once

#include "archive/AddressRecord.h"

#include <QString>
#include <QStringList>
#include <array>

namespace velomar::exchange {

// Which source column fills each field of an Address record (index 1..16; NR is always
// numbered by the target). Filled from the header names of the usual address exports and
// changed freely by the user.
// Contacts exports number their repeated values in groups ("Phone 2 - Type" / "Phone 2 -
// Value", "Address 1 - Street"...): the phone, e-mail and address fields then come from
// the groups row by row, each phone going by its type (Mobile to NUM_CEL, a fax type to
// NUM_FAX, Main, Home, Work, Other or none to NUM_TEL; others to the note only), the
// address from the Home group, else the first with a street, unless one is chosen.
class ImportMapping {
public:
    static constexpr int NoColumn = -1;
    static constexpr int FromGroups = -2; // as a field's column: filled from the groups
    static constexpr int AutoAddress = -1;

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

    // Columns that fill no field (nor any group).
    QList<int> unmappedColumns() const;
    // Every column that may fill a field: its own, fallbacks, groups.
    QList<int> sourcesOf(int field) const;

    // How the window names what the groups fill for a field ("Phone 1-3, secondo il
    // tipo"); empty when no group fills it.
    QString groupCaption(int field) const;
    // The address groups ("Address 1"...) and which one fills the address fields:
    // AutoAddress or an index.
    QStringList addressNames() const;
    int addressChoice() const { return m_addressChoice; }
    void setAddressChoice(int index);
    // The address group a row's address comes from (-1 when none has a value), and its
    // name with the row's type ("Address 2 (Home)"; empty for none).
    int addressTaken(const QStringList& values) const;
    QString addressTakenName(const QStringList& values) const;

    // Copies the mapped values of a source row into record (fields 1..16; others empty).
    void apply(const QStringList& values, archive::AddressRecord& record) const;
    // "Phone 2 (Pager): 333 1", one line for each group value of the row that filled no
    // field: for the note.
    QStringList groupLeftovers(const QStringList& values) const;

private:
    struct Typed {
        QString name; // "Phone 2"
        int type = NoColumn;
        int value = NoColumn;
    };
    struct PostalAddress {
        QString name; // "Address 1"
        int type = NoColumn;
        std::array<int, 5> parts{NoColumn, NoColumn, NoColumn, NoColumn, NoColumn}; // street, CAP, city, region, country
    };
    void findGroups();
    void route(const QStringList& values, archive::AddressRecord* record, QStringList* leftovers) const;
    bool fromGroups(int field) const;

    QStringList m_columns;
    std::array<int, archive::AddressRecord::FieldCount> m_field{
        NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn,
        NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn, NoColumn};
    QList<int> m_surnameFallbacks;
    QList<Typed> m_phones, m_emails;
    QList<PostalAddress> m_addresses;
    int m_addressChoice = AutoAddress;
    QList<int> m_grouped; // every column of a group, Formatted and PO Box included
};

} // namespace velomar::exchange
