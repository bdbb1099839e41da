#pragma once

#include "support/TestEnvironment.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace velomar::test {

inline QString templatePath(const QString& name) { return binaryPath(QStringLiteral("data/") + name); }

// Copies a template to dest and makes the copy writable (templates are read-only).
inline bool copyTemplate(const QString& name, const QString& dest) {
    if (!QFile::copy(templatePath(name), dest))
        return false;
    return QFile::setPermissions(dest, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Everything a failed open must leave alone: the bytes, the times, the permissions, and
// the folder around the file (no journal left behind).
struct FileSnapshot {
    QByteArray bytes;
    QDateTime modified;
    QFileDevice::Permissions permissions;
    QStringList folder;
    bool isDir = false;

    static FileSnapshot of(const QString& path) {
        FileSnapshot s;
        const QFileInfo info(path);
        s.isDir = info.isDir();
        QFile f(path);
        if (!s.isDir && f.open(QIODevice::ReadOnly))
            s.bytes = f.readAll();
        s.modified = info.lastModified();
        s.permissions = info.permissions();
        s.folder = info.dir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        return s;
    }
    bool operator==(const FileSnapshot&) const = default;
};

} // namespace velomar::test
