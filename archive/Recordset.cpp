#include "archive/Recordset.h"

#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/FilterExpr.h"
#include "archive/FilterError.h"
#include "archive/ItalianCollation.h"
#include "archive/RecordColumn.h"
#include "archive/SortSpec.h"
#include "archive/SqlTranslator.h"
#include "archive/Statement.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <optional>
#include <sqlite3.h>
#include <unordered_map>

namespace velomar::archive {

namespace {

constexpr int NoCurrentRecord = 3021; // the program's number for "no current record"

QString quoteIdentifier(const QString& name) {
    QString n = name;
    n.replace(u'"', QStringLiteral("\"\""));
    return u'"' + n + u'"';
}

RecordColumn::Kind kindOf(const char* declType) {
    const QByteArray t = QByteArray(declType ? declType : "").toUpper();
    if (t.isEmpty())
        return RecordColumn::Kind::Variant;
    if (t.contains("INT"))
        return RecordColumn::Kind::Integer;
    if (t.contains("CHAR") || t.contains("TEXT") || t.contains("CLOB") || t.contains("MEMO"))
        return RecordColumn::Kind::Text;
    return RecordColumn::Kind::Variant;
}

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

struct Recordset::Impl final : FieldReader {
    enum class EditMode { None, Edit, Add };

    Database* db = nullptr;
    QString table;   // writable table; empty for a query source
    bool writable = false;
    int keyField = -1; // the table's integer key (an alias of its rowid): never written
    std::vector<RecordColumn> cols;
    QHash<QString, int> fieldByName; // lower case

    std::vector<qint64> rowids;  // per stored row (table sources)
    std::vector<quint8> alive;
    std::vector<quint8> passes;  // filter result per stored row
    std::vector<quint32> order;  // live rows in sort order
    std::vector<quint32> view;   // the rows of order that pass the filter
    std::vector<qint32> viewPos; // stored row -> index in view, or -1
    qint64 pos = -1;             // index in view; -1 BOF, view.size() EOF

    QString filterText, sortText;
    FilterExpr filter;
    SortSpec sort;
    std::vector<std::vector<quint32>> ranks; // per column; empty when stale

    QString findText;
    FilterExpr findExpr;
    std::vector<std::optional<std::unordered_multimap<qint64, quint32>>> intIndex;

    EditMode edit = EditMode::None;
    std::vector<std::optional<QVariant>> pending;
    std::size_t editRow = 0;
    qint64 savedPos = -1; // position before addNew

    FieldValue read(qint64 row, int field) const override { return cols[std::size_t(field)].read(std::size_t(row)); }

    int resolve(const QString& name) const { return fieldByName.value(name.trimmed().toLower(), -1); }
    FilterExpr::FieldResolver resolver() const {
        return [this](const QString& name) { return resolve(name); };
    }

    qint64 count() const { return qint64(view.size()); }
    bool onRow() const { return pos >= 0 && pos < count(); }

    void checkField(int field) const {
        if (field < 0 || field >= int(cols.size()))
            throw DatabaseError(SQLITE_RANGE, QStringLiteral("Campo inesistente (indice %1).").arg(field));
    }
    int fieldOf(const QString& name) const {
        const int f = resolve(name);
        if (f < 0)
            throw DatabaseError(SQLITE_RANGE, QStringLiteral("Campo inesistente: %1.").arg(name));
        return f;
    }
    void requireRow() const {
        if (!onRow() && edit != EditMode::Add)
            throw DatabaseError(NoCurrentRecord, QStringLiteral("Nessun record corrente."));
    }
    void requireWritable() const {
        if (!writable)
            throw DatabaseError(SQLITE_READONLY, QStringLiteral("Il record set è di sola lettura."));
    }

    // ---- order and view -------------------------------------------------------------

    int compareRows(quint32 a, quint32 b) const {
        for (const auto& key : sort.keys()) {
            const int c = cols[std::size_t(key.field)].compare(a, b);
            if (c)
                return key.descending ? -c : c;
        }
        return a < b ? -1 : (a > b ? 1 : 0);
    }

