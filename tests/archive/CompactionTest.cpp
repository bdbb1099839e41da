#include "ArchiveTestFiles.h"

#include "archive/ArchiveFile.h"
#include "archive/Compactor.h"
#include "archive/DatabaseError.h"
#include "archive/DateStamp.h"
#include "archive/SampleArchive.h"
#include "archive/Statement.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
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

    QTemporaryDir dir;
    QString path;
    QByteArray hash;
};

} // namespace

TEST_F(Compaction, ShrinksKeepsEveryAddressAndStampsTheDay) {
    const QString kkk = dir.filePath(QStringLiteral("Soci.kkk"));
    EXPECT_EQ(Compactor::tempPathFor(path), kkk);
    { QFile stale(kkk); ASSERT_TRUE(stale.open(QIODevice::WriteOnly)); stale.write("avanzo"); }

    const qint64 before = QFileInfo(path).size();
    const Compactor::Result r = Compactor::compact(path, ArchiveKind::Addresses);
    EXPECT_EQ(r.bytesBefore, before);
    EXPECT_LT(r.bytesAfter, before * 3 / 4);
    EXPECT_EQ(QFileInfo(path).size(), r.bytesAfter);
    EXPECT_FALSE(QFileInfo::exists(kkk));
    EXPECT_EQ(contentHash(path), hash);
    EXPECT_EQ(DateStamp::readByPath(path, DateStamp::Kind::Defrag, nullptr), QDate::currentDate());
    EXPECT_EQ(DateStamp::readByPath(path, DateStamp::Kind::Creazione, nullptr).has_value(), true);
    // New rows continue the numbering: the counter survives compaction.
    Database db = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    db.exec(QStringLiteral("INSERT INTO TabMAIL (COGNOME) VALUES ('Nuovo')"));
    EXPECT_EQ(db.lastInsertRowId(), 4001);
}

TEST_F(Compaction, FailuresAreReportedAndLeaveTheArchiveAsItWas) {
    const QByteArray original = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    const auto unchanged = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll() == original;
    };

    {
        Database other(path, Database::Mode::ReadWrite);
        other.exec(QStringLiteral("BEGIN IMMEDIATE"));
        EXPECT_THROW(Compactor::compact(path, ArchiveKind::Addresses), DatabaseError);
        other.exec(QStringLiteral("ROLLBACK"));
    }
    EXPECT_TRUE(unchanged());
    EXPECT_FALSE(QFileInfo::exists(Compactor::tempPathFor(path)));

    // A leftover that cannot be removed stops the compaction before it starts.
    ASSERT_TRUE(QDir().mkpath(Compactor::tempPathFor(path) + QStringLiteral("/dentro")));
    EXPECT_THROW(Compactor::compact(path, ArchiveKind::Addresses), DatabaseError);
    EXPECT_TRUE(unchanged());
    QDir(Compactor::tempPathFor(path)).removeRecursively();

    EXPECT_THROW(Compactor::compact(path, ArchiveKind::Groups), DatabaseError); // not a groups archive
    EXPECT_TRUE(unchanged());
    EXPECT_THROW(Compactor::compact(dir.filePath(QStringLiteral("Manca.mdb")), ArchiveKind::Addresses), DatabaseError);
}

TEST_F(Compaction, KilledAtAnyPointTheArchiveStillOpensWhole) {
    const auto runChild = [&](std::optional<Compactor::Stage> stopAt, int killAfterUs) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            try {
                Compactor::compact(path, ArchiveKind::Addresses, [&](Compactor::Stage s) {
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
    for (const S stage : {S::Started, S::CopyWritten, S::CopyVerified, S::CopyStamped, S::Replaced}) {
        const int status = runChild(stage, -1);
        EXPECT_TRUE(WIFSIGNALED(status)) << int(stage);
        EXPECT_EQ(contentHash(path), hash) << "stopped at stage " << int(stage);
    }
    // Kills at arbitrary moments of a whole compaction.
    QElapsedTimer timer;
    timer.start();
    runChild(std::nullopt, -1);
    const int fullUs = int(std::max<qint64>(timer.nsecsElapsed() / 1000, 2000));
    for (int i = 1; i <= 12; ++i) {
        runChild(std::nullopt, fullUs * i / 12);
        EXPECT_EQ(contentHash(path), hash) << "killed after " << fullUs * i / 12 << " us";
    }
    // A compaction after all this still works and removes the leftovers.
    Compactor::compact(path, ArchiveKind::Addresses);
    EXPECT_EQ(contentHash(path), hash);
    EXPECT_FALSE(QFileInfo::exists(Compactor::tempPathFor(path)));
}
