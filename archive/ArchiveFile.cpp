#include "archive/ArchiveFile.h"

#include "archive/DatabaseError.h"
#include "archive/Statement.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace velomar::archive {

namespace {

bool isSqliteCode(int code, int primary) {
    return code < DatabaseError::NotAnArchive && (code & 0xff) == primary;
}

QString mainTable(ArchiveKind kind) {
    return kind == ArchiveKind::Groups      ? QStringLiteral("TabGRUPPI")
           : kind == ArchiveKind::Countries ? QStringLiteral("TabStatiEst")
                                            : QStringLiteral("TabMAIL");
}

// SQLite plays a hot journal back at the first read of a connection that may write.
void rollBackInterruptedWrite(const QString& path) {
    const auto cannot = [] {
        return DatabaseError(SQLITE_READONLY_ROLLBACK,
                             QStringLiteral("L'archivio è rimasto a metà di una scrittura interrotta e non può "
                                            "essere ripristinato: il file o la sua cartella sono in sola lettura."));
    };
    Database db(path, Database::Mode::ReadWrite);
    if (sqlite3_db_readonly(db.handle(), "main") != 0)
        throw cannot();
    try {
        Statement st(db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
        st.step();
    } catch (const DatabaseError& e) {
        if (isSqliteCode(e.code(), SQLITE_READONLY) || isSqliteCode(e.code(), SQLITE_CANTOPEN))
            throw cannot();
        throw;
    }
}

// Every row of the main table read in full, as an export reads it.
bool readsInFull(Database& db, ArchiveKind kind) {
    try {
        Statement st(db, QStringLiteral("SELECT * FROM ") + mainTable(kind));
        while (st.step()) {
        }
        return true;
    } catch (const DatabaseError&) {
        return false;
    }
}

void requireSound(Database& db, ArchiveKind kind) {
    bool sound = false;
    try {
        Statement check(db, QStringLiteral("PRAGMA quick_check"));
        sound = check.step() && check.text(0) == QLatin1String("ok");
    } catch (const DatabaseError& e) {
        if (!isSqliteCode(e.code(), SQLITE_CORRUPT) && !isSqliteCode(e.code(), SQLITE_NOTADB))
            throw;
    }
    if (sound)
        return;
    throw DatabaseError(DatabaseError::Damaged,
                        readsInFull(db, kind)
                            ? QStringLiteral("L'archivio è danneggiato: non è possibile modificarlo. "
                                             "È ancora possibile leggerlo ed esportarlo.")
                            : QStringLiteral("L'archivio è danneggiato: non è possibile modificarlo, e una "
                                             "parte dei dati non si può più leggere."));
}

// Editing, deleting and bookmarks find an address by NR: it must be the row key itself
// (INTEGER PRIMARY KEY), which SQLite keeps unique, never Null, and assigns on insert.
void requireRowKey(Database& db) {
    int keys = 0;
    bool nrIsKey = false;
    {
        Statement info(db, QStringLiteral("SELECT name, type, pk FROM pragma_table_info('TabMAIL')"));
        while (info.step()) {
            if (info.integer(2) == 0)
                continue;
            ++keys;
            nrIsKey = info.text(0).compare(QLatin1String("NR"), Qt::CaseInsensitive) == 0 &&
                      info.text(1).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        }
    }
    // A WITHOUT ROWID table has no row key for NR to stand for.
    sqlite3_stmt* probe = nullptr;
    const int rc = sqlite3_prepare_v2(db.handle(), "SELECT rowid FROM TabMAIL LIMIT 0", -1, &probe, nullptr);
    sqlite3_finalize(probe);
    if (keys == 1 && nrIsKey && rc == SQLITE_OK)
        return;
    throw DatabaseError(DatabaseError::KeyNotUnique,
                        QStringLiteral("Il campo NR dell'archivio non identifica un solo indirizzo: l'archivio "
                                       "è stato modificato da un altro programma. Non è possibile modificarlo, "
                                       "ma è ancora possibile leggerlo ed esportarlo."));
}

Database openChecked(const QString& path, ArchiveKind kind, ArchiveFile::Access access) {
    // A write cut short may have grown the file: its size is judged once rolled back.
    const bool interrupted = ArchiveFile::hasInterruptedWrite(path);
    ArchiveFormat::checkHeader(path, !interrupted);
    // A journal that outlives the roll back belongs to a program writing right now; its
    // lock keeps the reads below from seeing the half-written pages.
    if (interrupted) {
        rollBackInterruptedWrite(path);
        ArchiveFormat::checkHeader(path, !ArchiveFile::hasInterruptedWrite(path));
    }
    {
        Database probe(path, Database::Mode::ReadOnly);
        probe.exec(QStringLiteral("PRAGMA cell_size_check = ON"));
        ArchiveFormat::validate(probe, kind);
        if (access == ArchiveFile::Access::ReadOnly)
            return probe;
    }

    // A read-only file is made writable, as the user expects an archive he opens for
    // editing to be; only after it proved to be ours.
    const QFileDevice::Permissions perms = QFile::permissions(path);
    if (!(perms & QFileDevice::WriteOwner) &&
        !QFile::setPermissions(path, perms | QFileDevice::WriteOwner | QFileDevice::WriteUser))
        throw DatabaseError(SQLITE_READONLY, QStringLiteral("archivio in sola lettura"));

    Database db(path, Database::Mode::ReadWrite);
    if (sqlite3_db_readonly(db.handle(), "main") != 0)
        throw DatabaseError(SQLITE_READONLY, QStringLiteral("archivio in sola lettura"));
    db.exec(QStringLiteral("PRAGMA cell_size_check = ON"));
    ArchiveFormat::validate(db, kind);
    ArchiveFile::requireWritable(db, kind);
    // Takes and drops the write lock: a file another program holds is refused now, not
    // at the first change. No page is written.
    db.exec(QStringLiteral("BEGIN IMMEDIATE"));
    db.exec(QStringLiteral("ROLLBACK"));
    return db;
}

} // namespace

bool ArchiveFile::hasInterruptedWrite(const QString& path) {
    static const QByteArray journalMagic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    // SQLite names the journal after the file a symbolic link leads to.
    const QString real = QFileInfo(path).canonicalFilePath();
    const QString journalPath = (real.isEmpty() ? path : real) + QStringLiteral("-journal");
    // Only a regular file is read: a FIFO named like a journal would block the open.
    if (!QFileInfo(journalPath).isFile())
        return false;
    QFile journal(journalPath);
    return journal.open(QIODevice::ReadOnly) && journal.read(8) == journalMagic;
}

void ArchiveFile::requireWritable(Database& db, ArchiveKind kind) {
    if (kind == ArchiveKind::Addresses)
        requireRowKey(db);
    requireSound(db, kind);
}

Database ArchiveFile::open(const QString& path, ArchiveKind kind, Access access) {
    try {
        return openChecked(path, kind, access);
    } catch (const DatabaseError& e) {
        if (isSqliteCode(e.code(), SQLITE_BUSY) || isSqliteCode(e.code(), SQLITE_LOCKED))
            throw DatabaseError(DatabaseError::InUse, QStringLiteral("Archivio in uso da un altro programma"));
        throw;
    }
}

} // namespace velomar::archive
