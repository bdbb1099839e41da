#include "archive/ArchiveCreator.h"

#include "archive/ArchiveFile.h"
#include "archive/DatabaseError.h"
#include "archive/DateStamp.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace velomar::archive {

ArchiveCreator::Outcome ArchiveCreator::create(const QString& templatePath, const QString& target) {
    if (!QFileInfo(templatePath).isFile())
        return Outcome::TemplateMissing;
    if (QFileInfo::exists(target))
        return Outcome::TargetExists;

    const QString temp = target + QStringLiteral(".nuovo");
    QFile::remove(temp);
    if (!QFile::copy(templatePath, temp))
        throw DatabaseError(SQLITE_CANTOPEN, QStringLiteral("impossibile creare %1").arg(target));
    try {
        // The installed template is read-only; the archive made from it is not.
        QFile::setPermissions(temp, QFile::permissions(temp) | QFileDevice::WriteOwner | QFileDevice::WriteUser);
        {
            Database db = ArchiveFile::open(temp, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
            DateStamp::stamp(db, DateStamp::Kind::Creazione);
        }
        // rename never replaces an existing file: a file made meanwhile under that name wins.
        if (!QFile::rename(temp, target)) {
            if (QFileInfo::exists(target)) {
                QFile::remove(temp);
                return Outcome::TargetExists;
            }
            throw DatabaseError(SQLITE_CANTOPEN, QStringLiteral("impossibile creare %1").arg(target));
        }
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    return Outcome::Created;
}

} // namespace velomar::archive
