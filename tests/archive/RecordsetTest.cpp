#include "ArchiveHarness.h"
#include "RecordsetFixture.h"

#include "archive/FilterError.h"
#include "archive/RecordsetAddressSource.h"

#include <optional>

using namespace velomar::archive;
using namespace velomar::test;

namespace {

class RecordsetNavigationTest : public RecordsetFixture {
protected:
    void SetUp() override {
        RecordsetFixture::SetUp();
        add("Rossi", "Mario", "Roma", "AB", "00100");
        add("Bianchi", "Anna", "Milano", "CD", "20100");
        add("rossini", "Luca", "Forlì", "AB", "47121");
        add(QString(), "Senza", "Bari", QString(), "70100");
        add("Àlberti", "Pia", "Como", "EF", "22100");
    }
};

TEST_F(RecordsetNavigationTest, LoadsEveryRowMovesReadsQueriesAndAnEmptyTableIsBofAndEof) {
    Recordset rs = Recordset::open(db, "TabMAIL", LockType::Optimistic);
    ASSERT_TRUE(rs.isOpen());
    EXPECT_EQ(rs.recordCount(), 5);
    EXPECT_EQ(rs.fieldIndex("cognome"), 2);
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_EQ(rs.text("COGNOME"), "Rossi");
    EXPECT_EQ(rs.value(0).toLongLong(), 1);
    EXPECT_EQ(rs.value("SERV").toLongLong(), 0); // default of the table

    rs.moveLast();
    EXPECT_EQ(rs.absolutePosition(), 5);
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.absolutePosition(), Recordset::PosEOF);
    rs.moveNext(); // stays at EOF
    EXPECT_TRUE(rs.eof());
    rs.movePrevious();
    EXPECT_EQ(rs.absolutePosition(), 5);
    rs.move(-10);
    EXPECT_TRUE(rs.bof());
    EXPECT_EQ(rs.absolutePosition(), Recordset::PosBOF);
    EXPECT_THROW(rs.value(1), DatabaseError);
    rs.setAbsolutePosition(4);
    // Null rule: a Null field reads as "" through text(), invalid through value().
    EXPECT_EQ(rs.text("COGNOME"), QString());
    EXPECT_FALSE(rs.value("COGNOME").isValid());
    EXPECT_EQ(rs.text("NUM_TEL"), "");

    // Query sources are read-only.
    Recordset query = Recordset::open(db, "SELECT NR FROM TabMAIL", LockType::ReadOnly);
    EXPECT_EQ(query.recordCount(), 5);
    EXPECT_EQ(query.fieldCount(), 1);
    EXPECT_THROW(query.addNew(), DatabaseError);

    Recordset group =
        Recordset::open(db, "SELECT * FROM TabMAIL where GR like ?", LockType::Optimistic, {"ab"});
    EXPECT_EQ(group.recordCount(), 2);
    EXPECT_THROW(group.setValue(1, "x"), DatabaseError);
    EXPECT_THROW(Recordset::open(db, "SELECT * FROM TabMAIL where GR like ?", LockType::ReadOnly),
                 DatabaseError);
    EXPECT_THROW(Recordset::open(db, "TabNESSUNA", LockType::ReadOnly), DatabaseError);

    // Computed columns have no declared type: texts sort by collation, and a number, blob
    // or Null that turns up after them is kept as it is.
    Recordset cut = Recordset::open(
        db,
        QStringLiteral(
            "SELECT substr(COGNOME, 1, 3) AS C, CASE NR WHEN 5 THEN 42 WHEN 4 THEN x'00ff' "
            "ELSE substr(CITTA, 1, 2) END AS K FROM TabMAIL ORDER BY NR"),
        LockType::ReadOnly);
    EXPECT_EQ(column(cut, "C"), (QStringList{"Ros", "Bia", "ros", "<Null>", "Àlb"}));
    EXPECT_FALSE(cut.value(0).isNull());
    cut.setAbsolutePosition(4);
    EXPECT_FALSE(cut.value(0).isValid()); // Null stays Null
    EXPECT_EQ(cut.value(1).toByteArray(), QByteArray("\x00\xff", 2));
    cut.moveLast();
    EXPECT_EQ(cut.value(1).typeId(), QMetaType::LongLong);
    EXPECT_EQ(cut.value(1).toLongLong(), 42);
    cut.moveFirst();
    EXPECT_EQ(cut.value(1).toString(), "Ro");
    cut.setSort("C");
    EXPECT_EQ(column(cut, "C"), (QStringList{"<Null>", "Àlb", "Bia", "ros", "Ros"}));

