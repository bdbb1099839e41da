#include "exchange/AccessConverter.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveFormat.h"
#include "archive/DataModel.h"
#include "archive/Database.h"
#include "archive/FailureText.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"
#include "exchange/AccessReader.h"
#include "exchange/ExchangeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace velomar::exchange {

namespace {

using archive::ArchiveKind;
using archive::DataModel;

// What is read from the source and where it goes.
struct Layout {
    ArchiveKind kind;
    QString table;           // TabMAIL, TabGRUPPI
    QStringList required;    // every one must be a column of the source
    QStringList optional;    // copied when present
    QStringList integers;    // stored as numbers (NR aside)
};

Layout addressLayout() {
    Layout l{ArchiveKind::Addresses, QStringLiteral("TabMAIL"), {}, {QStringLiteral("SERV")},
             {QStringLiteral("SERV")}};
    for (int f = 0; f < DataModel::FieldCount; ++f)
        l.required << DataModel::fieldName(f);
    return l;
}

Layout groupsLayout() {
    return {ArchiveKind::Groups,
            QStringLiteral("TabGRUPPI"),
            {QStringLiteral("GRUPPO"), QStringLiteral("DESCRIZIONE")},
            {QStringLiteral("NR")},
            {}};
}

QString quoted(const QString& path) { return QStringLiteral("«%1»").arg(QFileInfo(path).fileName()); }

[[noreturn]] void refuse(const QString& text) { throw ExchangeError(ExchangeError::BadInput, text); }

std::unique_ptr<SourceTable> openAccessTable(const QString& path, const QString& table) {
    if (!AccessReader::isAccessFile(path))
        refuse(QStringLiteral("Il file %1 non è un database in formato Access.").arg(quoted(path)));
    const AccessReader reader(path);
    for (const QString& name : reader.tables())
        if (name.compare(table, Qt::CaseInsensitive) == 0)
            return reader.openTable(name);
    refuse(QStringLiteral("Il file %1 non contiene la tabella %2: non è un archivio del programma "
                          "in formato Access.")
               .arg(quoted(path), table));
}

// The temporary the new archive is written to, in the target's folder so that the
// final rename stays on one file system. Removed unless released.
class TempArchive {
public:
    explicit TempArchive(const QString& folder) {
        const QDir dir(folder);
        do {
            m_path = dir.filePath(QStringLiteral(".conversione-%1.tmp")
                                      .arg(QRandomGenerator::global()->generate64(), 16, 16,
                                           QLatin1Char('0')));
        } while (QFileInfo::exists(m_path));
    }
    ~TempArchive() {
        if (m_path.isEmpty())
            return;
        QFile::remove(m_path);
        QFile::remove(m_path + QStringLiteral("-journal"));
    }
    TempArchive(const TempArchive&) = delete;
    TempArchive& operator=(const TempArchive&) = delete;

