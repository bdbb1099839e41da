// Opening archives after an interrupted write, while another program holds them, and
// refusing to write into a damaged archive or one whose NR is not the row key.
#include "ArchiveHarness.h"
#include "support/BatchProcess.h"
#include "support/ScriptedDialogs.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveOpener.h"
#include "archive/Compactor.h"
#include "archive/DataModel.h"
#include "archive/Recordset.h"
#include "settings/AppState.h"

#include <atomic>
#include <thread>

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;

namespace {

constexpr auto kAccesses = {ArchiveFile::Access::ReadOnly, ArchiveFile::Access::ReadWrite};

qint64 rows(Database& db) {
    Statement st(db, "SELECT COUNT(*) FROM TabMAIL");
    return st.step() ? st.integer(0) : -1;
}

Failure openFailure(const QString& path, ArchiveFile::Access access) {
    return failureOf([&] { ArchiveFile::open(path, ArchiveKind::Addresses, access); });
}

class ArchiveRecovery : public GoodArchive {
protected:
    void SetUp() override {
        GoodArchive::SetUp();
        QDir().mkpath(path("uscite"));
    }

    // Outputs go elsewhere: the folder of a refused archive must stay as it was.
    QString output(const QString& name) const { return path("uscite/" + name); }
    int batch(const QStringList& args) const { return runBatch(args).exitCode; }

    // What a crash in the middle of a large write leaves: the file already grown by pages
    // spilled from a small cache, and the journal that undoes them.
    void crashMidWrite(const QString& crashed) {
        Database db(good, Database::Mode::ReadWrite);
        db.exec("PRAGMA cache_size = 5");
        db.exec("BEGIN IMMEDIATE");
        for (int i = 0; i < 3; ++i)
            db.exec("INSERT INTO TabMAIL (COGNOME, NOTE) "
                    "SELECT COGNOME, hex(randomblob(300)) FROM TabMAIL");
        ASSERT_TRUE(QFile::copy(good, crashed));
        ASSERT_TRUE(QFile::copy(good + "-journal", crashed + "-journal"));
        db.exec("ROLLBACK");
        ASSERT_GT(QFileInfo(crashed).size(), goodBytes.size());
    }
};

} // namespace

TEST_F(ArchiveRecovery, InterruptedWriteIsRolledBackOnlyInAFileOfOurs) {
    for (const auto access : kAccesses) {
        const QString crashed = path(QString("Interrotto%1.mdb").arg(int(access)));
        crashMidWrite(crashed);
        ASSERT_TRUE(ArchiveFile::hasInterruptedWrite(crashed));
        {
            Database db = ArchiveFile::open(crashed, ArchiveKind::Addresses, access);
            EXPECT_EQ(rows(db), 300);
        }
        EXPECT_FALSE(QFileInfo::exists(crashed + "-journal"));
        EXPECT_EQ(fileBytes(crashed), goodBytes);
    }
    // The batch count sees the archive as it was before the write.
    crashMidWrite(path("Conta.mdb"));
    EXPECT_EQ(countOf(path("Conta.mdb")), 300);

    // A journal beside a file that is not ours is never played back.
    const QString foreign = path("Estraneo.mdb");
    crashMidWrite(foreign);
    writeBytesAt(foreign, 68, QByteArray(4, '\0'));
    const FileSnapshot before = FileSnapshot::of(foreign);
    const QByteArray journal = fileBytes(foreign + "-journal");
    for (const auto access : kAccesses)
        EXPECT_EQ(openFailure(foreign, access).code, DatabaseError::NotAnArchive);
    EXPECT_EQ(FileSnapshot::of(foreign), before);
    EXPECT_EQ(fileBytes(foreign + "-journal"), journal);
}

TEST_F(ArchiveRecovery, ArchiveHeldByAnotherProgramIsWaitedForThenReportedInUse) {
    std::atomic<bool> locked{false};
    std::jthread other([&] {
        Database db(good, Database::Mode::ReadWrite);
        db.exec("BEGIN EXCLUSIVE");
        locked = true;
        std::this_thread::sleep_for(std::chrono::seconds(1));
        db.exec("ROLLBACK");
    });
    while (!locked)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    // A second's hold is waited out, by the probe as well as by the writer.
    QElapsedTimer clock;
    clock.start();
    for (const auto access : kAccesses) {
        Database db = ArchiveFile::open(good, ArchiveKind::Addresses, access);
        EXPECT_EQ(rows(db), 300);
    }
    EXPECT_GE(clock.elapsed(), 500);
    other.join();

    // A lock held past the wait is reported as such, not as a damaged archive. Behind a
    // pending write readers may still look, but an open for editing is refused.
    const LockWait shortWait(200);
    Database holder(good, Database::Mode::ReadWrite);
    holder.exec("BEGIN IMMEDIATE");
    EXPECT_EQ(openFailure(good, ArchiveFile::Access::ReadOnly).code, 0);
    EXPECT_EQ(openFailure(good, ArchiveFile::Access::ReadWrite).code, DatabaseError::InUse);
    holder.exec("ROLLBACK");
    holder.exec("BEGIN EXCLUSIVE");
    const FileSnapshot before = FileSnapshot::of(good);
    for (const auto access : kAccesses) {
        const Failure f = openFailure(good, access);
        EXPECT_EQ(f.code, DatabaseError::InUse);
        EXPECT_EQ(f.text, "Archivio in uso da un altro programma");
    }
    EXPECT_EQ(FileSnapshot::of(good), before);
    holder.exec("ROLLBACK");
    EXPECT_EQ(fileBytes(good), goodBytes);
}

