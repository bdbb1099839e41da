#pragma once

#include <QString>
#include <QVariant>
#include <memory>

struct sqlite3_stmt;

namespace velomar::archive {

class Database;

// A prepared statement; finalised in the destructor. Values reach SQL only through bind.
class Statement {
public:
    Statement(Database& db, const QString& sql);
    Statement(Statement&&) noexcept = default;
    Statement& operator=(Statement&&) noexcept = default;
    ~Statement() = default;

    // 1-based, as SQLite numbers parameters. A null QVariant binds NULL.
    Statement& bind(int index, const QVariant& value);
    Statement& bindText(int index, const QString& value);
    Statement& bindInt(int index, qint64 value);
    Statement& bindNull(int index);
    // The value of a column of another statement's current row, exactly as stored: the
    // same storage class and, for text and blobs, the same bytes.
    Statement& bindValueFrom(int index, const Statement& from, int column);

    // True while a row is available; false when done.
    bool step();
    void reset();
    // Runs to completion; for statements without result rows.
    void exec();

    int columnCount() const;
    QString columnName(int column) const;
    bool isNull(int column) const;
    QString text(int column) const; // NULL reads as a null QString
    qint64 integer(int column) const;
    double real(int column) const;
    QVariant value(int column) const; // typed as SQLite stores it; NULL as invalid QVariant
    int columnType(int column) const; // SQLITE_INTEGER, ... (see sqlite3.h)

    sqlite3_stmt* handle() const { return m_stmt.get(); }

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* stmt) const noexcept;
    };
    Database* m_db;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_stmt;
};

} // namespace velomar::archive
