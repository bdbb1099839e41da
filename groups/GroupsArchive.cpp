#include "groups/GroupsArchive.h"

#include "archive/ArchiveFile.h"
#include "archive/DateStamp.h"
#include "archive/Recordset.h"
#include "common/AppError.h"
#include "common/DialogService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace velomar::groups {

QString GroupsArchive::path(const QString& programDir) {
    return QDir(programDir).filePath(fileName());
}

GroupsArchive::Prepared GroupsArchive::ensure(const QString& programDir, common::DialogService& dialogs) {
    const QString target = path(programDir);
    if (QFileInfo::exists(target))
        return Prepared::Existing;
    dialogs.message(QStringLiteral("Archivio Gruppi non trovato !"), common::MsgIcon::Critical);
    const QString source = QDir(programDir).filePath(templateName());
    const QString temp = target + QStringLiteral(".tmp");
    QFile::remove(temp);
    try {
        if (!QFile::copy(source, temp))
            throw common::AppError(53, QStringLiteral("Impossibile copiare \"%1\".").arg(QDir::toNativeSeparators(source)));
        QFile::setPermissions(temp, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        {
            archive::Database db = archive::ArchiveFile::open(temp, archive::ArchiveKind::Groups,
                                                              archive::ArchiveFile::Access::ReadWrite);
            archive::DateStamp::stamp(db, archive::DateStamp::Kind::Creazione);
        }
        if (!QFile::rename(temp, target))
            throw common::AppError(75, QStringLiteral("Impossibile creare \"%1\".").arg(QDir::toNativeSeparators(target)));
    } catch (const common::AppError& e) {
        QFile::remove(temp);
        dialogs.message(e.standardText(), common::MsgIcon::Critical);
        return Prepared::Failed;
    }
    return Prepared::Created;
}

std::optional<QString> GroupsArchive::codeProblem(const QString& code) {
    static const QRegularExpression valid(QStringLiteral("^[A-Z0-9]{2}$"));
    if (!valid.match(code).hasMatch())
        return QStringLiteral("Il codice del Gruppo deve essere di 2 caratteri (lettere o cifre) !");
    return std::nullopt;
}

qint64 GroupsArchive::rowOfCode(const archive::Recordset& groups, const QString& code) {
    const int field = groups.fieldIndex(QStringLiteral("GRUPPO"));
    for (qint64 row = 0; row < groups.recordCount(); ++row)
        if (groups.textAt(row, field) == code)
            return row;
    return -1;
}

qint64 GroupsArchive::rowOfNr(const archive::Recordset& groups, qint64 nr) {
    const int field = groups.fieldIndex(QStringLiteral("NR"));
    for (qint64 row = 0; row < groups.recordCount(); ++row)
        if (groups.valueAt(row, field).toLongLong() == nr)
            return row;
    return -1;
}

bool GroupsArchive::codeTaken(const archive::Recordset& groups, const QString& code, qint64 exceptNr) {
    const int gruppo = groups.fieldIndex(QStringLiteral("GRUPPO"));
    const int nr = groups.fieldIndex(QStringLiteral("NR"));
    for (qint64 row = 0; row < groups.recordCount(); ++row)
        if (groups.textAt(row, gruppo) == code && groups.valueAt(row, nr).toLongLong() != exceptNr)
            return true;
    return false;
}

} // namespace velomar::groups
