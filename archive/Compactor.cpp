#include "archive/Compactor.h"

#include "archive/ArchiveFile.h"
#include "archive/DatabaseError.h"
#include "archive/DateStamp.h"
#include "archive/Statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace velomar::archive {

namespace {

[[noreturn]] void fail(const QString& step, const QString& detail = {}) {
    throw DatabaseError(SQLITE_IOERR, detail.isEmpty() ? step : step + QStringLiteral(": ") + detail);
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
bool syncPath(const QString& path, bool directory) {
    const int fd = ::open(QFile::encodeName(path).constData(), directory ? O_RDONLY | O_DIRECTORY : O_RDWR);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

QString Compactor::tempPathFor(const QString& path) {
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".kkk"));
}

Compactor::Result Compactor::compact(const QString& path, ArchiveKind kind, const StageHook& hook) {
    const auto reach = [&](Stage stage) {
        if (hook)
            hook(stage);
    };
    Result result;
    const QString temp = tempPathFor(path);
    const QString folder = QFileInfo(path).absolutePath();

    // A copy left by an earlier, interrupted compaction is only a leftover.
    if (QFileInfo::exists(temp)) {
        QFile::setPermissions(temp, QFile::permissions(temp) | QFileDevice::WriteOwner);
        QFile::remove(temp);
        if (QFileInfo::exists(temp))
            fail(QStringLiteral("Impossibile eliminare il file temporaneo ") + QDir::toNativeSeparators(temp));
    }
    reach(Stage::Started);

    try {
        {
            Database source = ArchiveFile::open(path, kind, ArchiveFile::Access::ReadWrite);
            result.rows = rowCount(source, kind);
            result.bytesBefore = QFileInfo(path).size();
            Statement vacuum(source, QStringLiteral("VACUUM INTO ?"));
            vacuum.bindText(1, temp).exec();
        }
        reach(Stage::CopyWritten);

        {
            Database copy = ArchiveFile::open(temp, kind, ArchiveFile::Access::ReadWrite);
            Statement check(copy, QStringLiteral("PRAGMA quick_check"));
            if (!check.step() || check.text(0) != QLatin1String("ok"))
                fail(QStringLiteral("La copia compattata è danneggiata"));
            if (rowCount(copy, kind) != result.rows)
                fail(QStringLiteral("La copia compattata non contiene tutti i record"));
            reach(Stage::CopyVerified);
            if (kind != ArchiveKind::Countries)
                DateStamp::stamp(copy, DateStamp::Kind::Defrag);
        }
        QFile::setPermissions(temp, QFile::permissions(path) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
        if (!syncPath(temp, false))
            fail(QStringLiteral("Impossibile scrivere su disco la copia compattata"));
        reach(Stage::CopyStamped);

        // rename(2) replaces the archive in one step: there is no moment without it.
        if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0)
            fail(QStringLiteral("Impossibile sostituire l'archivio con la copia compattata"),
                 QString::fromLocal8Bit(std::strerror(errno)));
        syncPath(folder, true);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    result.bytesAfter = QFileInfo(path).size();
    reach(Stage::Replaced);
    return result;
}

} // namespace velomar::archive
