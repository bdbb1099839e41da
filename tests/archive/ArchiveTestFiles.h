#pragma once

#include "support/TestEnvironment.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sys/stat.h>

namespace velomar::test {

inline QString templatePath(const QString& name) {
    return binaryPath(QStringLiteral("data/") + name);
}

// Copies a template to dest and makes the copy writable (templates are read-only).
inline bool copyTemplate(const QString& name, const QString& dest) {
    if (!QFile::copy(templatePath(name), dest))
        return false;
    return QFile::setPermissions(dest, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Everything a refused or failed command must leave alone: the bytes, the time, the type
// and permissions (of a link itself), and the folder around it (no journal left behind).
struct FileSnapshot {
    QByteArray bytes;
    QDateTime modified;
    quint32 mode = 0;
    QString linkTarget;
    QStringList folder;

    static FileSnapshot of(const QString& path) {
        FileSnapshot s;
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0)
            s.mode = st.st_mode;
        const QFileInfo info(path);
        s.modified = info.lastModified();
        s.linkTarget = info.symLinkTarget();
        QFile f(path);
        if (S_ISREG(s.mode) && f.open(QIODevice::ReadOnly)) // a pipe would block
            s.bytes = f.readAll();
        s.folder = info.dir().entryList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
        return s;
    }
    bool operator==(const FileSnapshot&) const = default;
};

} // namespace velomar::test
