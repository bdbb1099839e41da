#include "ArchiveHarness.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveOpener.h"
#include "archive/Compactor.h"
#include "archive/DateStamp.h"
#include "archive/GroupsCompactor.h"
#include "settings/AppState.h"
#include "support/ScriptedDialogs.h"

#include <QCryptographicHash>
#include <sys/stat.h>

using namespace velomar::archive;
using namespace velomar::test;
using S = Compactor::Stage;
using namespace velomar;

namespace {

// Every address, in NR order, reduced to one hash.
QByteArray contentHash(const QString& path) {
    Database db = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly);
    Statement st(db, "SELECT * FROM TabMAIL ORDER BY NR");
    QCryptographicHash hash(QCryptographicHash::Sha256);
    while (st.step())
        for (int c = 0; c < st.columnCount(); ++c)
            hash.addData((st.isNull(c) ? QString("<null>") : st.text(c)).toUtf8() + '\x1f');
    return hash.result();
}

class Compaction : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath("Soci.mdb");
        SampleArchive::write(path, 4000, 3);
        Database(path, Database::Mode::ReadWrite)
            .exec("DELETE FROM TabMAIL WHERE NR % 3 = 0"); // leaves free pages
        hash = contentHash(path);
    }

    QStringList folder() const { return FileSnapshot::of(path).folder; }
    // Compacts and tells where the copy was written.
    QString compact(const QString& archive) {
        QString copy;
        Compactor::compact(archive, ArchiveKind::Addresses, [&](S s, const QString& c) {
            if (s == S::CopyWritten)
                copy = c;
        });
        return copy;
    }

    QTemporaryDir dir;
    QString path;
    QByteArray hash;
};

} // namespace

TEST_F(Compaction, TheBatchCommandCompactsBothKindsKeepsEveryAddressAndExitsByOutcome) {
    const qint64 before = QFileInfo(path).size();
    const CommandRun r = runCommand("compact", {path});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    const QLocale it(QLocale::Italian, QLocale::Italy);
    const qint64 after = QFileInfo(path).size();
    EXPECT_EQ(r.out, QString("Compattato Soci.mdb (%1 indirizzi): %2 byte prima, %3 byte dopo.\n")
                         .arg(it.toString(scalar(path, "SELECT COUNT(*) FROM TabMAIL")),
                              it.toString(before), it.toString(after)));
    EXPECT_LT(after, before * 3 / 4);
    // Every address kept and no file left: KilledAtAnyPointTheArchiveStillOpensWhole.
    EXPECT_EQ(DateStamp::readByPath(path, DateStamp::Kind::Defrag, nullptr), QDate::currentDate());
    EXPECT_TRUE(DateStamp::readByPath(path, DateStamp::Kind::Creazione, nullptr).has_value());
    {
        // New rows continue the numbering: the counter survives compaction.
        Database db =
            ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
        db.exec("INSERT INTO TabMAIL (COGNOME) VALUES ('Nuovo')");
        EXPECT_EQ(db.lastInsertRowId(), 4001);
    }

    const QString groups = dir.filePath("Gruppi.grp");
    SampleArchive::writeGroups(groups, 2);
    const CommandRun g = runCommand("compact", {groups});
    EXPECT_TRUE(g.out.startsWith("Compattato Gruppi.grp (14 gruppi): ")) << qPrintable(g.out);

    const QString text = dir.filePath("Testo.mdb");
    writeFile(text, "non un archivio");
    const CommandRun refused = runCommand("compact", {text});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.startsWith("Compattazione non riuscita: l'Archivio è rimasto com'era.\n"
                                       "Archivio non riconosciuto o corrotto !"))
        << qPrintable(refused.err);
    EXPECT_TRUE(refused.out.isEmpty()); // the file left alone: DamagedCorpus
}

