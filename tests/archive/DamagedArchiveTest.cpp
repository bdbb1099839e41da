#include "ArchiveTestFiles.h"
#include "shell/BatchCommands.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveFormat.h"
#include "archive/ArchiveOpener.h"
#include "archive/Recordset.h"
#include "settings/AppState.h"
#include "support/ScriptedDialogs.h"
#include "archive/DatabaseError.h"
#include "archive/SampleArchive.h"
#include "archive/Statement.h"
#include "support/CommandRun.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include <functional>

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Builds a damaged variant of a good archive through plain SQLite.
void alterArchive(const QString& path, const std::function<void(Database&)>& change) {
    ASSERT_TRUE(copyTemplate(QStringLiteral("NewMail.sys"), path));
    Database db(path, Database::Mode::ReadWrite);
    change(db);
}

class DamagedArchive : public ::testing::Test {
protected:
    void SetUp() override {
        good = dir.filePath(QStringLiteral("Buono.mdb"));
        SampleArchive::write(good, 300, 11);
        goodBytes = test::fileBytes(good);
    }

    // Every way of opening must refuse the file and leave it exactly as it was.
    void expectRefused(const QString& path, const char* what) {
        SCOPED_TRACE(what);
        const FileSnapshot before = FileSnapshot::of(path);
        for (const auto access : {ArchiveFile::Access::ReadOnly, ArchiveFile::Access::ReadWrite})
            EXPECT_THROW(ArchiveFile::open(path, ArchiveKind::Addresses, access), DatabaseError);
        QString out, err;
        QTextStream o(&out), e(&err);
        EXPECT_EQ(velomar::shell::BatchCommands::run("count", {path}, o, e), 1);
        e.flush();
        EXPECT_EQ(err, QStringLiteral("Archivio non riconosciuto o corrotto !\n"));
        EXPECT_EQ(FileSnapshot::of(path), before);
    }

    QTemporaryDir dir;
    QString good;
    QByteArray goodBytes;
};

} // namespace

TEST_F(DamagedArchive, FilesThatAreNotArchivesAreRefusedUntouched) {
    const QString empty = dir.filePath(QStringLiteral("Vuoto.mdb"));
    writeBytes(empty, {});
    expectRefused(empty, "empty file");

    const QString text = dir.filePath(QStringLiteral("Testo.mdb"));
    writeBytes(text, "Rossi;Mario;Via Roma 1;20100;Milano\r\n");
    expectRefused(text, "text file");

    QRandomGenerator rnd(42);
    QByteArray noise(8192, '\0');
    rnd.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    const QString random = dir.filePath(QStringLiteral("Caso.mdb"));
    writeBytes(random, noise);
    expectRefused(random, "random bytes");

    // The right magic text with nothing sound behind it.
    const QString fakeHeader = dir.filePath(QStringLiteral("Finto.mdb"));
    writeBytes(fakeHeader, QByteArray("SQLite format 3\0", 16) + noise);
    expectRefused(fakeHeader, "fake header");

    const QString folder = dir.filePath(QStringLiteral("Cartella.mdb"));
    ASSERT_TRUE(QDir().mkdir(folder));
    expectRefused(folder, "folder");

    EXPECT_THROW(ArchiveFile::open(dir.filePath(QStringLiteral("Manca.mdb")), ArchiveKind::Addresses,
                                   ArchiveFile::Access::ReadWrite),
                 DatabaseError);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Manca.mdb"))));
}

TEST_F(DamagedArchive, TruncatedArchivesAreRefusedAtEveryCut) {
    const QString cut = dir.filePath(QStringLiteral("Troncato.mdb"));
    QList<qint64> offsets{0, 1, 15, 16, 50, 99, 100, 101, 511, 512, 1024, 4095, 4096, 4097, 8192};
    for (qint64 at = 12288; at < goodBytes.size(); at += 7919)
        offsets << at;
    offsets << goodBytes.size() - 4096 << goodBytes.size() - 100 << goodBytes.size() - 1;
    for (const qint64 at : offsets) {
        writeBytes(cut, goodBytes.left(at));
        expectRefused(cut, qPrintable(QStringLiteral("cut at %1").arg(at)));
        QFile::remove(cut);
    }
}

TEST_F(DamagedArchive, DatabasesOfAnotherKindOrPasswordAreRefused) {
    const QString foreign = dir.filePath(QStringLiteral("Altro.mdb"));
    {
        Database db(foreign, Database::Mode::Create);
        db.exec(QStringLiteral("CREATE TABLE TabMAIL (NR INTEGER PRIMARY KEY, COGNOME TEXT)"));
    }
    expectRefused(foreign, "another application's database");

    const QString sameIdOtherApp = dir.filePath(QStringLiteral("IdUguale.mdb"));
    {
        Database db(sameIdOtherApp, Database::Mode::Create);
        db.exec(QStringLiteral("PRAGMA application_id = %1").arg(ArchiveFormat::ApplicationId));
        db.exec(QStringLiteral("CREATE TABLE Note (x TEXT)"));
    }
    expectRefused(sameIdOtherApp, "our id, no gate");

    const QString password = dir.filePath(QStringLiteral("Password.mdb"));
    alterArchive(password, [](Database& db) { ArchiveFormat::seal(db, QStringLiteral("segreta")); });
    expectRefused(password, "another password");

    const QString verifier = dir.filePath(QStringLiteral("Verifica.mdb"));
    alterArchive(verifier, [](Database& db) { db.exec(QStringLiteral("UPDATE ArchiveGate SET VERIFIER = x'00'")); });
    expectRefused(verifier, "wrong verifier");

    const QString gateless = dir.filePath(QStringLiteral("SenzaChiave.mdb"));
    alterArchive(gateless, [](Database& db) { db.exec(QStringLiteral("DELETE FROM ArchiveGate")); });
    expectRefused(gateless, "empty gate");

    const QString groups = dir.filePath(QStringLiteral("Gruppi.mdb"));
    ASSERT_TRUE(copyTemplate(QStringLiteral("NewGruppi.sys"), groups));
    expectRefused(groups, "groups archive as address archive");
}