// A page type no b-tree page has, the kind of flip that export finds "malformed": in the
// date stamp's table the archive may still be read, in the addresses' not even that. A
// rebuilt table whose NR repeats is read whole. Neither is ever written to: not as an
// import target, nor by compaction, nor by the address window, nor by a move out of it.
TEST_F(ArchiveRecovery, DamagedOrRekeyedArchiveIsReadButNeverWritten) {
    const qint64 pageSize = scalar(good, "PRAGMA page_size");
    const qint64 defragPage =
        scalar(good, "SELECT rootpage FROM sqlite_master WHERE name = 'TabDEFRAG'");
    const qint64 pages = goodBytes.size() / pageSize;
    qint64 mailPage = pages / 2;
    while (mailPage < pages &&
           (mailPage == defragPage || goodBytes[(mailPage - 1) * pageSize] != 0x0D))
        ++mailPage;
    ASSERT_LT(mailPage, pages);
    QStringList fields = DataModel::tabMailColumns();
    fields[0] = "NR % 7 AS NR";

    struct Case {
        const char* name;
        std::function<void(const QString&)> damage;
        int code;
        QString why;
        bool readable;
    };
    const auto flip = [&](qint64 page) {
        return [&, page](const QString& p) { writeBytesAt(p, (page - 1) * pageSize, "\x01"); };
    };
    const QString damaged = "L'archivio è danneggiato: non è possibile modificarlo";
    const Case cases[] = {
        {"Manutenzione.mdb", flip(defragPage), DatabaseError::Damaged, damaged, true},
        {"Indirizzi.mdb", flip(mailPage), DatabaseError::Damaged, damaged, false},
        {"Ricostruito.mdb",
         [&](const QString& p) {
             // As another tool rebuilds the table: same fields in the same order.
             Database db(p, Database::Mode::ReadWrite);
             db.exec("CREATE TABLE Copia AS SELECT " + fields.join(", ") + " FROM TabMAIL");
             db.exec("DROP TABLE TabMAIL");
             db.exec("ALTER TABLE Copia RENAME TO TabMAIL");
         },
         DatabaseError::KeyNotUnique, "Il campo NR dell'archivio non identifica", true},
    };
    settings::AppState state;
    ScriptedDialogs dialogs;
    ArchiveOpener opener(state, dialogs);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = path(c.name);
        ASSERT_TRUE(QFile::copy(good, file));
        c.damage(file);
        const FileSnapshot before = FileSnapshot::of(file);

        EXPECT_EQ(openFailure(file, ArchiveFile::Access::ReadOnly).code, 0);
        const Failure f = openFailure(file, ArchiveFile::Access::ReadWrite);
        EXPECT_EQ(f.code, c.code);
        EXPECT_TRUE(f.text.startsWith(c.why)) << f.text.toStdString();
        EXPECT_EQ(c.code != DatabaseError::Damaged ||
                      f.text.contains("È ancora possibile leggerlo ed esportarlo"),
                  c.readable);
        if (c.readable) {
            EXPECT_EQ(batch({"export", file, output("Esportati.txt")}), 0);
        }
        const BatchRun import = runBatch({"import", good, file});
        EXPECT_NE(import.exitCode, 0);
        EXPECT_FALSE(import.out.contains("Importati")) << import.out.toStdString();
        EXPECT_EQ(failureOf([&] { Compactor::compact(file, ArchiveKind::Addresses); }).code,
                  c.code);
        state.callerMode = "Edit";
        Database db;
        Recordset rs;
        EXPECT_FALSE(opener.open(db, rs, file, false));
        EXPECT_EQ(FileSnapshot::of(file), before);
    }

    // Reading the rekeyed one loses nothing: count and a copy into another archive still
    // work, but a move out of it (a delete by NR) is refused.
    const QString rebuilt = path("Ricostruito.mdb"), target = output("Destinazione.mdb");
    const FileSnapshot before = FileSnapshot::of(rebuilt);
    EXPECT_EQ(countOf(rebuilt), 300);
    SampleArchive::write(target, 10, 3);
    EXPECT_EQ(batch({"import", rebuilt, target}), 0);
    EXPECT_EQ(countOf(target), 310);
    EXPECT_NE(batch({"import", rebuilt, target, "--move"}), 0);
    EXPECT_EQ(countOf(target), 310);
    EXPECT_EQ(FileSnapshot::of(rebuilt), before);
}
