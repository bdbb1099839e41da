#pragma once

#include "exchange/MdbFile.h"
#include "exchange/SourceTable.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace velomar::exchange {

// An Access database (.mdb of Jet 3 and 4, .accdb): its user tables and, one at a time,
// their rows as text (see MdbFile). libmdb can loop for ever or crash on a damaged file,
// so it runs in a child process, velomar-batch access-copy, which copies what is asked
// into a temporary file; a child that fails, crashes or passes its time or memory limit
// ends in ExchangeError(BadInput, "... file Access danneggiato.") and this program goes
// on. libmdb's own notes stay in the child.
class AccessReader {
public:
    // "Standard Jet DB" / "Standard ACE DB" at offset 4: cheap enough for every file the
    // user opens.
    static bool isAccessFile(const QString& path);

    // Reads the catalogue. Throws ExchangeError: ReadFailed when the file cannot be read,
    // BadInput when it is not an Access database that can be read.
    explicit AccessReader(const QString& path);

    QString format() const { return m_format; }
    QStringList tables() const;
    const std::vector<AccessTableInfo>& tableInfo() const { return m_tables; }

    // The table an import reads unless told: the first whose fields look like addresses
    // (two of street, CAP and town by their names), else the first; empty without tables.
    QString addressTable() const;

    // A table's rows, copied by a child of its own; the table may outlive the reader.
    // Throws ExchangeError(BadInput) for a table that does not exist.
    std::unique_ptr<SourceTable> openTable(const QString& name) const;

    // What the child may use: time grows with the file's size.
    struct Limits {
        int baseMs = 5000;
        int msPerMegabyte = 1000;
        qint64 memoryBytes = qint64(1) << 30;
    };
    static void setLimits(const Limits& limits);
    // velomar-batch beside the running program unless set (tests).
    static void setHelperProgram(const QString& path);

private:
    QString m_path;
    QString m_format;
    std::vector<AccessTableInfo> m_tables;
};

} // namespace velomar::exchange