// The copy's name used to be the archive's name with ".kkk", and a file of that name was
// removed first as a leftover: an archive called "Rubrica.kkk" was deleted.
TEST_F(Compaction, NeverRemovesAFileOfTheUserWhateverItsNameAndFollowsLinks) {
    const QString kkkArchive = dir.filePath("Rubrica.kkk");
    ASSERT_TRUE(QFile::copy(path, kkkArchive));
    const QStringList lookAlikes = {"Soci.kkk", "Rubrica.kkk.kkk",
                                    ".Soci.mdb.abcdefgh-00000000.kkk",
                                    ".Rubrica.kkk.abcdefgh-12345678.kkk-journal"};
    for (const QString& name : lookAlikes)
        writeFile(dir.filePath(name), "dati dell'utente");

    const QString copyName = QFileInfo(compact(kkkArchive)).fileName();
    EXPECT_EQ(contentHash(kkkArchive), hash);
    EXPECT_TRUE(Compactor::isTemporaryOf(copyName, "Rubrica.kkk")) << qPrintable(copyName);
    EXPECT_TRUE(Compactor::isTemporaryOf(copyName + "-journal", "Rubrica.kkk"));
    Compactor::compact(path, ArchiveKind::Addresses);
    for (const QString& name : lookAlikes)
        EXPECT_EQ(fileBytes(dir.filePath(name)), "dati dell'utente") << qPrintable(name);
    QStringList expected = lookAlikes + QStringList{"Rubrica.kkk", "Soci.mdb"};
    expected.sort();
    EXPECT_EQ(folder(), expected);

    // A link: the target is compacted beside itself, the link stays a link.
    ASSERT_TRUE(QDir(dir.path()).mkdir("vero"));
    const QString target = dir.filePath("vero/Rubrica.mdb");
    ASSERT_TRUE(QFile::rename(kkkArchive, target));
    Database(target, Database::Mode::ReadWrite).exec("DELETE FROM TabMAIL WHERE NR % 2 = 0");
    const QByteArray halfHash = contentHash(target);
    const qint64 before = QFileInfo(target).size();
    const QString link = dir.filePath("Collegamento.mdb");
    ASSERT_TRUE(QFile::link("vero/Rubrica.mdb", link));
    const QString copy = compact(link);
    EXPECT_LT(QFileInfo(target).size(), before);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), QFileInfo(target).absoluteFilePath());
    EXPECT_EQ(QFileInfo(copy).absolutePath(), QFileInfo(target).absolutePath());
    EXPECT_EQ(contentHash(target), halfHash);
    EXPECT_EQ(QDir(dir.filePath("vero")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Rubrica.mdb"});
}

// Each check of the copy is made to fire by breaking the copy (or the files around it)
// at the stage before the check. The archive must come out byte for byte as it was, and
// no file of the compaction may stay; a file put in the copy's place is not the
// compaction's and stays. Nor is an archive compacted that another connection holds, or
// one of the other kind.
TEST_F(Compaction, EveryGuardFiresWhenWhatItGuardsIsBroken) {
    const QString moved = dir.filePath("altrove");
    const auto zeroALeafPage = [](const QString& copy) {
        QList<qint64> leaves;
        {
            Database db(copy, Database::Mode::ReadOnly);
            Statement st(db, "SELECT pageno FROM dbstat WHERE name = 'TabMAIL' AND "
                             "pagetype = 'leaf' ORDER BY pageno");
            while (st.step())
                leaves << st.integer(0);
        }
        ASSERT_GT(leaves.size(), 10);
        const qint64 pageSize = scalar(copy, "PRAGMA page_size");
        writeBytesAt(copy, (leaves[leaves.size() / 2] - 1) * pageSize, QByteArray(pageSize, '\0'));
    };
    const auto sql = [](const char* statement) {
        return [statement](const QString& copy) {
            Database(copy, Database::Mode::ReadWrite).exec(statement);
        };
    };
    struct Case {
        const char* what;
        S stage;
        std::function<void(const QString& copy)> breakIt;
        QString expected;
        std::function<void(const QString& copy)> afterwards;
    };
    const std::vector<Case> cases = {
        {"a table page in the middle of the copy zeroed",
         S::CopyWritten,
         zeroALeafPage,
         "La copia compattata è danneggiata",
         {}},
        {"an address missing from the copy",
         S::CopyWritten,
         sql("DELETE FROM TabMAIL WHERE NR = (SELECT MAX(NR) FROM TabMAIL)"),
         "La copia compattata non contiene tutti i record",
         {}},
        {"a copy that is not an archive of ours",
         S::CopyWritten,
         sql("PRAGMA application_id = 7"),
         "La copia compattata non è un archivio valido",
         {}},
        {"a copy that cannot be flushed (a pipe in its place)", S::CopyStamped,
         [](const QString& copy) {
             ASSERT_TRUE(QFile::remove(copy));
             ASSERT_EQ(::mkfifo(QFile::encodeName(copy).constData(), 0600), 0);
         },
         "Impossibile scrivere su disco la copia compattata",
         [](const QString& copy) {
             EXPECT_FALSE(QFileInfo(copy).isFile()) << "the pipe is not the compaction's to remove";
             EXPECT_TRUE(QFile::remove(copy));
         }},
        {"a copy gone before the rename", S::CopySynced,
         [&](const QString& copy) { ASSERT_TRUE(QFile::rename(copy, moved)); },
         "Impossibile sostituire l'archivio con la copia compattata: File o cartella non trovati.",
         [&](const QString&) { EXPECT_TRUE(QFile::remove(moved)); }},
        {"an archive replaced by another file during the compaction", S::CopySynced,
         [&](const QString&) {
             ASSERT_TRUE(QFile::rename(path, moved));
             writeFile(path, "un altro file");
         },
         "L'archivio è stato spostato o sostituito durante la compattazione",
         [&](const QString&) {
             EXPECT_EQ(fileBytes(path), QByteArray("un altro file"));
             ASSERT_TRUE(QFile::remove(path));
             ASSERT_TRUE(QFile::rename(moved, path));
         }},
    };

    const FileSnapshot original = FileSnapshot::of(path);
    for (const Case& c : cases) {
        QString copy;
        const Failure f = failureOf([&] {
            Compactor::compact(path, ArchiveKind::Addresses, [&](S stage, const QString& at) {
                if (stage == c.stage)
                    c.breakIt(copy = at);
            });
        });
        EXPECT_TRUE(f.text.startsWith(c.expected)) << c.what << ": " << qPrintable(f.text);
        if (c.afterwards)
            c.afterwards(copy);
        EXPECT_EQ(FileSnapshot::of(path), original) << c.what;
    }

    const LockWait shortWait(200);
    Database other(path, Database::Mode::ReadWrite);
    other.exec("BEGIN IMMEDIATE");
    const Failure inUse = failureOf([&] { Compactor::compact(path, ArchiveKind::Addresses); });
    EXPECT_EQ(inUse.code, DatabaseError::InUse);
    EXPECT_TRUE(inUse.text.contains("in uso")) << qPrintable(inUse.text);
    other.exec("ROLLBACK");
    EXPECT_TRUE(failureOf([&] {
                    Compactor::compact(path, ArchiveKind::Groups);
                }).text.startsWith("Archivio non riconosciuto o corrotto !"));
    EXPECT_EQ(FileSnapshot::of(path), original);
}

// Another process keeps adding addresses, each batch in its own transaction, some on a
// connection it keeps and some on a fresh one, while this one compacts again and again.
// Every batch the writer saw committed must be in the archive at the end.
TEST_F(Compaction, AnotherProcessWritingMeanwhileLosesNoAddress) {
    const qint64 originalRows = scalar(path, "SELECT COUNT(*) FROM TabMAIL");
    const auto added = [&] {
        return scalar(path, "SELECT COUNT(*) FROM TabMAIL WHERE COGNOME = 'Concorrente'");
    };
    const QString stop = dir.filePath("basta");
    // Its exit status is the number of batches it saw committed.
    const pid_t writer = spawn([&] {
        Database db;
        int committed = 0;
        for (int i = 0; committed < 250 && !QFileInfo::exists(stop); ++i) {
            try {
                if (!db.isOpen() || i % 3 == 0)
                    db = Database(path, Database::Mode::ReadWrite);
                db.exec("BEGIN IMMEDIATE");
                for (int k = 0; k < 5; ++k)
                    db.exec("INSERT INTO TabMAIL (COGNOME) VALUES ('Concorrente')");
                db.exec("COMMIT");
                ++committed;
                ::usleep(2000);
            } catch (const DatabaseError&) {
                failureOf([&] { db.exec("ROLLBACK"); });
                db.close();
            }
        }
        ::_exit(committed);
    });
    // Both sides pause between turns, or SQLite's polling lock wait lets one starve the other.
    int compacted = 0;
    QStringList refusals;
    QElapsedTimer timer;
    timer.start();
    while ((compacted < 8 || added() < 80) && timer.elapsed() < 12000) {
        const Failure f = failureOf([&] { Compactor::compact(path, ArchiveKind::Addresses); });
        if (f.code)
            refusals << f.text;
        else
            ++compacted;
        ::usleep(5000);
    }
    writeFile(stop, {});
    const int status = waitFor(writer);
    ASSERT_TRUE(WIFEXITED(status));
    const int committed = WEXITSTATUS(status);
    EXPECT_GE(compacted, 8) << qPrintable(refusals.mid(0, 5).join('\n'));
    EXPECT_GE(committed, 16);
    EXPECT_EQ(added(), 5 * committed) << compacted << " compactions, " << committed << " batches";
    EXPECT_EQ(scalar(path, "SELECT COUNT(*) FROM TabMAIL WHERE COGNOME <> 'Concorrente'"),
              originalRows);
}

TEST_F(Compaction, KilledAtAnyPointTheArchiveStillOpensWhole) {
    for (const S stage : {S::Started, S::CopyWritten, S::CopyVerified, S::CopyStamped,
                          S::CopySynced, S::Replaced}) {
        const int status = waitFor(spawn([&] {
            Compactor::compact(path, ArchiveKind::Addresses, [&](S s, const QString&) {
                if (s == stage)
                    ::kill(::getpid(), SIGKILL);
            });
        }));
        EXPECT_TRUE(WIFSIGNALED(status)) << int(stage);
        EXPECT_EQ(contentHash(path), hash) << "stopped at stage " << int(stage);
        if (stage == S::CopyStamped)
            EXPECT_GT(folder().size(), 1); // the killed run's copy
    }
    killAtSpreadMoments(
        6, [&] { return spawn([&] { Compactor::compact(path, ArchiveKind::Addresses); }); },
        [&](bool) { EXPECT_EQ(contentHash(path), hash); });
    // A compaction after all this still works and removes the copies the killed runs left.
    Compactor::compact(path, ArchiveKind::Addresses);
    EXPECT_EQ(contentHash(path), hash);
    EXPECT_EQ(folder(), QStringList{"Soci.mdb"});
}

// A compaction that fails (its copy loses a group): the window still gets its groups back,
// and the failure is told, not hidden. A user's file named like the old temporary copy is
// no business of the compaction. A groups file gone bad: nothing to give back, and the
// open routine says so. (A compaction that works: ArchiveCommandsTest.)
TEST(CompactionGroups, TheGroupsWindowAlwaysGetsItsConnectionBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Gruppi.grp");
    SampleArchive::writeGroups(path, 2);
    settings::AppState state;
    ScriptedDialogs dialogs;
    ArchiveOpener opener(state, dialogs);
    Database db;
    Recordset rs;
    state.callerMode = "Grup";
    ASSERT_TRUE(opener.open(db, rs, path, false));

    ASSERT_TRUE(writeFile(dir.filePath("Gruppi.kkk"), "mio"));
    const GroupsCompactor::Outcome stuck = GroupsCompactor::compact(
        path, db, rs, opener, state, [](Compactor::Stage s, const QString& copy) {
            if (s == Compactor::Stage::CopyWritten)
                Database(copy, Database::Mode::ReadWrite)
                    .exec("DELETE FROM TabGRUPPI WHERE rowid = (SELECT MAX(rowid) FROM TabGRUPPI)");
        });
    EXPECT_FALSE(stuck.compacted);
    EXPECT_EQ(stuck.error, "La copia compattata non contiene tutti i record");
    EXPECT_TRUE(stuck.reopened);
    ASSERT_TRUE(rs.isOpen());
    EXPECT_EQ(rs.recordCount(), 14);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"Gruppi.grp", "Gruppi.kkk"}));
    EXPECT_EQ(dialogs.messages().size(), 0u);

    db.close();
    rs.close();
    ASSERT_TRUE(writeFile(path, "guasto"));
    const GroupsCompactor::Outcome broken = GroupsCompactor::compact(path, db, rs, opener, state);
    EXPECT_FALSE(broken.compacted);
    EXPECT_FALSE(broken.reopened);
    EXPECT_EQ(state.callerMode, "Erro");
    EXPECT_EQ(dialogs.lastMessage(), "Archivio non riconosciuto o corrotto !");
}
