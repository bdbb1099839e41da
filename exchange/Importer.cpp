#include "exchange/Importer.h"

#include "archive/DatabaseError.h"
#include "archive/LikePattern.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"
#include "exchange/ExchangeError.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

namespace velomar::exchange {

namespace {

using archive::ArchiveFile;

const char* const kCopiedFields = "TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, "
                                  "NAZ, NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI";
constexpr int kCopiedCount = 16;
// Rows are read as: key, NR, the copied fields.
constexpr int kNrColumn = 1;
constexpr int kGrColumn = 2 + 13; // GR is the 14th copied field

const QString kNothingImported = QStringLiteral(" Nessun indirizzo è stato importato.");
const QString kNothingDeleted =
    QStringLiteral(" Nessun indirizzo è stato cancellato dall'archivio di origine.");

qint64 countRows(archive::Database& db) {
    archive::Statement st(db, QStringLiteral("SELECT COUNT(*) FROM TabMAIL"));
    return st.step() ? st.integer(0) : 0;
}

// The column that names one row of TabMAIL: the row id under a name no field hides, or,
// in a table without row ids, NR when every NR is a distinct integer.
QString uniqueKeyOf(archive::Database& db) {
    archive::Statement kind(
        db, QStringLiteral("SELECT wr FROM pragma_table_list "
                           "WHERE schema = 'main' AND name = 'TabMAIL' COLLATE NOCASE"));
    const bool withoutRowid = kind.step() && kind.integer(0) != 0;
    if (!withoutRowid) {
        archive::Statement fields(
            db, QStringLiteral("SELECT upper(name) FROM pragma_table_info('TabMAIL')"));
        QStringList names;
        while (fields.step())
            names << fields.text(0);
        for (const char* alias : {"ROWID", "_ROWID_", "OID"})
            if (!names.contains(QLatin1String(alias)))
                return QLatin1String(alias);
    }
    archive::Statement nr(
        db, QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT NR), "
                           "COUNT(CASE WHEN typeof(NR) = 'integer' THEN 1 END) FROM TabMAIL"));
    if (nr.step() && nr.integer(0) == nr.integer(1) && nr.integer(0) == nr.integer(2))
        return QStringLiteral("NR");
    return {};
}

// Whether a move could delete from the file: its folder takes a journal, and the file is
// writable and not marked read-only (root may write anything, but its owner said no).
bool writableOnDisk(const QString& path) {
    // The journal goes beside the file a link points to.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString real = canonical.isEmpty() ? path : canonical;
    const QByteArray file = QFile::encodeName(real);
    const QByteArray folder = QFile::encodeName(QFileInfo(real).absolutePath());
    struct stat st {};
    return ::stat(file.constData(), &st) == 0 && (st.st_mode & S_IWUSR) &&
           ::access(file.constData(), W_OK) == 0 && ::access(folder.constData(), W_OK | X_OK) == 0;
}

// A digest of NR and the copied fields of the current row, storage class and bytes, read
// without any conversion: a row that differs in any stored byte gives another digest.
std::array<char, 20> fingerprint(const archive::Statement& row, QCryptographicHash& hash) {
    hash.reset();
    sqlite3_stmt* st = row.handle();
    for (int c = kNrColumn; c <= kNrColumn + kCopiedCount; ++c) {
        const int type = sqlite3_column_type(st, c);
        const char tag = char(type);
        hash.addData(QByteArrayView(&tag, 1));
        if (type == SQLITE_INTEGER) {
            const qint64 v = sqlite3_column_int64(st, c);
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(&v), sizeof v));
        } else if (type == SQLITE_FLOAT) {
            const double v = sqlite3_column_double(st, c);
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(&v), sizeof v));
        } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
            const void* data = type == SQLITE_TEXT
                                   ? static_cast<const void*>(sqlite3_column_text(st, c))
                                   : sqlite3_column_blob(st, c);
            const qint64 size = sqlite3_column_bytes(st, c);
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(&size), sizeof size));
            hash.addData(QByteArrayView(static_cast<const char*>(data), size));
        }
    }
    std::array<char, 20> out{};
    const QByteArray digest = hash.result();
    std::memcpy(out.data(), digest.constData(), std::min<std::size_t>(out.size(), digest.size()));
    return out;
}

} // namespace

