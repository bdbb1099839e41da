#include "RecordsetFixture.h"

#include "archive/DatabaseError.h"
#include "archive/FilterError.h"
#include "archive/Recordset.h"
#include "archive/Transaction.h"

#include <optional>

using namespace velomar::archive;
using velomar::test::RecordsetFixture;

namespace {

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
        Statement st(db, QStringLiteral("SELECT %1 FROM TabMAIL WHERE NR = ?").arg(QLatin1String(field)));
        st.bindInt(1, nr);
        return st.step() ? st.text(0) : QStringLiteral("<none>");
    }
};

TEST_F(RecordsetEditTest, AddNewGetsNumberFromDatabaseAndStandsOnIt) {
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    rs.setSort(QStringLiteral("COGNOME,NOME1"));
    rs.addNew();
    EXPECT_TRUE(rs.isEditing());
    EXPECT_THROW(rs.setValue(0, 99), DatabaseError); // NR is assigned by the archive
    rs.setValue(QStringLiteral("COGNOME"), QStringLiteral("D'Angelo"));
    rs.setValue(QStringLiteral("NOME1"), QStringLiteral("Ugo"));
    rs.update();
    EXPECT_FALSE(rs.isEditing());
    EXPECT_EQ(rs.recordCount(), 5);
    EXPECT_EQ(rs.value(QStringLiteral("NR")).toLongLong(), 5);
    EXPECT_EQ(rs.value(QStringLiteral("SERV")).toLongLong(), 0);
    EXPECT_EQ(rs.absolutePosition(), 2); // Bianchi, D'Angelo, Rossi...
    EXPECT_EQ(stored(5, "COGNOME"), QStringLiteral("D'Angelo"));
    EXPECT_EQ(countRows(), 5);

    // Cancelling a new row returns to the row current before it.
    rs.setAbsolutePosition(4);
    rs.addNew();
    rs.setValue(2, QStringLiteral("Nessuno"));
    rs.cancelUpdate();
    EXPECT_EQ(rs.absolutePosition(), 4);
    EXPECT_EQ(countRows(), 5);

    // Beginning a new row saves the one begun before it (the import relies on it).
    rs.addNew();
    rs.setValue(2, QStringLiteral("Primo"));
    rs.addNew();
    rs.setValue(2, QStringLiteral("Secondo"));
    rs.update();
    EXPECT_EQ(countRows(QStringLiteral("WHERE COGNOME IN ('Primo','Secondo')")), 2);
}

TEST_F(RecordsetEditTest, UpdateWritesThroughAndMovingAwaySaves) {
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    rs.setValue(QStringLiteral("NOTE"), QStringLiteral("O'Brien; DROP TABLE TabMAIL; --"));
    EXPECT_EQ(rs.text("NOTE"), QStringLiteral("O'Brien; DROP TABLE TabMAIL; --")); // pending value
    rs.moveNext(); // saves row 1, goes to row 2
    EXPECT_EQ(rs.text("COGNOME"), QStringLiteral("Bianchi"));
    EXPECT_EQ(stored(1, "NOTE"), QStringLiteral("O'Brien; DROP TABLE TabMAIL; --"));

    rs.setValue(3, QVariant()); // Null
    rs.cancelUpdate();
    EXPECT_EQ(rs.text("NOME1"), QStringLiteral("Anna"));
    rs.setValue(3, QVariant());
    rs.update();
    EXPECT_FALSE(rs.value(3).isValid());
    EXPECT_EQ(stored(2, "NOME1"), QString());

    // The TabDEFRAG stamp: a table without an integer key, updated by rowid.
    Recordset defrag = Recordset::open(db, QStringLiteral("TabDEFRAG"), LockType::Optimistic);
    defrag.setValue(QStringLiteral("DATADEF"), QStringLiteral("2026-12-06"));
    defrag.moveNext();
    EXPECT_TRUE(defrag.eof());
    Statement st(db, QStringLiteral("SELECT DATADEF FROM TabDEFRAG"));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0), QStringLiteral("2026-12-06"));
}

