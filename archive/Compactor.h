#pragma once

#include "archive/ArchiveFormat.h"

#include <QString>
#include <functional>

namespace velomar::archive {

// Compaction of an archive file. The compacted copy is written to the ".kkk" file beside
// the archive (SQLite VACUUM INTO), checked to open as a valid archive with the same
// number of rows, stamped with DATADEF, flushed to disk, and only then renamed over the
// archive in one atomic step. Whatever fails, and wherever the process dies, the archive
// is either the old file or the complete new one.
class Compactor {
public:
    // Points at which a test may stop the process.
    enum class Stage { Started, CopyWritten, CopyVerified, CopyStamped, Replaced };
    using StageHook = std::function<void(Stage)>;

    struct Result {
        qint64 rows = 0;
        qint64 bytesBefore = 0;
        qint64 bytesAfter = 0;
    };

    // No other connection may hold the archive. Throws DatabaseError with an Italian
    // description of the step that failed; the archive is then unchanged.
    static Result compact(const QString& path, ArchiveKind kind, const StageHook& hook = {});

    // folder/name-without-extension.kkk
    static QString tempPathFor(const QString& path);
};

} // namespace velomar::archive
