#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velomar::archive {

class Database;

// The three kinds of database file the program reads: address archives (".mdb" and the
// template "NewMail.sys"), the groups archive ("Gruppi.grp", "NewGruppi.sys") and the
// country table ("StatiEsteri.mdb").
enum class ArchiveKind { Addresses, Groups, Countries };

// What makes a file one of ours. Every file carries our SQLite application id and a
// gate row: a random salt and SHA-256(salt + password). The gate tells our archives
// apart from other files and refuses a file sealed with another password; it is not
// encryption, the data stays readable by any SQLite tool.
class ArchiveFormat {
public:
    static constexpr qint32 ApplicationId = 0x564C4D52; // "VLMR"
    static constexpr const char* GateTable = "ArchiveGate";

    static QString password(ArchiveKind kind); // "plimbor", or "" for the country table

    // Creates an empty file of the kind at path (which must not exist): schema, one
    // TabDEFRAG row where the kind has one, and the gate. salt empty = a random one.
    static void createEmpty(const QString& path, ArchiveKind kind, const QByteArray& salt = {});

    // Writes the application id and the gate into an open, writable database.
    static void seal(Database& db, const QString& password, const QByteArray& salt = {});

    // Quick test of the first 100 bytes, without SQLite: an SQLite 3 file in rollback
    // journal mode carrying our application id. Throws DatabaseError otherwise.
    // checkSize = false skips the file size test, for a file whose interrupted write is
    // still to be rolled back (it may have grown before the crash).
    static void checkHeader(const QString& path, bool checkSize = true);

    // Throws DatabaseError(NotAnArchive) unless db is sealed with the kind's password
    // and holds every table and field the program uses (TabMAIL fields in their order).
    static void validate(Database& db, ArchiveKind kind);

    static QByteArray verifier(const QByteArray& salt, const QString& password);
    static QString schemaSql(ArchiveKind kind);
};

} // namespace velomar::archive
