#include "archive/ArchiveProperties.h"

#include "archive/DateStamp.h"
#include "common/AppError.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace velomar::archive {

namespace {

QLocale italian() { return QLocale(QLocale::Italian, QLocale::Italy); }

ArchiveProperties fileFacts(const QString& path) {
    ArchiveProperties p;
    const QFileInfo info(path);
    p.fileName = info.fileName();
    p.bytes = info.size();
    p.lastRead = info.lastRead();
    p.lastModified = info.lastModified();
    return p;
}

} // namespace

ArchiveProperties ArchiveProperties::read(const QString& path, const QString& folder, Database* openDb) {
    ArchiveProperties p = fileFacts(path);
    p.folder = folder;
    p.filesInFolder = int(QDir(folder).entryList({QStringLiteral("*.mdb")}, QDir::Files).size());
    try {
        p.created = DateStamp::readByPath(path, DateStamp::Kind::Creazione, openDb);
        p.compacted = DateStamp::readByPath(path, DateStamp::Kind::Defrag, openDb);
    } catch (const common::AppError&) {
        // An archive the window could not read shows the zero dates; its other facts stand.
    }
    return p;
}

ArchiveProperties ArchiveProperties::readGroups(const QString& path, Database& groupsDb) {
    ArchiveProperties p = fileFacts(path);
    p.folder = QFileInfo(path).absolutePath();
    try {
        p.created = DateStamp::read(groupsDb, DateStamp::Kind::Creazione);
        p.compacted = DateStamp::read(groupsDb, DateStamp::Kind::Defrag);
    } catch (const common::AppError&) {
    }
    return p;
}

QString ArchiveProperties::sizeLabel(qint64 bytes) {
    return QStringLiteral("Dimensione Archivio: ") + italian().toString(bytes) + QStringLiteral(" bytes");
}

QString ArchiveProperties::dateTimeText(const QDateTime& t) {
    if (!t.isValid())
        return DateStamp::zeroDateText();
    return italian().toString(t, QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QString ArchiveProperties::createdLabel() const {
    return QStringLiteral("Data creazione Archivio: ") + DateStamp::text(created);
}

QString ArchiveProperties::compactedLabel() const {
    return QStringLiteral("Ultima Compattazione Archivio: ") + DateStamp::text(compacted);
}

QString ArchiveProperties::lastReadLabel() const {
    return QStringLiteral("Data ultimo accesso: ") + dateTimeText(lastRead);
}

QString ArchiveProperties::lastModifiedLabel() const {
    return QStringLiteral("Data ultima modifica: ") + dateTimeText(lastModified);
}

} // namespace velomar::archive
