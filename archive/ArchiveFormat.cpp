#include "archive/ArchiveFormat.h"

#include "archive/DataModel.h"
#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"
#include "common/SystemErrorText.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <sqlite3.h>

// The schema lives in the core library's resources; a static library needs them
// registered by hand.
static void initSchemaResources() { Q_INIT_RESOURCE(velomar); }

namespace velomar::archive {

namespace {

[[noreturn]] void refuse(const QString& why) { throw DatabaseError(DatabaseError::NotAnArchive, why); }

QStringList columnsOf(Database& db, const QString& table) {
    Statement st(db, QStringLiteral("SELECT name FROM pragma_table_info(?)"));
    st.bindText(1, table);
    QStringList names;
    while (st.step())
        names << st.text(0);
    return names;
}

void requireColumns(Database& db, const QString& table, const QStringList& wanted) {
    const QStringList have = columnsOf(db, table);
    if (have.isEmpty())
        refuse(QStringLiteral("tabella %1 mancante").arg(table));
    QSet<QString> upper;
    for (const QString& name : have)
        upper.insert(name.toUpper());
    for (const QString& name : wanted)
        if (!upper.contains(name.toUpper()))
            refuse(QStringLiteral("campo %1.%2 mancante").arg(table, name));
}

} // namespace

QString ArchiveFormat::password(ArchiveKind kind) {
    return kind == ArchiveKind::Countries ? QString() : QStringLiteral("plimbor");
}

QByteArray ArchiveFormat::verifier(const QByteArray& salt, const QString& password) {
    return QCryptographicHash::hash(salt + password.toUtf8(), QCryptographicHash::Sha256);
}

QString ArchiveFormat::schemaSql(ArchiveKind kind) {
    static const bool registered = (initSchemaResources(), true);
    Q_UNUSED(registered);
    const char* name = kind == ArchiveKind::Addresses ? ":/schema/NewMail.sql"
                       : kind == ArchiveKind::Groups  ? ":/schema/NewGruppi.sql"
                                                      : ":/schema/StatiEsteri.sql";
    QFile file(QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(SQLITE_INTERNAL, QStringLiteral("schema %1 non disponibile").arg(file.fileName()));
    return QString::fromUtf8(file.readAll());
}

void ArchiveFormat::seal(Database& db, const QString& password, const QByteArray& givenSalt) {
    QByteArray salt = givenSalt;
    if (salt.isEmpty()) {
        salt.resize(16);
        QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), 4);
    }
    db.exec(QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId));
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (SALT BLOB NOT NULL, VERIFIER BLOB NOT NULL)")
                .arg(QLatin1String(GateTable)));
    db.exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(GateTable)));
    Statement st(db, QStringLiteral("INSERT INTO %1 (SALT, VERIFIER) VALUES (?, ?)")
                         .arg(QLatin1String(GateTable)));
    st.bind(1, salt).bind(2, verifier(salt, password)).exec();
}

void ArchiveFormat::createEmpty(const QString& path, ArchiveKind kind, const QByteArray& salt) {
    if (QFileInfo::exists(path))
        throw DatabaseError(SQLITE_CANTOPEN, QStringLiteral("il file %1 esiste già").arg(path));
    Database db(path, Database::Mode::Create);
    db.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    Transaction tx(db);
    db.exec(schemaSql(kind));
    seal(db, password(kind), salt);
    tx.commit();
}

void ArchiveFormat::checkHeader(const QString& path, bool checkSize) {
    const QFileInfo info(path);
    if (!info.exists())
        throw DatabaseError(SQLITE_CANTOPEN, QStringLiteral("file non trovato"));
    if (!info.isFile())
        refuse(QStringLiteral("non è un file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(SQLITE_CANTOPEN, common::SystemErrorText::ofFile(file));
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        refuse(QStringLiteral("non è un database"));
    // Bytes 18/19: file format versions; 1 = rollback journal. Ours never use WAL, and a
    // read-only look at a WAL file could leave -wal/-shm files beside it.
    if (header[18] != 1 || header[19] != 1)
        refuse(QStringLiteral("formato del database non supportato"));
    const auto* b = reinterpret_cast<const uchar*>(header.constData());
    const auto be32 = [b](int at) {
        return (quint32(b[at]) << 24) | (quint32(b[at + 1]) << 16) | (quint32(b[at + 2]) << 8) | quint32(b[at + 3]);
    };
    if (qint32(be32(68)) != ApplicationId)
        refuse(QStringLiteral("database di un'altra applicazione"));
    // A file cut short may still parse where the cut fell in free space: its size must
    // be whole pages, and exactly the page count the header records when that is valid.
    const qint64 pageSize = (b[16] == 0 && b[17] == 1) ? 65536 : (qint64(b[16]) << 8 | b[17]);
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        refuse(QStringLiteral("intestazione del database danneggiata"));
    if (!checkSize)
        return;
    const qint64 size = info.size();
    const bool countValid = be32(24) == be32(92) && be32(28) != 0;
    if (size % pageSize != 0 || (countValid && size != qint64(be32(28)) * pageSize))
        refuse(QStringLiteral("archivio troncato"));
}

void ArchiveFormat::validate(Database& db, ArchiveKind kind) {
    if (db.applicationId() != ApplicationId)
        refuse(QStringLiteral("database di un'altra applicazione"));
    requireColumns(db, QLatin1String(GateTable), {QStringLiteral("SALT"), QStringLiteral("VERIFIER")});
    {
        Statement st(db, QStringLiteral("SELECT SALT, VERIFIER FROM %1").arg(QLatin1String(GateTable)));
        if (!st.step())
            refuse(QStringLiteral("archivio senza chiave"));
        const QByteArray salt = st.value(0).toByteArray();
        const QByteArray stored = st.value(1).toByteArray();
        if (salt.isEmpty() || stored != verifier(salt, password(kind)))
            refuse(QStringLiteral("password errata"));
    }
    const QStringList defrag{QStringLiteral("CREAZIONE"), QStringLiteral("DATADEF")};
    switch (kind) {
    case ArchiveKind::Addresses: {
        requireColumns(db, QStringLiteral("TabMAIL"), DataModel::tabMailColumns());
        // Address fields are read by position: the first 17 must stand in their order.
        const QStringList have = columnsOf(db, QStringLiteral("TabMAIL"));
        for (int i = 0; i < DataModel::FieldCount; ++i)
            if (have.value(i).compare(DataModel::fieldName(i), Qt::CaseInsensitive) != 0)
                refuse(QStringLiteral("campi di TabMAIL fuori ordine"));
        requireColumns(db, QStringLiteral("TabDEFRAG"), defrag);
        break;
    }
    case ArchiveKind::Groups:
        requireColumns(db, QStringLiteral("TabGRUPPI"),
                       {QStringLiteral("GRUPPO"), QStringLiteral("DESCRIZIONE"), QStringLiteral("NR")});
        requireColumns(db, QStringLiteral("TabDEFRAG"), defrag);
        break;
    case ArchiveKind::Countries:
        requireColumns(db, QStringLiteral("TabStatiEst"), {QStringLiteral("Sigla"), QStringLiteral("Nazione")});
        break;
    }
}

} // namespace velomar::archive