    const QString& path() const { return m_path; }
    void release() { m_path.clear(); }

private:
    QString m_path;
};

int columnOf(const QStringList& columns, const QString& name) {
    for (int c = 0; c < columns.size(); ++c)
        if (columns[c].compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

// Source column of each stored field, in the order of fields.
struct Plan {
    QStringList fields;
    QList<int> columns;
    int nrColumn = -1;
};

Plan planFor(const Layout& layout, const QStringList& columns, const QString& source) {
    Plan plan;
    for (const QString& name : layout.required) {
        const int c = columnOf(columns, name);
        if (c < 0)
            refuse(QStringLiteral("La tabella %1 del file %2 non ha il campo %3.")
                       .arg(layout.table, quoted(source), name));
        plan.fields << name;
        plan.columns << c;
    }
    for (const QString& name : layout.optional) {
        const int c = columnOf(columns, name);
        if (c < 0)
            continue;
        plan.fields << name;
        plan.columns << c;
    }
    // A column we have no place for would be lost without a word.
    for (const QString& column : columns)
        if (!plan.fields.contains(column, Qt::CaseInsensitive))
            refuse(QStringLiteral("La tabella %1 del file %2 ha un campo che l'archivio non prevede: %3.")
                       .arg(layout.table, quoted(source), column));
    plan.nrColumn = columnOf(columns, QStringLiteral("NR"));
    return plan;
}

// True when the source's NR values can stay as they are: distinct positive integers.
bool keepsNumbers(const AccessConverter::TableOpener& openTable, int nrColumn) {
    if (nrColumn < 0)
        return false;
    const std::unique_ptr<SourceTable> table = openTable();
    QSet<qint64> seen;
    QStringList row;
    while (table->next(row)) {
        bool ok = false;
        const qint64 nr = nrColumn < row.size() ? row[nrColumn].toLongLong(&ok) : 0;
        if (!ok || nr <= 0 || seen.contains(nr))
            return false;
        seen.insert(nr);
    }
    return true;
}

// Fills the empty archive at path from the source; returns the rows read.
qint64 fill(const QString& path, const Layout& layout, const AccessConverter::TableOpener& openTable,
            const QString& source) {
    Plan plan = planFor(layout, openTable()->columns(), source);
    const bool keepNr = keepsNumbers(openTable, plan.nrColumn);
    if (!keepNr) { // numbered by SQLite, in the source's order
        const qsizetype i = plan.fields.indexOf(QStringLiteral("NR"));
        if (i >= 0) {
            plan.fields.removeAt(i);
            plan.columns.removeAt(i);
        }
    }

    archive::Database db = archive::ArchiveFile::open(path, layout.kind, archive::ArchiveFile::Access::ReadWrite);
    archive::Transaction tx(db);
    QStringList marks;
    for (qsizetype i = 0; i < plan.fields.size(); ++i)
        marks << QStringLiteral("?");
    archive::Statement insert(db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(layout.table, plan.fields.join(u','), marks.join(u',')));
    const std::unique_ptr<SourceTable> table = openTable();
    QStringList row;
    qint64 rows = 0;
    while (table->next(row)) {
        ++rows;
        for (qsizetype i = 0; i < plan.fields.size(); ++i) {
            const int c = plan.columns[i];
            const QString value = c < row.size() ? row[c] : QString();
            const QString& field = plan.fields[i];
            const int index = int(i) + 1;
            bool ok = false;
            if (field == QLatin1String("NR") || layout.integers.contains(field)) {
                const qint64 n = value.toLongLong(&ok);
                if (value.isEmpty() && field != QLatin1String("NR"))
                    insert.bindInt(index, 0);
                else if (ok)
                    insert.bindInt(index, n);
                else
                    refuse(QStringLiteral("La riga %1 della tabella %2 ha un valore non numerico nel campo %3: %4")
                               .arg(table->position())
                               .arg(layout.table, field, value));
            } else if (value.isEmpty()) {
                insert.bindNull(index); // as the entry form stores an empty box
            } else {
                insert.bindText(index, value);
            }
        }
        insert.exec();
        insert.reset();
    }
    tx.commit();
    return rows;
}

// The written file must open as an archive of its kind and hold every row.
void check(const QString& path, const Layout& layout, qint64 rows) {
    archive::Database db = archive::ArchiveFile::open(path, layout.kind, archive::ArchiveFile::Access::ReadWrite);
    archive::Statement count(db, QStringLiteral("SELECT COUNT(*) FROM ") + layout.table);
    const qint64 stored = count.step() ? count.integer(0) : -1;
    if (stored != rows)
        throw ExchangeError(ExchangeError::WriteFailed,
                            QStringLiteral("L'archivio convertito contiene %1 righe invece di %2.")
                                .arg(stored)
                                .arg(rows));
}

QString writeChecked(const TempArchive& temp, const Layout& layout,
                     const AccessConverter::TableOpener& openTable, const QString& source) {
    archive::ArchiveFormat::createEmpty(temp.path(), layout.kind);
    const qint64 rows = fill(temp.path(), layout, openTable, source);
    check(temp.path(), layout, rows);
    return temp.path();
}

[[noreturn]] void throwFailed(const std::exception& e, const QString& source) {
    const QString head = QStringLiteral("Conversione del file %1 non riuscita.\r\n").arg(quoted(source));
    if (const auto* x = dynamic_cast<const ExchangeError*>(&e))
        throw ExchangeError(x->code(), head + x->description());
    throw ExchangeError(ExchangeError::WriteFailed, head + archive::FailureText::of(e));
}

// Renames from to to unless to exists (then false). Atomic where the file system allows.
bool renameNoReplace(const QString& from, const QString& to) {
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        throw ExchangeError(ExchangeError::WriteFailed,
                            QStringLiteral("Impossibile dare al file il nome %1: %2")
                                .arg(quoted(to), QString::fromLocal8Bit(std::strerror(errno))));
    // A file system without the flag: a hard link never replaces either.
    if (::link(a.constData(), b.constData()) == 0) {
        ::unlink(a.constData());
        return true;
    }
    if (errno == EEXIST)
        return false;
    throw ExchangeError(ExchangeError::WriteFailed,
                        QStringLiteral("Impossibile dare al file il nome %1: %2")
                            .arg(quoted(to), QString::fromLocal8Bit(std::strerror(errno))));
}

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

QString numbered(const QFileInfo& info, const QString& word, int n, const QString& suffix) {
    const QString tag = n == 1 ? word : QStringLiteral("%1 %2").arg(word).arg(n);
    return info.dir().filePath(QStringLiteral("%1 (%2).%3").arg(info.completeBaseName(), tag, suffix));
}

constexpr int kMaxNames = 1000;

} // namespace

QString AccessConverter::convertedPath(const QString& accessPath) {
    const QFileInfo info(accessPath);
    for (int n = 1; n < kMaxNames; ++n) {
        const QString path = numbered(info, QStringLiteral("convertito"), n, QStringLiteral("mdb"));
        if (!QFileInfo::exists(path))
            return path;
    }
    return QString();
}

QString AccessConverter::groupsBackupPath(const QString& groupsPath) {
    const QFileInfo info(groupsPath);
    for (int n = 1; n < kMaxNames; ++n) {
        const QString path = numbered(info, QStringLiteral("Access"), n, info.suffix());
        if (!QFileInfo::exists(path))
            return path;
    }
    return QString();
}

QString AccessConverter::offerText(const QString& accessPath) {
    return QStringLiteral("Il file %1 è un archivio in formato Access. Convertirlo in un nuovo archivio "
                          "(«%2»)? Il file originale non viene modificato.")
        .arg(quoted(accessPath), QFileInfo(convertedPath(accessPath)).fileName());
}

bool AccessConverter::holdsAddressArchive(const QString& accessPath) {
    if (!AccessReader::isAccessFile(accessPath))
        return false;
    return AccessReader(accessPath).tables().contains(addressLayout().table, Qt::CaseInsensitive);
}

QString AccessConverter::convert(const QString& accessPath) {
    return convert(accessPath, [accessPath] { return openAccessTable(accessPath, QStringLiteral("TabMAIL")); });
}

QString AccessConverter::convert(const QString& accessPath, const TableOpener& openTable) {
    try {
        const QFileInfo info(accessPath);
        TempArchive temp(info.absolutePath());
        writeChecked(temp, addressLayout(), openTable, accessPath);
        for (int n = 1; n < kMaxNames; ++n) {
            const QString target = numbered(info, QStringLiteral("convertito"), n, QStringLiteral("mdb"));
            if (QFileInfo::exists(target) || !renameNoReplace(temp.path(), target))
                continue;
            temp.release();
            syncFolder(info.absolutePath());
            return target;
        }
        throw ExchangeError(ExchangeError::WriteFailed,
                            QStringLiteral("Non c'è un nome libero per l'archivio convertito."));
    } catch (const std::exception& e) {
        throwFailed(e, accessPath);
    }
}

QString AccessConverter::convertGroups(const QString& groupsPath) {
    return convertGroups(groupsPath, [groupsPath] { return openAccessTable(groupsPath, QStringLiteral("TabGRUPPI")); });
}

QString AccessConverter::convertGroups(const QString& groupsPath, const TableOpener& openTable) {
    try {
        const QFileInfo info(groupsPath);
        TempArchive temp(info.absolutePath());
        writeChecked(temp, groupsLayout(), openTable, groupsPath);

        const QByteArray original = QFile::encodeName(info.absoluteFilePath());
        const QByteArray converted = QFile::encodeName(temp.path());
        // The original first gets its second name, so at every moment one name holds it.
        QString backup;
        bool linked = false;
        for (int n = 1; n < kMaxNames && backup.isEmpty(); ++n) {
            const QString candidate = numbered(info, QStringLiteral("Access"), n, info.suffix());
            if (QFileInfo::exists(candidate))
                continue;
            const QByteArray b = QFile::encodeName(candidate);
            if (::link(original.constData(), b.constData()) == 0) {
                linked = true;
                backup = candidate;
            } else if (errno == EEXIST) {
                continue;
            } else if (renameNoReplace(info.absoluteFilePath(), candidate)) {
                backup = candidate; // no hard links here: moved, put back on failure
            }
        }
        if (backup.isEmpty())
            throw ExchangeError(ExchangeError::WriteFailed,
                                QStringLiteral("Non c'è un nome libero per la copia del file originale."));

        if (::rename(converted.constData(), original.constData()) != 0) {
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            const QByteArray b = QFile::encodeName(backup);
            if (linked)
                ::unlink(b.constData());
            else
                ::rename(b.constData(), original.constData());
            throw ExchangeError(ExchangeError::WriteFailed,
                                QStringLiteral("Impossibile sostituire il file: %1").arg(why));
        }
        temp.release();
        syncFolder(info.absolutePath());
        return backup;
    } catch (const std::exception& e) {
        throwFailed(e, groupsPath);
    }
}

} // namespace velomar::exchange
