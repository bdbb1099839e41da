#include "archive/Recordset.h"

#include "archive/DatabaseError.h"
#include "archive/RecordsetImpl.h"
#include "archive/SqlTranslator.h"
#include "archive/Statement.h"

#include <QRegularExpression>
#include <algorithm>
#include <sqlite3.h>

namespace velomar::archive {

namespace {

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

} // namespace

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
            Statement info(db, QStringLiteral("PRAGMA table_info(%1)").arg(Impl::quoteIdentifier(d->table)));
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
        st.emplace(db, QStringLiteral("SELECT rowid, * FROM %1").arg(Impl::quoteIdentifier(d->table)));
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
        // A computed column (substr() of a text field, say) has no declared type.
        const char* declType = sqlite3_column_decltype(h, c);
        if (declType)
            d->cols.emplace_back(name, kindOf(declType));
        else
            d->cols.emplace_back(name, RecordColumn::Kind::Text, true);
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
    Statement st(*i.db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(Impl::quoteIdentifier(i.table)));
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
