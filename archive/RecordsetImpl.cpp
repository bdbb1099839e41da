#include "archive/RecordsetImpl.h"

#include "archive/DatabaseError.h"
#include "archive/ItalianCollation.h"
#include "archive/Statement.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

namespace velomar::archive {

namespace {

std::optional<qint64> integralValue(const FieldValue& v) {
    switch (v.type) {
    case FieldValue::Type::Integer:
        return v.integer;
    case FieldValue::Type::Real:
        if (v.real == std::floor(v.real) && std::abs(v.real) < 9e15)
            return qint64(v.real);
        return std::nullopt;
    case FieldValue::Type::Text: {
        bool ok = false;
        const qint64 i = v.text.trimmed().toLongLong(&ok);
        if (ok)
            return i;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

QString Recordset::Impl::quoteIdentifier(const QString& name) {
    QString n = name;
    n.replace(u'"', QStringLiteral("\"\""));
    return u'"' + n + u'"';
}

void Recordset::Impl::checkField(int field) const {
    if (field < 0 || field >= int(cols.size()))
        throw DatabaseError(SQLITE_RANGE, QStringLiteral("Campo inesistente (indice %1).").arg(field));
}

int Recordset::Impl::fieldOf(const QString& name) const {
    const int f = resolve(name);
    if (f < 0)
        throw DatabaseError(SQLITE_RANGE, QStringLiteral("Campo inesistente: %1.").arg(name));
    return f;
}

void Recordset::Impl::requireRow() const {
    if (!onRow() && edit != EditMode::Add)
        throw DatabaseError(NoCurrentRecord, QStringLiteral("Nessun record corrente."));
}

void Recordset::Impl::requireWritable() const {
    if (!writable)
        throw DatabaseError(SQLITE_READONLY, QStringLiteral("Il record set è di sola lettura."));
}

int Recordset::Impl::compareRows(quint32 a, quint32 b) const {
    for (const bool primaryOnly : {true, false}) {
        for (const auto& key : sort.keys()) {
            const int c = cols[std::size_t(key.field)].compare(a, b, primaryOnly);
            if (c)
                return key.descending ? -c : c;
        }
    }
    return a < b ? -1 : (a > b ? 1 : 0);
}

const Recordset::Impl::KeyRanks& Recordset::Impl::ranksOf(int field) {
    auto& r = ranks[std::size_t(field)];
    if (r.full.size() == alive.size())
        return r;
    const RecordColumn& col = cols[std::size_t(field)];
    r.primary.assign(alive.size(), 0); // Null keeps rank 0: first
    r.full.assign(alive.size(), 0);
    if (col.kind() == RecordColumn::Kind::Text) {
        textRanks(col, r);
        return r;
    }
    std::vector<quint32> rows;
    rows.reserve(alive.size());
    for (quint32 i = 0; i < alive.size(); ++i)
        if (alive[i] && !col.isNull(i))
            rows.push_back(i);
    std::sort(rows.begin(), rows.end(), [&](quint32 a, quint32 b) { return col.compare(a, b) < 0; });
    quint32 primary = 0, full = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i == 0 || col.compare(rows[i - 1], rows[i], true) != 0)
            ++primary;
        if (i == 0 || col.compare(rows[i - 1], rows[i]) != 0)
            ++full;
        r.primary[rows[i]] = primary;
        r.full[rows[i]] = full;
    }
    return r;
}

void Recordset::Impl::textRanks(const RecordColumn& col, KeyRanks& r) {
    QHash<QStringView, quint32> distinct;
    distinct.reserve(qsizetype(alive.size() / 2));
    std::vector<QStringView> values;
    std::vector<quint32> rowValue(alive.size(), 0);
    for (quint32 i = 0; i < alive.size(); ++i) {
        if (!alive[i] || col.isNull(i))
            continue;
        const QStringView text = col.read(i).text;
        auto it = distinct.constFind(text);
        if (it == distinct.constEnd()) {
            it = distinct.insert(text, quint32(values.size()));
            values.push_back(text);
        }
        rowValue[i] = it.value();
    }
    struct Item {
        quint64 prefix;
        quint32 offset, length, value;
    };
    std::string keys;
    std::vector<Item> items(values.size());
    for (quint32 v = 0; v < values.size(); ++v) {
        const std::size_t offset = keys.size();
        ItalianCollation::appendPrimaryKey(values[v], keys);
        const std::size_t length = keys.size() - offset;
        quint64 prefix = 0;
        for (std::size_t b = 0; b < 8; ++b)
            prefix = (prefix << 8) | (b < length ? quint8(keys[offset + b]) : 0);
        items[v] = {prefix, quint32(offset), quint32(length), v};
    }
    const auto cmpPrimary = [&](const Item& a, const Item& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix ? -1 : 1;
        if (a.length > 8 || b.length > 8) {
            const std::string_view ka(keys.data() + a.offset, a.length), kb(keys.data() + b.offset, b.length);
            if (const int c = ka.compare(kb))
                return c < 0 ? -1 : 1;
        } else if (a.length != b.length) {
            return a.length < b.length ? -1 : 1;
        }
        return 0;
    };
    const auto cmpItems = [&](const Item& a, const Item& b) {
        if (const int c = cmpPrimary(a, b))
            return c;
        return ItalianCollation::compare(values[a.value], values[b.value]);
    };
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) { return cmpItems(a, b) < 0; });
    std::vector<quint32> primaryRank(values.size()), fullRank(values.size());
    quint32 primary = 0, full = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i == 0 || cmpPrimary(items[i - 1], items[i]) != 0)
            ++primary;
        if (i == 0 || cmpItems(items[i - 1], items[i]) != 0)
            ++full;
        primaryRank[items[i].value] = primary;
        fullRank[items[i].value] = full;
    }
    for (quint32 i = 0; i < alive.size(); ++i) {
        if (alive[i] && !col.isNull(i)) {
            r.primary[i] = primaryRank[rowValue[i]];
            r.full[i] = fullRank[rowValue[i]];
        }
    }
}