TEST_F(DamagedArchive, ArchivesLackingATableOrFieldAreRefused) {
    const QString noDefrag = dir.filePath(QStringLiteral("SenzaDefrag.mdb"));
    alterArchive(noDefrag, [](Database& db) { db.exec(QStringLiteral("DROP TABLE TabDEFRAG")); });
    expectRefused(noDefrag, "missing TabDEFRAG");

    const QString noMail = dir.filePath(QStringLiteral("SenzaMail.mdb"));
    alterArchive(noMail, [](Database& db) { db.exec(QStringLiteral("DROP TABLE TabMAIL")); });
    expectRefused(noMail, "missing TabMAIL");

    for (const QString& field : {QStringLiteral("APPUNTI"), QStringLiteral("SERV"), QStringLiteral("E_MAIL")}) {
        const QString path = dir.filePath(QStringLiteral("Senza%1.mdb").arg(field));
        alterArchive(path, [&](Database& db) { db.exec(QStringLiteral("ALTER TABLE TabMAIL DROP COLUMN ") + field); });
        expectRefused(path, qPrintable(QStringLiteral("missing field ") + field));
    }

    const QString noDate = dir.filePath(QStringLiteral("SenzaData.mdb"));
    alterArchive(noDate, [](Database& db) { db.exec(QStringLiteral("ALTER TABLE TabDEFRAG DROP COLUMN DATADEF")); });
    expectRefused(noDate, "missing DATADEF");

    const QString reordered = dir.filePath(QStringLiteral("Ordine.mdb"));
    alterArchive(reordered, [](Database& db) {
        db.exec(QStringLiteral("ALTER TABLE TabMAIL RENAME COLUMN TITOLO TO T"));
        db.exec(QStringLiteral("ALTER TABLE TabMAIL RENAME COLUMN COGNOME TO TITOLO"));
        db.exec(QStringLiteral("ALTER TABLE TabMAIL RENAME COLUMN T TO COGNOME"));
    });
    expectRefused(reordered, "fields out of order");
}

TEST_F(DamagedArchive, ArchiveLockedByAnotherConnectionIsRefusedUntouched) {
    // Refusals come after the lock wait; a short one keeps the test quick.
    Database::setStandardBusyTimeout(200);
    Database other(good, Database::Mode::ReadWrite);
    other.exec(QStringLiteral("BEGIN IMMEDIATE"));
    // Readers may still look, but nobody else may write: an open for editing is refused.
    { Database ro = ArchiveFile::open(good, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly); }
    EXPECT_THROW(ArchiveFile::open(good, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite), DatabaseError);
    other.exec(QStringLiteral("ROLLBACK"));

    other.exec(QStringLiteral("BEGIN EXCLUSIVE"));
    const FileSnapshot before = FileSnapshot::of(good);
    for (const auto access : {ArchiveFile::Access::ReadOnly, ArchiveFile::Access::ReadWrite})
        EXPECT_THROW(ArchiveFile::open(good, ArchiveKind::Addresses, access), DatabaseError);
    EXPECT_EQ(FileSnapshot::of(good), before);
    other.exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(test::fileBytes(good), goodBytes);
    Database::setStandardBusyTimeout(Database::DefaultBusyTimeoutMs);
}

TEST_F(DamagedArchive, MutatedArchivesNeverCrashAndRefusalsChangeNothing) {
    // Mutations aimed where parsers are weakest: the header, the page headers and cell
    // pointers at each page start, and anywhere at random.
    QRandomGenerator rnd(20261206);
    const qint64 pageSize = 4096;
    const QString path = dir.filePath(QStringLiteral("Mutato.mdb"));
    int refused = 0, opened = 0;
    settings::AppState state;
    ScriptedDialogs dialogs;
    ArchiveOpener opener(state, dialogs);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = goodBytes;
        const int flips = 1 + int(rnd.bounded(12));
        for (int i = 0; i < flips; ++i) {
            qint64 at;
            switch (rnd.bounded(3)) {
            case 0: at = rnd.bounded(100); break;
            case 1: at = (rnd.bounded(int(bytes.size() / pageSize))) * pageSize + rnd.bounded(16); break;
            default: at = rnd.bounded(int(bytes.size())); break;
            }
            if (at < bytes.size())
                bytes[at] = char(rnd.bounded(256));
        }
        writeBytes(path, bytes);
        const FileSnapshot before = FileSnapshot::of(path);
        // The grid's own open: read/write, every row loaded into the record set.
        state.callerMode = round % 2 ? QStringLiteral("Edit") : QStringLiteral("Main");
        Database db;
        Recordset rs;
        if (opener.open(db, rs, path, false)) {
            for (qint64 row = 0; row < rs.recordCount(); ++row)
                for (int c = 0; c < rs.fieldCount(); ++c)
                    (void)rs.textAt(row, c);
            ++opened;
        } else {
            ++refused;
            EXPECT_EQ(state.callerMode, QStringLiteral("Erro"));
        }
        rs.close();
        db.close();
        EXPECT_EQ(FileSnapshot::of(path), before) << "round " << round;
        QFile::remove(path);
    }
    EXPECT_EQ(refused + opened, 300);
    EXPECT_GT(refused, 100);
}
