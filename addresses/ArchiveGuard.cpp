#include "addresses/ArchiveGuard.h"

#include <QFileInfo>

namespace velomar::addresses::ArchiveGuard {

QString writeProblem(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    const QString notSaved = QStringLiteral("\r\nLe modifiche non sono state salvate.");
    if (!info.exists())
        return QStringLiteral("L'archivio '") + name + QStringLiteral("' non è più disponibile.") +
               notSaved;
    if (!info.isWritable())
        return QStringLiteral("L'archivio '") + name + QStringLiteral("' è di sola lettura.") + notSaved;
    return {};
}

} // namespace velomar::addresses::ArchiveGuard
