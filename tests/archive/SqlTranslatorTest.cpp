#include "RecordsetFixture.h"

#include "archive/DatabaseError.h"
#include "archive/Recordset.h"
#include "archive/SqlTranslator.h"

using namespace velomar::archive;
using velomar::test::RecordsetFixture;

namespace {

TEST(SqlTranslatorTest, RewritesTheProgramsDialect) {
    EXPECT_EQ(SqlTranslator::translate("DELETE * FROM TabMAIL"), QStringLiteral("DELETE FROM TabMAIL"));
    EXPECT_EQ(SqlTranslator::translate("delete  *  FROM TabMAIL WHERE GR LIKE ?"),
              QStringLiteral("delete  FROM TabMAIL WHERE GR LIKE ?"));
    EXPECT_EQ(SqlTranslator::translate("SELECT GR, Count(GR) AS INDIRIZZI FROM TabMAIL GROUP BY GR ORDER BY GR"),
              QStringLiteral("SELECT GR, Count(GR) AS INDIRIZZI FROM TabMAIL GROUP BY GR COLLATE JET_TEXT "
                             "ORDER BY GR COLLATE JET_TEXT"));
    EXPECT_EQ(SqlTranslator::translate("SELECT CITTA, Count(CITTA) AS INDIRIZZI FROM TabMAIL GROUP BY CITTA "
                                       "ORDER BY Count(CITTA)"),
              QStringLiteral("SELECT CITTA, Count(CITTA) AS INDIRIZZI FROM TabMAIL GROUP BY CITTA COLLATE JET_TEXT "
                             "ORDER BY Count(CITTA) COLLATE JET_TEXT"));
    EXPECT_EQ(SqlTranslator::translate("SELECT * FROM T ORDER BY A DESC, B COLLATE NOCASE, C;"),
              QStringLiteral("SELECT * FROM T ORDER BY A COLLATE JET_TEXT DESC, B COLLATE NOCASE, C COLLATE JET_TEXT;"));
    EXPECT_EQ(SqlTranslator::translate("SELECT * FROM TabMAIL where GR like 'A''B';"),
              QStringLiteral("SELECT * FROM TabMAIL where GR like 'A''B';"));
    EXPECT_EQ(SqlTranslator::translate("SELECT * FROM T WHERE X = \"it's \"\"x\"\"\""),
              QStringLiteral("SELECT * FROM T WHERE X = 'it''s \"x\"'"));
    EXPECT_EQ(SqlTranslator::translate("SELECT NR FROM TabMAIL"), QStringLiteral("SELECT NR FROM TabMAIL"));
    EXPECT_THROW(SqlTranslator::translate("SELECT 'open"), DatabaseError);
}

class SqlTranslatorDbTest : public RecordsetFixture {};

TEST_F(SqlTranslatorDbTest, LikeSummariesAndDeletesOnSqlite) {
    add("Rossi", "", "Roma", "AB");
    add("Bianchi", "", "roma", "ab");
    add("Verdi", "", "Forlì", "CD");
    add("Neri", "", "Forli", QString());
    add("Gialli", "", "Bari", "A_");

    Recordset group = Recordset::open(db, QStringLiteral("SELECT * FROM TabMAIL where GR like ?;"),
                                      LockType::ReadOnly, {QStringLiteral("ab")});
    EXPECT_EQ(group.recordCount(), 2);
    Recordset pattern = Recordset::open(db, QStringLiteral("SELECT NR FROM TabMAIL WHERE CITTA LIKE ? ORDER BY NR"),
                                        LockType::ReadOnly, {QStringLiteral("FORLI*")});
    EXPECT_EQ(pattern.recordCount(), 2);
    // The print-shop search for what the user typed: "A_" is a code, not a pattern.
    Recordset literal = Recordset::open(db, QStringLiteral("SELECT * FROM TabMAIL where GR like ?"),
                                        LockType::ReadOnly, {QStringLiteral("A[_]")});
    EXPECT_EQ(literal.recordCount(), 1);

    // Summary by value: case and accents grouped together, Null counted 0 and first.
    Recordset summary = Recordset::open(
        db, QStringLiteral("SELECT CITTA, Count(CITTA) AS INDIRIZZI FROM TabMAIL GROUP BY CITTA ORDER BY CITTA"),
        LockType::ReadOnly);
    ASSERT_EQ(summary.recordCount(), 3);
    EXPECT_EQ(summary.textAt(0, 0).toUpper(), QStringLiteral("BARI"));
    EXPECT_EQ(summary.textAt(1, 1), QStringLiteral("2")); // Forlì, Forli
    EXPECT_EQ(summary.textAt(2, 1), QStringLiteral("2")); // Roma, roma
    Recordset byGroup = Recordset::open(
        db, QStringLiteral("SELECT GR, Count(GR) AS INDIRIZZI FROM TabMAIL GROUP BY GR ORDER BY Count(GR)"),
        LockType::ReadOnly);
    ASSERT_EQ(byGroup.recordCount(), 4);
    EXPECT_FALSE(byGroup.valueAt(0, 0).isValid());
    EXPECT_EQ(byGroup.textAt(0, 1), QStringLiteral("0"));
    EXPECT_EQ(byGroup.textAt(3, 1), QStringLiteral("2"));

    // Values are bound: a hostile one is only a value.
    EXPECT_EQ(SqlTranslator::exec(db, QStringLiteral("DELETE * FROM TabMAIL WHERE GR LIKE ?"),
                                  {QStringLiteral("'; DROP TABLE TabMAIL; --")}),
              0);
    EXPECT_THROW(SqlTranslator::exec(db, QStringLiteral("DELETE * FROM TabMAIL WHERE GR LIKE ?")), DatabaseError);
    EXPECT_EQ(SqlTranslator::exec(db, QStringLiteral("DELETE * FROM TabMAIL WHERE GR LIKE ?"), {QStringLiteral("Ab")}), 2);
    EXPECT_EQ(countRows(), 3);
    EXPECT_EQ(SqlTranslator::exec(db, QStringLiteral("DELETE * FROM TabMAIL")), 3);
    EXPECT_EQ(countRows(), 0);
}

} // namespace