void Recordset::Impl::rebuildView() {
    view.clear();
    view.reserve(order.size());
    for (quint32 r : order)
        if (passes[r])
            view.push_back(r);
    viewPos.assign(alive.size(), -1);
    for (std::size_t i = 0; i < view.size(); ++i)
        viewPos[view[i]] = qint32(i);
}

void Recordset::Impl::applySort() {
    order.clear();
    order.reserve(alive.size());
    for (quint32 i = 0; i < alive.size(); ++i)
        if (alive[i])
            order.push_back(i);
    if (!sort.isEmpty()) {
        // Primary ranks of every key, then full ranks of every key.
        std::vector<std::pair<const std::vector<quint32>*, bool>> keyRanks;
        for (const auto& key : sort.keys())
            keyRanks.emplace_back(&ranksOf(key.field).primary, key.descending);
        for (const auto& key : sort.keys())
            keyRanks.emplace_back(&ranksOf(key.field).full, key.descending);
        // order starts in source order, so the stable sort keeps equal rows in it.
        std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
            for (const auto& [rank, descending] : keyRanks) {
                const quint32 ra = (*rank)[a], rb = (*rank)[b];
                if (ra != rb)
                    return descending ? ra > rb : ra < rb;
            }
            return false;
        });
    }
    rebuildView();
}

qint64 Recordset::Impl::placeInView(quint32 row) const {
    if (row < viewPos.size() && viewPos[row] >= 0)
        return viewPos[row];
    const auto it = std::lower_bound(view.begin(), view.end(), row,
                                     [&](quint32 a, quint32 b) { return compareRows(a, b) < 0; });
    return qint64(it - view.begin());
}

void Recordset::Impl::placeInOrder(quint32 row) {
    const auto old = std::find(order.begin(), order.end(), row);
    if (old != order.end())
        order.erase(old);
    if (!alive[row])
        return;
    const auto it = std::lower_bound(order.begin(), order.end(), row,
                                     [&](quint32 a, quint32 b) { return compareRows(a, b) < 0; });
    order.insert(it, row);
}

void Recordset::Impl::dropCaches(int field) {
    if (field < 0) {
        for (auto& r : ranks)
            r = {};
        for (auto& i : intIndex)
            i.reset();
    } else {
        ranks[std::size_t(field)] = {};
        intIndex[std::size_t(field)].reset();
    }
}

