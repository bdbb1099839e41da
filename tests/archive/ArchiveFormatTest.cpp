#include "ArchiveHarness.h"

#include "archive/ArchiveFile.h"
#include "archive/CountryLookup.h"
#include "archive/DataModel.h"
#include "archive/DateStamp.h"

using namespace velomar::archive;
using namespace velomar::test;

namespace {

QStringList columns(Database& db, const QString& table) {
    Statement st(db, "SELECT name FROM pragma_table_info(?)");
    st.bindText(1, table);
    QStringList names;
    while (st.step())
        names << st.text(0);
    return names;
}

Database openTemplate(const char* name, ArchiveKind kind) {
    return ArchiveFile::open(templatePath(name), kind, ArchiveFile::Access::ReadOnly);
}

} // namespace

TEST(ArchiveFormat, TemplatesHaveTheLayoutTheProgramReadsAndACopyOpensAsAskedAndNumbersOnce) {
    Database mail = openTemplate("NewMail.sys", ArchiveKind::Addresses);
    EXPECT_EQ(columns(mail, "TabMAIL"), DataModel::tabMailColumns());
    // Its one stamp row: ArchiveCommandsTest.CreateCopiesTheTemplateStampsTheDay...
    EXPECT_FALSE(DateStamp::read(mail, DateStamp::Kind::Creazione).has_value());
    Database groups = openTemplate("NewGruppi.sys", ArchiveKind::Groups);
    EXPECT_EQ(columns(groups, "TabGRUPPI"), (QStringList{"GRUPPO", "DESCRIZIONE", "NR"}));
    // Each kind has its own password: the country table opens only as such.
    EXPECT_THROW(openTemplate("StatiEsteri.mdb", ArchiveKind::Addresses), DatabaseError);
    EXPECT_THROW(openTemplate("NewMail.sys", ArchiveKind::Groups), DatabaseError);

    // A read-only copy is made writable only when opened for editing.
    QTemporaryDir dir;
    const QString path = dir.filePath("Nuovo.mdb");
    ASSERT_TRUE(copyTemplate("NewMail.sys", path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const FileSnapshot before = FileSnapshot::of(path);
    EXPECT_NO_THROW(ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly));
    EXPECT_EQ(FileSnapshot::of(path), before);
    Database db = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    EXPECT_TRUE(QFileInfo(path).permissions() & QFileDevice::WriteOwner);

    // A stamp that is not a date reads as the zero date (the day written and the empty
    // stamp: ArchiveCommandsTest, Compaction).
    db.exec("UPDATE TabDEFRAG SET CREAZIONE = 'ieri'");
    EXPECT_EQ(DateStamp::text(DateStamp::read(db, DateStamp::Kind::Creazione)), "00:00:00");

    db.exec("INSERT INTO TabMAIL (COGNOME) VALUES ('D''Angelo')");
    const qint64 first = db.lastInsertRowId();
    db.exec("DELETE FROM TabMAIL");
    db.exec("INSERT INTO TabMAIL (COGNOME) VALUES ('Rossi')");
    // A deleted number is never given again: NR identifies an address for good.
    EXPECT_GT(db.lastInsertRowId(), first);
    EXPECT_EQ(scalar(path, "SELECT COUNT(*) FROM TabMAIL WHERE SERV = 0 AND NOME1 IS NULL"), 1);
}

TEST(DataModel, SortOrdersFollowTheFieldIndexAndCountriesAreFoundByCodesOfUpToThreeLetters) {
    EXPECT_EQ(DataModel::fieldIndex("e_mail"), DataModel::E_MAIL);
    EXPECT_EQ(DataModel::fieldIndex("SERV"), -1);
    EXPECT_FALSE(DataModel::sortSpec(-1).has_value());
    EXPECT_FALSE(DataModel::sortSpec(17).has_value());
    // Each order is led by its own field, so the grid's sort list is the heading list.
    for (int i = 0; i < DataModel::SortCount; ++i)
        EXPECT_TRUE((*DataModel::sortSpec(i) + ',').startsWith(DataModel::fieldName(i) + ','));

    const CountryLookup lookup(templatePath(CountryLookup::fileName()));
    EXPECT_EQ(lookup.nameOf("FR"), "FRANCIA");
    EXPECT_EQ(lookup.nameOf("fra"), "FRANCIA");
    EXPECT_EQ(lookup.nameOf("I"), "ITALIA");
    EXPECT_EQ(lookup.nameOf("CIV"), "COSTA D'AVORIO");
    for (const QString odd : {"'", "X'", "' OR '1'='1", "%", "*", "\"", "ZZ", ""})
        EXPECT_EQ(lookup.nameOf(odd), "") << qPrintable(odd);
    EXPECT_EQ(lookup.nameOf(QString()), "");

    QTemporaryDir dir;
    const CountryLookup missing(dir.filePath(CountryLookup::fileName()));
    EXPECT_THROW(missing.nameOf("FR"), DatabaseError);
}

// Places agree with the place table: AddressCheckSample.NoFalseAlarmOnSampleArchives...
TEST(SampleArchive, SameSeedSameFileCountAgreesAndAddressesLookReal) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.mdb"), b = dir.filePath("b.mdb"), c = dir.filePath("c.mdb");
    ASSERT_EQ(sample("3000", a), 0);
    ASSERT_EQ(sample("3000", b), 0);
    ASSERT_EQ(sample("3000", c, "6"), 0);
    EXPECT_EQ(fileBytes(a), fileBytes(b));
    EXPECT_NE(fileBytes(a), fileBytes(c));
    EXPECT_EQ(runCommand("count", {a}).out, "3000\n");
    // Bad arguments are refused (an existing file is never overwritten: BatchTool).
    EXPECT_EQ(sample("x", dir.filePath("x.mdb")), 2);
    EXPECT_EQ(sample("0", dir.filePath("vuoto.mdb")), 0);
    EXPECT_EQ(countOf(dir.filePath("vuoto.mdb")), 0);

    // The first one's addresses look real, with groups of the same seed.
    const QString groups = dir.filePath("Gruppi.grp");
    SampleArchive::writeGroups(groups, 1);
    const auto count = [&](const QString& where) {
        return scalar(a, "SELECT COUNT(*) FROM TabMAIL WHERE " + where);
    };
    EXPECT_GT(scalar(a, "SELECT COUNT(DISTINCT CITTA) FROM TabMAIL WHERE PROV <> ''"), 80);
    EXPECT_EQ(count("CITTA IS NULL OR CITTA = ''"), 0);
    EXPECT_GT(count("length(NAZ) > 1"), 100);
    EXPECT_GT(count("CITTA || COGNOME GLOB '*[àèéìòùÀÈÉÌÒÙ]*'"), 30);
    EXPECT_GT(count("CITTA || COGNOME GLOB '*''*'"), 30);
    EXPECT_GT(count("E_MAIL IS NULL") + count("GR IS NULL"), 100);
    EXPECT_GT(count("E_MAIL = ''") + count("GR = ''"), 10);
    Database db(a, Database::Mode::ReadOnly);
    Statement towns(db, "SELECT DISTINCT CITTA FROM TabMAIL");
    while (towns.step())
        EXPECT_EQ(towns.text(0), towns.text(0).toUpper());
    // Every group used is one of the groups archive.
    db.exec("ATTACH '" + groups + "' AS g");
    Statement unknown(db, "SELECT COUNT(*) FROM (SELECT DISTINCT GR FROM TabMAIL WHERE GR <> '') "
                          "WHERE GR NOT IN (SELECT GRUPPO FROM g.TabGRUPPI)");
    ASSERT_TRUE(unknown.step());
    EXPECT_EQ(unknown.integer(0), 0);
    EXPECT_GT(scalar(a, "SELECT COUNT(DISTINCT GR) FROM TabMAIL WHERE GR <> ''"), 1);
}
