#pragma once

#include "archive/FilterExpr.h"

#include <QString>
#include <QVariant>
#include <vector>

struct sqlite3_stmt;

namespace velomar::archive {

// One column of a loaded record set, stored compactly: texts share one UTF-16 buffer
// (8 bytes per cell plus the characters), integers are plain numbers, anything else
// (dates, computed columns) a QVariant per cell.
class RecordColumn {
public:
    enum class Kind { Integer, Text, Variant };

    // typeChecked: a Text column of a computed value (no declared type) stays compact
    // while its values are texts and turns to Variant at the first that is not.
    RecordColumn(QString name, Kind kind, bool typeChecked = false)
        : m_name(std::move(name)), m_kind(kind), m_typeChecked(typeChecked) {}

    const QString& name() const { return m_name; }
    Kind kind() const { return m_kind; }
    std::size_t size() const;

    // Appends the statement's value of column col (a new row at the end).
    void append(sqlite3_stmt* stmt, int col);
    // Replaces row's value with the statement's value of column col.
    void assign(std::size_t row, sqlite3_stmt* stmt, int col);
    void reserve(std::size_t rows);
    // Gives back the spare capacity left by loading.
    void shrink();

    bool isNull(std::size_t row) const;
    QVariant value(std::size_t row) const;   // Null: invalid QVariant
    QString text(std::size_t row) const;     // Null: ""
    FieldValue read(std::size_t row) const;  // text views point into this column
    // Order of two rows' values: Null first, numbers numerically, texts by collation
    // (primaryOnly: case and accents do not count).
    int compare(std::size_t a, std::size_t b, bool primaryOnly = false) const;
    // Approximate heap use, for the memory figure.
    std::size_t memoryUse() const;

private:
    static constexpr quint32 NullLength = 0xFFFFFFFFu;
    void toVariant();
    std::size_t appendUtf8(const char* data, int bytes);
    void put(std::size_t row, sqlite3_stmt* stmt, int col, bool append);

    QString m_name;
    Kind m_kind;
    bool m_typeChecked;
    // Integer
    std::vector<qint64> m_ints;
    std::vector<bool> m_nulls;
    // Text
    std::vector<char16_t> m_chars;
    std::vector<quint32> m_start;
    std::vector<quint32> m_length;
    // Variant
    std::vector<QVariant> m_vars;
};

} // namespace velomar::archive