TEST_F(RecordsetEditTest, EditAndDeleteUnderFilter) {
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    rs.setSort(QStringLiteral("COGNOME"));
    rs.setFilter(QStringLiteral("GR = 'AB'"));
    ASSERT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.text("COGNOME"), QStringLiteral("Rossi"));
    // A changed row that leaves the filter is saved and leaves the view; the position
    // goes to the row that followed it.
    rs.setValue(QStringLiteral("GR"), QStringLiteral("ZZ"));
    rs.update();
    EXPECT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.text("COGNOME"), QStringLiteral("Rossini"));
    EXPECT_EQ(stored(1, "GR"), QStringLiteral("ZZ"));
    // A change that keeps the row in the filter but moves it in the sort keeps it current.
    rs.setFilter(QString());
    rs.setBookmark(rs.bookmarkAt(3)); // Verdi
    rs.setValue(2, QStringLiteral("Abate"));
    rs.update();
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_EQ(rs.text(2), QStringLiteral("Abate"));

    // Delete: the following row becomes current; the last one leaves EOF.
    rs.setFilter(QStringLiteral("GR <> 'ZZ'"));
    ASSERT_EQ(rs.recordCount(), 3); // Abate, Bianchi, Rossini
    rs.setAbsolutePosition(2);
    const auto kept = rs.bookmark();
    rs.deleteCurrent();
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.text(2), QStringLiteral("Rossini"));
    EXPECT_EQ(countRows(), 3);
    // Going back to the bookmark of a deleted row stands on the row that followed it.
    rs.moveFirst();
    rs.setBookmark(kept);
    EXPECT_EQ(rs.text(2), QStringLiteral("Rossini"));
    rs.deleteCurrent();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.absolutePosition(), Recordset::PosEOF);
    rs.setBookmark(kept);
    EXPECT_TRUE(rs.eof());
    rs.moveLast();
    EXPECT_EQ(rs.text(2), QStringLiteral("Abate"));
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

TEST_F(RecordsetEditTest, WalkingAFilterWhileClearingItsMarkVisitsEveryRow) {
    db.exec(QStringLiteral("UPDATE TabMAIL SET SERV = 1"));
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    rs.setFilter(QStringLiteral("SERV = 1"));
    ASSERT_EQ(rs.recordCount(), 4);
    // Each saved row leaves the filter; the walk still reaches the one that followed it.
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        rs.setValue(QStringLiteral("SERV"), 0);
    EXPECT_EQ(countRows(QStringLiteral("WHERE SERV = 1")), 0);
    EXPECT_EQ(rs.recordCount(), 0);
    rs.setFilter(QString());
    // Marking by number: each find saves the row marked before it.
    for (const char* nr : {"4", "2"}) {
        rs.moveFirst();
        ASSERT_TRUE(rs.find(QStringLiteral("NR = '%1'").arg(QLatin1String(nr))));
        rs.setValue(QStringLiteral("SERV"), 1);
    }
    rs.setFilter(QStringLiteral("SERV = 1"));
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(countRows(QStringLiteral("WHERE SERV = 1")), 2);
}

TEST_F(RecordsetEditTest, FindSearchesForwardFromCurrentRow) {
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    rs.setSort(QStringLiteral("COGNOME"));
    EXPECT_TRUE(rs.find(QStringLiteral("NR = '3'")));
    EXPECT_EQ(rs.text(2), QStringLiteral("Rossini"));
    EXPECT_TRUE(rs.find(QStringLiteral("NR = 3"))); // the current row counts
    EXPECT_EQ(rs.text(2), QStringLiteral("Rossini"));
    EXPECT_FALSE(rs.find(QStringLiteral("NR = 2"))); // Bianchi lies before
    EXPECT_TRUE(rs.eof());
    rs.moveFirst();
    EXPECT_TRUE(rs.find(QStringLiteral("COGNOME LIKE 'r*'")));
    EXPECT_EQ(rs.text(2), QStringLiteral("Rossi"));
    rs.setFilter(QStringLiteral("GR = 'CD'"));
    EXPECT_FALSE(rs.find(QStringLiteral("NR = 1"))); // hidden by the filter
    EXPECT_THROW(rs.find(QStringLiteral("NR =")), FilterError);
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