void Recordset::Impl::reread(std::size_t row) {
    Statement st(*db, QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(quoteIdentifier(table)));
    st.bindInt(1, rowids[row]);
    if (!st.step())
        throw DatabaseError(NoCurrentRecord, QStringLiteral("Il record non esiste più nell'archivio."));
    for (std::size_t c = 0; c < cols.size(); ++c)
        cols[c].assign(row, st.handle(), int(c));
}

void Recordset::Impl::update() {
    if (edit == EditMode::None)
        return;
    std::vector<int> changed;
    for (std::size_t c = 0; c < pending.size(); ++c)
        if (pending[c])
            changed.push_back(int(c));
    std::size_t row;
    if (edit == EditMode::Edit) {
        row = editRow;
        if (changed.empty()) {
            edit = EditMode::None;
            pending.clear();
            return;
        }
        QStringList sets;
        for (int c : changed)
            sets << quoteIdentifier(cols[std::size_t(c)].name()) + QStringLiteral(" = ?");
        Statement st(*db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                              .arg(quoteIdentifier(table), sets.join(QStringLiteral(", "))));
        int p = 1;
        for (int c : changed)
            st.bind(p++, *pending[std::size_t(c)]);
        st.bindInt(p, rowids[row]);
        st.exec();
        if (db->changes() == 0)
            throw DatabaseError(NoCurrentRecord, QStringLiteral("Il record non esiste più nell'archivio."));
        reread(row);
        for (int c : changed)
            dropCaches(c);
    } else {
        QStringList names, marks;
        for (int c : changed) {
            names << quoteIdentifier(cols[std::size_t(c)].name());
            marks << QStringLiteral("?");
        }
        const QString sql =
            changed.empty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(table))
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoteIdentifier(table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        Statement st(*db, sql);
        int p = 1;
        for (int c : changed)
            st.bind(p++, *pending[std::size_t(c)]);
        st.exec();
        const qint64 rowid = db->lastInsertRowId();
        // Read the stored row back: the key and the defaults come from the database.
        Statement back(*db, QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(quoteIdentifier(table)));
        back.bindInt(1, rowid);
        if (!back.step())
            throw DatabaseError(NoCurrentRecord, QStringLiteral("Il record aggiunto non è stato trovato."));
        row = alive.size();
        for (std::size_t c = 0; c < cols.size(); ++c)
            cols[c].append(back.handle(), int(c));
        rowids.push_back(rowid);
        alive.push_back(1);
        passes.push_back(1);
        viewPos.push_back(-1);
        dropCaches(-1);
    }
    edit = EditMode::None;
    pending.clear();
    passes[row] = filter.matches(*this, qint64(row)) ? 1 : 0;
    placeInOrder(quint32(row));
    rebuildView();
    pos = placeInView(quint32(row));
}

void Recordset::Impl::moveBy(qint64 rows) {
    const qint64 base = edit == EditMode::Add ? savedPos : pos;
    qint64 target = base + rows;
    if (edit != EditMode::None) {
        std::optional<quint32> targetRow;
        if (target >= 0 && target < count())
            targetRow = view[std::size_t(target)];
        update();
        if (targetRow)
            target = placeInView(*targetRow);
    }
    pos = std::clamp<qint64>(target, -1, count());
}

std::optional<qint64> Recordset::Impl::indexedFind(qint64 start) {
    const int field = findExpr.equalityField();
    if (field < 0 || cols[std::size_t(field)].kind() != RecordColumn::Kind::Integer)
        return std::nullopt;
    const auto key = integralValue(findExpr.equalityValue());
    if (!key)
        return std::nullopt;
    auto& index = intIndex[std::size_t(field)];
    if (!index) {
        index.emplace();
        const RecordColumn& col = cols[std::size_t(field)];
        if (col.kind() != RecordColumn::Kind::Integer)
            return std::nullopt;
        for (quint32 r = 0; r < alive.size(); ++r)
            if (alive[r] && !col.isNull(r))
                index->emplace(col.read(r).integer, r);
    }
    qint64 best = count();
    const auto [from, to] = index->equal_range(*key);
    for (auto it = from; it != to; ++it) {
        const qint32 p = viewPos[it->second];
        if (p >= start && p < best)
            best = p;
    }
    return best;
}

} // namespace velomar::archive
