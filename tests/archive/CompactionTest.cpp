#include "ArchiveTestFiles.h"

#include "archive/ArchiveFile.h"
#include "archive/Compactor.h"
#include "archive/DatabaseError.h"
#include "archive/DateStamp.h"
#include "archive/SampleArchive.h"
#include "archive/Statement.h"
#include "support/CommandRun.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velomar::archive;
using namespace velomar::test;

namespace {

// Every address, in NR order, reduced to one hash.
QByteArray contentHash(const QString& path) {
    Database db = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly);
    Statement st(db, QStringLiteral("SELECT * FROM TabMAIL ORDER BY NR"));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    while (st.step())
        for (int c = 0; c < st.columnCount(); ++c)
            hash.addData((st.isNull(c) ? QStringLiteral("<null>") : st.text(c)).toUtf8() + '\x1f');
    return hash.result();
}

qint64 scalar(const QString& path, const QString& sql) {
    Database db(path, Database::Mode::ReadOnly);
    Statement st(db, sql);
    return st.step() ? st.integer(0) : -1;
}

QString descriptionOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const DatabaseError& e) {
        return e.description();
    }
    return QStringLiteral("<nessun errore>");
}

class Compaction : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath(QStringLiteral("Soci.mdb"));
        SampleArchive::write(path, 4000, 3);
        Database db(path, Database::Mode::ReadWrite);
        db.exec(QStringLiteral("DELETE FROM TabMAIL WHERE NR % 3 = 0")); // leaves free pages
        db.close();
        hash = contentHash(path);
    }

    QStringList folder() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                          QDir::Name);
    }

    QTemporaryDir dir;
    QString path;
    QByteArray hash;
};

} // namespace

TEST_F(Compaction, ShrinksKeepsEveryAddressAndStampsTheDay) {
    const qint64 before = QFileInfo(path).size();
    QString copy;
    const Compactor::Result r = Compactor::compact(path, ArchiveKind::Addresses, [&](Compactor::Stage s, const QString& c) {
        if (s == Compactor::Stage::CopyWritten)
            copy = c;
    });
    EXPECT_EQ(r.bytesBefore, before);
    EXPECT_LT(r.bytesAfter, before * 3 / 4);
    EXPECT_EQ(QFileInfo(path).size(), r.bytesAfter);
    EXPECT_EQ(QFileInfo(copy).absolutePath(), QFileInfo(path).absolutePath());
    EXPECT_EQ(folder(), QStringList{QStringLiteral("Soci.mdb")});
    EXPECT_EQ(contentHash(path), hash);
    EXPECT_EQ(DateStamp::readByPath(path, DateStamp::Kind::Defrag, nullptr), QDate::currentDate());
    EXPECT_EQ(DateStamp::readByPath(path, DateStamp::Kind::Creazione, nullptr).has_value(), true);
    // New rows continue the numbering: the counter survives compaction.
    Database db = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    db.exec(QStringLiteral("INSERT INTO TabMAIL (COGNOME) VALUES ('Nuovo')"));
    EXPECT_EQ(db.lastInsertRowId(), 4001);
}

