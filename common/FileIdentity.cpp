#include "common/FileIdentity.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace velomar::common {

std::optional<FileIdentity> FileIdentity::of(const QString& path) {
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino)};
}

bool sameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && ca == cb)
        return true;
    const auto ia = FileIdentity::of(a);
    return ia && ia == FileIdentity::of(b);
}

} // namespace velomar::common
