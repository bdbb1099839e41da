#include "common/SystemErrorText.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>

namespace velomar::common {

namespace {

// The errno values a desktop user meets; the order is the one used to match Qt's text.
constexpr int kKnown[] = {ENOSPC, EDQUOT, EACCES, EPERM, EROFS, ENOENT, ENOTDIR, EISDIR, ELOOP, ENAMETOOLONG,
                          EMFILE, ENFILE, EBUSY, ETXTBSY, EFBIG, EEXIST, EIO, ENXIO, ENODEV, ENOMEM};

// Below this the folder's volume is taken as full: a failed write there is "disk full".
constexpr qint64 kNearlyFull = 64 * 1024;

} // namespace

QString SystemErrorText::of(int errnum) {
    switch (errnum) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Disco pieno: spazio insufficiente per scrivere il file.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Permesso negato: non si hanno i diritti per accedere al file.");
    case EROFS:
        return QStringLiteral("Disco o cartella in sola lettura: impossibile scrivere.");
    case ENOENT:
        return QStringLiteral("File o cartella non trovati.");
    case ENOTDIR:
        return QStringLiteral("Percorso non valido: una parte del percorso non è una cartella.");
    case EISDIR:
        return QStringLiteral("Il nome indicato è una cartella.");
    case ELOOP:
        return QStringLiteral("Collegamento simbolico circolare.");
    case ENAMETOOLONG:
        return QStringLiteral("Nome del file troppo lungo.");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Troppi file aperti.");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("File in uso da un altro programma.");
    case EFBIG:
        return QStringLiteral("File troppo grande.");
    case EEXIST:
        return QStringLiteral("Il file esiste già.");
    case EIO:
        return QStringLiteral("Errore di lettura o scrittura sul disco.");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("Dispositivo non disponibile.");
    case ENOMEM:
        return QStringLiteral("Memoria insufficiente.");
    default:
        return QStringLiteral("Errore di sistema %1.").arg(errnum);
    }
}

QString SystemErrorText::ofFile(const QFileDevice& file) {
    const QString english = file.errorString();
    for (const int e : kKnown)
        if (english.contains(QString::fromLocal8Bit(std::strerror(e)), Qt::CaseInsensitive))
            return of(e);
    const QFileInfo info(file.fileName());
    // A short write that filled the volume leaves no error set at all (NoError).
    if (file.error() == QFileDevice::WriteError || file.error() == QFileDevice::ResourceError ||
        file.error() == QFileDevice::UnspecifiedError || file.error() == QFileDevice::NoError) {
        const QStorageInfo volume(info.absolutePath());
        if (volume.isValid() && volume.isReady() && volume.bytesAvailable() < kNearlyFull)
            return of(ENOSPC);
        if (volume.isValid() && volume.isReadOnly())
            return of(EROFS);
    }
    if (file.error() == QFileDevice::OpenError) {
        if (!QFileInfo::exists(info.absolutePath()))
            return of(ENOENT);
        if (info.isDir())
            return of(EISDIR);
    }
    switch (file.error()) {
    case QFileDevice::ReadError:
        return QStringLiteral("Errore di lettura del file.");
    case QFileDevice::OpenError:
        return QStringLiteral("Impossibile aprire il file.");
    case QFileDevice::PermissionsError:
        return of(EACCES);
    default:
        return QStringLiteral("Errore di scrittura del file.");
    }
}

} // namespace velomar::common
