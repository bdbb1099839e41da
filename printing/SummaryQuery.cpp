#include "printing/SummaryQuery.h"

#include "archive/Database.h"
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
    // Values that differ only in case are one group, as the archive compares text.
    const QString key = field + QStringLiteral(" COLLATE NOCASE");
    return QStringLiteral("SELECT %1, COUNT(*) AS INDIRIZZI FROM TabMAIL GROUP BY %2 ORDER BY %3")
        .arg(field, key, order == Order::ByValue ? key : QStringLiteral("COUNT(*)"));
}

std::vector<SummaryRow> SummaryQuery::run(archive::Database& db, const QString& field,
                                          Order order) {
    std::vector<SummaryRow> rows;
    const QString sql = statement(field, order);
    if (sql.isEmpty())
        return rows;
    archive::Statement st(db, sql);
    while (st.step())
        rows.push_back({st.isNull(0) ? QString(QLatin1String("")) : st.text(0), st.integer(1)});
    return rows;
}

} // namespace velomar::printing
