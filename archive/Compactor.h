#pragma once

#include "archive/ArchiveFormat.h"

#include <QString>
#include <functional>

namespace velomar::archive {

// Compaction of an archive file. The archive's write lock is taken first and held until
// the end, so no other program can write to it meanwhile (a writer waits, or fails with
// its own message). The compacted copy goes to a new temporary file beside the archive
// (created exclusively, so it can never be the archive itself), is checked to open as a
// valid archive with the same number of rows, stamped with DATADEF, flushed to disk, and
// only then renamed over the archive in one atomic step. Whatever fails, and wherever the
// process dies, the archive is either the old file or the complete new one. A symbolic
// link is followed: its target is compacted and the link stays.
class Compactor {
public:
    // Points at which a test may stop the process or tamper with the copy.
    enum class Stage { Started, CopyWritten, CopyVerified, CopyStamped, CopySynced, Replaced };
    // copy: the temporary file ("" at Started; the archive itself at Replaced).
    using StageHook = std::function<void(Stage, const QString& copy)>;

    struct Result {
        qint64 rows = 0;
        qint64 bytesBefore = 0;
        qint64 bytesAfter = 0;
    };

    // No connection of this process may hold the archive. Throws DatabaseError with an
    // Italian description of the step that failed; the archive is then unchanged.
    static Result compact(const QString& path, ArchiveKind kind, const StageHook& hook = {});

    // Whether fileName (no folder) is a temporary copy this class made for the archive
    // named archiveName: ".NAME.<random>-<tag>.kkk", the tag a hash of both, so a file
    // of the user's never passes by accident. Also true for that copy's "-journal".
    static bool isTemporaryOf(const QString& fileName, const QString& archiveName);

private:
    static Result compactFile(const QString& path, ArchiveKind kind, const StageHook& hook);
};

} // namespace velomar::archive
