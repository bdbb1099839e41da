#pragma once

#include <QString>

namespace velomar::addresses {

// The open archive can vanish or turn read-only under the program (another program, the
// file manager). SQLite would go on writing into a deleted file, so each write checks first.
namespace ArchiveGuard {

// The message to show when the archive file cannot take a write now, "" when it can.
QString writeProblem(const QString& path);

} // namespace ArchiveGuard
} // namespace velomar::addresses
