// Opening archives: by each caller of the open routine, after an interrupted write or
// import, on a full disk, while another program holds them; and refusing to write into a
// damaged archive or one whose NR is not the row key.
#include "ArchiveHarness.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveOpener.h"
#include "archive/Compactor.h"
#include "archive/DataModel.h"
#include "archive/OpenFeedback.h"
#include "settings/AppState.h"
#include "support/BatchProcess.h"
#include "support/ScriptedDialogs.h"

#include <QRegularExpression>

#include <atomic>
#include <thread>

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;

namespace {

constexpr auto kAccesses = {ArchiveFile::Access::ReadOnly, ArchiveFile::Access::ReadWrite};

Failure openFailure(const QString& path, ArchiveFile::Access access) {
    return failureOf([&] { ArchiveFile::open(path, ArchiveKind::Addresses, access); });
}

class ArchiveRecovery : public GoodArchive {
protected:
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
        EXPECT_NO_THROW(ArchiveFile::open(crashed, ArchiveKind::Addresses, access));
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
    for (const auto access : kAccesses)
        EXPECT_NO_THROW(ArchiveFile::open(good, ArchiveKind::Addresses, access));
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
    ASSERT_TRUE(QDir().mkpath(path("uscite")));
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
        if (c.readable)
            EXPECT_EQ(batch({"export", file, output("Esportati.txt")}), 0);
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

namespace {

class RecordingFeedback : public OpenFeedback {
public:
    void showWait(const QString& message, const QString& key) override {
        calls << "wait:" + message + ":" + key;
    }
    void closeWait() override { calls << "closeWait"; }
    void setArchiveImage(const QString& key) override { calls << "image:" + key; }
    void resetToNoArchive() override { calls << "reset"; }
    void unloadGrid() override { calls << "unloadGrid"; }
    QStringList calls;
};

class ArchiveOpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SampleArchive::write(archivePath, 500, 4);
        SampleArchive::writeGroups(groupsPath, 4);
        ASSERT_TRUE(writeFile(brokenPath, "non sono un archivio"));
    }

    bool open(const QString& mode, const QString& path, bool wait = false,
              const QString& filter = {}) {
        state.callerMode = mode;
        return opener.open(db, rs, path, wait, filter);
    }

    QTemporaryDir dir;
    const QString archivePath = dir.filePath("Clienti.mdb"),
                  groupsPath = dir.filePath("Gruppi.grp"), brokenPath = dir.filePath("Rotto.mdb");
    settings::AppState state;
    ScriptedDialogs dialogs;
    RecordingFeedback feedback;
    ArchiveOpener opener{state, dialogs, &feedback};
    Database db;
    Recordset rs;
};

} // namespace

TEST_F(ArchiveOpenerTest, EachCallerModeGetsItsAccessAndRowsAndEveryFailureSaysErro) {
    ASSERT_TRUE(open("Main", archivePath, true));
    EXPECT_EQ(rs.recordCount(), 500);
    EXPECT_EQ(rs.fieldCount(), 1);
    EXPECT_EQ(feedback.calls, (QStringList{"wait:Lettura Archivio...!:kDRIVET", "image:kDBopen",
                                           "image:kDBclose", "closeWait"}));

    ASSERT_TRUE(open("Edit", archivePath));
    EXPECT_EQ(rs.recordCount(), 500);
    EXPECT_EQ(rs.fieldCount(), 18);
    rs.addNew();
    rs.setValue("COGNOME", "Dell'Orto");
    rs.update();
    EXPECT_EQ(scalar(archivePath, "SELECT COUNT(*) FROM TabMAIL"), 501);

    ASSERT_TRUE(open("Impo", archivePath, false, "**"));
    EXPECT_EQ(rs.recordCount(), 501);
    ASSERT_TRUE(open("Impo", archivePath, false, "AM"));
    EXPECT_EQ(rs.recordCount(),
              scalar(archivePath, "SELECT COUNT(*) FROM TabMAIL WHERE GR = 'AM'"));
    EXPECT_GT(rs.recordCount(), 0);
    // A group filter is a value: quotes in it select nothing and break nothing.
    ASSERT_TRUE(open("Impo", archivePath, false, "' OR ''='"));
    EXPECT_EQ(rs.recordCount(), 0);

    ASSERT_TRUE(open("Grup", groupsPath));
    EXPECT_EQ(rs.recordCount(), 14);
    EXPECT_EQ(rs.fieldName(0), "GRUPPO");
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(state.callerMode, "Grup");

    // Every failure shows the message, empties the slots and says "Erro".
    struct Case {
        QString mode;
        QString path;
        QStringList windowSteps;
        QString message = "Archivio non riconosciuto o corrotto !"; // its start
    };
    const std::vector<Case> cases{
        {"Main", brokenPath, {"reset"}},
        {"Edit", brokenPath, {"reset", "unloadGrid"}},
        {"Impo", groupsPath, {}},
        {"Grup", archivePath, {}},
        // Not one of ours only when it is one: otherwise the cause.
        {"Main", dir.filePath("Manca.mdb"), {"reset"}, "File non trovato"},
        {"Xxxx", archivePath, {}, "Errore interno"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.mode + QLatin1Char(' ') + c.path));
        ASSERT_TRUE(open("Main", archivePath)); // slots hold something before
        const FileSnapshot before = FileSnapshot::of(c.path);
        feedback.calls.clear();
        dialogs.clear();
        EXPECT_FALSE(open(c.mode, c.path, true, "**"));
        EXPECT_EQ(state.callerMode, "Erro");
        EXPECT_FALSE(db.isOpen());
        EXPECT_FALSE(rs.isOpen());
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_TRUE(dialogs.lastMessage().startsWith(c.message))
            << dialogs.lastMessage().toStdString();
        EXPECT_EQ(dialogs.shown().front().icon, common::MsgIcon::Critical);
        EXPECT_EQ(feedback.calls.filter(QRegularExpression("^(reset|unloadGrid)$")), c.windowSteps);
        EXPECT_TRUE(feedback.calls.contains("closeWait"));
        EXPECT_EQ(FileSnapshot::of(c.path), before);
    }
    // A stale "Erro" from someone else's failure does not spoil the next open.
    EXPECT_TRUE(open("Main", archivePath));
}

