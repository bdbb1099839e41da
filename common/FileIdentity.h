#pragma once

#include <QString>

namespace velomar::common {

// True when the two paths name the same file: the same canonical path, or the same
// device and inode (another spelling, a hard link, a bind mount).
bool sameFile(const QString& a, const QString& b);

} // namespace velomar::common
