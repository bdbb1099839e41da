#include "RecordsetFixture.h"

#include "archive/DatabaseError.h"
#include "archive/FilterError.h"
#include "archive/Recordset.h"
#include "archive/RecordsetAddressSource.h"

using namespace velomar::archive;
using velomar::test::RecordsetFixture;

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
    QStringList column(const Recordset& rs, const char* field) {
        QStringList out;
        for (qint64 r = 0; r < rs.recordCount(); ++r)
            out << rs.textAt(r, rs.fieldIndex(QLatin1String(field)));
        return out;
    }
};

TEST_F(RecordsetNavigationTest, LoadsEveryRowAndMoves) {
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    ASSERT_TRUE(rs.isOpen());
    EXPECT_EQ(rs.recordCount(), 5);
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("cognome")), 2);
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_EQ(rs.text("COGNOME"), QStringLiteral("Rossi"));
    EXPECT_EQ(rs.value(0).toLongLong(), 1);
    EXPECT_EQ(rs.value(QStringLiteral("SERV")).toLongLong(), 0); // default of the table

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
    EXPECT_FALSE(rs.value(QStringLiteral("COGNOME")).isValid());
    EXPECT_EQ(rs.text("NUM_TEL"), QStringLiteral(""));

    // Walk with the usual loop.
    int n = 0;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        ++n;
    EXPECT_EQ(n, 5);
}

TEST_F(RecordsetNavigationTest, EmptyTableIsBofAndEof) {
    db.exec(QStringLiteral("DELETE FROM TabMAIL"));
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_TRUE(rs.bof());
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.absolutePosition(), Recordset::PosUnknown);
    rs.moveFirst();
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_FALSE(rs.find(QStringLiteral("NR = 1")));
}

TEST_F(RecordsetNavigationTest, SortKeepsCurrentRowAndBookmarksFollowIt) {
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    rs.setAbsolutePosition(2); // Bianchi
    const auto bianchi = rs.bookmark();
    rs.setSort(QStringLiteral("COGNOME,NOME1"));
    EXPECT_EQ(rs.text("COGNOME"), QStringLiteral("Bianchi"));
    // Null first, accented À with A, case ignored.
    EXPECT_EQ(column(rs, "COGNOME"),
              (QStringList{"", "Àlberti", "Bianchi", "Rossi", "rossini"}));
    EXPECT_EQ(rs.absolutePosition(), 3);
    rs.moveFirst();
    rs.setBookmark(bianchi);
    EXPECT_EQ(rs.text("NOME1"), QStringLiteral("Anna"));
    EXPECT_EQ(rs.rowOfBookmark(bianchi), 2);
    EXPECT_EQ(rs.bookmarkAt(2), bianchi);

    rs.setSort(QStringLiteral("CITTA DESC"));
    EXPECT_EQ(column(rs, "CITTA"), (QStringList{"Roma", "Milano", "Forlì", "Como", "Bari"}));
    rs.setSort(QString());
    EXPECT_EQ(column(rs, "NR"), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_THROW(rs.setSort(QStringLiteral("NESSUNO")), FilterError);
    EXPECT_EQ(rs.sort(), QString());
}

TEST_F(RecordsetNavigationTest, FilterHidesRowsAndPositionsOnFirst) {
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    rs.setSort(QStringLiteral("COGNOME"));
    rs.setFilter(QStringLiteral("COGNOME LIKE '*ROSS*'"));
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.absolutePosition(), 1);
    EXPECT_EQ(column(rs, "COGNOME"), (QStringList{"Rossi", "rossini"}));
    EXPECT_EQ(rs.filter(), QStringLiteral("COGNOME LIKE '*ROSS*'"));
    rs.setAbsolutePosition(2);
    EXPECT_EQ(rs.text("NOME1"), QStringLiteral("Luca"));

    // A malformed filter changes nothing.
    EXPECT_THROW(rs.setFilter(QStringLiteral("COGNOME LIKE 'A")), FilterError);
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.absolutePosition(), 2);
    EXPECT_EQ(rs.filter(), QStringLiteral("COGNOME LIKE '*ROSS*'"));

    rs.setFilter(QStringLiteral("GR = 'zz'"));
    EXPECT_EQ(rs.recordCount(), 0);
    EXPECT_TRUE(rs.eof() && rs.bof());
    rs.setFilter(QString());
    EXPECT_EQ(rs.recordCount(), 5);
}

TEST_F(RecordsetNavigationTest, AddressSourceWalksViewOrder) {
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::ReadOnly);
    rs.setSort(QStringLiteral("CITTA"));
    rs.setFilter(QStringLiteral("GR IS NOT NULL"));
    RecordsetAddressSource source(rs);
    EXPECT_EQ(source.count(), 4);
    AddressRecord rec;
    QStringList cities;
    while (source.next(rec))
        cities << rec[7];
    EXPECT_EQ(cities, (QStringList{"Como", "Forlì", "Milano", "Roma"}));
    EXPECT_EQ(rec[0], QStringLiteral("1")); // the last one read: Rossi, NR 1
    EXPECT_EQ(rec[10], QString());
}

TEST_F(RecordsetNavigationTest, QuerySourcesAreReadOnly) {
    Recordset rs = Recordset::open(db, QStringLiteral("SELECT NR FROM TabMAIL"), LockType::ReadOnly);
    EXPECT_EQ(rs.recordCount(), 5);
    EXPECT_EQ(rs.fieldCount(), 1);
    EXPECT_THROW(rs.addNew(), DatabaseError);

    Recordset group = Recordset::open(db, QStringLiteral("SELECT * FROM TabMAIL where GR like ?"),
                                      LockType::Optimistic, {QStringLiteral("ab")});
    EXPECT_EQ(group.recordCount(), 2);
    EXPECT_THROW(group.setValue(1, QStringLiteral("x")), DatabaseError);
    EXPECT_THROW(Recordset::open(db, QStringLiteral("SELECT * FROM TabMAIL where GR like ?"), LockType::ReadOnly),
                 DatabaseError);
    EXPECT_THROW(Recordset::open(db, QStringLiteral("TabNESSUNA"), LockType::ReadOnly), DatabaseError);

    // Computed columns have no declared type: texts sort by collation, and a number, blob
    // or Null that turns up after them is kept as it is.
    Recordset cut = Recordset::open(
        db, QStringLiteral("SELECT substr(COGNOME, 1, 3) AS C, CASE NR WHEN 5 THEN 42 WHEN 4 THEN x'00ff' "
                           "ELSE substr(CITTA, 1, 2) END AS K FROM TabMAIL ORDER BY NR"),
        LockType::ReadOnly);
    EXPECT_EQ(column(cut, "C"), (QStringList{"Ros", "Bia", "ros", "", "Àlb"}));
    EXPECT_FALSE(cut.value(0).isNull());
    cut.setAbsolutePosition(4);
    EXPECT_FALSE(cut.value(0).isValid()); // Null stays Null
    EXPECT_EQ(cut.value(1).toByteArray(), QByteArray("\x00\xff", 2));
    cut.moveLast();
    EXPECT_EQ(cut.value(1).typeId(), QMetaType::LongLong);
    EXPECT_EQ(cut.value(1).toLongLong(), 42);
    cut.moveFirst();
    EXPECT_EQ(cut.value(1).toString(), QStringLiteral("Ro"));
    cut.setSort(QStringLiteral("C"));
    EXPECT_EQ(column(cut, "C"), (QStringList{"", "Àlb", "Bia", "ros", "Ros"}));
}

} // namespace