    const std::vector<quint32>& ranksOf(int field) {
        auto& r = ranks[std::size_t(field)];
        if (r.size() == alive.size())
            return r;
        const RecordColumn& col = cols[std::size_t(field)];
        r.assign(alive.size(), 0); // Null keeps rank 0: first
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
        quint32 rank = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i == 0 || col.compare(rows[i - 1], rows[i]) != 0)
                ++rank;
            r[rows[i]] = rank;
        }
        return r;
    }

    // Texts repeat a lot (towns, provinces, groups): each distinct text is keyed once,
    // sorted by its byte key, and ties of the key settled by the full collation.
    void textRanks(const RecordColumn& col, std::vector<quint32>& r) {
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
        const auto cmpItems = [&](const Item& a, const Item& b) {
            if (a.prefix != b.prefix)
                return a.prefix < b.prefix ? -1 : 1;
            if (a.length > 8 || b.length > 8) {
                const std::string_view ka(keys.data() + a.offset, a.length), kb(keys.data() + b.offset, b.length);
                if (const int c = ka.compare(kb))
                    return c < 0 ? -1 : 1;
            } else if (a.length != b.length) {
                return a.length < b.length ? -1 : 1;
            }
            return ItalianCollation::compare(values[a.value], values[b.value]);
        };
        std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) { return cmpItems(a, b) < 0; });
        std::vector<quint32> valueRank(values.size());
        quint32 rank = 0;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (i == 0 || cmpItems(items[i - 1], items[i]) != 0)
                ++rank;
            valueRank[items[i].value] = rank;
        }
        for (quint32 i = 0; i < alive.size(); ++i)
            if (alive[i] && !col.isNull(i))
                r[i] = valueRank[rowValue[i]];
    }

    void rebuildView() {
        view.clear();
        view.reserve(order.size());
        for (quint32 r : order)
            if (passes[r])
                view.push_back(r);
        viewPos.assign(alive.size(), -1);
        for (std::size_t i = 0; i < view.size(); ++i)
            viewPos[view[i]] = qint32(i);
    }

    void applySort() {
        order.clear();
        order.reserve(alive.size());
        for (quint32 i = 0; i < alive.size(); ++i)
            if (alive[i])
                order.push_back(i);
        if (!sort.isEmpty()) {
            std::vector<const std::vector<quint32>*> keyRanks;
            for (const auto& key : sort.keys())
                keyRanks.push_back(&ranksOf(key.field));
            const auto& keys = sort.keys();
            // order starts in source order, so the stable sort keeps equal rows in it.
            std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
                for (std::size_t k = 0; k < keys.size(); ++k) {
                    const quint32 ra = (*keyRanks[k])[a], rb = (*keyRanks[k])[b];
                    if (ra != rb)
                        return keys[k].descending ? ra > rb : ra < rb;
                }
                return false;
            });
        }
        rebuildView();
    }

    // Where row stands, or would stand, in the view: the index of the row itself or of the
    // first row after it.
    qint64 placeInView(quint32 row) const {
        if (row < viewPos.size() && viewPos[row] >= 0)
            return viewPos[row];
        const auto it = std::lower_bound(view.begin(), view.end(), row,
                                         [&](quint32 a, quint32 b) { return compareRows(a, b) < 0; });
        return qint64(it - view.begin());
    }

    void placeInOrder(quint32 row) {
        const auto old = std::find(order.begin(), order.end(), row);
        if (old != order.end())
            order.erase(old);
        if (!alive[row])
            return;
        const auto it = std::lower_bound(order.begin(), order.end(), row,
                                         [&](quint32 a, quint32 b) { return compareRows(a, b) < 0; });
        order.insert(it, row);
    }

    void dropCaches(int field) {
        if (field < 0) {
            for (auto& r : ranks)
                r.clear();
            for (auto& i : intIndex)
                i.reset();
        } else {
            ranks[std::size_t(field)].clear();
            intIndex[std::size_t(field)].reset();
        }
    }

    // ---- editing ----------------------------------------------------------------------

    void reread(std::size_t row) {
        Statement st(*db, QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(quoteIdentifier(table)));
        st.bindInt(1, rowids[row]);
        if (!st.step())
            throw DatabaseError(NoCurrentRecord, QStringLiteral("Il record non esiste più nell'archivio."));
        for (std::size_t c = 0; c < cols.size(); ++c)
            cols[c].assign(row, st.handle(), int(c));
    }

    void update() {
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

    // Saves a pending edit before the position changes.
    void commit() { update(); }

    // A relative move: the target is chosen in the view as it was before the save.
    void moveBy(qint64 rows) {
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

    std::optional<qint64> indexedFind(qint64 start) {
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
};

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

Recordset::Impl& Recordset::impl() const {
    if (!d || !d->db)
        throw DatabaseError(SQLITE_MISUSE, QStringLiteral("Il record set non è aperto."));
    return *d;
}

Recordset Recordset::open(Database& db, const QString& source, LockType lock, const QVariantList& params) {
    static const QRegularExpression tableName(
        QStringLiteral("^\\s*\\[?([A-Za-z_][A-Za-z0-9_]*)\\]?\\s*;?\\s*$"));
    auto d = std::make_unique<Impl>();
    d->db = &db;
    SqlTranslator::install(db);
    const auto match = tableName.match(source);
    std::optional<Statement> st;
    int first = 0;
    if (match.hasMatch()) {
        d->table = match.captured(1);
        d->writable = lock == LockType::Optimistic;
        // The integer primary key (NR) is the rowid itself; it is assigned, never written.
        QString keyName;
        {
            Statement info(db, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(d->table)));
            int pkCount = 0;
            while (info.step()) {
                if (info.integer(5) > 0) {
                    ++pkCount;
                    keyName = info.text(2).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0
                                  ? info.text(1)
                                  : QString();
                }
            }
            if (pkCount != 1)
                keyName.clear();
        }
        st.emplace(db, QStringLiteral("SELECT rowid, * FROM %1").arg(quoteIdentifier(d->table)));
        first = 1;
        if (!params.isEmpty())
            throw DatabaseError(SQLITE_RANGE, QStringLiteral("Una tabella non accetta parametri."));
        for (int c = first; c < st->columnCount(); ++c)
            if (!keyName.isEmpty() && st->columnName(c).compare(keyName, Qt::CaseInsensitive) == 0)
                d->keyField = c - first;
    } else {
        st.emplace(SqlTranslator::prepare(db, source, params));
    }
    sqlite3_stmt* h = st->handle();
    const int columns = st->columnCount();
    for (int c = first; c < columns; ++c) {
        const QString name = st->columnName(c);
        d->cols.emplace_back(name, kindOf(sqlite3_column_decltype(h, c)));
    }
    // With duplicate names the first column wins.
    for (int c = int(d->cols.size()) - 1; c >= 0; --c)
        d->fieldByName.insert(d->cols[std::size_t(c)].name().toLower(), c);

    while (st->step()) {
        if (first)
            d->rowids.push_back(sqlite3_column_int64(h, 0));
        for (int c = first; c < columns; ++c)
            d->cols[std::size_t(c - first)].append(h, c);
    }
    for (auto& col : d->cols)
        col.shrink();
    d->rowids.shrink_to_fit();
    const std::size_t rows = d->cols.empty() ? 0 : d->cols.front().size();
    d->alive.assign(rows, 1);
    d->passes.assign(rows, 1);
    d->ranks.resize(d->cols.size());
    d->intIndex.resize(d->cols.size());
    d->applySort();
    d->pos = 0; // on the first row, or BOF and EOF at once when empty
    Recordset rs;
    rs.d = std::move(d);
    return rs;
}

bool Recordset::isOpen() const { return d && d->db; }

void Recordset::close() {
    if (d && d->edit != Impl::EditMode::None)
        d->update();
    d.reset();
}

int Recordset::fieldCount() const { return d ? int(d->cols.size()) : 0; }

QString Recordset::fieldName(int field) const {
    Impl& i = impl();
    i.checkField(field);
    return i.cols[std::size_t(field)].name();
}

int Recordset::fieldIndex(const QString& name) const { return d ? d->resolve(name) : -1; }

qint64 Recordset::recordCount() const { return d ? d->count() : 0; }

bool Recordset::bof() const {
    if (!d)
        return true;
    if (d->edit == Impl::EditMode::Add)
        return false;
    return d->view.empty() || d->pos < 0;
}

bool Recordset::eof() const {
    if (!d)
        return true;
    if (d->edit == Impl::EditMode::Add)
        return false;
    return d->view.empty() || d->pos >= d->count();
}

void Recordset::moveFirst() {
    Impl& i = impl();
    i.commit();
    i.pos = 0;
}

void Recordset::moveLast() {
    Impl& i = impl();
    i.commit();
    i.pos = i.count() - 1;
}

void Recordset::moveNext() { impl().moveBy(1); }
void Recordset::movePrevious() { impl().moveBy(-1); }
void Recordset::move(qint64 rows) { impl().moveBy(rows); }

qint64 Recordset::absolutePosition() const {
    if (!d || d->view.empty() || d->edit == Impl::EditMode::Add)
        return PosUnknown;
    if (d->pos < 0)
        return PosBOF;
    if (d->pos >= d->count())
        return PosEOF;
    return d->pos + 1;
}

void Recordset::setAbsolutePosition(qint64 position) {
    Impl& i = impl();
    i.commit();
    i.pos = std::clamp<qint64>(position - 1, -1, i.count());
}

Recordset::Bookmark Recordset::bookmark() const {
    if (!d || !d->onRow())
        return -1;
    if (d->edit == Impl::EditMode::Add)
        return -1;
    return d->view[std::size_t(d->pos)];
}

void Recordset::setBookmark(Bookmark bookmark) {
    Impl& i = impl();
    if (bookmark < 0 || bookmark >= qint64(i.alive.size()))
        throw DatabaseError(SQLITE_RANGE, QStringLiteral("Segnalibro non valido."));
    i.commit();
    // A row deleted or hidden by the filter: stand on the row that follows its place.
    i.pos = i.placeInView(quint32(bookmark));
}

QVariant Recordset::value(int field) const {
    Impl& i = impl();
    i.checkField(field);
    i.requireRow();
    if (i.edit != Impl::EditMode::None) {
        if (const auto& p = i.pending[std::size_t(field)])
            return *p;
        if (i.edit == Impl::EditMode::Add)
            return QVariant();
        return i.cols[std::size_t(field)].value(i.editRow);
    }
    return i.cols[std::size_t(field)].value(i.view[std::size_t(i.pos)]);
}

QVariant Recordset::value(const QString& name) const { return value(impl().fieldOf(name)); }

QString Recordset::text(int field) const {
    const QVariant v = value(field);
    return v.isValid() && !v.isNull() ? v.toString() : QStringLiteral("");
}

QString Recordset::text(const QString& name) const { return text(impl().fieldOf(name)); }

void Recordset::setValue(int field, const QVariant& value) {
    Impl& i = impl();
    i.requireWritable();
    i.checkField(field);
    if (field == i.keyField)
        throw DatabaseError(SQLITE_READONLY,
                            QStringLiteral("Il campo %1 è assegnato dall'archivio.").arg(i.cols[std::size_t(field)].name()));
    if (i.edit == Impl::EditMode::None) {
        i.requireRow();
        i.edit = Impl::EditMode::Edit;
        i.editRow = i.view[std::size_t(i.pos)];
        i.pending.assign(i.cols.size(), std::nullopt);
    }
    i.pending[std::size_t(field)] = value;
}

void Recordset::setValue(const QString& name, const QVariant& value) { setValue(impl().fieldOf(name), value); }

void Recordset::addNew() {
    Impl& i = impl();
    i.requireWritable();
    i.commit();
    i.savedPos = i.pos;
    i.edit = Impl::EditMode::Add;
    i.pending.assign(i.cols.size(), std::nullopt);
}

void Recordset::update() { impl().update(); }

void Recordset::cancelUpdate() {
    Impl& i = impl();
    if (i.edit == Impl::EditMode::Add)
        i.pos = i.savedPos;
    i.edit = Impl::EditMode::None;
    i.pending.clear();
}

bool Recordset::isEditing() const { return d && d->edit != Impl::EditMode::None; }

void Recordset::deleteCurrent() {
    Impl& i = impl();
    i.requireWritable();
    if (i.edit == Impl::EditMode::Add) { // the row does not exist yet: dropping it is all
        cancelUpdate();
        return;
    }
    i.requireRow();
    const quint32 row = i.view[std::size_t(i.pos)];
    Statement st(*i.db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoteIdentifier(i.table)));
    st.bindInt(1, i.rowids[row]);
    st.exec();
    i.edit = Impl::EditMode::None;
    i.pending.clear();
    i.alive[row] = 0;
    i.passes[row] = 0;
    i.order.erase(std::find(i.order.begin(), i.order.end(), row));
    i.rebuildView(); // pos now names the row that followed, or EOF
}