    // An empty table is at BOF and EOF at once.
    db.exec("DELETE FROM TabMAIL");
    rs = Recordset::open(db, "TabMAIL", LockType::Optimistic);
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.absolutePosition(), Recordset::PosUnknown);
    rs.moveFirst();
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_FALSE(rs.find("NR = 1"));
}

TEST_F(RecordsetNavigationTest, SortKeepsCurrentRowAndBookmarksFollowIt) {
    Recordset rs = Recordset::open(db, "TabMAIL", LockType::Optimistic);
    rs.setAbsolutePosition(2); // Bianchi
    const auto bianchi = rs.bookmark();
    rs.setSort("COGNOME,NOME1");
    EXPECT_EQ(rs.text("COGNOME"), "Bianchi");
    // Null first and À with A (the order itself: SortOrderTest.ItalianReaderOrder).
    EXPECT_EQ(rs.absolutePosition(), 3);
    rs.moveFirst();
    rs.setBookmark(bianchi);
    EXPECT_EQ(rs.text("NOME1"), "Anna");
    EXPECT_EQ(rs.rowOfBookmark(bianchi), 2);
    EXPECT_EQ(rs.bookmarkAt(2), bianchi);

    rs.setSort(QString());
    EXPECT_EQ(column(rs, "NR"), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_THROW(rs.setSort("NESSUNO"), FilterError);
    EXPECT_EQ(rs.sort(), QString());
}

TEST_F(RecordsetNavigationTest, FilterHidesRowsAndPositionsOnFirst) {
    Recordset rs = Recordset::open(db, "TabMAIL", LockType::Optimistic);
    rs.setSort("COGNOME");
    rs.setFilter("COGNOME LIKE '*ROSS*'");
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_EQ(column(rs, "COGNOME"), (QStringList{"Rossi", "rossini"}));
    rs.setAbsolutePosition(2);
    EXPECT_EQ(rs.text("NOME1"), "Luca");

    // A malformed filter changes nothing.
    EXPECT_THROW(rs.setFilter("COGNOME LIKE 'A"), FilterError);
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.absolutePosition(), 2);
    EXPECT_EQ(rs.filter(), "COGNOME LIKE '*ROSS*'");

    rs.setFilter("GR = 'zz'");
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_TRUE(rs.eof() && rs.bof());
    rs.setFilter(QString());
    EXPECT_EQ(rs.recordCount(), 5);

    // The address source walks the view order.
    rs.setSort("CITTA");
    rs.setFilter("GR IS NOT NULL");
    RecordsetAddressSource source(rs);
    EXPECT_EQ(source.count(), 4);
    AddressRecord rec;
    QStringList cities;
    while (source.next(rec))
        cities << rec[7];
    EXPECT_EQ(cities, (QStringList{"Como", "Forlì", "Milano", "Roma"}));
    EXPECT_EQ(rec[0], "1"); // the last one read: Rossi, NR 1
    EXPECT_EQ(rec[10], QString());
}

class RecordsetEditTest : public RecordsetFixture {
protected:
    void SetUp() override {
        RecordsetFixture::SetUp();
        add("Rossi", "Mario", "Roma", "AB");
        add("Bianchi", "Anna", "Milano", "CD");
        add("Rossini", "Luca", "Forlì", "AB");
        add("Verdi", "Pia", "Como", "EF");
    }
    QString stored(qint64 nr, const char* field) {
        Statement st(db, QString("SELECT %1 FROM TabMAIL WHERE NR = ?").arg(field));
        st.bindInt(1, nr);
        return st.step() ? st.text(0) : "<none>";
    }
};