// The copy's name used to be the archive's name with ".kkk", and a file of that name was
// removed first as a leftover: an archive called "Rubrica.kkk" was deleted.
TEST_F(Compaction, NeverRemovesAFileOfTheUserWhateverItsNameAndFollowsLinks) {
    const QString kkkArchive = dir.filePath(QStringLiteral("Rubrica.kkk"));
    ASSERT_TRUE(QFile::copy(path, kkkArchive));
    const QByteArray userBytes("dati dell'utente");
    const QStringList lookAlikes = {QStringLiteral("Soci.kkk"), QStringLiteral("Rubrica.kkk.kkk"),
                                    QStringLiteral(".Soci.mdb.abcdefgh-00000000.kkk"),
                                    QStringLiteral(".Rubrica.kkk.abcdefgh-12345678.kkk-journal")};
    for (const QString& name : lookAlikes)
        writeFile(dir.filePath(name), userBytes);

    QString copy;
    const auto recordCopy = [&](Compactor::Stage s, const QString& c) {
        if (s == Compactor::Stage::CopyWritten)
            copy = c;
    };
    const Compactor::Result r = Compactor::compact(kkkArchive, ArchiveKind::Addresses, recordCopy);
    EXPECT_LT(r.bytesAfter, r.bytesBefore);
    EXPECT_EQ(contentHash(kkkArchive), hash);
    EXPECT_NE(copy, kkkArchive);
    const QString copyName = QFileInfo(copy).fileName();
    EXPECT_TRUE(Compactor::isTemporaryOf(copyName, QStringLiteral("Rubrica.kkk"))) << qPrintable(copyName);
    EXPECT_TRUE(Compactor::isTemporaryOf(copyName + QStringLiteral("-journal"), QStringLiteral("Rubrica.kkk")));
    EXPECT_FALSE(Compactor::isTemporaryOf(copyName, QStringLiteral("Soci.mdb")));
    EXPECT_FALSE(Compactor::isTemporaryOf(QStringLiteral("Rubrica.kkk"), QStringLiteral("Rubrica.kkk")));
    Compactor::compact(path, ArchiveKind::Addresses);
    for (const QString& name : lookAlikes) {
        EXPECT_FALSE(Compactor::isTemporaryOf(name, QStringLiteral("Soci.mdb")));
        EXPECT_EQ(fileBytes(dir.filePath(name)), userBytes) << qPrintable(name);
    }
    QStringList expected = lookAlikes + QStringList{QStringLiteral("Rubrica.kkk"), QStringLiteral("Soci.mdb")};
    expected.sort();
    EXPECT_EQ(folder(), expected);

    // A link: the target is compacted beside itself, the link stays a link.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("vero")));
    const QString target = dir.filePath(QStringLiteral("vero/Rubrica.mdb"));
    ASSERT_TRUE(QFile::rename(kkkArchive, target));
    {
        Database db(target, Database::Mode::ReadWrite);
        db.exec(QStringLiteral("DELETE FROM TabMAIL WHERE NR % 2 = 0"));
    }
    const QByteArray halfHash = contentHash(target);
    const QString link = dir.filePath(QStringLiteral("Collegamento.mdb"));
    ASSERT_TRUE(QFile::link(QStringLiteral("vero/Rubrica.mdb"), link));
    const Compactor::Result viaLink = Compactor::compact(link, ArchiveKind::Addresses, recordCopy);
    EXPECT_LT(viaLink.bytesAfter, viaLink.bytesBefore);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), QFileInfo(target).absoluteFilePath());
    EXPECT_EQ(QFileInfo(copy).absolutePath(), QFileInfo(target).absolutePath());
    EXPECT_EQ(contentHash(target), halfHash);
    EXPECT_EQ(QFileInfo(target).size(), viaLink.bytesAfter);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("vero"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Rubrica.mdb")});
}

TEST_F(Compaction, FailuresAreReportedAndLeaveTheArchiveAsItWas) {
    const FileSnapshot original = FileSnapshot::of(path);
    {
        Database other(path, Database::Mode::ReadWrite);
        other.exec(QStringLiteral("BEGIN IMMEDIATE"));
        try {
            Compactor::compact(path, ArchiveKind::Addresses);
            ADD_FAILURE() << "compacted while another connection held the write lock";
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.code(), DatabaseError::InUse);
            EXPECT_TRUE(e.description().contains(QStringLiteral("in uso"))) << qPrintable(e.description());
        }
        other.exec(QStringLiteral("ROLLBACK"));
    }
    EXPECT_EQ(FileSnapshot::of(path), original);

    EXPECT_TRUE(descriptionOf([&] { Compactor::compact(path, ArchiveKind::Groups); })
                    .startsWith(QStringLiteral("Archivio non riconosciuto o corrotto !")));
    EXPECT_EQ(FileSnapshot::of(path), original);
    EXPECT_THROW(Compactor::compact(dir.filePath(QStringLiteral("Manca.mdb")), ArchiveKind::Addresses), DatabaseError);
    const QString loop = dir.filePath(QStringLiteral("Giro.mdb"));
    ASSERT_TRUE(QFile::link(loop, loop));
    EXPECT_THROW(Compactor::compact(loop, ArchiveKind::Addresses), DatabaseError);
    EXPECT_EQ(FileSnapshot::of(path), original);
}

