#pragma once

// The inside of a record set: stored rows, the order and view over them, the pending
// edit. Shared by Recordset.cpp (the public operations) and RecordsetImpl.cpp.

#include "archive/Database.h"
#include "archive/FilterExpr.h"
#include "archive/RecordColumn.h"
#include "archive/Recordset.h"
#include "archive/SortSpec.h"

#include <QHash>
#include <optional>
#include <unordered_map>
#include <vector>

namespace velomar::archive {

struct Recordset::Impl final : FieldReader {
    static constexpr int NoCurrentRecord = 3021; // the program's number for "no current record"
    static QString quoteIdentifier(const QString& name);

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
    // Per column, the rank of each stored row's value: primary ignores case and accents,
    // full breaks those ties. Empty when stale.
    struct KeyRanks {
        std::vector<quint32> primary, full;
    };
    std::vector<KeyRanks> ranks;

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

    // These throw DatabaseError.
    void checkField(int field) const;
    int fieldOf(const QString& name) const;
    void requireRow() const;
    void requireWritable() const;

    // ---- order and view -------------------------------------------------------------

    // Every key without regard to case and accents first, then the keys again on the
    // exact text, so "Rossi/Zeno" follows "ROSSI/Anna".
    int compareRows(quint32 a, quint32 b) const;
    const KeyRanks& ranksOf(int field);
    // Texts repeat a lot (towns, provinces, groups): each distinct text is keyed once,
    // sorted by its byte key, and ties of the key settled by the full collation.
    void textRanks(const RecordColumn& col, KeyRanks& r);

    void rebuildView();
    void applySort();
    // Where row stands, or would stand, in the view: the index of the row itself or of the
    // first row after it.
    qint64 placeInView(quint32 row) const;

    void placeInOrder(quint32 row);
    void dropCaches(int field);

    // ---- editing ----------------------------------------------------------------------

    void reread(std::size_t row);
    void update();

    // Saves a pending edit before the position changes.
    void commit() { update(); }

    // A relative move: the target is chosen in the view as it was before the save.
    void moveBy(qint64 rows);

    std::optional<qint64> indexedFind(qint64 start);
};

} // namespace velomar::archive
