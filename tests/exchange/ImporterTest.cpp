#include "exchange/Importer.h"
#include "ExchangeTest.h"
#include "archive/DatabaseError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

using namespace velomar;
using archive::AddressRecord;
using archive::Database;
using exchange::Importer;
using Access = archive::ArchiveFile::Access;

namespace {

Database openRw(const QString& path) { return Database(path, Database::Mode::ReadWrite); }

// The importer's opener without the archive checks, so that tests can hand it tables
// the checks would refuse.
Database openAs(const QString& path, Access access) {
    return Database(path, access == Access::ReadOnly ? Database::Mode::ReadOnly
                                                     : Database::Mode::ReadWrite);
}

AddressRecord person(const QString& surname, const QString& group) {
    AddressRecord r;
    r[2] = surname;
    r[3] = QStringLiteral("Nome");
    r[7] = QStringLiteral("Città");
    r[14] = group;
    r[16] = QStringLiteral("memo\r\nsu due righe");
    return r;
}

// A source of perGroup addresses in AB, in CD and in no group; an empty target, open, and
// its importer.
struct Archives {
    QTemporaryDir dir;
    QString source = test::createTestArchive(dir.filePath("origine.mdb"));
    QString target = test::createTestArchive(dir.filePath("attuale.mdb"));
    Database db = openRw(target);
    Importer importer{db, target};

    explicit Archives(int perGroup = 3) {
        Database src = openRw(source);
        src.exec("BEGIN");
        for (int i = 0; i < perGroup; ++i) {
            test::addTestAddress(src, person(QStringLiteral("Ab%1").arg(i), "AB"));
            test::addTestAddress(src, person(QStringLiteral("Cd%1").arg(i), "CD"));
            test::addTestAddress(src, person(QStringLiteral("Senza%1").arg(i), ""));
        }
        src.exec("COMMIT");
    }
};

const char* const kTableFields = "TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, NAZ, "
                                 "NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI, SERV";

// Rebuilds TabMAIL as another tool could: create is run with the old table named Vecchia.
void rebuildTable(const QString& path, const QString& create) {
    Database db = openRw(path);
    db.exec("ALTER TABLE TabMAIL RENAME TO Vecchia");
    db.exec(create);
    db.exec("DROP TABLE Vecchia");
    archive::ArchiveFormat::seal(db,
                                 archive::ArchiveFormat::password(archive::ArchiveKind::Addresses));
}

template <typename F> int codeOf(F&& call) {
    return test::refusalOf(call).code;
}

} // namespace

// Never from the open archive itself, under any of its names.
TEST(Importer, CopiesAllOrOneGroupWithNewNumbersAndDeletesOnlyWhatWasCopied) {
    Archives a;
    test::addTestAddress(a.db, person("Gia", "ZZ"));

    const QString link = a.dir.filePath("collegamento.mdb");
    const QString hard = a.dir.filePath("stesso.mdb");
    ASSERT_TRUE(QFile::link(a.target, link));
    ASSERT_EQ(::link(QFile::encodeName(a.target).constData(), QFile::encodeName(hard).constData()),
              0);
    QDir().mkdir(a.dir.filePath("sub"));
    for (const QString& path : {a.target, a.dir.path() + "/sub/../attuale.mdb",
                                a.dir.path() + "//./attuale.mdb", link, hard})
        EXPECT_EQ(test::refusalOf([&] { a.importer.openSource(path, "**", openAs); }).text,
                  "Impossibile importare i Dati dall'Archivio attuale !")
            << path.toStdString();
    EXPECT_FALSE(a.importer.sourceOpen());

    a.importer.openSource(a.source, "AB", openAs);
    EXPECT_EQ(a.importer.sourceCount(), 3);
    EXPECT_EQ(a.importer.copy(), 3);
    EXPECT_EQ(test::countAddresses(a.db), 4);
    EXPECT_EQ(test::countAddresses(a.db, "WHERE GR = 'AB'"), 3);
    // New numbers after the target's own, memo and Nulls kept, selection mark defaulted.
    {
        archive::Statement st(a.db, "SELECT MIN(NR) || ' ' || MAX(NR) || ' ' || COUNT(APPUNTI) "
                                    "|| ' ' || COUNT(TITOLO) || ' ' || SUM(SERV) FROM TabMAIL "
                                    "WHERE GR = 'AB'");
        ASSERT_TRUE(st.step());
        EXPECT_EQ(st.text(0), "2 4 3 0 0");
    }
    // Rows added to the source after the copy are not deleted by the move.
    {
        Database other = openRw(a.source);
        test::addTestAddress(other, person("Nuovo", "AB"));
    }
    EXPECT_EQ(a.importer.deleteCopiedFromSource(), 3);
    a.importer.closeSource();
    EXPECT_EQ(test::countIn(a.source), 7);
    EXPECT_EQ(test::countIn(a.source, "WHERE GR = 'AB'"), 1);

    // "**" takes everything, the addresses without a group included; a code with a quote is
    // just a code that matches nothing (patterns follow LIKE, checked by FilterExprTest).
    a.importer.openSource(a.source, "A'", openAs);
    EXPECT_EQ(a.importer.copy(), 0);
    a.importer.openSource(a.source, "**", openAs);
    EXPECT_EQ(a.importer.sourceCount(), 7);
    EXPECT_EQ(a.importer.copy(), 7);
    EXPECT_EQ(a.importer.deleteCopiedFromSource(), 7);
    a.importer.closeSource();
    EXPECT_EQ(test::countIn(a.source), 0);
    EXPECT_EQ(test::countAddresses(a.db), 11);
}