// velomar-batch import killed (kill -9) at moments spread over a 30,000-address run,
// and an import that fills the disk: afterwards both archives open with their old or
// their full new count, and no address is lost.

namespace {

constexpr qint64 kSource = 30000;
constexpr qint64 kTarget = 300;

} // namespace

TEST(InterruptedImport, KilledAnywhereLeavesOldOrFullNewCountAndLosesNothing) {
    QTemporaryDir dir;
    const QString source = dir.filePath("Origine.mdb"), target = dir.filePath("Destinazione.mdb");
    ASSERT_EQ(sample(QString::number(kSource), source, "5"), 0);
    ASSERT_EQ(sample(QString::number(kTarget), target, "6"), 0);
    const QString s = dir.filePath("punto/Origine.mdb"), t = dir.filePath("punto/Destinazione.mdb");
    for (const bool move : {false, true}) {
        SCOPED_TRACE(move ? "import --move" : "import");
        const auto start = [&] {
            QDir(dir.filePath("punto")).removeRecursively();
            QDir().mkpath(dir.filePath("punto"));
            QFile::copy(source, s);
            QFile::copy(target, t);
            return spawnBatch(move ? QStringList{"import", s, t, "--move"}
                                   : QStringList{"import", s, t});
        };
        killAtSpreadMoments(10, start, [&](bool whole) {
            const qint64 to = countOf(t), from = countOf(s);
            EXPECT_TRUE(to == kTarget || to == kTarget + kSource) << "target " << to;
            if (whole) {
                EXPECT_EQ(to, kTarget + kSource);
                EXPECT_EQ(from, move ? 0 : kSource);
            }
            if (move) {
                EXPECT_TRUE(from == kSource || from == 0) << "source " << from;
                // Deleted from the source only once copied into the target.
                EXPECT_TRUE(from == kSource || to == kTarget + kSource) << from << " / " << to;
            } else {
                EXPECT_EQ(from, kSource);
            }
            // Rolled back; a journal whose header was never completed guards nothing and
            // SQLite ignores it.
            EXPECT_FALSE(ArchiveFile::hasInterruptedWrite(t));
            EXPECT_FALSE(ArchiveFile::hasInterruptedWrite(s));
            // Recovered, the target is whole: it passes the checks made before any write.
            EXPECT_NO_THROW(
                ArchiveFile::open(t, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite));
        });
    }
}

TEST(InterruptedImport, FullDiskFailsTheImportAndKeepsTheArchive) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "a small disk needs mount, which needs root";
    QTemporaryDir dir;
    const QString disk = dir.filePath("disco");
    ASSERT_TRUE(QDir().mkpath(disk));
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", disk}) != 0)
        GTEST_SKIP() << "mount -t tmpfs is not allowed here";
    struct Unmount {
        QString at;
        ~Unmount() { QProcess::execute("umount", {at}); }
    } unmount{disk};

    const QString source = dir.filePath("Origine.mdb"), target = disk + "/Destinazione.mdb";
    ASSERT_EQ(sample("20000", source), 0);
    ASSERT_EQ(sample(QString::number(kTarget), target), 0);
    const BatchRun run = runBatch({"import", source, target});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_FALSE(run.out.contains("Importati")) << run.out.toStdString();
    // Its message, and no journal left: FailureMessages.FullAndReadOnlyDisksAreNamedAsSuch.
    EXPECT_EQ(countOf(target), kTarget);
    EXPECT_EQ(countOf(source), 20000);
}
