#pragma once

#include "exchange/SourceTable.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace velomar::exchange {

// A user table of an Access database: its name, field names and row count.
struct AccessTableInfo {
    QString name;
    QStringList columns;
    qint64 rows = 0;
};

// An Access database (.mdb of Jet 3 and 4, .accdb) read in this process through libmdb.
// libmdb trusts the file: a damaged one can make it loop for ever or crash, and it writes
// English notes on standard error. Only velomar-batch access-copy reads through this
// class; everyone else uses AccessReader, which runs that command in a child process.
// Jet 3 files hold 8-bit text, read as Windows-1252 unless MDB_JET3_CHARSET names another
// code page.
class MdbFile {
public:
    // Throws ExchangeError: ReadFailed when the file cannot be read, BadInput when libmdb
    // cannot read it as an Access database.
    explicit MdbFile(const QString& path);
    ~MdbFile();
    MdbFile(MdbFile&&) noexcept;
    MdbFile& operator=(MdbFile&&) noexcept;

    // "Jet 3 (Access 97)", "Jet 4 (Access 2000-2003)", "ACE (Access 2007 o successivo)".
    QString format() const;

    // User tables in the order of the catalogue (system tables "MSys..." left out).
    std::vector<AccessTableInfo> tables() const;

    // A table's rows: one column per field; numbers with '.' and no trailing zeros, dates
    // as dd/mm/yyyy (with hh:mm:ss when there is a time), yes/no as 1/0, binary and OLE
    // fields empty. Throws ExchangeError(BadInput) for a table that does not exist.
    std::unique_ptr<SourceTable> openTable(const QString& name) const;

    // The refusal of a file libmdb cannot read, or that made it fail.
    static QString damagedText(const QString& path);

private:
    struct Handle;
    QString m_path;
    std::unique_ptr<Handle> m_handle;
};

} // namespace velomar::exchange