Importer::Importer(archive::Database& target, const QString& targetPath)
    : m_target(target), m_targetPath(targetPath), m_targetId(FileIdentity::of(targetPath)) {}

bool Importer::isTargetArchive(const QString& path) const {
    return path == m_targetPath || sameFile(path, m_targetPath);
}

bool Importer::targetInPlace() const {
    // SQLite compares the inode it holds open with the one at its path; our own record
    // also covers the path the caller named, if it is spelt otherwise.
    int moved = 0;
    if (m_target.isOpen() &&
        sqlite3_file_control(m_target.handle(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) ==
            SQLITE_OK &&
        moved)
        return false;
    return FileIdentity::of(m_targetPath) == m_targetId;
}

void Importer::requireTargetInPlace() const {
    if (!targetInPlace())
        throw ExchangeError(
            ExchangeError::TargetMoved,
            QStringLiteral("L'archivio di destinazione è stato spostato o sostituito "
                           "durante l'importazione: l'archivio di origine non è "
                           "stato modificato."));
}

Importer::GroupMatcher Importer::matcherFor(const QString& group) {
    if (group == QLatin1String(AllGroups))
        return {};
    // LIKE as the program knows it; a Null group never matches a pattern.
    auto pattern = std::make_shared<archive::LikePattern>(archive::LikePattern::compile(group));
    return [pattern](const QString& gr) { return !gr.isNull() && pattern->matches(gr); };
}

void Importer::openSource(const QString& path, const QString& group, const Opener& opener,
                          Use use) {
    closeSource();
    if (isTargetArchive(path))
        throw ExchangeError(ExchangeError::SameArchive,
                            QStringLiteral("Impossibile importare i Dati dall'Archivio attuale !"));
    m_matcher = matcherFor(group);
    m_group = group;
    m_opener = opener;
    m_sourcePath = path;
    // Read-only first: a file that is not an archive is refused as such, never as read-only.
    m_source = opener(path, ArchiveFile::Access::ReadOnly);
    if (use == Use::Move) {
        openSourceForWriting(kNothingImported);
        if (uniqueKeyOf(m_source).isEmpty()) {
            closeSource();
            throw ExchangeError(
                ExchangeError::NoUniqueKey,
                QStringLiteral("Gli indirizzi dell'archivio di origine non hanno un "
                               "numero univoco: si possono importare, non spostare.") +
                    kNothingImported);
        }
    }
}

void Importer::openSourceForWriting(const QString& whatIsKept) {
    const auto refuse = [&] {
        closeSource();
        return ExchangeError(
            ExchangeError::SourceReadOnly,
            QStringLiteral("L'archivio di origine è in sola lettura (il file o la sua "
                           "cartella): gli indirizzi si possono importare, non spostare.") +
                whatIsKept);
    };
    if (!writableOnDisk(m_sourcePath))
        throw refuse();
    m_source.close();
    try {
        m_source = m_opener(m_sourcePath, ArchiveFile::Access::ReadWrite);
    } catch (const archive::DatabaseError& e) {
        if (e.code() == SQLITE_READONLY)
            throw refuse();
        throw;
    }
    if (sqlite3_db_readonly(m_source.handle(), "main") != 0)
        throw refuse();
    m_sourceWritable = true;
}

void Importer::closeSource() {
    m_source.close();
    m_sourceWritable = false;
    m_key.clear();
    m_copied.clear();
}

qint64 Importer::sourceCount() {
    if (!m_matcher)
        return countRows(m_source);
    archive::Statement st(m_source, QStringLiteral("SELECT GR FROM TabMAIL"));
    qint64 n = 0;
    while (st.step())
        n += m_matcher(st.text(0)) ? 1 : 0;
    return n;
}

qint64 Importer::copy(const Progress& progress) {
    m_copied.clear();
    std::vector<CopiedRow> copied;
    const qint64 total = sourceCount();
    if (progress)
        progress(0, total);
    requireTargetInPlace();

    // A read transaction keeps the source still while it is walked: the keys read here
    // name the rows copied.
    archive::Transaction read(m_source, archive::Transaction::Kind::Deferred);
    m_key = uniqueKeyOf(m_source);
    archive::Transaction write(m_target);
    const qint64 before = countRows(m_target);

    QString placeholders;
    for (int i = 0; i < kCopiedCount; ++i)
        placeholders += i ? QStringLiteral(", ?") : QStringLiteral("?");
    archive::Statement insert(m_target, QStringLiteral("INSERT INTO TabMAIL (%1) VALUES (%2)")
                                            .arg(QLatin1String(kCopiedFields), placeholders));
    archive::Statement select(m_source, QStringLiteral("SELECT %1, NR, %2 FROM TabMAIL ORDER BY NR")
                                            .arg(m_key.isEmpty() ? QStringLiteral("NULL") : m_key,
                                                 QLatin1String(kCopiedFields)));
    QCryptographicHash hash(QCryptographicHash::Sha1);
    while (select.step()) {
        // Values and digest first: reading GR as text below may convert it in place.
        for (int i = 0; i < kCopiedCount; ++i)
            insert.bindValueFrom(i + 1, select, kNrColumn + 1 + i);
        const auto digest = fingerprint(select, hash);
        if (m_matcher && !m_matcher(select.text(kGrColumn))) {
            insert.reset();
            continue;
        }
        insert.exec();
        insert.reset();
        copied.push_back({select.integer(0), digest});
        if (progress && copied.size() % 1000 == 0)
            progress(qint64(copied.size()), total);
    }

    const qint64 added = countRows(m_target) - before;
    if (added != qint64(copied.size()))
        throw ExchangeError(ExchangeError::WriteFailed,
                            QStringLiteral("Copiati %1 indirizzi, ma l'archivio ne ha ricevuti %2.")
                                .arg(copied.size())
                                .arg(added));
    requireTargetInPlace();
    write.commit();
    read.commit();
    m_copied = std::move(copied);
    if (progress)
        progress(copiedCount(), total);
    return copiedCount();
}

qint64 Importer::deleteCopiedFromSource() {
    if (m_copied.empty())
        return 0;
    if (m_key.isEmpty())
        throw ExchangeError(ExchangeError::NoUniqueKey,
                            QStringLiteral("Gli indirizzi dell'archivio di origine non hanno un "
                                           "numero univoco: non si possono cancellare.") +
                                kNothingDeleted);
    if (!m_sourceWritable) {
        std::vector<CopiedRow> copied = std::move(m_copied);
        const QString key = m_key;
        openSourceForWriting(kNothingDeleted);
        m_copied = std::move(copied);
        m_key = key;
    }
    requireTargetInPlace();

    const auto changed = [](const QString& why) {
        return ExchangeError(ExchangeError::SourceChanged,
                             why +
                                 QStringLiteral(": cancellazione annullata, l'archivio di origine "
                                                "non è stato modificato."));
    };
    archive::Transaction tx(m_source);
    const qint64 before = countRows(m_source);
    archive::Statement find(m_source,
                            QStringLiteral("SELECT NULL, NR, %1 FROM TabMAIL WHERE %2 = ?")
                                .arg(QLatin1String(kCopiedFields), m_key));
    archive::Statement del(m_source, QStringLiteral("DELETE FROM TabMAIL WHERE %1 = ?").arg(m_key));
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const CopiedRow& row : m_copied) {
        find.bindInt(1, row.key);
        // The row must still be the one copied, and the only one under its key.
        if (!find.step() || fingerprint(find, hash) != row.fingerprint || find.step())
            throw changed(QStringLiteral("Un indirizzo copiato è stato modificato o cancellato "
                                         "nell'archivio di origine dopo la copia"));
        find.reset();
        del.bindInt(1, row.key);
        del.exec();
        del.reset();
    }
    const qint64 deleted = before - countRows(m_source);
    if (deleted != copiedCount())
        throw changed(QStringLiteral("Cancellati %1 indirizzi invece dei %2 copiati")
                          .arg(deleted)
                          .arg(copiedCount()));
    requireTargetInPlace();
    tx.commit();
    m_copied.clear();
    return deleted;
}

} // namespace velomar::exchange
