#include "printing/SummaryQuery.h"

#include "archive/DataModel.h"
#include "archive/Database.h"
#include "archive/ItalianCollation.h"
#include "archive/Statement.h"

#include <QStringList>
#include <algorithm>
#include <map>
#include <string>

namespace velomar::printing {

QString SummaryRow::shownValue() const {
    return isNull ? QStringLiteral("(non indicato)") : value;
}

bool SummaryQuery::isSummaryField(const QString& field) {
    static const QStringList fields = {QStringLiteral("GR"), QStringLiteral("CAP"),
                                       QStringLiteral("CITTA"), QStringLiteral("PROV"),
                                       QStringLiteral("NAZ")};
    return fields.contains(field);
}

QString SummaryQuery::statement(const QString& field) {
    if (!isSummaryField(field))
        return {};
    // Every row counts, so the addresses without a value show their real number. Values are
    // grouped as far as they can be printed, so a huge one costs no more than a short one.
    return QStringLiteral("SELECT %1, COUNT(*) AS INDIRIZZI FROM TabMAIL GROUP BY 1")
        .arg(archive::DataModel::printColumn(archive::DataModel::fieldIndex(field)));
}

std::vector<SummaryRow> SummaryQuery::run(archive::Database& db, const QString& field,
                                          Order order) {
    std::vector<SummaryRow> rows;
    const QString sql = statement(field);
    if (sql.isEmpty())
        return rows;

    // SQLite groups the exact texts quickly; the few distinct values are then merged and
    // ordered as the program compares texts (case and accents aside), which a collation
    // inside the query would do far more slowly, once per row comparison.
    struct Group {
        QString value;
        qint64 count = 0;
        qint64 bestVariant = -1; // the most frequent spelling names the group
        bool isNull = false;
    };
    std::map<std::string, Group> groups; // key order is the program's text order
    archive::Statement st(db, sql);
    std::string key;
    while (st.step()) {
        const bool isNull = st.isNull(0);
        const QString value = isNull ? QString(QLatin1String("")) : st.text(0);
        const qint64 count = st.integer(1);
        key.assign(1, isNull ? '\0' : '\1'); // Null first and apart from ""
        archive::ItalianCollation::appendPrimaryKey(value, key);
        Group& g = groups[key];
        g.isNull = isNull;
        g.count += count;
        if (count > g.bestVariant) {
            g.bestVariant = count;
            g.value = value;
        }
    }
    rows.reserve(groups.size());
    for (const auto& [k, g] : groups)
        rows.push_back({g.value, g.count, g.isNull});
    if (order == Order::ByCount)
        std::stable_sort(rows.begin(), rows.end(),
                         [](const SummaryRow& a, const SummaryRow& b) { return a.count < b.count; });
    return rows;
}

} // namespace velomar::printing
