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
    // source opened Optimistic is writable; the db must outlive the record set.
    static Recordset open(Database& db, const QString& source, LockType lock,
                          const QVariantList& params = {});

    bool isOpen() const;
    void close();

    int fieldCount() const;
    QString fieldName(int field) const;
    int fieldIndex(const QString& name) const; // case-insensitive; -1 when absent

    // Navigation over the rows that pass the filter, in sort order.
    qint64 recordCount() const;
    bool bof() const;
    bool eof() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void move(qint64 rows);
    qint64 absolutePosition() const; // 1..recordCount, or PosBOF / PosEOF / PosUnknown
    void setAbsolutePosition(qint64 position);
    Bookmark bookmark() const;
    void setBookmark(Bookmark bookmark);

    // Current record. Null is an invalid QVariant; text() applies the Null rule ("").
    QVariant value(int field) const;
    QVariant value(const QString& name) const;
    QString text(int field) const;
    QString text(const QString& name) const;
    void setValue(int field, const QVariant& value);
    void setValue(const QString& name, const QVariant& value);

    // Editing: addNew starts a new row (saving any pending edit first); update writes the
    // pending new or changed row (a new row gets its NR); cancelUpdate drops it; moving
    // away from an edited row also saves it. deleteCurrent removes the current row from
    // the database at once and leaves the position on the row that followed it (or EOF).
    void addNew();
    void update();
    void cancelUpdate();
    bool isEditing() const;
    void deleteCurrent();

    // Searches forward from the current row (included) for the first row matching the
    // criteria (filter syntax); stands on it and returns true, or stands at EOF.
    bool find(const QString& criteria);

    // Filter text in the program's syntax; "" removes it. A malformed text throws
    // FilterError and changes nothing. After a change the position is the first row.
    void setFilter(const QString& filter);
    const QString& filter() const;

    // "FIELD[ ASC|DESC], ..." ; "" restores the source order. Keeps the current row.
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
