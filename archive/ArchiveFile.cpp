#include "archive/ArchiveFile.h"

#include "archive/DatabaseError.h"

#include <QFile>

#include <sqlite3.h>

namespace velomar::archive {

Database ArchiveFile::open(const QString& path, ArchiveKind kind, Access access) {
    ArchiveFormat::checkHeader(path);
    {
        Database probe(path, Database::Mode::ReadOnly);
        probe.setBusyTimeout(LockWaitMs);
        probe.exec(QStringLiteral("PRAGMA cell_size_check = ON"));
        ArchiveFormat::validate(probe, kind);
        if (access == Access::ReadOnly) {
            probe.setBusyTimeout(Database::DefaultBusyTimeoutMs);
            return probe;
        }
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
    db.setBusyTimeout(LockWaitMs);
    db.exec(QStringLiteral("PRAGMA cell_size_check = ON"));
    ArchiveFormat::validate(db, kind);
    // Takes and drops the write lock: a file another program holds is refused now, not
    // at the first change. No page is written.
    db.exec(QStringLiteral("BEGIN IMMEDIATE"));
    db.exec(QStringLiteral("ROLLBACK"));
    db.setBusyTimeout(Database::DefaultBusyTimeoutMs);
    return db;
}

} // namespace velomar::archive
