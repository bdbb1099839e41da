#pragma once

#include "archive/ArchiveFormat.h"
#include "archive/Database.h"

namespace velomar::archive {

// The one safe way to open a file of ours. The file is first checked without SQLite,
// then opened read-only and validated; only a valid archive is made writable and opened
// read/write. A file that is refused is therefore never changed: no journal, no
// permission change, no byte written.
class ArchiveFile {
public:
    enum class Access { ReadOnly, ReadWrite };

    // Throws DatabaseError (NotAnArchive, or the SQLite code) when the file is refused.
    static Database open(const QString& path, ArchiveKind kind, Access access);

    // How long an open waits for another connection's lock before refusing the file.
    static constexpr int LockWaitMs = 300;
};

} // namespace velomar::archive