// Each check of the copy is made to fire by breaking the copy (or the files around it)
// at the stage before the check. The archive must come out byte for byte as it was, and
// no file of the compaction may stay; a file put in the copy's place is not the
// compaction's and stays.
TEST_F(Compaction, EveryGuardFiresWhenWhatItGuardsIsBroken) {
    using S = Compactor::Stage;
    const QString moved = dir.filePath(QStringLiteral("altrove"));
    struct Case {
        const char* what;
        S stage;
        std::function<void(const QString& copy)> breakIt;
        QString expected;
        std::function<void(const QString& copy)> afterwards;
    };
    const std::vector<Case> cases = {
        {"a table page in the middle of the copy zeroed", S::CopyWritten,
         [](const QString& copy) {
             qint64 page = 0, pageSize = 0;
             {
                 Database db(copy, Database::Mode::ReadOnly);
                 Statement st(db, QStringLiteral("SELECT pageno FROM dbstat WHERE name = 'TabMAIL' AND "
                                                 "pagetype = 'leaf' ORDER BY pageno"));
                 QList<qint64> leaves;
                 while (st.step())
                     leaves << st.integer(0);
                 ASSERT_GT(leaves.size(), 10);
                 page = leaves[leaves.size() / 2];
                 Statement ps(db, QStringLiteral("PRAGMA page_size"));
                 pageSize = ps.step() ? ps.integer(0) : 0;
             }
             QFile f(copy);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.seek((page - 1) * pageSize);
             f.write(QByteArray(int(pageSize), '\0'));
         },
         QStringLiteral("La copia compattata è danneggiata"), {}},
        {"an address missing from the copy", S::CopyWritten,
         [](const QString& copy) {
             Database db(copy, Database::Mode::ReadWrite);
             db.exec(QStringLiteral("DELETE FROM TabMAIL WHERE NR = (SELECT MAX(NR) FROM TabMAIL)"));
         },
         QStringLiteral("La copia compattata non contiene tutti i record"), {}},
        {"a copy that is not an archive of ours", S::CopyWritten,
         [](const QString& copy) {
             Database db(copy, Database::Mode::ReadWrite);
             db.exec(QStringLiteral("PRAGMA application_id = 7"));
         },
         QStringLiteral("La copia compattata non è un archivio valido"), {}},
        {"a copy that cannot be flushed (a pipe in its place)", S::CopyStamped,
         [](const QString& copy) {
             ASSERT_TRUE(QFile::remove(copy));
             ASSERT_EQ(::mkfifo(QFile::encodeName(copy).constData(), 0600), 0);
         },
         QStringLiteral("Impossibile scrivere su disco la copia compattata"),
         [](const QString& copy) {
             EXPECT_FALSE(QFileInfo(copy).isFile()) << "the pipe is not the compaction's to remove";
             EXPECT_TRUE(QFile::remove(copy));
         }},
        {"a copy gone before the rename", S::CopySynced,
         [&](const QString& copy) { ASSERT_TRUE(QFile::rename(copy, moved)); },
         QStringLiteral("Impossibile sostituire l'archivio con la copia compattata: File o cartella non trovati."),
         [&](const QString&) { EXPECT_TRUE(QFile::remove(moved)); }},
        {"an archive replaced by another file during the compaction", S::CopySynced,
         [&](const QString&) {
             ASSERT_TRUE(QFile::rename(path, moved));
             writeFile(path, "un altro file");
         },
         QStringLiteral("L'archivio è stato spostato o sostituito durante la compattazione"),
         [&](const QString&) {
             EXPECT_EQ(fileBytes(path), QByteArray("un altro file"));
             ASSERT_TRUE(QFile::remove(path));
             ASSERT_TRUE(QFile::rename(moved, path));
         }},
    };

    const FileSnapshot original = FileSnapshot::of(path);
    for (const Case& c : cases) {
        QString copy;
        const QString message = descriptionOf([&] {
            Compactor::compact(path, ArchiveKind::Addresses, [&](S stage, const QString& at) {
                if (stage == c.stage) {
                    copy = at;
                    c.breakIt(at);
                }
            });
        });
        EXPECT_TRUE(message.startsWith(c.expected)) << c.what << ": " << qPrintable(message);
        if (c.afterwards)
            c.afterwards(copy);
        EXPECT_EQ(FileSnapshot::of(path), original) << c.what;
    }
    EXPECT_EQ(contentHash(path), hash);
}

