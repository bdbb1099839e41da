#include "ArchiveHarness.h"

#include "archive/ArchiveFile.h"
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

class ArchiveFormatTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(copyTemplate("NewMail.sys", path)); }
    QTemporaryDir dir;
    const QString path = dir.filePath("Nuovo.mdb");
};

} // namespace

TEST_F(ArchiveFormatTest, TemplatesHaveTheLayoutTheProgramReadsAndNumbersAreNeverGivenTwice) {
    Database mail = openTemplate("NewMail.sys", ArchiveKind::Addresses);
    EXPECT_EQ(columns(mail, "TabMAIL"), DataModel::tabMailColumns());
    EXPECT_EQ(scalar(templatePath("NewMail.sys"), "SELECT COUNT(*) FROM TabDEFRAG"), 1);
    EXPECT_FALSE(DateStamp::read(mail, DateStamp::Kind::Creazione).has_value());
    Database groups = openTemplate("NewGruppi.sys", ArchiveKind::Groups);
    EXPECT_EQ(columns(groups, "TabGRUPPI"), (QStringList{"GRUPPO", "DESCRIZIONE", "NR"}));
    // Each kind has its own password: the country table opens only as such.
    EXPECT_THROW(openTemplate("StatiEsteri.mdb", ArchiveKind::Addresses), DatabaseError);
    EXPECT_THROW(openTemplate("NewMail.sys", ArchiveKind::Groups), DatabaseError);

    Database db = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    db.exec("INSERT INTO TabMAIL (COGNOME) VALUES ('D''Angelo')");
    const qint64 first = db.lastInsertRowId();
    db.exec("DELETE FROM TabMAIL");
    db.exec("INSERT INTO TabMAIL (COGNOME) VALUES ('Rossi')");
    // A deleted number is never given again: NR identifies an address for good.
    EXPECT_GT(db.lastInsertRowId(), first);
    EXPECT_EQ(scalar(path, "SELECT COUNT(*) FROM TabMAIL WHERE SERV = 0 AND NOME1 IS NULL"), 1);
}

TEST_F(ArchiveFormatTest, DateStampsWriteTheDayAndReadTheZeroDateWhenEmpty) {
    EXPECT_EQ(DateStamp::text(DateStamp::readByPath(path, DateStamp::Kind::Defrag, nullptr)),
              "00:00:00");
    DateStamp::stampByPath(path, DateStamp::kindOf("Creazione"), nullptr);
    EXPECT_EQ(DateStamp::readByPath(path, DateStamp::Kind::Creazione, nullptr),
              QDate::currentDate());
    EXPECT_FALSE(DateStamp::readByPath(path, DateStamp::Kind::Defrag, nullptr).has_value());

    Database db = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    DateStamp::stamp(db, DateStamp::kindOf("Altro"), QDate(2001, 1, 1)); // writes nothing
    DateStamp::stamp(db, DateStamp::Kind::Defrag, QDate(2026, 12, 6));
    EXPECT_EQ(DateStamp::text(DateStamp::read(db, DateStamp::Kind::Defrag)), "06/12/2026");
    db.exec("UPDATE TabDEFRAG SET CREAZIONE = 'ieri'");
    EXPECT_EQ(DateStamp::text(DateStamp::read(db, DateStamp::Kind::Creazione)), "00:00:00");
    EXPECT_EQ(scalar(path, "SELECT COUNT(*) FROM TabDEFRAG"), 1);
}

TEST_F(ArchiveFormatTest, ReadOnlyFileIsMadeWritableOnlyWhenOpenedForEditing) {
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const FileSnapshot before = FileSnapshot::of(path);
    {
        Database ro =
            ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly);
    }
    EXPECT_EQ(FileSnapshot::of(path), before);
    Database rw = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    EXPECT_TRUE(QFileInfo(path).permissions() & QFileDevice::WriteOwner);
    rw.exec("INSERT INTO TabMAIL (COGNOME) VALUES ('x')");
}
