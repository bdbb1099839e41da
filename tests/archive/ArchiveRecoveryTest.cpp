// Opening archives after an interrupted write, while another program holds them, and
// refusing to write into a damaged archive or one whose NR is not the row key.
#include "ArchiveTestFiles.h"
#include "support/BatchProcess.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveOpener.h"
#include "archive/Compactor.h"
#include "archive/DataModel.h"
#include "archive/DatabaseError.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "archive/Statement.h"
#include "settings/AppState.h"
#include "support/ScriptedDialogs.h"
#include "support/CommandRun.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;

namespace {

void writeBytesAt(const QString& path, qint64 at, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(at));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

qint64 rows(Database& db) {
    Statement st(db, QStringLiteral("SELECT COUNT(*) FROM TabMAIL"));
    return st.step() ? st.integer(0) : -1;
}

QString countOf(const QString& path) {
    const CommandRun r = runCommand(QStringLiteral("count"), {path});
    return r.status == 0 ? r.out.trimmed() : QStringLiteral("refused: ") + r.err;
}

struct Failure {
    int code = 0;
    QString text;
};

Failure failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const DatabaseError& e) {
        return {e.code(), e.description()};
    }
    return {};
}

// Restores the standard lock wait at the end of a test that shortened it.
struct LockWait {
    explicit LockWait(int ms) { Database::setStandardBusyTimeout(ms); }
    ~LockWait() { Database::setStandardBusyTimeout(Database::DefaultBusyTimeoutMs); }
};

class ArchiveRecovery : public ::testing::Test {
protected:
    void SetUp() override {
        good = dir.filePath(QStringLiteral("Buono.mdb"));
        SampleArchive::write(good, 300, 11);
        goodBytes = test::fileBytes(good);
        QDir().mkpath(dir.filePath(QStringLiteral("uscite")));
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    // Outputs go elsewhere: the folder of a refused archive must stay as it was.
    QString output(const QString& name) const { return dir.filePath(QStringLiteral("uscite/") + name); }

    // What a crash in the middle of a large write leaves: the file already grown by pages
    // spilled from a small cache, and the journal that undoes them.
    void crashMidWrite(const QString& crashed) {
        Database db(good, Database::Mode::ReadWrite);
        db.exec(QStringLiteral("PRAGMA cache_size = 5"));
        db.exec(QStringLiteral("BEGIN IMMEDIATE"));
        for (int i = 0; i < 3; ++i)
            db.exec(QStringLiteral("INSERT INTO TabMAIL (COGNOME, NOTE) "
                                   "SELECT COGNOME, hex(randomblob(300)) FROM TabMAIL"));
        ASSERT_TRUE(QFile::copy(good, crashed));
        ASSERT_TRUE(QFile::copy(good + QStringLiteral("-journal"), crashed + QStringLiteral("-journal")));
        db.exec(QStringLiteral("ROLLBACK"));
        ASSERT_GT(QFileInfo(crashed).size(), goodBytes.size());
    }

    QTemporaryDir dir;
    QString good;
    QByteArray goodBytes;
};

} // namespace

TEST_F(ArchiveRecovery, InterruptedWriteIsRolledBackOnlyInAFileOfOurs) {
    for (const auto access : {ArchiveFile::Access::ReadOnly, ArchiveFile::Access::ReadWrite}) {
        const QString crashed = path(access == ArchiveFile::Access::ReadOnly ? QStringLiteral("Lettura.mdb")
                                                                             : QStringLiteral("Modifica.mdb"));
        crashMidWrite(crashed);
        ASSERT_TRUE(ArchiveFile::hasInterruptedWrite(crashed));
        {
            Database db = ArchiveFile::open(crashed, ArchiveKind::Addresses, access);
            EXPECT_EQ(rows(db), 300);
        }
        EXPECT_FALSE(QFileInfo::exists(crashed + QStringLiteral("-journal")));
        EXPECT_EQ(test::fileBytes(crashed), goodBytes);
    }

    // The batch count sees the archive as it was before the write.
    const QString counted = path(QStringLiteral("Conta.mdb"));
    crashMidWrite(counted);
    EXPECT_EQ(countOf(counted), QStringLiteral("300"));

    // A journal beside a file that is not ours is never played back.
    const QString foreign = path(QStringLiteral("Estraneo.mdb"));
    crashMidWrite(foreign);
    writeBytesAt(foreign, 68, QByteArray(4, '\0'));
    const FileSnapshot before = FileSnapshot::of(foreign);
    const QByteArray journal = test::fileBytes(foreign + QStringLiteral("-journal"));
    for (const auto access : {ArchiveFile::Access::ReadOnly, ArchiveFile::Access::ReadWrite})
        EXPECT_EQ(failureOf([&] { ArchiveFile::open(foreign, ArchiveKind::Addresses, access); }).code,
                  DatabaseError::NotAnArchive);
    EXPECT_EQ(FileSnapshot::of(foreign), before);
    EXPECT_EQ(test::fileBytes(foreign + QStringLiteral("-journal")), journal);
}

