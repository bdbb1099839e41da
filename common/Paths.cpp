#include "common/Paths.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace velomar::common {

bool Paths::fileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool Paths::pathExists(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString Paths::fileName(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

QString Paths::fileNameWithoutExtension(const QString& path) {
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot <= 0 ? name : name.left(dot);
}

QString Paths::folder(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {};
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QString Paths::join(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString Paths::floppyDevice(const QString& drive) {
    const QString d = drive.trimmed().toLower();
    if (d == QLatin1String("a:") || d == QLatin1String("a"))
        return QStringLiteral("/dev/fd0");
    if (d == QLatin1String("b:") || d == QLatin1String("b"))
        return QStringLiteral("/dev/fd1");
    return {};
}

bool Paths::driveReady(const QString& drive) {
    const QString device = floppyDevice(drive);
    if (device.isEmpty()) {
        const QFileInfo info(drive);
        return !drive.isEmpty() && info.isDir() && info.isReadable();
    }
    if (!QFileInfo::exists(device))
        return false;
    // A drive with no disk refuses to open; O_NONBLOCK keeps an empty drive from hanging.
    const QByteArray native = QFile::encodeName(device);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    char byte = 0;
    const bool readable = ::read(fd, &byte, 1) == 1;
    ::close(fd);
    return readable;
}

} // namespace velomar::common
