#include "addresses/DuplicateMerge.h"

#include "addresses/NotDuplicates.h"
#include "archive/DataModel.h"
#include "archive/Database.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"

namespace velomar::addresses {

using archive::AddressRecord;
using archive::DataModel;

namespace {

QString fieldList() {
    QStringList names;
    for (int f = 0; f < AddressRecord::FieldCount; ++f)
        names << DataModel::fieldName(f);
    return names.join(u", ");
}

} // namespace

std::vector<AddressRecord> DuplicateMerge::load(archive::Database& db, const std::vector<qint64>& nrs) {
    std::vector<AddressRecord> out;
    archive::Statement st(db, QStringLiteral("SELECT %1 FROM TabMAIL WHERE NR = ?").arg(fieldList()));
    for (const qint64 nr : nrs) {
        st.bindInt(1, nr);
        if (st.step()) {
            AddressRecord r;
            for (int f = 0; f < AddressRecord::FieldCount; ++f)
                r[f] = DataModel::nullText(st.value(f));
            out.push_back(std::move(r));
        }
        st.reset();
    }
    return out;
}

AddressRecord DuplicateMerge::proposal(const std::vector<AddressRecord>& records) {
    AddressRecord out;
    if (records.empty())
        return out;
    out[DataModel::NR] = records.front()[DataModel::NR];
    for (int f = 1; f < AddressRecord::FieldCount; ++f) {
        if (f == DataModel::NOTE || f == DataModel::APPUNTI) {
            QStringList parts;
            for (const AddressRecord& r : records) {
                const QString text = r[f].trimmed();
                if (!text.isEmpty() && !parts.contains(text))
                    parts << text;
            }
            out[f] = parts.join(f == DataModel::NOTE ? QStringLiteral("; ") : QStringLiteral("\r\n"));
            continue;
        }
        const AddressRecord* best = nullptr;
        for (const AddressRecord& r : records) {
            const qsizetype len = r[f].trimmed().size();
            if (!best || len > best->fields[std::size_t(f)].trimmed().size() ||
                (len == best->fields[std::size_t(f)].trimmed().size() &&
                 r[DataModel::NR].toLongLong() > (*best)[DataModel::NR].toLongLong()))
                best = &r;
        }
        out[f] = (*best)[f];
    }
    return out;
}

void DuplicateMerge::merge(archive::Database& db, const AddressRecord& kept, const std::vector<qint64>& removed) {
    archive::Transaction tx(db);
    QStringList sets;
    for (int f = 1; f < AddressRecord::FieldCount; ++f)
        sets << DataModel::fieldName(f) + QStringLiteral(" = ?");
    archive::Statement update(db, QStringLiteral("UPDATE TabMAIL SET %1 WHERE NR = ?").arg(sets.join(u", ")));
    // Empty texts are stored as Null, as the entry form does.
    for (int f = 1; f < AddressRecord::FieldCount; ++f) {
        if (kept[f].isEmpty())
            update.bindNull(f);
        else
            update.bindText(f, kept[f]);
    }
    update.bindInt(AddressRecord::FieldCount, kept[DataModel::NR].toLongLong());
    update.exec();
    archive::Statement del(db, QStringLiteral("DELETE FROM TabMAIL WHERE NR = ?"));
    for (const qint64 nr : removed) {
        del.bindInt(1, nr).exec();
        del.reset();
    }
    NotDuplicates::forget(db, removed);
    tx.commit();
}

} // namespace velomar::addresses
