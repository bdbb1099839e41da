#include "archive/Compactor.h"

#include "archive/ArchiveFile.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "common/SystemErrorText.h"
#include "archive/DateStamp.h"
#include "archive/Statement.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velomar::archive {

namespace {

// A failure the compaction itself describes, in Italian; any other is translated once
// at the way out.
class CompactionFailure : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

[[noreturn]] void fail(const QString& step, const QString& cause = {}, int code = SQLITE_IOERR) {
    throw CompactionFailure(code, cause.isEmpty() ? step : step + QStringLiteral(": ") + cause);
}

// SQLite's primary result code; the archive's own codes (9001...) as they are.
int primaryCode(const DatabaseError& e) { return e.code() >= 9000 ? e.code() : e.code() & 0xff; }

bool isBusy(const DatabaseError& e) {
    const int code = primaryCode(e);
    return code == SQLITE_BUSY || code == SQLITE_LOCKED || code == DatabaseError::InUse;
}

[[noreturn]] void failInUse() {
    throw CompactionFailure(DatabaseError::InUse,
                        QStringLiteral("Archivio in uso da un altro programma: riprovare quando non è più aperto"));
}

QString mainTable(ArchiveKind kind) {
    return kind == ArchiveKind::Groups ? QStringLiteral("TabGRUPPI")
           : kind == ArchiveKind::Countries ? QStringLiteral("TabStatiEst")
                                            : QStringLiteral("TabMAIL");
}

qint64 rowCount(Database& db, ArchiveKind kind) {
    Statement st(db, QStringLiteral("SELECT COUNT(*) FROM ") + mainTable(kind));
    return st.step() ? st.integer(0) : 0;
}

// Data reaches the disk before the rename makes it the archive.
int syncPath(const QString& path, bool directory) {
    const int fd = ::open(QFile::encodeName(path).constData(), directory ? O_RDONLY | O_DIRECTORY : O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int err = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return err;
}

struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FileId&) const = default;
};

// The regular file at path (never through a link), or nothing.
std::optional<FileId> regularFileAt(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileId{st.st_dev, st.st_ino};
}

QString stemFor(const QString& archiveName) {
    // Keeps the temporary's name within the folder's name length limit.
    int n = std::min<int>(archiveName.size(), 40);
    if (n < archiveName.size() && archiveName.at(n - 1).isHighSurrogate())
        --n;
    return archiveName.left(n);
}

QString tagFor(const QString& archiveName, const QString& random) {
    const QByteArray seed = "Velomar compaction\n" + archiveName.toUtf8() + '\n' + random.toLatin1();
    return QString::fromLatin1(QCryptographicHash::hash(seed, QCryptographicHash::Sha256).toHex().left(8));
}

const QRegularExpression& temporaryPattern() {
    static const QRegularExpression re(QStringLiteral("^\\.(.+)\\.([a-z0-9]{8})-([0-9a-f]{8})\\.kkk(-journal)?$"));
    return re;
}

// The compaction's own file: created exclusively (so it is never an existing file, the
// archive least of all) and removed on every path but the rename, only while it is
// still the very file that was created.
class TemporaryCopy {
public:
    TemporaryCopy(const QString& folder, const QString& archiveName) {
        static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            QString random;
            for (int i = 0; i < 8; ++i)
                random += QLatin1Char(alphabet[QRandomGenerator::system()->bounded(36)]);
            const QString name = QLatin1Char('.') + stemFor(archiveName) + QLatin1Char('.') + random +
                                 QLatin1Char('-') + tagFor(archiveName, random) + QStringLiteral(".kkk");
            const QString candidate = QDir(folder).filePath(name);
            const int fd = ::open(QFile::encodeName(candidate).constData(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                fail(QStringLiteral("Impossibile creare la copia compattata nella cartella dell'archivio"),
                     common::SystemErrorText::of(errno));
            }
            struct stat st {};
            ::fstat(fd, &st);
            ::close(fd);
            m_path = candidate;
            m_id = FileId{st.st_dev, st.st_ino};
            return;
        }
        fail(QStringLiteral("Impossibile creare la copia compattata nella cartella dell'archivio"));
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;
    // Never throws: it runs while a failure unwinds.
    ~TemporaryCopy() {
        if (m_kept)
            return;
        if (regularFileAt(m_path) == m_id)
            ::unlink(QFile::encodeName(m_path).constData());
        const QString journal = m_path + QStringLiteral("-journal");
        if (regularFileAt(journal))
            ::unlink(QFile::encodeName(journal).constData());
    }

    const QString& path() const { return m_path; }
    void keep() { m_kept = true; }

private:
    QString m_path;
    FileId m_id;
    bool m_kept = false;
};

// Copies left by a compaction that was killed. Called with the archive's write lock held:
// any compaction of this archive holds that lock while its copy exists, so a copy found
// now belongs to none that is running.
void removeStaleCopies(const QFileInfo& archive, const FileId& archiveId) {
    const QDir folder = archive.absoluteDir();
    const QStringList names =
        folder.entryList({QStringLiteral(".*.kkk"), QStringLiteral(".*.kkk-journal")},
                         QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names) {
        if (!Compactor::isTemporaryOf(name, archive.fileName()))
            continue;
        const QString path = folder.filePath(name);
        const std::optional<FileId> id = regularFileAt(path);
        if (id && !(*id == archiveId))
            ::unlink(QFile::encodeName(path).constData());
    }
}

} // namespace

