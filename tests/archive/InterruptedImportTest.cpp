// velomar-batch import killed (kill -9) at moments spread over a 30,000-address run,
// and an import that fills the disk: afterwards both archives open with their old or
// their full new count, and no address is lost.
#include "ArchiveHarness.h"
#include "support/BatchProcess.h"

#include "archive/ArchiveFile.h"

#include <iostream>

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;

namespace {

constexpr qint64 kSource = 30000;
constexpr qint64 kTarget = 300;

// A sample archive made by velomar-batch itself.
int sample(qint64 count, const QString& path, const QString& seed = "1") {
    return runBatch({"sample", "--count", QString::number(count), "--seed", seed, path}).exitCode;
}

} // namespace

TEST(InterruptedImport, KilledAnywhereLeavesOldOrFullNewCountAndLosesNothing) {
    QTemporaryDir dir;
    const QString source = dir.filePath("Origine.mdb"), target = dir.filePath("Destinazione.mdb");
    ASSERT_EQ(sample(kSource, source, "5"), 0);
    ASSERT_EQ(sample(kTarget, target, "6"), 0);
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
    ASSERT_EQ(sample(20000, source), 0);
    ASSERT_EQ(sample(kTarget, target), 0);
    const BatchRun run = runBatch({"import", source, target});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_FALSE(run.out.contains("Importati")) << run.out.toStdString();
    EXPECT_FALSE(run.err.trimmed().isEmpty());
    std::cout << "full disk: " << run.err.trimmed().toStdString() << std::endl;
    EXPECT_EQ(countOf(target), kTarget);
    EXPECT_FALSE(QFileInfo::exists(target + "-journal"));
    EXPECT_EQ(countOf(source), 20000);
}
