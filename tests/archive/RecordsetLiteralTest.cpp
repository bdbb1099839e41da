#include "RecordsetFixture.h"

#include "archive/FilterExpr.h"
#include "archive/Recordset.h"
#include "archive/SqlTranslator.h"

using namespace velomar::archive;
using velomar::test::RecordsetFixture;

namespace {

class RecordsetLiteralTest : public RecordsetFixture {};

// Whatever the user types is stored, filtered and found as typed.
TEST_F(RecordsetLiteralTest, AnyTextIsStoredFilteredAndFoundLiterally) {
    const QStringList typed{"O'Brien",  "\"Citato\"", "a*b",  "50%",    "[x]",  "]",          "?",
                            "#1",       "a_b",        "''",   "SELECT", "DROP TABLE TabMAIL; --",
                            "Ωμέγα",    "北京",       "Željko"};
    Recordset rs = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    for (const QString& word : typed) {
        rs.addNew();
        rs.setValue(QStringLiteral("COGNOME"), "x" + word + "y");
    }
    rs.addNew();
    rs.setValue(QStringLiteral("COGNOME"), QStringLiteral("aXb 5 x y Q"));
    rs.update();
    ASSERT_EQ(countRows(), typed.size() + 1);

    Recordset reread = Recordset::open(db, QStringLiteral("TabMAIL"), LockType::Optimistic);
    for (const QString& word : typed) {
        reread.setFilter("COGNOME LIKE '*" + FilterExpr::likeLiteral(word) + "*'");
        qint64 containing = 0; // "]" is also inside "[x]"
        for (const QString& other : typed)
            containing += other.contains(word) ? 1 : 0;
        EXPECT_EQ(reread.recordCount(), containing) << word.toStdString();
        reread.setFilter(QString());
        reread.moveFirst();
        ASSERT_TRUE(reread.find("COGNOME = " + FilterExpr::quote("x" + word + "y"))) << word.toStdString();
        EXPECT_EQ(reread.text("COGNOME"), "x" + word + "y");
        // The same through SQL with a bound pattern.
        Recordset viaSql = Recordset::open(db, QStringLiteral("SELECT * FROM TabMAIL WHERE COGNOME LIKE ?"),
                                           LockType::ReadOnly, {"x" + FilterExpr::likeLiteral(word).replace("''", "'") + "y"});
        EXPECT_EQ(viaSql.recordCount(), 1) << word.toStdString();
    }
}

} // namespace
