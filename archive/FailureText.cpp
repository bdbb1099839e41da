#include "archive/FailureText.h"

#include "archive/DatabaseError.h"
#include "archive/FilterError.h"
#include "common/SystemErrorText.h"

#include <QFileInfo>

#include <cerrno>
#include <new>

#include <sqlite3.h>

namespace velomar::archive {

namespace {

QString damagedText() {
    return QStringLiteral("Archivio danneggiato: alcune parti del file non sono leggibili.");
}

QString inUseText() {
    return QStringLiteral("Archivio in uso da un altro programma: riprovare quando l'altro programma lo avrà "
                          "lasciato.");
}

// Why a file could not be opened, from what the file system says about it now.
QString openFailure(const QString& path) {
    if (path.isEmpty())
        return QStringLiteral("Impossibile aprire il file: non trovato o senza permesso.");
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists())
        return common::SystemErrorText::of(ELOOP).chopped(1) + QStringLiteral(" o collegamento interrotto.");
    if (!info.exists())
        return QStringLiteral("File non trovato: %1").arg(path);
    if (info.isDir())
        return common::SystemErrorText::of(EISDIR);
    if (!info.isReadable())
        return common::SystemErrorText::of(EACCES);
    return QStringLiteral("Impossibile aprire il file.");
}

} // namespace

QString FailureText::ofDatabaseCode(int code, const QString& path) {
    switch (code) {
    case DatabaseError::NotAnArchive:
        return notAnArchive();
    case DatabaseError::Damaged:
        return damagedText();
    case DatabaseError::KeyNotUnique:
        return QStringLiteral("Archivio non valido: il numero d'ordine (NR) non identifica un solo indirizzo.");
    case DatabaseError::InUse:
        return inUseText();
    case DatabaseError::OutputRefused:
        return QStringLiteral("File di destinazione non ammesso: è un file in uso o non è un file normale.");
    default:
        break;
    }
    switch (code & 0xff) {
    case SQLITE_FULL:
        return common::SystemErrorText::of(ENOSPC);
    case SQLITE_IOERR:
        if (code == SQLITE_IOERR_READ || code == SQLITE_IOERR_SHORT_READ)
            return QStringLiteral("Errore di lettura dal disco.");
        if (code == SQLITE_IOERR_NOMEM)
            return common::SystemErrorText::of(ENOMEM);
        return QStringLiteral("Errore di scrittura sul disco (disco pieno, rimosso o guasto).");
    case SQLITE_CANTOPEN:
        return openFailure(path);
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return common::SystemErrorText::of(EACCES);
    case SQLITE_READONLY:
        return QStringLiteral("Archivio in sola lettura: impossibile scrivere (permesso negato o disco "
                              "protetto).");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return inUseText();
    case SQLITE_CORRUPT:
        return damagedText();
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
    case SQLITE_SCHEMA:
    // Our statements are fixed: one that fails on a validated file met a structure that
    // is not ours (a view, a table without row ids, an unknown collation or file format).
    case SQLITE_ERROR:
        return notAnArchive();
    case SQLITE_NOMEM:
        return common::SystemErrorText::of(ENOMEM);
    case SQLITE_TOOBIG:
        return QStringLiteral("Valore troppo grande per l'archivio.");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("Dato non accettato dall'archivio (valore doppio o mancante).");
    case SQLITE_INTERRUPT:
    case SQLITE_ABORT:
        return QStringLiteral("Operazione interrotta.");
    case SQLITE_MISUSE:
    case SQLITE_INTERNAL:
        return QStringLiteral("Errore interno del programma (%1).").arg(code);
    case SQLITE_NOLFS:
        return common::SystemErrorText::of(EFBIG);
    default:
        return QStringLiteral("Errore %1 nell'archivio.").arg(code);
    }
}

QString FailureText::cause(const std::exception& error, const QString& path) {
    if (dynamic_cast<const DatabaseError*>(&error) || dynamic_cast<const FilterError*>(&error))
        return of(error, path);
    if (const auto* app = dynamic_cast<const common::AppError*>(&error))
        return app->description();
    return of(error, path);
}

QString FailureText::of(const std::exception& error, const QString& path) {
    // FilterError shares a number with DatabaseError::Damaged: the type decides.
    if (const auto* filter = dynamic_cast<const FilterError*>(&error)) {
        if (filter->description().contains(QLatin1String("non valid")))
            return filter->description();
        return QStringLiteral("Gruppo o criterio non valido: %1").arg(filter->description());
    }
    if (const auto* db = dynamic_cast<const DatabaseError*>(&error)) {
        const QString cause = ofDatabaseCode(db->code(), path);
        // Our own refusals carry an Italian detail worth adding; SQLite's is English.
        const bool ownDetail = db->code() == DatabaseError::Damaged || db->code() == DatabaseError::KeyNotUnique ||
                               db->code() == DatabaseError::OutputRefused;
        if (ownDetail && !db->description().isEmpty() && db->description() != cause)
            return cause + QLatin1Char('\n') + db->description();
        return cause;
    }
    if (const auto* app = dynamic_cast<const common::AppError*>(&error))
        return app->standardText();
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return common::SystemErrorText::of(ENOMEM);
    return QStringLiteral("Errore imprevisto.");
}

} // namespace velomar::archive