bool Compactor::isTemporaryOf(const QString& fileName, const QString& archiveName) {
    const QRegularExpressionMatch m = temporaryPattern().match(fileName);
    return m.hasMatch() && m.captured(1) == stemFor(archiveName) && m.captured(3) == tagFor(archiveName, m.captured(2));
}

Compactor::Result Compactor::compact(const QString& path, ArchiveKind kind, const StageHook& hook) {
    try {
        return compactFile(path, kind, hook);
    } catch (const CompactionFailure&) {
        throw;
    } catch (const DatabaseError& e) {
        // SQLite's own text is English: the user reads the cause in Italian.
        throw DatabaseError(e.code(), FailureText::of(e, path));
    }
}

Compactor::Result Compactor::compactFile(const QString& path, ArchiveKind kind, const StageHook& hook) {
    const auto reach = [&](Stage stage, const QString& copy) {
        if (hook)
            hook(stage, copy);
    };
    reach(Stage::Started, {});

    // A link is followed: the target is compacted in its own folder and the link stays.
    const QFileInfo archive(QFileInfo(path).canonicalFilePath());
    if (archive.filePath().isEmpty())
        fail(QStringLiteral("Archivio non trovato"), QDir::toNativeSeparators(path), SQLITE_CANTOPEN);
    const QString target = archive.filePath();

    // The write lock is held from before the copy until after the rename: another program
    // cannot write rows into a file that is about to be replaced. Whoever still holds the
    // old file gets the lock only after the rename, and SQLite then refuses its writes to
    // a file that is no longer the archive.
    Database lock;
    try {
        lock = ArchiveFile::open(target, kind, ArchiveFile::Access::ReadWrite);
        lock.exec(QStringLiteral("BEGIN IMMEDIATE"));
    } catch (const DatabaseError& e) {
        if (isBusy(e))
            failInUse();
        throw;
    }
    // From here on the archive is never opened outside SQLite: closing a descriptor of
    // it would drop the process's locks on it.
    const std::optional<FileId> archiveId = regularFileAt(target);
    if (!archiveId)
        fail(QStringLiteral("Archivio non trovato"), QDir::toNativeSeparators(target), SQLITE_CANTOPEN);
    removeStaleCopies(archive, *archiveId);

    Result result;
    result.rows = rowCount(lock, kind);
    result.bytesBefore = QFileInfo(target).size();
    TemporaryCopy copy(archive.absolutePath(), archive.fileName());

    // VACUUM INTO refuses to run inside a transaction; a second connection reads the
    // archive under the first one's lock.
    try {
        Database reader(target, Database::Mode::ReadOnly);
        Statement vacuum(reader, QStringLiteral("VACUUM INTO ?"));
        vacuum.bindText(1, copy.path()).exec();
    } catch (const DatabaseError& e) {
        fail(QStringLiteral("Impossibile scrivere la copia compattata"), FailureText::ofDatabaseCode(e.code()), e.code());
    }
    reach(Stage::CopyWritten, copy.path());

    {
        Database checked;
        try {
            checked = ArchiveFile::open(copy.path(), kind, ArchiveFile::Access::ReadWrite);
        } catch (const DatabaseError& e) {
            if (primaryCode(e) == DatabaseError::Damaged || primaryCode(e) == SQLITE_CORRUPT)
                fail(QStringLiteral("La copia compattata è danneggiata"));
            fail(QStringLiteral("La copia compattata non è un archivio valido"), FailureText::ofDatabaseCode(e.code()));
        }
        Statement check(checked, QStringLiteral("PRAGMA quick_check"));
        if (!check.step() || check.text(0) != QLatin1String("ok"))
            fail(QStringLiteral("La copia compattata è danneggiata"));
        if (rowCount(checked, kind) != result.rows)
            fail(QStringLiteral("La copia compattata non contiene tutti i record"));
        reach(Stage::CopyVerified, copy.path());
        if (kind != ArchiveKind::Countries)
            DateStamp::stamp(checked, DateStamp::Kind::Defrag);
    }
    reach(Stage::CopyStamped, copy.path());

    struct stat original {};
    if (::stat(QFile::encodeName(target).constData(), &original) == 0) {
        // The copy takes the archive's owner and permissions (a compaction run by root
        // must not take the file away from its user).
        const QByteArray encoded = QFile::encodeName(copy.path());
        if (::chown(encoded.constData(), original.st_uid, original.st_gid) != 0) {
            // Not the owner: the file becomes ours, as any rewrite by this user would.
        }
        ::chmod(encoded.constData(), (original.st_mode & 07777) | S_IRUSR | S_IWUSR);
    }
    if (const int err = syncPath(copy.path(), false))
        fail(QStringLiteral("Impossibile scrivere su disco la copia compattata"), common::SystemErrorText::of(err));
    reach(Stage::CopySynced, copy.path());

    // The archive must still be the file that was locked and copied: a file put in its
    // place meanwhile is someone's data, not ours to overwrite.
    int moved = 0;
    if (sqlite3_file_control(lock.handle(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || moved ||
        !(regularFileAt(target) == archiveId))
        fail(QStringLiteral("L'archivio è stato spostato o sostituito durante la compattazione"));

    // rename(2) replaces the archive in one step: there is no moment without it.
    if (std::rename(QFile::encodeName(copy.path()).constData(), QFile::encodeName(target).constData()) != 0)
        fail(QStringLiteral("Impossibile sostituire l'archivio con la copia compattata"), common::SystemErrorText::of(errno));
    copy.keep();
    syncPath(archive.absolutePath(), true);
    lock.close();

    result.bytesAfter = QFileInfo(target).size();
    reach(Stage::Replaced, target);
    return result;
}

} // namespace velomar::archive