TEST_F(ArchiveRecovery, ArchiveHeldByAnotherProgramIsWaitedForThenReportedInUse) {
    std::atomic<bool> locked{false}, release{false};
    std::jthread other([&] {
        Database db(good, Database::Mode::ReadWrite);
        db.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        locked = true;
        for (int waited = 0; !release && waited < 1000; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        db.exec(QStringLiteral("ROLLBACK"));
    });
    while (!locked)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    // A second's hold is waited out, by the probe as well as by the writer.
    QElapsedTimer clock;
    clock.start();
    for (const auto access : {ArchiveFile::Access::ReadOnly, ArchiveFile::Access::ReadWrite}) {
        Database db = ArchiveFile::open(good, ArchiveKind::Addresses, access);
        EXPECT_EQ(rows(db), 300);
    }
    EXPECT_GE(clock.elapsed(), 500);
    other.join();

    // A lock held past the wait is reported as such, not as a damaged archive. Behind a
    // pending write readers may still look, but an open for editing is refused.
    LockWait shortWait(200);
    Database holder(good, Database::Mode::ReadWrite);
    holder.exec(QStringLiteral("BEGIN IMMEDIATE"));
    { Database ro = ArchiveFile::open(good, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly); }
    EXPECT_THROW(ArchiveFile::open(good, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite), DatabaseError);
    holder.exec(QStringLiteral("ROLLBACK"));
    holder.exec(QStringLiteral("BEGIN EXCLUSIVE"));
    const FileSnapshot before = FileSnapshot::of(good);
    for (const auto access : {ArchiveFile::Access::ReadOnly, ArchiveFile::Access::ReadWrite}) {
        const Failure f = failureOf([&] { ArchiveFile::open(good, ArchiveKind::Addresses, access); });
        EXPECT_EQ(f.code, DatabaseError::InUse);
        EXPECT_EQ(f.text, QStringLiteral("Archivio in uso da un altro programma"));
    }
    EXPECT_EQ(FileSnapshot::of(good), before);
    holder.exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(test::fileBytes(good), goodBytes);
}

TEST_F(ArchiveRecovery, DamagedArchiveIsReadButNeverWritten) {
    const qint64 pageSize = 4096;
    qint64 defragPage = 0;
    {
        Database db(good, Database::Mode::ReadOnly);
        Statement st(db, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'TabDEFRAG'"));
        ASSERT_TRUE(st.step());
        defragPage = st.integer(0);
        Statement size(db, QStringLiteral("PRAGMA page_size"));
        ASSERT_TRUE(size.step());
        ASSERT_EQ(size.integer(0), pageSize);
    }
    const qint64 pages = goodBytes.size() / pageSize;
    qint64 mailPage = pages / 2;
    while (mailPage < pages && (mailPage == defragPage || goodBytes[(mailPage - 1) * pageSize] != 0x0D))
        ++mailPage;
    ASSERT_LT(mailPage, pages);

    struct Case {
        const char* name;
        qint64 page;
        bool readable;
    };
    for (const Case& c : {Case{"Manutenzione.mdb", defragPage, true}, Case{"Indirizzi.mdb", mailPage, false}}) {
        SCOPED_TRACE(c.name);
        const QString damaged = path(QLatin1String(c.name));
        ASSERT_TRUE(QFile::copy(good, damaged));
        // A page type no b-tree page has: the kind of flip that export finds "malformed".
        writeBytesAt(damaged, (c.page - 1) * pageSize, QByteArray(1, '\x01'));
        const FileSnapshot before = FileSnapshot::of(damaged);

        { Database reading = ArchiveFile::open(damaged, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly); }
        const auto openForWriting = [&] {
            ArchiveFile::open(damaged, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
        };
        const Failure f = failureOf(openForWriting);
        EXPECT_EQ(f.code, DatabaseError::Damaged);
        const QString& why = f.text;
        EXPECT_TRUE(why.startsWith(QStringLiteral("L'archivio è danneggiato: non è possibile modificarlo"))) << why.toStdString();
        EXPECT_EQ(why.contains(QStringLiteral("È ancora possibile leggerlo ed esportarlo")), c.readable);
        if (c.readable) {
            const test::BatchRun exported =
                runBatch({QStringLiteral("export"), damaged, output(QStringLiteral("Esportati.txt"))});
            EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
        }

        // Import target, compaction and the address window all refuse it.
        const test::BatchRun import = runBatch({QStringLiteral("import"), good, damaged});
        EXPECT_NE(import.exitCode, 0);
        EXPECT_FALSE(import.out.contains(QStringLiteral("Importati"))) << import.out.toStdString();
        EXPECT_EQ(failureOf([&] { Compactor::compact(damaged, ArchiveKind::Addresses); }).code, DatabaseError::Damaged);
        settings::AppState state;
        state.callerMode = QStringLiteral("Edit");
        ScriptedDialogs dialogs;
        ArchiveOpener opener(state, dialogs);
        Database db;
        Recordset rs;
        EXPECT_FALSE(opener.open(db, rs, damaged, false));
        EXPECT_EQ(FileSnapshot::of(damaged), before);
    }
}

TEST_F(ArchiveRecovery, ArchiveWhoseNrIsNotTheKeyIsReadButNeverWritten) {
    const QString rebuilt = path(QStringLiteral("Ricostruito.mdb"));
    ASSERT_TRUE(QFile::copy(good, rebuilt));
    {
        // As another tool rebuilds the table: same fields in the same order, NR repeated.
        QStringList fields = DataModel::tabMailColumns();
        fields[0] = QStringLiteral("NR % 7 AS NR");
        Database db(rebuilt, Database::Mode::ReadWrite);
        db.exec(QStringLiteral("CREATE TABLE Copia AS SELECT %1 FROM TabMAIL").arg(fields.join(QStringLiteral(", "))));
        db.exec(QStringLiteral("DROP TABLE TabMAIL"));
        db.exec(QStringLiteral("ALTER TABLE Copia RENAME TO TabMAIL"));
    }
    const FileSnapshot before = FileSnapshot::of(rebuilt);

    const auto openForWriting = [&] {
        ArchiveFile::open(rebuilt, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    };
    const Failure f = failureOf(openForWriting);
    EXPECT_EQ(f.code, DatabaseError::KeyNotUnique);
    EXPECT_TRUE(f.text.startsWith(QStringLiteral("Il campo NR dell'archivio non identifica")));

    // Reading loses nothing: count, export and a copy into another archive still work.
    EXPECT_EQ(countOf(rebuilt), QStringLiteral("300"));
    const test::BatchRun exported = runBatch({QStringLiteral("export"), rebuilt, output(QStringLiteral("Esportati.txt"))});
    EXPECT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const QString target = output(QStringLiteral("Destinazione.mdb"));
    SampleArchive::write(target, 10, 3);
    const test::BatchRun copied = runBatch({QStringLiteral("import"), rebuilt, target});
    EXPECT_EQ(copied.exitCode, 0) << copied.err.toStdString();
    EXPECT_EQ(countOf(target), QStringLiteral("310"));

    // Writing into it, or moving out of it (a delete by NR), is refused.
    EXPECT_NE(runBatch({QStringLiteral("import"), good, rebuilt}).exitCode, 0);
    EXPECT_NE(runBatch({QStringLiteral("import"), rebuilt, target, QStringLiteral("--move")}).exitCode, 0);
    EXPECT_EQ(countOf(target), QStringLiteral("310"));
    EXPECT_EQ(FileSnapshot::of(rebuilt), before);
}
