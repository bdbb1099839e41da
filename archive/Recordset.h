#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

namespace velomar::archive {

class Database;

enum class LockType { ReadOnly, Optimistic };

// A client-side, static record set: every row of its source is read into memory at open;
// filter and sort work on that snapshot; add/update/delete are written through to the
// database at once. Positions follow the program's conventions: absolute positions are
// 1-based, with the special values below.
class Recordset {
public:
    static constexpr qint64 PosUnknown = -1;
    static constexpr qint64 PosBOF = -2;
    static constexpr qint64 PosEOF = -3;
    using Bookmark = qint64; // stable identity of a row for the life of the record set

    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    // source: a table name ("TabMAIL") or a SELECT text in the program's SQL dialect
    // (translated by SqlTranslator); params are bound to its '?' placeholders. A table
    // source opened Optimistic is writable (rows are written by rowid; an INTEGER PRIMARY
    // KEY such as NR is assigned by the database and refused by setValue); a SELECT source
    // is read-only. The db must outlive the record set. Opens on the first row.
    static Recordset open(Database& db, const QString& source, LockType lock,
                          const QVariantList& params = {});

    bool isOpen() const;
    void close(); // saves a pending edit first (and throws, still open, if that fails)

    int fieldCount() const;
    QString fieldName(int field) const;
    int fieldIndex(const QString& name) const; // case-insensitive; -1 when absent

    // Navigation over the rows that pass the filter, in sort order. Moves never throw: past
    // either end they stop at BOF / EOF. An empty view is BOF and EOF at once. Every move
    // (also setAbsolutePosition, setBookmark, find, setFilter, setSort) first saves a
    // pending edit; relative moves go to the row that was next/previous before that save,
    // so a walk that edits rows out of the filter still visits every row.
    qint64 recordCount() const;
    bool bof() const;
    bool eof() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void move(qint64 rows);
    // 1..recordCount, PosBOF / PosEOF, or PosUnknown when the view is empty or a new row
    // is being added.
    qint64 absolutePosition() const;
    void setAbsolutePosition(qint64 position); // below 1: BOF; above recordCount: EOF
    Bookmark bookmark() const; // -1 when there is no current row
    // A row hidden by the filter or deleted: stands where it would be, that is on the row
    // that follows it in the view (or EOF). Throws DatabaseError for a bookmark never given.
    void setBookmark(Bookmark bookmark);

    // Current record (throws DatabaseError 3021 when there is none). Null is an invalid
    // QVariant; text() applies the Null rule (""). While editing, the pending values.
    QVariant value(int field) const;
    QVariant value(const QString& name) const;
    QString text(int field) const;
    QString text(const QString& name) const;
    void setValue(int field, const QVariant& value);
    void setValue(const QString& name, const QVariant& value);

    // Editing: setValue on the current row starts an edit; addNew starts a new row (saving
    // any pending edit first); update writes the pending new or changed row (a new row gets
    // its NR; the stored row is read back) and stands on it in sort order, or, when the row
    // no longer passes the filter, on the row that follows its place (or EOF); cancelUpdate
    // drops it (after addNew the previous row is current again). deleteCurrent removes the
    // current row from the database at once and leaves the position on the row that
    // followed it (or EOF). Writes on a read-only record set throw DatabaseError.
    void addNew();
    void update();
    void cancelUpdate();
    bool isEditing() const;
    void deleteCurrent();

    // Searches forward from the current row (included; from the first when at BOF) for the
    // first row matching the criteria (filter syntax, see FilterExpr); stands on it and
    // returns true, or stands at EOF. "NR = n" is answered from an index.
    bool find(const QString& criteria);

    // Filter text in the program's syntax (FilterExpr); "" removes it. A malformed text
    // throws FilterError and changes nothing. After a change the position is the first row.
    void setFilter(const QString& filter);
    const QString& filter() const;

    // "FIELD[ ASC|DESC], ..." ; "" restores the source order. Keeps the current row. Texts
    // in Italian order (ItalianCollation), Null then "" first; numbers numerically; rows
    // with equal keys keep the source order.
    void setSort(const QString& sort);
    const QString& sort() const;

    // Direct access for grid models and walks, by view row 0..recordCount-1; no move.
    QVariant valueAt(qint64 row, int field) const;
    QString textAt(qint64 row, int field) const;
    Bookmark bookmarkAt(qint64 row) const;
    qint64 rowOfBookmark(Bookmark bookmark) const; // -1 when the row is not in the view

private:
    struct Impl;
    Impl& impl() const; // throws when the record set is not open
    std::unique_ptr<Impl> d;
};

} // namespace velomar::archive
