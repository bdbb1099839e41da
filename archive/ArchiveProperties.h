#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

namespace velomar::archive {

class Database;

// The facts the properties windows show about an archive file, and their label texts.
struct ArchiveProperties {
    QString fileName;      // without folder
    QString folder;        // the last archive folder
    int filesInFolder = 0; // archives (".mdb") in that folder
    qint64 bytes = 0;
    std::optional<QDate> created;
    std::optional<QDate> compacted;
    QDateTime lastRead;
    QDateTime lastModified;

    // File facts of path; the two dates come from openDb when given (the connection
    // already holding the archive), else from a read-only look of its own. Dates that
    // cannot be read are left empty and show as the zero date.
    static ArchiveProperties read(const QString& path, const QString& folder, Database* openDb);
    // The groups archive's dates come through the groups window's connection.
    static ArchiveProperties readGroups(const QString& path, Database& groupsDb);

    static QString sizeLabel(qint64 bytes);          // "Dimensione Archivio: 1.234.567 bytes"
    static QString dateTimeText(const QDateTime& t); // "06/12/2026 14:05:09"
    QString createdLabel() const;                    // "Data creazione Archivio: 06/12/2026"
    QString compactedLabel() const;                  // "Ultima Compattazione Archivio: ..."
    QString lastReadLabel() const;                   // "Data ultimo accesso: ..."
    QString lastModifiedLabel() const;               // "Data ultima modifica: ..."
};

} // namespace velomar::archive