bool Recordset::find(const QString& criteria) {
    Impl& i = impl();
    if (criteria != i.findText || i.findExpr.isEmpty()) {
        FilterExpr expr = FilterExpr::parse(criteria, i.resolver());
        i.findExpr = std::move(expr);
        i.findText = criteria;
    }
    i.commit();
    const qint64 start = std::max<qint64>(i.pos, 0);
    if (const auto hit = i.indexedFind(start)) {
        i.pos = *hit;
        return i.pos < i.count();
    }
    for (qint64 p = start; p < i.count(); ++p) {
        if (i.findExpr.matches(i, i.view[std::size_t(p)])) {
            i.pos = p;
            return true;
        }
    }
    i.pos = i.count();
    return false;
}

void Recordset::setFilter(const QString& filter) {
    Impl& i = impl();
    FilterExpr expr = FilterExpr::parse(filter, i.resolver()); // throws before any change
    i.commit();
    std::vector<quint8> passes(i.alive.size(), 0);
    for (std::size_t r = 0; r < i.alive.size(); ++r)
        passes[r] = i.alive[r] && expr.matches(i, qint64(r));
    i.filter = std::move(expr);
    i.filterText = filter;
    i.passes = std::move(passes);
    i.rebuildView();
    i.pos = 0;
}

