#include "ArchiveTestFiles.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveFormat.h"
#include "archive/DataModel.h"
#include "archive/DatabaseError.h"
#include "archive/DateStamp.h"
#include "archive/Statement.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar::archive;
using namespace velomar::test;

namespace {

QStringList columns(Database& db, const QString& table) {
    Statement st(db, QStringLiteral("SELECT name FROM pragma_table_info(?)"));
    st.bindText(1, table);
    QStringList names;
    while (st.step())
        names << st.text(0);
    return names;
}

} // namespace

TEST(ArchiveFormat, TemplatesAreBuiltWithTheLayoutTheProgramReads) {
    Database mail = ArchiveFile::open(templatePath(QStringLiteral("NewMail.sys")), ArchiveKind::Addresses,
                                      ArchiveFile::Access::ReadOnly);
    EXPECT_EQ(columns(mail, QStringLiteral("TabMAIL")), DataModel::tabMailColumns());
    Statement rows(mail, QStringLiteral("SELECT COUNT(*) FROM TabDEFRAG"));
    ASSERT_TRUE(rows.step());
    EXPECT_EQ(rows.integer(0), 1);
    EXPECT_FALSE(DateStamp::read(mail, DateStamp::Kind::Creazione).has_value());

    Database groups = ArchiveFile::open(templatePath(QStringLiteral("NewGruppi.sys")), ArchiveKind::Groups,
                                        ArchiveFile::Access::ReadOnly);
    EXPECT_EQ(columns(groups, QStringLiteral("TabGRUPPI")),
              (QStringList{QStringLiteral("GRUPPO"), QStringLiteral("DESCRIZIONE"), QStringLiteral("NR")}));

    // Each kind has its own password: the country table opens only as such.
    EXPECT_THROW(ArchiveFile::open(templatePath(QStringLiteral("StatiEsteri.mdb")), ArchiveKind::Addresses,
                                   ArchiveFile::Access::ReadOnly),
                 DatabaseError);
    EXPECT_THROW(ArchiveFile::open(templatePath(QStringLiteral("NewMail.sys")), ArchiveKind::Groups,
                                   ArchiveFile::Access::ReadOnly),
                 DatabaseError);
}

TEST(ArchiveFormat, NewRowsGetCounterAndSelectionMarkDefaults) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nuovo.mdb"));
    ASSERT_TRUE(copyTemplate(QStringLiteral("NewMail.sys"), path));
    Database db = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    Statement ins(db, QStringLiteral("INSERT INTO TabMAIL (COGNOME) VALUES (?)"));
    ins.bindText(1, QStringLiteral("D'Angelo")).exec();
    const qint64 first = db.lastInsertRowId();
    db.exec(QStringLiteral("DELETE FROM TabMAIL"));
    ins.reset();
    ins.bindText(1, QStringLiteral("Rossi")).exec();
    // A deleted number is never given again: NR identifies an address for good.
    EXPECT_GT(db.lastInsertRowId(), first);
    Statement serv(db, QStringLiteral("SELECT SERV, NOME1 FROM TabMAIL"));
    ASSERT_TRUE(serv.step());
    EXPECT_EQ(serv.integer(0), 0);
    EXPECT_TRUE(serv.isNull(1));
}

TEST(ArchiveFormat, DateStampsWriteTheDayAndReadTheZeroDateWhenEmpty) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Date.mdb"));
    ASSERT_TRUE(copyTemplate(QStringLiteral("NewMail.sys"), path));
    EXPECT_EQ(DateStamp::text(DateStamp::readByPath(path, DateStamp::Kind::Defrag, nullptr)), QStringLiteral("00:00:00"));

    DateStamp::stampByPath(path, DateStamp::kindOf(QStringLiteral("Creazione")), nullptr);
    EXPECT_EQ(DateStamp::readByPath(path, DateStamp::Kind::Creazione, nullptr), QDate::currentDate());
    EXPECT_FALSE(DateStamp::readByPath(path, DateStamp::Kind::Defrag, nullptr).has_value());

    Database db = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    DateStamp::stamp(db, DateStamp::kindOf(QStringLiteral("Altro")), QDate(2001, 1, 1)); // writes nothing
    DateStamp::stamp(db, DateStamp::Kind::Defrag, QDate(2026, 12, 6));
    EXPECT_EQ(DateStamp::text(DateStamp::read(db, DateStamp::Kind::Defrag)), QStringLiteral("06/12/2026"));
    db.exec(QStringLiteral("UPDATE TabDEFRAG SET CREAZIONE = 'ieri'"));
    EXPECT_EQ(DateStamp::text(DateStamp::read(db, DateStamp::Kind::Creazione)), QStringLiteral("00:00:00"));
    Statement rows(db, QStringLiteral("SELECT COUNT(*) FROM TabDEFRAG"));
    ASSERT_TRUE(rows.step());
    EXPECT_EQ(rows.integer(0), 1);
}

TEST(ArchiveFormat, ReadOnlyFileIsMadeWritableOnlyWhenOpenedForEditing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SolaLettura.mdb"));
    ASSERT_TRUE(copyTemplate(QStringLiteral("NewMail.sys"), path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const FileSnapshot before = FileSnapshot::of(path);
    { Database ro = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly); }
    EXPECT_EQ(FileSnapshot::of(path), before);
    Database rw = ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    EXPECT_TRUE(QFileInfo(path).permissions() & QFileDevice::WriteOwner);
    rw.exec(QStringLiteral("INSERT INTO TabMAIL (COGNOME) VALUES ('x')"));
}
