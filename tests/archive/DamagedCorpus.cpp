#include "DamagedCorpus.h"

#include "ArchiveTestFiles.h"
#include "support/TestEnvironment.h"

#include "archive/ArchiveFormat.h"
#include "archive/Database.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <sys/stat.h>

namespace velomar::test {

namespace {

using archive::Database;

constexpr qint64 kPage = 4096;

class Writer {
public:
    Writer(const QString& folder, const QString& good) : m_folder(folder), m_good(good) {
        QFile f(good);
        if (f.open(QIODevice::ReadOnly))
            m_bytes = f.readAll();
    }

    const QByteArray& goodBytes() const { return m_bytes; }

    // A fresh sub-folder per entry: what a command leaves behind is seen as its own.
    QString next(const QString& what, const QString& name = QStringLiteral("Archivio.mdb"),
                 bool recoverable = false) {
        const QString sub = m_folder + QStringLiteral("/%1").arg(m_entries.size(), 3, 10, QLatin1Char('0'));
        QDir().mkpath(sub);
        m_entries.push_back({sub + QLatin1Char('/') + name, what, recoverable});
        return m_entries.back().path;
    }

    void bytes(const QString& what, const QByteArray& content) {
        QFile f(next(what));
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
    }

    // A copy of the good archive changed through SQLite itself.
    void altered(const QString& what, const QStringList& statements) {
        const QString path = next(what);
        QFile::copy(m_good, path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        Database db(path, Database::Mode::ReadWrite);
        for (const QString& sql : statements)
            db.exec(sql);
    }

    std::vector<DamagedCorpus::Entry> take() { return std::move(m_entries); }

private:
    QString m_folder;
    QString m_good;
    QByteArray m_bytes;
    std::vector<DamagedCorpus::Entry> m_entries;
};

// TabMAIL rebuilt with its columns as listed (name and declared type).
QStringList rebuiltTable(const QString& columns, const QString& select) {
    return {QStringLiteral("CREATE TABLE T2 (%1)").arg(columns),
            QStringLiteral("INSERT INTO T2 %1").arg(select), QStringLiteral("DROP TABLE TabMAIL"),
            QStringLiteral("ALTER TABLE T2 RENAME TO TabMAIL")};
}

const QString kAllColumns = QStringLiteral(
    "NR, TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, NAZ, NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, "
    "NOTE, APPUNTI, SERV");

void cuts(Writer& w) {
    const QByteArray& good = w.goodBytes();
    QList<qint64> at{1, 15, 16, 50, 99, 100, 101, 1000, good.size() - 1, good.size() - 100};
    for (qint64 n = 0; n < good.size(); n += 512)
        at << n;
    for (const qint64 n : at)
        w.bytes(QStringLiteral("cut at %1").arg(n), good.left(n));
    // A page too many: the header's page count no longer matches.
    w.bytes(QStringLiteral("one page too many"), good + QByteArray(kPage, '\0'));
}

void flips(Writer& w) {
    const QByteArray& good = w.goodBytes();
    for (int at = 0; at < 100; ++at) {
        QByteArray b = good;
        b[at] = char(b[at] ^ 0xFF);
        w.bytes(QStringLiteral("header byte %1 flipped").arg(at), b);
    }
    const qint64 pages = good.size() / kPage;
    for (qint64 p = 0; p < pages; ++p) {
        const qint64 base = p * kPage + (p == 0 ? 100 : 0);
        for (const int off : {0, 1, 2, 3, 4, 5, 7, 8, 12, 40, int(kPage / 2), int(kPage) - 200, int(kPage) - 2}) {
            if (base + off >= (p + 1) * kPage)
                continue;
            QByteArray b = good;
            b[base + off] = char(b[base + off] ^ 0x5A);
            w.bytes(QStringLiteral("page %1 byte %2 flipped").arg(p + 1).arg(off), b);
        }
    }
    for (qint64 p = 0; p < pages; ++p) {
        for (const char fill : {'\0', '\xff'}) {
            QByteArray b = good;
            // The first page keeps its 100-byte file header: only the page is damaged.
            const qint64 from = p * kPage + (p == 0 ? 100 : 0);
            b.replace(from, (p + 1) * kPage - from, QByteArray((p + 1) * kPage - from, fill));
            w.bytes(QStringLiteral("page %1 filled with %2").arg(p + 1).arg(int(uchar(fill))), b);
        }
    }
    QRandomGenerator rnd(20261207);
    for (int i = 0; i < 40; ++i) {
        QByteArray b = good;
        const qint64 at = 100 + rnd.bounded(int(b.size() - 116));
        for (int k = 0; k < 16; ++k)
            b[at + k] = char(rnd.bounded(256));
        w.bytes(QStringLiteral("16 random bytes at %1").arg(at), b);
    }
}

void foreignAndReshaped(Writer& w) {
    const QString gate = QLatin1String(archive::ArchiveFormat::GateTable);
    w.altered(QStringLiteral("sound archive"), {});
    w.altered(QStringLiteral("wrong application id"), {QStringLiteral("PRAGMA application_id = 1")});
    w.altered(QStringLiteral("no application id"), {QStringLiteral("PRAGMA application_id = 0")});
    w.altered(QStringLiteral("verifier missing"), {QStringLiteral("DELETE FROM %1").arg(gate)});
    w.altered(QStringLiteral("gate table missing"), {QStringLiteral("DROP TABLE %1").arg(gate)});
    w.altered(QStringLiteral("wrong verifier"), {QStringLiteral("UPDATE %1 SET VERIFIER = x'00'").arg(gate)});
    w.altered(QStringLiteral("verifier of text type"), {QStringLiteral("UPDATE %1 SET VERIFIER = 'abc'").arg(gate)});
    w.altered(QStringLiteral("empty salt"), {QStringLiteral("UPDATE %1 SET SALT = x''").arg(gate)});
    w.altered(QStringLiteral("TabDEFRAG missing"), {QStringLiteral("DROP TABLE TabDEFRAG")});
    w.altered(QStringLiteral("TabMAIL missing"), {QStringLiteral("DROP TABLE TabMAIL")});
    w.altered(QStringLiteral("TabMAIL a view"),
              {QStringLiteral("ALTER TABLE TabMAIL RENAME TO T0"), QStringLiteral("CREATE VIEW TabMAIL AS SELECT * FROM T0")});
    w.altered(QStringLiteral("SERV missing"), {QStringLiteral("ALTER TABLE TabMAIL DROP COLUMN SERV")});
    w.altered(QStringLiteral("extra column"), {QStringLiteral("ALTER TABLE TabMAIL ADD COLUMN ALTRO TEXT DEFAULT 'x'")});
    w.altered(QStringLiteral("COGNOME and NOME1 swapped"),
              {QStringLiteral("ALTER TABLE TabMAIL RENAME COLUMN COGNOME TO T"),
               QStringLiteral("ALTER TABLE TabMAIL RENAME COLUMN NOME1 TO COGNOME"),
               QStringLiteral("ALTER TABLE TabMAIL RENAME COLUMN T TO NOME1")});
    w.altered(QStringLiteral("columns in reverse order"),
              rebuiltTable(QStringLiteral("SERV, APPUNTI, NOTE, GR, E_MAIL, NUM_CEL, NUM_FAX, NUM_TEL, NAZ, PROV, CITTA, "
                                          "CAP, INDIRIZZO, NOME2, NOME1, COGNOME, TITOLO, NR"),
                           QStringLiteral("(%1) SELECT %1 FROM TabMAIL").arg(kAllColumns)));
    w.altered(QStringLiteral("every value a blob"),
              rebuiltTable(kAllColumns, QStringLiteral("SELECT NR, x'00ff', x'c0c1', x'', zeroblob(40), x'fffe41', x'01', "
                                                       "x'02', x'03', x'04', x'05', x'06', x'07', x'08', x'09', x'0a', "
                                                       "x'0b', x'0c' FROM TabMAIL")));
    w.altered(QStringLiteral("numbers where text belongs"),
              rebuiltTable(kAllColumns, QStringLiteral("SELECT NR, 1, 2.5, -3, 9223372036854775807, 1e308, 0, -0.0, "
                                                       "4, 5, 6, 7, 8, 9, 10, 11, 12, 13 FROM TabMAIL")));
    w.altered(QStringLiteral("text numbers and nulls"),
              rebuiltTable(kAllColumns, QStringLiteral("SELECT 'abc' || NR, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
                                                       "NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 'xyz' "
                                                       "FROM TabMAIL")));
    w.altered(QStringLiteral("NR not unique"),
              rebuiltTable(kAllColumns, QStringLiteral("SELECT NR % 7, TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, "
                                                       "CITTA, PROV, NAZ, NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, "
                                                       "APPUNTI, SERV FROM TabMAIL")));
    w.altered(QStringLiteral("NR null"),
              rebuiltTable(kAllColumns, QStringLiteral("SELECT NULL, TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, "
                                                       "CITTA, PROV, NAZ, NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, "
                                                       "APPUNTI, SERV FROM TabMAIL")));
    w.altered(QStringLiteral("TabMAIL without rowid"),
              rebuiltTable(kAllColumns.mid(4).prepend(QStringLiteral("NR INTEGER PRIMARY KEY, ")) +
                               QStringLiteral(") WITHOUT ROWID --"),
                           QStringLiteral("SELECT * FROM TabMAIL")));
    w.altered(QStringLiteral("index on a missing collation"),
              {QStringLiteral("PRAGMA writable_schema = ON"),
               QStringLiteral("INSERT INTO sqlite_schema VALUES ('index', 'IX', 'TabMAIL', 0, "
                              "'CREATE INDEX IX ON TabMAIL (COGNOME COLLATE NESSUNA)')")});
    w.altered(QStringLiteral("schema text garbled"),
              {QStringLiteral("PRAGMA writable_schema = ON"),
               QStringLiteral("UPDATE sqlite_schema SET sql = 'CREATE TABLE TabDEFRAG (' WHERE name = 'TabDEFRAG'")});
    w.altered(QStringLiteral("WAL mode"), {QStringLiteral("PRAGMA journal_mode = WAL")});
}

void journals(Writer& w, const QString& scratch) {
    // A write interrupted after some pages reached the file: its journal is hot.
    const QString work = scratch + QStringLiteral("/Caldo.mdb");
    {
        QFile f(work);
        if (f.open(QIODevice::WriteOnly))
            f.write(w.goodBytes());
    }
    const QString hot = w.next(QStringLiteral("hot journal"), QStringLiteral("Archivio.mdb"), true);
    {
        Database db(work, Database::Mode::ReadWrite);
        db.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
        db.exec(QStringLiteral("PRAGMA cache_size = 1"));
        db.exec(QStringLiteral("BEGIN IMMEDIATE"));
        db.exec(QStringLiteral("UPDATE TabMAIL SET NOTE = hex(randomblob(600)), APPUNTI = hex(randomblob(600))"));
        QFile::copy(work, hot);
        QFile::copy(work + QStringLiteral("-journal"), hot + QStringLiteral("-journal"));
        db.exec(QStringLiteral("ROLLBACK"));
    }

    // WAL mode left open: the -wal file holds committed rows.
    const QString walWork = scratch + QStringLiteral("/Wal.mdb");
    {
        QFile f(walWork);
        if (f.open(QIODevice::WriteOnly))
            f.write(w.goodBytes());
    }
    const QString wal = w.next(QStringLiteral("WAL file with its log"));
    {
        Database db(walWork, Database::Mode::ReadWrite);
        db.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
        db.exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
        db.exec(QStringLiteral("DELETE FROM TabMAIL WHERE NR % 2 = 0"));
        QFile::copy(walWork, wal);
        QFile::copy(walWork + QStringLiteral("-wal"), wal + QStringLiteral("-wal"));
    }

    // A journal that is not hot (empty), as a crash between create and first write leaves.
    const QString cold = w.next(QStringLiteral("empty journal beside"));
    QFile::remove(cold);
    {
        QFile f(cold);
        if (f.open(QIODevice::WriteOnly))
            f.write(w.goodBytes());
        QFile j(cold + QStringLiteral("-journal"));
        j.open(QIODevice::WriteOnly);
    }
}

void notFiles(Writer& w, const QString& good) {
    w.bytes(QStringLiteral("empty file"), {});
    w.bytes(QStringLiteral("text file"), "Rossi;Mario;Via Roma 1;20100;Milano\r\n");
    QByteArray noise(8 * kPage, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    w.bytes(QStringLiteral("random bytes"), noise);
    w.bytes(QStringLiteral("magic text and noise"), QByteArray("SQLite format 3\0", 16) + noise);

    QDir().mkpath(w.next(QStringLiteral("folder")));
    ::mkfifo(QFile::encodeName(w.next(QStringLiteral("FIFO"))).constData(), 0600);

    const QString loop = w.next(QStringLiteral("symbolic link loop"));
    const QString other = QFileInfo(loop).absolutePath() + QStringLiteral("/Altro.mdb");
    QFile::link(other, loop);
    QFile::link(loop, other);
    QFile::link(QStringLiteral("/nonesiste/Archivio.mdb"), w.next(QStringLiteral("dangling symbolic link")));
    QFile::link(good, w.next(QStringLiteral("symbolic link to a sound archive")));
    w.next(QStringLiteral("missing file"));

    const QString readOnly = w.next(QStringLiteral("read-only sound archive"));
    QFile::copy(good, readOnly);
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup);

    const QString groups = w.next(QStringLiteral("groups archive"));
    copyTemplate(QStringLiteral("NewGruppi.sys"), groups);
    const QString plain = w.next(QStringLiteral("plain SQLite database"));
    Database(plain, Database::Mode::Create).exec(QStringLiteral("CREATE TABLE TabMAIL (NR INTEGER, COGNOME TEXT)"));
}

} // namespace

std::vector<DamagedCorpus::Entry> DamagedCorpus::write(const QString& folder, const QString& good) {
    const QString scratch = folder + QStringLiteral("/lavoro");
    QDir().mkpath(scratch);
    Writer w(folder + QStringLiteral("/corpus"), good);
    cuts(w);
    flips(w);
    foreignAndReshaped(w);
    journals(w, scratch);
    notFiles(w, good);
    QDir(scratch).removeRecursively();
    return w.take();
}

} // namespace velomar::test
