#include "ArchiveHarness.h"

using namespace velomar::archive;
using namespace velomar::test;

TEST(SampleArchive, SameSeedSameFileAndCountAgrees) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.mdb"), b = dir.filePath("b.mdb"), c = dir.filePath("c.mdb");
    const auto sample = [](const QString& count, const QString& path, const QString& seed = "5") {
        return runCommand("sample", {"--count", count, "--seed", seed, path}).status;
    };
    ASSERT_EQ(sample("2000", a), 0);
    ASSERT_EQ(sample("2000", b), 0);
    ASSERT_EQ(sample("2000", c, "6"), 0);
    EXPECT_EQ(fileBytes(a), fileBytes(b));
    EXPECT_NE(fileBytes(a), fileBytes(c));
    EXPECT_EQ(runCommand("count", {a}).out, "2000\n");

    // An existing file is never overwritten; bad arguments are refused.
    const QByteArray before = fileBytes(a);
    EXPECT_NE(sample("5", a), 0);
    EXPECT_EQ(fileBytes(a), before);
    EXPECT_EQ(sample("x", dir.filePath("x.mdb")), 2);
    EXPECT_EQ(sample("0", dir.filePath("vuoto.mdb")), 0);
    EXPECT_EQ(countOf(dir.filePath("vuoto.mdb")), 0);
}

TEST(SampleArchive, AddressesLookRealAndPlacesAgree) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Esempio.mdb"), groups = dir.filePath("Gruppi.grp");
    SampleArchive::write(path, 3000, 1);
    SampleArchive::writeGroups(groups, 1);
    const auto count = [&](const QString& where) {
        return scalar(path, "SELECT COUNT(*) FROM TabMAIL WHERE " + where);
    };
    // One town always has the same province, and Italian postal codes are 5 digits.
    EXPECT_EQ(count("PROV <> '' AND CITTA IN (SELECT CITTA FROM TabMAIL WHERE PROV <> '' "
                    "GROUP BY CITTA HAVING COUNT(DISTINCT PROV) > 1)"),
              0);
    EXPECT_EQ(count("PROV <> '' AND NOT CAP GLOB '[0-9][0-9][0-9][0-9][0-9]'"), 0);
    EXPECT_GT(scalar(path, "SELECT COUNT(DISTINCT CITTA) FROM TabMAIL WHERE PROV <> ''"), 80);
    EXPECT_EQ(count("CITTA IS NULL OR CITTA = ''"), 0);
    EXPECT_GT(count("length(NAZ) > 1"), 100);
    EXPECT_GT(count("CITTA || COGNOME GLOB '*[àèéìòùÀÈÉÌÒÙ]*'"), 30);
    EXPECT_GT(count("CITTA || COGNOME GLOB '*''*'"), 30);
    EXPECT_GT(count("E_MAIL IS NULL") + count("GR IS NULL"), 100);
    EXPECT_GT(count("E_MAIL = ''") + count("GR = ''"), 10);
    Database db(path, Database::Mode::ReadOnly);
    Statement towns(db, "SELECT DISTINCT CITTA FROM TabMAIL");
    while (towns.step())
        EXPECT_EQ(towns.text(0), towns.text(0).toUpper());
    // Every group used is one of the groups archive.
    db.exec("ATTACH '" + groups + "' AS g");
    Statement unknown(db, "SELECT COUNT(*) FROM (SELECT DISTINCT GR FROM TabMAIL WHERE GR <> '') "
                          "WHERE GR NOT IN (SELECT GRUPPO FROM g.TabGRUPPI)");
    ASSERT_TRUE(unknown.step());
    EXPECT_EQ(unknown.integer(0), 0);
    EXPECT_GT(scalar(path, "SELECT COUNT(DISTINCT GR) FROM TabMAIL WHERE GR <> ''"), 1);
}
