#include "DamagedCorpus.h"

#include "ArchiveTestFiles.h"
#include "support/CommandRun.h"

#include "archive/ArchiveFormat.h"
#include "archive/Database.h"

#include <QRandomGenerator>

#include <functional>
#include <sys/stat.h>

namespace velomar::test {

namespace {

using archive::Database;

constexpr qint64 kPage = 4096;

class Writer {
public:
    Writer(const QString& folder, const QString& good)
        : m_folder(folder), m_good(good), m_bytes(fileBytes(good)) {}

    const QByteArray& goodBytes() const { return m_bytes; }

    // A fresh sub-folder per entry: what a command leaves behind is seen as its own.
    QString next(const QString& what, bool recoverable = false, bool foreign = false) {
        const QString sub = m_folder + QString("/%1").arg(m_entries.size(), 3, 10, QChar('0'));
        QDir().mkpath(sub);
        m_entries.push_back({sub + "/Archivio.mdb", what, recoverable, foreign});
        return m_entries.back().path;
    }

    void bytes(const QString& what, const QByteArray& content) { writeFile(next(what), content); }

    // A copy of the good archive changed through SQLite itself.
    void altered(const QString& what, const std::function<void(Database&)>& change,
                 bool foreign = false) {
        const QString path = next(what, false, foreign);
        writeFile(path, m_bytes);
        Database db(path, Database::Mode::ReadWrite);
        change(db);
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
    return {"CREATE TABLE T2 (" + columns + ")", "INSERT INTO T2 " + select, "DROP TABLE TabMAIL",
            "ALTER TABLE T2 RENAME TO TabMAIL"};
}

const QString kAllColumns = "NR, TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, NAZ, "
                            "NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI, SERV";

void cuts(Writer& w) {
    const QByteArray& good = w.goodBytes();
    QList<qint64> at{1, 15, 16, 50, 99, 100, 101, 1000, good.size() - 1, good.size() - 100};
    for (qint64 n = 0; n < good.size(); n += 512)
        at << n;
    for (const qint64 n : at)
        w.bytes(QString("cut at %1").arg(n), good.left(n));
    // A page too many: the header's page count no longer matches.
    w.bytes("one page too many", good + QByteArray(kPage, '\0'));
}

void flips(Writer& w) {
    const QByteArray& good = w.goodBytes();
    const auto changed = [&](qint64 from, qint64 size, const std::function<char(char)>& f) {
        QByteArray b = good;
        for (qint64 i = from; i < from + size; ++i)
            b[i] = f(b[i]);
        return b;
    };
    for (int at = 0; at < 100; ++at)
        w.bytes(QString("header byte %1 flipped").arg(at),
                changed(at, 1, [](char c) { return char(c ^ 0xFF); }));
    const qint64 pages = good.size() / kPage;
    for (qint64 p = 0; p < pages; ++p) {
        // The first page keeps its 100-byte file header: only the page is damaged.
        const qint64 base = p * kPage + (p == 0 ? 100 : 0), end = (p + 1) * kPage;
        for (const int off : {0, 1, 2, 3, 4, 5, 7, 8, 12, 40, 2048, 3896, 4094})
            if (base + off < end)
                w.bytes(QString("page %1 byte %2 flipped").arg(p + 1).arg(off),
                        changed(base + off, 1, [](char c) { return char(c ^ 0x5A); }));
        for (const char fill : {'\0', '\xff'})
            w.bytes(QString("page %1 filled with %2").arg(p + 1).arg(int(uchar(fill))),
                    changed(base, end - base, [fill](char) { return fill; }));
    }
    QRandomGenerator rnd(20261207);
    for (int i = 0; i < 40; ++i) {
        const qint64 at = 100 + rnd.bounded(int(good.size() - 116));
        w.bytes(QString("16 random bytes at %1").arg(at),
                changed(at, 16, [&](char) { return char(rnd.bounded(256)); }));
    }
}

void foreignAndReshaped(Writer& w) {
    const QString gate = archive::ArchiveFormat::GateTable;
    const std::vector<std::pair<const char*, QStringList>> changes = {
        {"sound archive", {}},
        {"wrong application id", {"PRAGMA application_id = 1"}},
        {"no application id", {"PRAGMA application_id = 0"}},
        {"verifier missing", {"DELETE FROM " + gate}},
        {"gate table missing", {"DROP TABLE " + gate}},
        {"wrong verifier", {"UPDATE " + gate + " SET VERIFIER = x'00'"}},
        {"verifier of text type", {"UPDATE " + gate + " SET VERIFIER = 'abc'"}},
        {"empty salt", {"UPDATE " + gate + " SET SALT = x''"}},
        {"TabDEFRAG missing", {"DROP TABLE TabDEFRAG"}},
        {"TabMAIL missing", {"DROP TABLE TabMAIL"}},
        {"TabMAIL a view",
         {"ALTER TABLE TabMAIL RENAME TO T0", "CREATE VIEW TabMAIL AS SELECT * FROM T0"}},
        {"SERV missing", {"ALTER TABLE TabMAIL DROP COLUMN SERV"}},
        {"extra column", {"ALTER TABLE TabMAIL ADD COLUMN ALTRO TEXT DEFAULT 'x'"}},
        {"COGNOME and NOME1 swapped",
         {"ALTER TABLE TabMAIL RENAME COLUMN COGNOME TO T",
          "ALTER TABLE TabMAIL RENAME COLUMN NOME1 TO COGNOME",
          "ALTER TABLE TabMAIL RENAME COLUMN T TO NOME1"}},
        {"columns in reverse order",
         rebuiltTable("SERV, APPUNTI, NOTE, GR, E_MAIL, NUM_CEL, NUM_FAX, NUM_TEL, NAZ, PROV, "
                      "CITTA, CAP, INDIRIZZO, NOME2, NOME1, COGNOME, TITOLO, NR",
                      "(" + kAllColumns + ") SELECT " + kAllColumns + " FROM TabMAIL")},
        {"every value a blob",
         rebuiltTable(kAllColumns, "SELECT NR, x'00ff', x'c0c1', x'', zeroblob(40), x'fffe41', "
                                   "x'01', x'02', x'03', x'04', x'05', x'06', x'07', x'08', "
                                   "x'09', x'0a', x'0b', x'0c' FROM TabMAIL")},
        {"numbers where text belongs",
         rebuiltTable(kAllColumns, "SELECT NR, 1, 2.5, -3, 9223372036854775807, 1e308, 0, -0.0, "
                                   "4, 5, 6, 7, 8, 9, 10, 11, 12, 13 FROM TabMAIL")},
        {"text numbers and nulls",
         rebuiltTable(kAllColumns, "SELECT 'abc' || NR" + QString(", NULL").repeated(16) +
                                       ", 'xyz' FROM TabMAIL")},
        {"NR not unique",
         rebuiltTable(kAllColumns, "SELECT NR % 7" + kAllColumns.mid(2) + " FROM TabMAIL")},
        {"NR null",
         rebuiltTable(kAllColumns, "SELECT NULL" + kAllColumns.mid(2) + " FROM TabMAIL")},
        {"TabMAIL without rowid",
         rebuiltTable("NR INTEGER PRIMARY KEY, " + kAllColumns.mid(4) + ") WITHOUT ROWID --",
                      "SELECT * FROM TabMAIL")},
        {"index on a missing collation",
         {"PRAGMA writable_schema = ON",
          "INSERT INTO sqlite_schema VALUES ('index', 'IX', 'TabMAIL', 0, "
          "'CREATE INDEX IX ON TabMAIL (COGNOME COLLATE NESSUNA)')"}},
        {"schema text garbled",
         {"PRAGMA writable_schema = ON",
          "UPDATE sqlite_schema SET sql = 'CREATE TABLE TabDEFRAG (' WHERE name = 'TabDEFRAG'"}},
        {"WAL mode", {"PRAGMA journal_mode = WAL"}},
    };
    const auto run = [](const QStringList& statements) {
        return [statements](Database& db) {
            for (const QString& sql : statements)
                db.exec(sql);
        };
    };
    for (const auto& [what, statements] : changes)
        w.altered(what, run(statements));
    w.altered("APPUNTI missing", run({"ALTER TABLE TabMAIL DROP COLUMN APPUNTI"}), true);
    w.altered("DATADEF missing", run({"ALTER TABLE TabDEFRAG DROP COLUMN DATADEF"}), true);
    w.altered(
        "sealed with another password",
        [](Database& db) { archive::ArchiveFormat::seal(db, "segreta"); }, true);
    Database ours(w.next("our id, no gate", false, true), Database::Mode::Create);
    ours.exec(QString("PRAGMA application_id = %1").arg(archive::ArchiveFormat::ApplicationId));
    ours.exec("CREATE TABLE Note (x TEXT)");
}

// Runs a write on a copy of the good archive and copies the files it leaves midway.
void caughtMidWrite(Writer& w, const QString& work, const QString& entry,
                    const QStringList& statements, const QString& suffix) {
    writeFile(work, w.goodBytes());
    Database db(work, Database::Mode::ReadWrite);
    for (const QString& sql : statements)
        db.exec(sql);
    QFile::copy(work, entry);
    QFile::copy(work + suffix, entry + suffix);
}

void journals(Writer& w, const QString& scratch) {
    // A write interrupted after some pages reached the file: its journal is hot.
    caughtMidWrite(w, scratch + "/Caldo.mdb", w.next("hot journal", true),
                   {"PRAGMA journal_mode = DELETE", "PRAGMA cache_size = 1", "BEGIN IMMEDIATE",
                    "UPDATE TabMAIL SET NOTE = hex(randomblob(600)), "
                    "APPUNTI = hex(randomblob(600))"},
                   "-journal");
    // WAL mode left open: the -wal file holds committed rows.
    caughtMidWrite(w, scratch + "/Wal.mdb", w.next("WAL file with its log"),
                   {"PRAGMA journal_mode = WAL", "PRAGMA wal_autocheckpoint = 0",
                    "DELETE FROM TabMAIL WHERE NR % 2 = 0"},
                   "-wal");
    // A journal that is not hot (empty), as a crash between create and first write leaves.
    const QString cold = w.next("empty journal beside");
    writeFile(cold, w.goodBytes());
    writeFile(cold + "-journal", {});
}

void notFiles(Writer& w, const QString& good) {
    w.bytes("empty file", {});
    w.bytes("text file", "Rossi;Mario;Via Roma 1;20100;Milano\r\n");
    QByteArray noise(8 * kPage, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    w.bytes("random bytes", noise);
    w.bytes("magic text and noise", QByteArray("SQLite format 3\0", 16) + noise);

    QDir().mkpath(w.next("folder"));
    ::mkfifo(QFile::encodeName(w.next("FIFO")).constData(), 0600);
    const QString loop = w.next("symbolic link loop");
    const QString other = QFileInfo(loop).absolutePath() + "/Altro.mdb";
    QFile::link(other, loop);
    QFile::link(loop, other);
    QFile::link("/nonesiste/Archivio.mdb", w.next("dangling symbolic link"));
    QFile::link(good, w.next("symbolic link to a sound archive"));
    w.next("missing file");
    const QString readOnly = w.next("read-only sound archive");
    QFile::copy(good, readOnly);
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    copyTemplate("NewGruppi.sys", w.next("groups archive"));
    Database(w.next("plain SQLite database"), Database::Mode::Create)
        .exec("CREATE TABLE TabMAIL (NR INTEGER, COGNOME TEXT)");
}

} // namespace

std::vector<DamagedCorpus::Entry> DamagedCorpus::write(const QString& folder, const QString& good) {
    const QString scratch = folder + "/lavoro";
    QDir().mkpath(scratch);
    Writer w(folder + "/corpus", good);
    cuts(w);
    flips(w);
    foreignAndReshaped(w);
    journals(w, scratch);
    notFiles(w, good);
    QDir(scratch).removeRecursively();
    return w.take();
}

} // namespace velomar::test
