#pragma once

#include "exchange/SourceTable.h"

#include <QString>
#include <functional>
#include <memory>

namespace velomar::exchange {

// Turns an archive kept in Access format into one of ours. The Access file is only read:
// the new archive is written to a temporary file in the same folder, checked (it opens
// as an archive of its kind and holds as many rows as the source) and only then renamed
// into place. Every failure removes the temporary and throws ExchangeError with an
// Italian message.
//
// NR: kept when the source's values are distinct positive integers (groups and notes of
// other programs may refer to them), otherwise the rows are numbered 1, 2, ... in the
// source's order.
class AccessConverter {
public:
    // Opens the source table; tests hand in tables of their own.
    using TableOpener = std::function<std::unique_ptr<SourceTable>()>;

    // Address archive: writes "NAME (convertito).mdb" beside accessPath (or
    // "NAME (convertito 2).mdb", ... when taken) from its table TabMAIL and returns the
    // new path. The source must hold our 17 field names (any order and case; SERV is
    // copied when present, other columns are refused).
    static QString convert(const QString& accessPath);
    static QString convert(const QString& accessPath, const TableOpener& openTable);

    // Whether the Access file holds the table convert reads (TabMAIL); reads the
    // catalogue only. Throws ExchangeError when the file cannot be read.
    static bool holdsAddressArchive(const QString& accessPath);

    // The name convert would write now.
    static QString convertedPath(const QString& accessPath);

    // Groups archive: converts "Gruppi.grp" (table TabGRUPPI) in place. The original is
    // first kept as "Gruppi (Access).grp" (or "Gruppi (Access 2).grp", ...), then the
    // converted file takes its name; returns the backup's path. On failure the original
    // is where it was and no other file is left behind.
    static QString convertGroups(const QString& groupsPath);
    static QString convertGroups(const QString& groupsPath, const TableOpener& openTable);

    static QString groupsBackupPath(const QString& groupsPath);

    // "Il file «Clienti.mdb» è un archivio in formato Access. Convertirlo ...?"
    static QString offerText(const QString& accessPath);
};

} // namespace velomar::exchange
