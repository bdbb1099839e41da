#include "addresses/NotDuplicates.h"

#include "archive/Database.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"

namespace velomar::addresses {

namespace {

bool exists(archive::Database& db) {
    archive::Statement st(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
    st.bindText(1, QString::fromLatin1(NotDuplicates::Table));
    return st.step();
}

} // namespace

QSet<std::pair<qint64, qint64>> NotDuplicates::read(archive::Database& db) {
    QSet<std::pair<qint64, qint64>> pairs;
    if (!exists(db))
        return pairs;
    archive::Statement st(db, QStringLiteral("SELECT NR1, NR2 FROM %1").arg(QLatin1String(Table)));
    while (st.step())
        pairs.insert({std::min(st.integer(0), st.integer(1)), std::max(st.integer(0), st.integer(1))});
    return pairs;
}

void NotDuplicates::remember(archive::Database& db, const std::vector<qint64>& group) {
    archive::Transaction tx(db);
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (NR1 INTEGER NOT NULL, NR2 INTEGER NOT NULL, "
                           "PRIMARY KEY (NR1, NR2))")
                .arg(QLatin1String(Table)));
    archive::Statement ins(db, QStringLiteral("INSERT OR IGNORE INTO %1 (NR1, NR2) VALUES (?, ?)")
                                   .arg(QLatin1String(Table)));
    for (std::size_t i = 0; i < group.size(); ++i)
        for (std::size_t j = i + 1; j < group.size(); ++j) {
            ins.bindInt(1, std::min(group[i], group[j])).bindInt(2, std::max(group[i], group[j])).exec();
            ins.reset();
        }
    tx.commit();
}

void NotDuplicates::forget(archive::Database& db, const std::vector<qint64>& removed) {
    if (!exists(db))
        return;
    archive::Statement del(db, QStringLiteral("DELETE FROM %1 WHERE NR1 = ? OR NR2 = ?").arg(QLatin1String(Table)));
    for (const qint64 nr : removed) {
        del.bindInt(1, nr).bindInt(2, nr).exec();
        del.reset();
    }
}

} // namespace velomar::addresses