TEST_F(RecordsetEditTest, AddNewGetsNumberFromDatabaseAndStandsOnIt) {
    Recordset rs = Recordset::open(db, "TabMAIL", LockType::Optimistic);
    rs.setSort("COGNOME,NOME1");
    rs.addNew();
    EXPECT_TRUE(rs.isEditing());
    EXPECT_THROW(rs.setValue(0, 99), DatabaseError); // NR is assigned by the archive
    rs.setValue("COGNOME", "D'Angelo");
    rs.setValue("NOME1", "Ugo");
    rs.update();
    EXPECT_FALSE(rs.isEditing());
    EXPECT_EQ(rs.recordCount(), 5);
    EXPECT_EQ(rs.value("NR").toLongLong(), 5);
    EXPECT_EQ(rs.value("SERV").toLongLong(), 0);
    EXPECT_EQ(rs.absolutePosition(), 2); // Bianchi, D'Angelo, Rossi...
    EXPECT_EQ(stored(5, "COGNOME"), "D'Angelo");
    EXPECT_EQ(countRows(), 5);

    // Cancelling a new row returns to the row current before it.
    rs.setAbsolutePosition(4);
    rs.addNew();
    rs.setValue(2, "Nessuno");
    rs.cancelUpdate();
    EXPECT_EQ(rs.absolutePosition(), 4);
    EXPECT_EQ(countRows(), 5);

    // Beginning a new row saves the one begun before it (the import relies on it).
    rs.addNew();
    rs.setValue(2, "Primo");
    rs.addNew();
    rs.setValue(2, "Secondo");
    rs.update();
    EXPECT_EQ(countRows("WHERE COGNOME IN ('Primo','Secondo')"), 2);
}

TEST_F(RecordsetEditTest, UpdateWritesThroughAndMovingAwaySaves) {
    Recordset rs = Recordset::open(db, "TabMAIL", LockType::Optimistic);
    rs.setValue("NOTE", "O'Brien; DROP TABLE TabMAIL; --");
    EXPECT_EQ(rs.text("NOTE"), "O'Brien; DROP TABLE TabMAIL; --"); // pending value
    rs.moveNext();                                                 // saves row 1, goes to row 2
    EXPECT_EQ(rs.text("COGNOME"), "Bianchi");
    EXPECT_EQ(stored(1, "NOTE"), "O'Brien; DROP TABLE TabMAIL; --");

    rs.setValue(3, QVariant()); // Null
    rs.cancelUpdate();
    EXPECT_EQ(rs.text("NOME1"), "Anna");
    rs.setValue(3, QVariant());
    rs.update();
    EXPECT_FALSE(rs.value(3).isValid());
    EXPECT_EQ(stored(2, "NOME1"), QString());

    // The TabDEFRAG stamp: a table without an integer key, updated by rowid.
    Recordset defrag = Recordset::open(db, "TabDEFRAG", LockType::Optimistic);
    defrag.setValue("DATADEF", "2026-12-06");
    defrag.moveNext();
    EXPECT_TRUE(defrag.eof());
    EXPECT_EQ(column(Recordset::open(db, "TabDEFRAG", LockType::ReadOnly), "DATADEF"),
              QStringList{"2026-12-06"});

    // Walking a filter while clearing its mark visits every row.
    db.exec("UPDATE TabMAIL SET SERV = 1");
    rs = Recordset::open(db, "TabMAIL", LockType::Optimistic);
    rs.setFilter("SERV = 1");
    ASSERT_EQ(rs.recordCount(), 4);
    // Each saved row leaves the filter; the walk still reaches the one that followed it.
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        rs.setValue("SERV", 0);
    EXPECT_EQ(countRows("WHERE SERV = 1"), 0);
    EXPECT_EQ(rs.recordCount(), 0);
    rs.setFilter(QString());
    // Marking by number: each find saves the row marked before it.
    for (const char* nr : {"4", "2"}) {
        rs.moveFirst();
        ASSERT_TRUE(rs.find(QString("NR = '%1'").arg(nr)));
        rs.setValue("SERV", 1);
    }
    rs.setFilter("SERV = 1");
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(countRows("WHERE SERV = 1"), 2);
}

