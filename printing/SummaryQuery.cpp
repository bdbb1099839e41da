#include "printing/SummaryQuery.h"

#include "archive/Database.h"
#include "archive/SqlTranslator.h"
#include "archive/Statement.h"

#include <QStringList>

namespace velomar::printing {

bool SummaryQuery::isSummaryField(const QString& field) {
    static const QStringList fields = {QStringLiteral("GR"), QStringLiteral("CAP"),
                                       QStringLiteral("CITTA"), QStringLiteral("PROV"),
                                       QStringLiteral("NAZ")};
    return fields.contains(field);
}

QString SummaryQuery::statement(const QString& field, Order order) {
    if (!isSummaryField(field))
        return {};
    // Every row counts, so the addresses without a value show their real number.
    return QStringLiteral("SELECT %1, COUNT(*) AS INDIRIZZI FROM TabMAIL GROUP BY %1 ORDER BY %2")
        .arg(field, order == Order::ByValue ? field : QStringLiteral("COUNT(*)"));
}

std::vector<SummaryRow> SummaryQuery::run(archive::Database& db, const QString& field,
                                          Order order) {
    std::vector<SummaryRow> rows;
    const QString sql = statement(field, order);
    if (sql.isEmpty())
        return rows;
    // Grouped and ordered as the program compares texts (case and accents aside).
    archive::Statement st = archive::SqlTranslator::prepare(db, sql);
    while (st.step())
        rows.push_back({st.isNull(0) ? QString(QLatin1String("")) : st.text(0), st.integer(1)});
    return rows;
}

} // namespace velomar::printing