TEST(Importer, MoveDeletesExactlyTheRowsItCopiedOrNone) {
    const QString withoutRowid = QStringLiteral(
        "CREATE TABLE TabMAIL (NR INTEGER NOT NULL, TITOLO TEXT, COGNOME TEXT NOT NULL, NOME1 "
        "TEXT, "
        "NOME2 TEXT, INDIRIZZO TEXT, CAP TEXT, CITTA TEXT, PROV TEXT, NAZ TEXT, NUM_TEL TEXT, "
        "NUM_FAX TEXT, NUM_CEL TEXT, E_MAIL TEXT, GR TEXT, NOTE TEXT, APPUNTI TEXT, SERV INTEGER, "
        "PRIMARY KEY (%1)) WITHOUT ROWID; INSERT INTO TabMAIL SELECT %2, %3 FROM Vecchia");
    const QLatin1String fields(kTableFields);
    const struct {
        const char* what;
        QString create;
        bool movable;
    } cases[] = {
        // The row id still tells apart rows whose NR another tool repeated.
        {"row ids, NR repeated",
         QStringLiteral("CREATE TABLE TabMAIL AS SELECT NR % 7 AS NR, %1 FROM Vecchia").arg(fields),
         true},
        // Without row ids NR is the key only when it is unique; otherwise no move at all.
        {"no row ids, NR unique", withoutRowid.arg("NR", "NR", fields), true},
        {"no row ids, NR repeated", withoutRowid.arg("COGNOME, NR", "NR % 7", fields), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Archives a(100);
        rebuildTable(a.source, c.create);
        if (c.movable) {
            a.importer.openSource(a.source, "AB", openAs, Importer::Use::Move);
            EXPECT_EQ(a.importer.copy(), 100);
            EXPECT_EQ(a.importer.deleteCopiedFromSource(), 100);
        } else {
            EXPECT_EQ(
                codeOf([&] { a.importer.openSource(a.source, "AB", openAs, Importer::Use::Move); }),
                exchange::ExchangeError::NoUniqueKey);
            EXPECT_EQ(test::countAddresses(a.db), 0);
            // A plain copy still works; the delete asked afterwards (the window) is refused.
            a.importer.openSource(a.source, "AB", openAs);
            EXPECT_EQ(a.importer.copy(), 100);
            EXPECT_EQ(codeOf([&] { a.importer.deleteCopiedFromSource(); }),
                      exchange::ExchangeError::NoUniqueKey);
        }
        a.importer.closeSource();
        EXPECT_EQ(test::countIn(a.source), c.movable ? 200 : 300);
        EXPECT_EQ(test::countIn(a.source, "WHERE GR = 'AB'"), c.movable ? 0 : 100);
        EXPECT_EQ(test::countAddresses(a.db), 100);
    }
}

TEST(Importer, MoveKeepsTheSourceWhenTheTargetOrTheCopiedRowsChange) {
    // What happens to the target, or to the source rows, while the move is under way.
    enum Change { Replaced, Deleted, ReplacedMidCopy, RowEdited, ExtraRowsDeleted };
    for (int c = Replaced; c <= ExtraRowsDeleted; ++c) {
        const Change change = Change(c);
        SCOPED_TRACE(c);
        Archives a(400);
        const QString other = test::createTestArchive(a.dir.filePath("altro.mdb"));
        const auto replaceTarget = [&] {
            ASSERT_EQ(::rename(QFile::encodeName(other).constData(),
                               QFile::encodeName(a.target).constData()),
                      0);
        };
        a.importer.openSource(a.source, "**", openAs, Importer::Use::Move);
        const auto copy = [&] {
            return a.importer.copy([&](qint64 done, qint64 total) {
                if (change == ReplacedMidCopy && done == 1000)
                    replaceTarget();
                if (done == total && change == Replaced)
                    replaceTarget();
                if (done == total && change == Deleted)
                    QFile::remove(a.target);
            });
        };
        if (change == ReplacedMidCopy) {
            EXPECT_EQ(codeOf(copy), exchange::ExchangeError::TargetMoved);
            // Rolled back: the file still open (now nameless) received nothing either.
            EXPECT_EQ(test::countAddresses(a.db), 0);
        } else {
            EXPECT_EQ(copy(), 1200);
            if (change == RowEdited) {
                Database src = openRw(a.source);
                src.exec("UPDATE TabMAIL SET NOTE = 'cambiata' WHERE COGNOME = 'Cd300'");
            } else if (change == ExtraRowsDeleted) {
                // A trigger of the source deletes more than asked: the count tells.
                Database src = openRw(a.source);
                src.exec("INSERT INTO TabMAIL (COGNOME, GR) VALUES ('Dopo', 'ZZ')");
                src.exec("CREATE TRIGGER piu AFTER DELETE ON TabMAIL BEGIN "
                         "DELETE FROM TabMAIL WHERE COGNOME = 'Dopo'; END");
            }
            const int code = change == RowEdited || change == ExtraRowsDeleted
                                 ? exchange::ExchangeError::SourceChanged
                                 : exchange::ExchangeError::TargetMoved;
            EXPECT_EQ(codeOf([&] { a.importer.deleteCopiedFromSource(); }), code);
        }
        a.importer.closeSource();
        EXPECT_EQ(test::countIn(a.source), change == ExtraRowsDeleted ? 1201 : 1200);
    }
}

TEST(Importer, ReadsTheSourceReadOnlyCopiesValuesByteForByteAndRollsBackAFailedCopy) {
    Archives a(100);
    {
        // Bytes that are not UTF-8, a NUL inside a text, numbers, a blob, an empty text.
        Database src = openRw(a.source);
        src.exec(
            "INSERT INTO TabMAIL (TITOLO, COGNOME, NOME1, CAP, PROV, NOTE, APPUNTI, GR) VALUES "
            "(NULL, CAST(X'4EC3A96C6CE9FF80' AS TEXT), CAST(X'61006200' AS TEXT), 20100, 1.5, "
            "X'00FF10', '', 'XY')");
    }
    std::vector<Access> asked;
    const Importer::Opener recording = [&](const QString& path, Access access) {
        asked.push_back(access);
        return openAs(path, access);
    };
    a.importer.openSource(a.source, "XY", recording);
    EXPECT_EQ(asked, std::vector<Access>{Access::ReadOnly});
    EXPECT_EQ(a.importer.copy(), 1);
    // Only the delete asked after the copy opens the source for writing.
    EXPECT_EQ(a.importer.deleteCopiedFromSource(), 1);
    EXPECT_EQ(asked, (std::vector<Access>{Access::ReadOnly, Access::ReadWrite}));
    a.importer.closeSource();

    // The target refuses one row in the middle, as a full disk would: nothing of that copy
    // stays, and the source keeps every row.
    a.db.exec("CREATE TRIGGER boom BEFORE INSERT ON TabMAIL WHEN NEW.COGNOME = 'Cd50' "
              "BEGIN SELECT RAISE(ABORT, 'disco pieno'); END");
    a.importer.openSource(a.source, "**", openAs);
    EXPECT_THROW(a.importer.copy(), archive::DatabaseError);
    EXPECT_EQ(a.importer.copiedCount(), 0);
    EXPECT_EQ(a.importer.deleteCopiedFromSource(), 0);
    a.importer.closeSource();
    EXPECT_EQ(test::countAddresses(a.db), 1);
    EXPECT_EQ(test::countIn(a.source), 300);

    QString fields;
    for (const char* f : {"TITOLO", "COGNOME", "NOME1", "CAP", "PROV", "NOTE", "APPUNTI", "NOME2"})
        fields += QStringLiteral("%1typeof(%2) || ':' || quote(CAST(%2 AS BLOB))")
                      .arg(fields.isEmpty() ? "" : " || ' ' || ", f);
    archive::Statement st(a.db, QStringLiteral("SELECT %1 FROM TabMAIL").arg(fields));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0).toStdString(),
              "null:NULL text:X'4EC3A96C6CE9FF80' text:X'61006200' text:X'3230313030' "
              "text:X'312E35' blob:X'00FF10' text:X'' null:NULL");
}