TEST_F(RecordsetEditTest, EditAndDeleteUnderFilter) {
    Recordset rs = Recordset::open(db, "TabMAIL", LockType::Optimistic);
    rs.setSort("COGNOME");
    rs.setFilter("GR = 'AB'");
    ASSERT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.text("COGNOME"), "Rossi");
    // A changed row that leaves the filter is saved and leaves the view; the position
    // goes to the row that followed it.
    rs.setValue("GR", "ZZ");
    rs.update();
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.text("COGNOME"), "Rossini");
    EXPECT_EQ(stored(1, "GR"), "ZZ");
    // A change that keeps the row in the filter but moves it in the sort keeps it current.
    rs.setFilter(QString());
    rs.setBookmark(rs.bookmarkAt(3)); // Verdi
    rs.setValue(2, "Abate");
    rs.update();
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_EQ(rs.text(2), "Abate");

    // Delete: the following row becomes current; the last one leaves EOF.
    rs.setFilter("GR <> 'ZZ'");
    ASSERT_EQ(rs.recordCount(), 3); // Abate, Bianchi, Rossini
    rs.setAbsolutePosition(2);
    const auto kept = rs.bookmark();
    rs.deleteCurrent();
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.text(2), "Rossini");
    EXPECT_EQ(countRows(), 3);
    // Going back to the bookmark of a deleted row stands on the row that followed it.
    rs.moveFirst();
    rs.setBookmark(kept);
    EXPECT_EQ(rs.text(2), "Rossini");
    rs.deleteCurrent();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.absolutePosition(), Recordset::PosEOF);
    rs.setBookmark(kept);
    EXPECT_TRUE(rs.eof());
    rs.moveLast();
    EXPECT_EQ(rs.text(2), "Abate");
    // Deleting a block by repeatedly setting the same position.
    rs.setFilter(QString());
    rs.setAbsolutePosition(1);
    rs.deleteCurrent();
    rs.setAbsolutePosition(1);
    rs.deleteCurrent();
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_EQ(countRows(), 0);
    EXPECT_THROW(rs.deleteCurrent(), DatabaseError);
}

TEST_F(RecordsetEditTest, FindSearchesForwardFromCurrentRow) {
    Recordset rs = Recordset::open(db, "TabMAIL", LockType::Optimistic);
    rs.setSort("COGNOME");
    EXPECT_TRUE(rs.find("NR = '3'"));
    EXPECT_EQ(rs.text(2), "Rossini");
    EXPECT_TRUE(rs.find("NR = 3")); // the current row counts
    EXPECT_EQ(rs.text(2), "Rossini");
    EXPECT_FALSE(rs.find("NR = 2")); // Bianchi lies before
    EXPECT_TRUE(rs.eof());
    rs.moveFirst();
    EXPECT_TRUE(rs.find("COGNOME LIKE 'r*'"));
    EXPECT_EQ(rs.text(2), "Rossi");
    rs.setFilter("GR = 'CD'");
    EXPECT_FALSE(rs.find("NR = 1")); // hidden by the filter
    EXPECT_THROW(rs.find("NR ="), FilterError);
}

} // namespace

// A committed transaction is done: its end never rolls back a later one.
TEST_F(RecordsetEditTest, ACommittedTransactionLeavesTheNextOneAlone) {
    std::optional<Transaction> second;
    {
        Transaction first(db);
        add("Neri", "Ugo", "Bari", "AB");
        first.commit();
        second.emplace(db);
        add("Gialli", "Eva", "Pisa", "AB");
    }
    second->commit();
    EXPECT_EQ(countRows(), 6);
}
