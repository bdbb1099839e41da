#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace velomar::common {

// The device and inode a path names now. Kept when a file is opened and compared later:
// a path that was deleted, renamed or replaced no longer gives the same identity.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;

    bool operator==(const FileIdentity&) const = default;

    // nullopt when nothing can be found at path.
    static std::optional<FileIdentity> of(const QString& path);
};

// True when the two paths name the same file: the same canonical path, or the same
// device and inode (another spelling, a hard link, a bind mount).
bool sameFile(const QString& a, const QString& b);

} // namespace velomar::common
