// velomar-batch import killed (kill -9) at moments spread over a 30,000-address run,
// and an import that fills the disk: afterwards both archives open with their old or
// their full new count, and no address is lost.
#include "ArchiveTestFiles.h"
#include "support/CommandRun.h"
#include "support/BatchProcess.h"

#include "archive/ArchiveFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <iostream>
#include <unistd.h>

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;

namespace {

constexpr qint64 kSource = 30000;
constexpr qint64 kTarget = 300;

// The count the batch command prints, or -1 when it refuses the archive.
qint64 countOf(const QString& path) {
    const CommandRun r = runCommand(QStringLiteral("count"), {path});
    bool ok = false;
    const qint64 n = r.out.trimmed().toLongLong(&ok);
    return r.status == 0 && ok ? n : -1;
}

bool journalBeside(const QString& path) { return QFileInfo::exists(path + QStringLiteral("-journal")); }

struct Pair {
    QString source, target;
};

Pair copyInputs(const QString& folder, const Pair& inputs) {
    QDir().mkpath(folder);
    const Pair copy{folder + QStringLiteral("/Origine.mdb"), folder + QStringLiteral("/Destinazione.mdb")};
    QFile::copy(inputs.source, copy.source);
    QFile::copy(inputs.target, copy.target);
    return copy;
}

QStringList importArgs(const Pair& p, bool move) {
    QStringList args{QStringLiteral("import"), p.source, p.target};
    if (move)
        args << QStringLiteral("--move");
    return args;
}

} // namespace

TEST(InterruptedImport, KilledAnywhereLeavesOldOrFullNewCountAndLosesNothing) {
    QTemporaryDir dir;
    const Pair inputs{dir.filePath(QStringLiteral("Origine.mdb")), dir.filePath(QStringLiteral("Destinazione.mdb"))};
    ASSERT_EQ(runBatch({QStringLiteral("sample"), QStringLiteral("--count"), QString::number(kSource),
                        QStringLiteral("--seed"), QStringLiteral("5"), inputs.source})
                  .exitCode,
              0);
    ASSERT_EQ(runBatch({QStringLiteral("sample"), QStringLiteral("--count"), QString::number(kTarget),
                        QStringLiteral("--seed"), QStringLiteral("6"), inputs.target})
                  .exitCode,
              0);

    for (const bool move : {false, true}) {
        SCOPED_TRACE(move ? "import --move" : "import");
        // One whole run gives the span the kill points are spread over.
        const QString wholeDir = dir.filePath(move ? QStringLiteral("intero-sposta") : QStringLiteral("intero"));
        const Pair whole = copyInputs(wholeDir, inputs);
        QElapsedTimer clock;
        clock.start();
        const BatchRun run = runBatch(importArgs(whole, move));
        const qint64 span = clock.elapsed();
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        ASSERT_EQ(countOf(whole.target), kTarget + kSource);
        ASSERT_EQ(countOf(whole.source), move ? 0 : kSource);
        QDir(wholeDir).removeRecursively();

        constexpr int points = 10;
        for (int i = 0; i < points; ++i) {
            // A little past the whole run, so that some kills come after the commit.
            const int delay = int(span * 1.15 * (i + 0.5) / points);
            SCOPED_TRACE(QStringLiteral("kill after %1 ms of %2").arg(delay).arg(span).toStdString());
            const QString folder = dir.filePath(QStringLiteral("punto%1%2").arg(move ? "m" : "i").arg(i));
            const Pair p = copyInputs(folder, inputs);

            QProcess batch;
            batch.start(batchProgram(), importArgs(p, move));
            ASSERT_TRUE(batch.waitForStarted());
            if (!batch.waitForFinished(delay)) {
                batch.kill(); // SIGKILL: no handler, no rollback, no close
                batch.waitForFinished();
            }
            const qint64 target = countOf(p.target);
            const qint64 source = countOf(p.source);
            EXPECT_TRUE(target == kTarget || target == kTarget + kSource) << "target " << target;
            if (move) {
                EXPECT_TRUE(source == kSource || source == 0) << "source " << source;
                // Deleted from the source only once copied into the target.
                EXPECT_TRUE(source == kSource || target == kTarget + kSource) << source << " / " << target;
            } else {
                EXPECT_EQ(source, kSource);
            }
            // Rolled back; a journal whose header was never completed guards nothing and
            // SQLite ignores it.
            EXPECT_FALSE(ArchiveFile::hasInterruptedWrite(p.target));
            EXPECT_FALSE(ArchiveFile::hasInterruptedWrite(p.source));
            // Recovered, the target is whole: it passes the checks made before any write.
            EXPECT_NO_THROW(ArchiveFile::open(p.target, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite));

            QDir(folder).removeRecursively();
        }
    }
}

TEST(InterruptedImport, FullDiskFailsTheImportAndKeepsTheArchive) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "a small disk needs mount, which needs root";
    QTemporaryDir dir;
    const QString disk = dir.filePath(QStringLiteral("disco"));
    ASSERT_TRUE(QDir().mkpath(disk));
    QProcess mount;
    mount.start(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=1m"),
                 QStringLiteral("tmpfs"), disk});
    if (!mount.waitForFinished() || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
        GTEST_SKIP() << "mount -t tmpfs is not allowed here";
    struct Unmount {
        QString at;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {at}); }
    } unmount{disk};

    const QString source = dir.filePath(QStringLiteral("Origine.mdb"));
    const QString target = disk + QStringLiteral("/Destinazione.mdb");
    ASSERT_EQ(runBatch({QStringLiteral("sample"), QStringLiteral("--count"), QStringLiteral("20000"), source}).exitCode, 0);
    ASSERT_EQ(runBatch({QStringLiteral("sample"), QStringLiteral("--count"), QString::number(kTarget), target}).exitCode,
              0);

    const BatchRun run = runBatch({QStringLiteral("import"), source, target});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_FALSE(run.out.contains(QStringLiteral("Importati"))) << run.out.toStdString();
    EXPECT_FALSE(run.err.trimmed().isEmpty());
    std::cout << "full disk: " << run.err.trimmed().toStdString() << std::endl;

    EXPECT_EQ(countOf(target), kTarget);
    EXPECT_FALSE(journalBeside(target));
    EXPECT_EQ(countOf(source), 20000);
}