const QString& Recordset::filter() const {
    static const QString none;
    return d ? d->filterText : none;
}

void Recordset::setSort(const QString& sort) {
    Impl& i = impl();
    SortSpec spec = SortSpec::parse(sort, i.resolver());
    i.commit();
    const std::optional<quint32> current = i.onRow() ? std::optional<quint32>(i.view[std::size_t(i.pos)]) : std::nullopt;
    i.sort = std::move(spec);
    i.sortText = sort;
    i.applySort();
    i.pos = current ? i.viewPos[*current] : 0;
}

const QString& Recordset::sort() const {
    static const QString none;
    return d ? d->sortText : none;
}

QVariant Recordset::valueAt(qint64 row, int field) const {
    Impl& i = impl();
    i.checkField(field);
    if (row < 0 || row >= i.count())
        throw DatabaseError(SQLITE_RANGE, QStringLiteral("Riga %1 inesistente.").arg(row));
    return i.cols[std::size_t(field)].value(i.view[std::size_t(row)]);
}

QString Recordset::textAt(qint64 row, int field) const {
    Impl& i = impl();
    i.checkField(field);
    if (row < 0 || row >= i.count())
        throw DatabaseError(SQLITE_RANGE, QStringLiteral("Riga %1 inesistente.").arg(row));
    return i.cols[std::size_t(field)].text(i.view[std::size_t(row)]);
}

Recordset::Bookmark Recordset::bookmarkAt(qint64 row) const {
    Impl& i = impl();
    if (row < 0 || row >= i.count())
        throw DatabaseError(SQLITE_RANGE, QStringLiteral("Riga %1 inesistente.").arg(row));
    return i.view[std::size_t(row)];
}

qint64 Recordset::rowOfBookmark(Bookmark bookmark) const {
    if (!d || bookmark < 0 || bookmark >= qint64(d->viewPos.size()))
        return -1;
    return d->viewPos[std::size_t(bookmark)];
}

} // namespace velomar::archive
