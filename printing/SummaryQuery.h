#pragma once

#include <QString>
#include <vector>

namespace velomar::archive {
class Database;
}

namespace velomar::printing {

struct SummaryRow {
    QString value; // "" for the addresses whose field is Null
    qint64 count = 0;
    bool isNull = false; // the addresses without any value, apart from those with ""

    // The value as the grid and the report show it: the Null row is marked, so it is not
    // taken for the row of the empty value.
    QString shownValue() const;
};

// Address counts grouped by one field of TabMAIL (GR, CAP, CITTA, PROV or NAZ). Every
// row is counted, so the group of addresses without a value shows its real number.
class SummaryQuery {
public:
    enum class Order { ByValue, ByCount };

    static bool isSummaryField(const QString& field);
    // The grouping statement run for a field; "" for a field that is not a summary field.
    // Groups that differ only in case or accents are merged afterwards; equal counts
    // keep the order by value.
    static QString statement(const QString& field);
    // Throws DatabaseError; an unknown field gives no rows.
    static std::vector<SummaryRow> run(archive::Database& db, const QString& field, Order order);
};

} // namespace velomar::printing
