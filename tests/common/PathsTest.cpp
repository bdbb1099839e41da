#include "common/Paths.h"
#include "common/SizeText.h"
#include "support/CommandRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velomar::common::Paths;
using velomar::common::SizeText;

TEST(Paths, SplitsNamesAndFolders) {
    EXPECT_EQ(Paths::fileName("/home/anna/Archivi/Rossi.mdb"), "Rossi.mdb");
    EXPECT_EQ(Paths::fileNameWithoutExtension("/home/anna/Archivi/Rossi.mdb"), "Rossi");
    EXPECT_EQ(Paths::folder("/home/anna/Archivi/Rossi.mdb"), "/home/anna/Archivi");
    EXPECT_EQ(Paths::folder("Rossi.mdb"), "");
    EXPECT_EQ(Paths::fileName("Rossi.mdb"), "Rossi.mdb");
    EXPECT_EQ(Paths::folder("/Rossi.mdb"), "/");
    // Only the last dot counts; a leading dot is part of the name.
    EXPECT_EQ(Paths::fileNameWithoutExtension("/a/b/archivio.2024.mdb"), "archivio.2024");
    EXPECT_EQ(Paths::fileNameWithoutExtension("/a/.nascosto"), ".nascosto");
    EXPECT_EQ(Paths::fileNameWithoutExtension("/a.b/senza"), "senza");
    EXPECT_EQ(Paths::join("/a/", "b"), "/a/b");
    EXPECT_EQ(Paths::join("/a", "b"), "/a/b");
}

TEST(Paths, ExistenceTestsNeverThrowAndTellFilesFromFolders) {
    QTemporaryDir dir;
    const QString file = dir.filePath("Rossi.mdb");
    ASSERT_TRUE(velomar::test::writeFile(file, {}));
    QFile::setPermissions(file, QFileDevice::ReadOwner); // read-only still exists
    const QString hidden = dir.filePath(".nascosto");
    QDir().mkdir(hidden);

    EXPECT_TRUE(Paths::fileExists(file));
    EXPECT_FALSE(Paths::fileExists(dir.path()));
    EXPECT_FALSE(Paths::fileExists(dir.filePath("manca.mdb")));
    EXPECT_FALSE(Paths::fileExists(""));
    EXPECT_TRUE(Paths::pathExists(file));
    EXPECT_TRUE(Paths::pathExists(hidden));
    EXPECT_FALSE(Paths::pathExists(""));
    EXPECT_FALSE(Paths::pathExists(dir.filePath("manca/dentro")));

    EXPECT_FALSE(Paths::driveReady(dir.filePath("manca")));
    EXPECT_TRUE(Paths::driveReady(dir.path()));
    EXPECT_EQ(Paths::floppyDevice("B:"), "/dev/fd1");
    if (!QFile::exists("/dev/fd0"))
        EXPECT_FALSE(Paths::driveReady("a:"));
}

TEST(SizeText, KilobytesBelowThousandMegabyteTextAboveWithItalianGrouping) {
    EXPECT_EQ(SizeText::forBytes(2048), "2 Kbyte  (2048 bytes)");
    EXPECT_EQ(SizeText::forBytes(0), "0 Kbyte  (0 bytes)");
    EXPECT_EQ(SizeText::forBytes(1535), "1 Kbyte  (1535 bytes)");
    EXPECT_EQ(SizeText::forBytes(1536), "2 Kbyte  (1536 bytes)");
    EXPECT_EQ(SizeText::forBytes(1023 * 1000), "999 Kbyte  (1023000 bytes)");
    EXPECT_EQ(SizeText::forBytes(2048000), "2.000 Mbyte  (2048000 bytes)");
    EXPECT_EQ(SizeText::forBytes(1234567), "1.206 Mbyte  (1234567 bytes)");
    EXPECT_EQ(SizeText::forBytes(5368709120LL), "5.242.880 Mbyte  (5368709120 bytes)");

    QTemporaryDir dir;
    ASSERT_TRUE(velomar::test::writeFile(dir.filePath("a.mdb"), QByteArray(2048, 'x')));
    EXPECT_EQ(SizeText::forFile(dir.filePath("a.mdb")), "2 Kbyte  (2048 bytes)");
    EXPECT_EQ(SizeText::forFile(dir.filePath("manca.mdb")), "");
}