// Another process keeps adding addresses, each batch in its own transaction, some on a
// connection it keeps and some on a fresh one, while this one compacts again and again.
// Every batch the writer saw committed must be in the archive at the end.
TEST_F(Compaction, AnotherProcessWritingMeanwhileLosesNoAddress) {
    const qint64 originalRows = scalar(path, QStringLiteral("SELECT COUNT(*) FROM TabMAIL"));
    int results[2], stop[2];
    ASSERT_EQ(::pipe(results), 0);
    ASSERT_EQ(::pipe(stop), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(results[0]);
        ::close(stop[1]);
        ::fcntl(stop[0], F_SETFL, O_NONBLOCK);
        Database db;
        char c;
        for (int i = 0; ::read(stop[0], &c, 1) != 0; ++i) {
            try {
                if (!db.isOpen() || i % 3 == 0)
                    db = Database(path, Database::Mode::ReadWrite);
                db.exec(QStringLiteral("BEGIN IMMEDIATE"));
                for (int k = 0; k < 5; ++k)
                    db.exec(QStringLiteral("INSERT INTO TabMAIL (COGNOME) VALUES ('Concorrente')"));
                db.exec(QStringLiteral("COMMIT"));
                (void)!::write(results[1], "+", 1);
                ::usleep(2000);
            } catch (const DatabaseError&) {
                try {
                    db.exec(QStringLiteral("ROLLBACK"));
                } catch (const DatabaseError&) {
                }
                db.close();
                (void)!::write(results[1], "-", 1);
            }
        }
        ::_exit(0);
    }
    ::close(results[1]);
    ::close(stop[0]);
    QByteArray outcomes;
    const auto collect = [&] {
        char buffer[4096];
        for (ssize_t n; (n = ::read(results[0], buffer, sizeof buffer)) > 0;)
            outcomes.append(buffer, int(n));
    };
    ::fcntl(results[0], F_SETFL, O_NONBLOCK);

    // Both sides pause between turns, or SQLite's polling lock wait lets one starve the other.
    int compacted = 0;
    QStringList refusals;
    QElapsedTimer timer;
    timer.start();
    while ((compacted < 8 || outcomes.count('+') < 16) && timer.elapsed() < 12000) {
        try {
            Compactor::compact(path, ArchiveKind::Addresses);
            ++compacted;
        } catch (const DatabaseError& e) {
            refusals << e.description();
        }
        ::usleep(5000);
        collect();
    }
    ::close(stop[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::fcntl(results[0], F_SETFL, 0);
    collect();
    ::close(results[0]);

    const qint64 committed = outcomes.count('+');
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_GE(compacted, 8) << qPrintable(refusals.mid(0, 5).join(QLatin1Char('\n')));
    EXPECT_GE(committed, 16);
    EXPECT_EQ(scalar(path, QStringLiteral("SELECT COUNT(*) FROM TabMAIL WHERE COGNOME = 'Concorrente'")), 5 * committed)
        << compacted << " compactions, " << committed << " batches committed, " << outcomes.count('-') << " refused";
    EXPECT_EQ(scalar(path, QStringLiteral("SELECT COUNT(*) FROM TabMAIL WHERE COGNOME <> 'Concorrente'")), originalRows);
}

TEST_F(Compaction, KilledAtAnyPointTheArchiveStillOpensWhole) {
    const auto runChild = [&](std::optional<Compactor::Stage> stopAt, int killAfterUs) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            try {
                Compactor::compact(path, ArchiveKind::Addresses, [&](Compactor::Stage s, const QString&) {
                    if (stopAt && s == *stopAt)
                        ::kill(::getpid(), SIGKILL);
                });
            } catch (...) {
                ::_exit(3);
            }
            ::_exit(0);
        }
        if (killAfterUs >= 0) {
            ::usleep(useconds_t(killAfterUs));
            ::kill(pid, SIGKILL);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return status;
    };

    using S = Compactor::Stage;
    for (const S stage : {S::Started, S::CopyWritten, S::CopyVerified, S::CopyStamped, S::CopySynced, S::Replaced}) {
        const int status = runChild(stage, -1);
        EXPECT_TRUE(WIFSIGNALED(status)) << int(stage);
        EXPECT_EQ(contentHash(path), hash) << "stopped at stage " << int(stage);
    }
    runChild(S::CopyStamped, -1);
    EXPECT_GT(folder().size(), 1); // the killed run's copy
    // Kills at arbitrary moments of a whole compaction.
    QElapsedTimer timer;
    timer.start();
    runChild(std::nullopt, -1);
    const int fullUs = int(std::max<qint64>(timer.nsecsElapsed() / 1000, 2000));
    for (int i = 1; i <= 6; ++i) {
        runChild(std::nullopt, fullUs * i / 6);
        EXPECT_EQ(contentHash(path), hash) << "killed after " << fullUs * i / 6 << " us";
    }
    // A compaction after all this still works and removes the copies the killed runs left.
    Compactor::compact(path, ArchiveKind::Addresses);
    EXPECT_EQ(contentHash(path), hash);
    EXPECT_EQ(folder(), QStringList{QStringLiteral("Soci.mdb")});
}

TEST_F(Compaction, TheBatchCommandCompactsBothKindsAndExitsByOutcome) {
    QString out, err;
    const auto run = [&](const QStringList& args) {
        const CommandRun r = runCommand(QStringLiteral("compact"), args);
        out = r.out;
        err = r.err;
        return r.status;
    };
    const qint64 before = QFileInfo(path).size();
    ASSERT_EQ(run({path}), 0) << qPrintable(err);
    const QLocale it(QLocale::Italian, QLocale::Italy);
    EXPECT_EQ(out, QStringLiteral("Compattato Soci.mdb (%1 indirizzi): %2 byte prima, %3 byte dopo.\n")
                       .arg(it.toString(scalar(path, QStringLiteral("SELECT COUNT(*) FROM TabMAIL"))),
                            it.toString(before), it.toString(QFileInfo(path).size())));
    EXPECT_EQ(contentHash(path), hash);

    const QString groups = dir.filePath(QStringLiteral("Gruppi.grp"));
    SampleArchive::writeGroups(groups, 2);
    ASSERT_EQ(run({groups}), 0) << qPrintable(err);
    EXPECT_TRUE(out.startsWith(QStringLiteral("Compattato Gruppi.grp (14 gruppi): "))) << qPrintable(out);
    {
        Database db = ArchiveFile::open(groups, ArchiveKind::Groups, ArchiveFile::Access::ReadOnly);
        EXPECT_EQ(DateStamp::read(db, DateStamp::Kind::Defrag), QDate::currentDate());
    }

    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({path, groups}), 2);
    EXPECT_EQ(run({QStringLiteral("--groups")}), 2);

    const QString text = dir.filePath(QStringLiteral("Testo.mdb"));
    writeFile(text, "non un archivio");
    EXPECT_EQ(run({text}), 1);
    EXPECT_TRUE(err.startsWith(QStringLiteral("Compattazione non riuscita: l'Archivio è rimasto com'era.\n"
                                              "Archivio non riconosciuto o corrotto !")))
        << qPrintable(err);
    EXPECT_EQ(fileBytes(text), QByteArray("non un archivio"));
    EXPECT_TRUE(out.isEmpty());
}
