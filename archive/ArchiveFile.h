#pragma once

#include "archive/ArchiveFormat.h"
#include "archive/Database.h"

namespace velomar::archive {

// The one safe way to open a file of ours. The file is first checked without SQLite,
// then opened read-only and validated; only a valid archive is made writable and opened
// read/write. A file that is refused is therefore never changed: no journal, no
// permission change, no byte written. The one exception is a write interrupted by a
// crash or a full disk: once the header shows the file is ours, SQLite rolls the
// journal back, which puts the file back as it was before that write.
class ArchiveFile {
public:
    enum class Access { ReadOnly, ReadWrite };

    // Throws DatabaseError when the file is refused: NotAnArchive or the SQLite code;
    // InUse when another program holds it past the wait; for ReadWrite also Damaged
    // (fails the integrity check) and KeyNotUnique (TabMAIL.NR is not the row key).
    static Database open(const QString& path, ArchiveKind kind, Access access);

    // The refusals of a ReadWrite open on an already open connection: the file's pages
    // pass PRAGMA quick_check and, for addresses, NR is the table's own row key.
    static void requireWritable(Database& db, ArchiveKind kind);

    // A rollback journal with a valid header beside the file: a write was cut short.
    static bool hasInterruptedWrite(const QString& path);

    // How long an open waits for another program's lock before refusing the file.
    static constexpr int LockWaitMs = Database::DefaultBusyTimeoutMs;
};

} // namespace velomar::archive
