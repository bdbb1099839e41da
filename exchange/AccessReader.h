#pragma once

#include "exchange/SourceTable.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace velomar::exchange {

// An Access database (.mdb of Jet 3 and 4, .accdb) read through libmdb: its user tables
// and, one at a time, their rows as text. Jet 3 files hold 8-bit text, read as
// Windows-1252 unless MDB_JET3_CHARSET names another code page.
class AccessReader {
public:
    // "Standard Jet DB" / "Standard ACE DB" at offset 4: cheap enough for every file the
    // user opens.
    static bool isAccessFile(const QString& path);

    // Throws ExchangeError: ReadFailed when the file cannot be read, BadInput when it is
    // not an Access database libmdb can read.
    explicit AccessReader(const QString& path);
    ~AccessReader();
    AccessReader(AccessReader&&) noexcept;
    AccessReader& operator=(AccessReader&&) noexcept;

    // "Jet 3 (Access 97)", "Jet 4 (Access 2000-2003)", "ACE (Access 2007 o successivo)".
    QString format() const;

    // User tables in the order of the catalogue (system tables "MSys..." left out).
    QStringList tables() const;

    // A table's rows: one column per field; numbers with '.' and no trailing zeros, dates
    // as dd/mm/yyyy (with hh:mm:ss when there is a time), yes/no as 1/0, binary and OLE
    // fields empty. Each table gets its own handle, so tables may be read side by side.
    // Throws ExchangeError(BadInput) for a table that does not exist.
    std::unique_ptr<SourceTable> openTable(const QString& name) const;

private:
    struct Handle;
    QString m_path;
    std::unique_ptr<Handle> m_handle;
};

} // namespace velomar::exchange
