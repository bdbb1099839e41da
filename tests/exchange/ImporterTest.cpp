#include "ArchiveFixture.h"
#include "archive/DatabaseError.h"
#include "exchange/ExchangeError.h"
#include "exchange/Importer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace velomar;
using archive::AddressRecord;
using archive::Database;
using exchange::Importer;

namespace {

Database openRw(const QString& path) { return Database(path, Database::Mode::ReadWrite); }

AddressRecord person(const QString& surname, const QString& group) {
    AddressRecord r;
    r[2] = surname;
    r[3] = QStringLiteral("Nome");
    r[7] = QStringLiteral("Città");
    r[14] = group;
    r[16] = QStringLiteral("memo\r\nsu due righe");
    return r;
}

struct Archives {
    QTemporaryDir dir;
    QString source = dir.filePath("origine.mdb");
    QString target = dir.filePath("attuale.mdb");

    explicit Archives(int perGroup = 3) {
        test::createTestArchive(source);
        test::createTestArchive(target);
        Database db = openRw(source);
        db.exec("BEGIN");
        for (int i = 0; i < perGroup; ++i) {
            test::addTestAddress(db, person(QStringLiteral("Ab%1").arg(i), "AB"));
            test::addTestAddress(db, person(QStringLiteral("Cd%1").arg(i), "CD"));
            test::addTestAddress(db, person(QStringLiteral("Senza%1").arg(i), ""));
        }
        db.exec("COMMIT");
    }
};

} // namespace

TEST(Importer, CopiesAllOrOneGroupWithNewNumbersAndDeletesOnlyWhatWasCopied) {
    Archives a;
    Database target = openRw(a.target);
    test::addTestAddress(target, person("Gia", "ZZ"));

    Importer importer(target, a.target);
    importer.openSource(a.source, "AB", openRw);
    EXPECT_EQ(importer.sourceCount(), 3);
    EXPECT_EQ(importer.copy(), 3);
    EXPECT_EQ(test::countAddresses(target), 4);
    EXPECT_EQ(test::countAddresses(target, "WHERE GR = 'AB'"), 3);
    // New numbers after the target's own, memo and Nulls kept, selection mark defaulted.
    {
        archive::Statement st(target, "SELECT MIN(NR), MAX(NR), COUNT(APPUNTI), COUNT(TITOLO),"
                                      " SUM(SERV) FROM TabMAIL WHERE GR = 'AB'");
        ASSERT_TRUE(st.step());
        EXPECT_EQ(st.integer(0), 2);
        EXPECT_EQ(st.integer(1), 4);
        EXPECT_EQ(st.integer(2), 3);
        EXPECT_EQ(st.integer(3), 0);
        EXPECT_EQ(st.integer(4), 0);
    }
    // Rows added to the source after the copy are not deleted by the move.
    {
        Database other = openRw(a.source);
        test::addTestAddress(other, person("Nuovo", "AB"));
    }
    EXPECT_EQ(importer.deleteCopiedFromSource(), 3);
    importer.closeSource();
    {
        Database src = openRw(a.source);
        EXPECT_EQ(test::countAddresses(src), 7);
        EXPECT_EQ(test::countAddresses(src, "WHERE GR = 'AB'"), 1);
    }

    // "**" takes everything, the addresses without a group included; patterns and case
    // follow LIKE; a code with a quote is just a code that matches nothing.
    importer.openSource(a.source, "**", openRw);
    EXPECT_EQ(importer.sourceCount(), 7);
    importer.openSource(a.source, "c*", openRw);
    EXPECT_EQ(importer.sourceCount(), 3);
    importer.openSource(a.source, "A'", openRw);
    EXPECT_EQ(importer.sourceCount(), 0);
    EXPECT_EQ(importer.copy(), 0);
    importer.openSource(a.source, "**", openRw);
    EXPECT_EQ(importer.copy(), 7);
    EXPECT_EQ(importer.deleteCopiedFromSource(), 7);
    importer.closeSource();
    Database src = openRw(a.source);
    EXPECT_EQ(test::countAddresses(src), 0);
    EXPECT_EQ(test::countAddresses(target), 11);
}

TEST(Importer, RefusesTheOpenArchiveUnderAnySpelling) {
    Archives a;
    Database target = openRw(a.target);
    Importer importer(target, a.target);
    const QString link = a.dir.filePath("collegamento.mdb");
    const QString hard = a.dir.filePath("stesso.mdb");
    ASSERT_TRUE(QFile::link(a.target, link));
    ASSERT_EQ(::link(QFile::encodeName(a.target).constData(), QFile::encodeName(hard).constData()), 0);
    QDir().mkdir(a.dir.filePath("sub"));
    for (const QString& path : {a.target, a.dir.path() + "/sub/../attuale.mdb",
                                a.dir.path() + "//./attuale.mdb", link, hard}) {
        try {
            importer.openSource(path, "**", openRw);
            ADD_FAILURE() << "accepted " << path.toStdString();
        } catch (const exchange::ExchangeError& e) {
            EXPECT_EQ(e.description(), "Impossibile importare i Dati dall'Archivio attuale !");
        }
    }
    EXPECT_FALSE(importer.sourceOpen());
    EXPECT_NO_THROW(importer.openSource(a.source, "**", openRw));
}

TEST(Importer, FailedCopyRollsBackTheTargetAndLeavesTheSource) {
    Archives a(700);
    Database target = openRw(a.target);
    // The target refuses one row in the middle, as a full disk would.
    target.exec("CREATE TRIGGER boom BEFORE INSERT ON TabMAIL WHEN NEW.COGNOME = 'Cd500' "
                "BEGIN SELECT RAISE(ABORT, 'disco pieno'); END");
    Importer importer(target, a.target);
    importer.openSource(a.source, "**", openRw);
    EXPECT_THROW(importer.copy(), archive::DatabaseError);
    EXPECT_EQ(importer.copiedCount(), 0);
    EXPECT_EQ(importer.deleteCopiedFromSource(), 0);
    importer.closeSource();
    EXPECT_EQ(test::countAddresses(target), 0);
    Database src = openRw(a.source);
    EXPECT_EQ(test::countAddresses(src), 2100);
}

TEST(Importer, KilledDuringOrAfterTheCopyLosesNoAddress) {
    for (const bool afterCopy : {false, true}) {
        Archives a(1000);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // The child imports with the move and dies at the worst moment.
            Database target = openRw(a.target);
            Importer importer(target, a.target);
            importer.openSource(a.source, "**", openRw);
            importer.copy([&](qint64 done, qint64) {
                if (!afterCopy && done == 2000)
                    ::raise(SIGKILL);
            });
            if (afterCopy)
                ::raise(SIGKILL);
            importer.deleteCopiedFromSource();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        Database src = openRw(a.source);
        Database target = openRw(a.target);
        EXPECT_EQ(test::countAddresses(src), 3000);
        EXPECT_EQ(test::countAddresses(target), afterCopy ? 3000 : 0);
    }
}
