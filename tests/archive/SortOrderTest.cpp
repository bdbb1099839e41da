#include "ArchiveHarness.h"
#include "RecordsetFixture.h"

#include "archive/DataModel.h"
#include "archive/FilterError.h"
#include "archive/ItalianCollation.h"
#include "archive/SortSpec.h"
#include "archive/SqlTranslator.h"

#include <QRandomGenerator>
#include <algorithm>

using namespace velomar::archive;
using namespace velomar::test;

namespace {

class SortOrderTest : public RecordsetFixture {
protected:
    QStringList sorted(const QStringList& surnames, const QString& sort) {
        db.exec("DELETE FROM TabMAIL");
        for (const QString& s : surnames)
            add(s, s);
        Recordset rs = Recordset::open(db, "TabMAIL", LockType::ReadOnly);
        rs.setSort(sort);
        return column(rs, "COGNOME");
    }
};

TEST_F(SortOrderTest, ItalianReaderOrder) {
    const QStringList names{"zeta",     "Èrcole", "erba",    "Elena",   "",      QString(),
                            "d'Angelo", "Dante",  "De Luca", "de luca", "123",   "9",
                            "Ölmez",    "Ospite", "Édith",   "edith",   "Edith", " Spazio"};
    EXPECT_EQ(sorted(names, "COGNOME"),
              (QStringList{"<Null>", "", " Spazio", "123", "9", "d'Angelo", "Dante", "de luca",
                           "De Luca", "edith", "Edith", "Édith", "Elena", "erba", "Èrcole", "Ölmez",
                           "Ospite", "zeta"}));
    // Equal texts keep the source order; DESC reverses the keys only.
    EXPECT_EQ(sorted({"b", "a", "B", "A"}, "COGNOME DESC"), (QStringList{"B", "b", "A", "a"}));
    // Numbers sort numerically.
    db.exec("DELETE FROM TabMAIL");
    for (int nr : {10, 2, 33, 1})
        db.exec(QString("INSERT INTO TabMAIL (NR, COGNOME) VALUES (%1, 'x')").arg(nr));
    Recordset rs = Recordset::open(db, "TabMAIL", LockType::ReadOnly);
    rs.setSort("COGNOME, NR DESC");
    EXPECT_EQ(column(rs, "NR"), (QStringList{"33", "10", "2", "1"}));
}

TEST_F(SortOrderTest, LaterKeysApplyAcrossCaseAndAccents) {
    // Each order read as "key/NOME1".
    const auto order = [&](const QString& sort, const char* key) {
        Recordset rs =
            Recordset::open(db, QString("SELECT *, %1 || '/' || NOME1 AS K FROM TabMAIL").arg(key),
                            LockType::ReadOnly);
        rs.setSort(sort);
        return column(rs, "K");
    };
    add("Rossi", "Bruno", "Città", "b");
    add("Rossi", "Zeno", "citta", "B");
    add("ROSSI", "Anna", "CITTA", "b");
    add("Rossì", "Aldo", "Citta", "B");
    add("rossi", "Aldo", "Città", "b");
    EXPECT_EQ(order("COGNOME,NOME1", "COGNOME"),
              (QStringList{"rossi/Aldo", "Rossì/Aldo", "ROSSI/Anna", "Rossi/Bruno", "Rossi/Zeno"}));
    EXPECT_EQ(order("CITTA,NOME1", "CITTA"),
              (QStringList{"Citta/Aldo", "Città/Aldo", "CITTA/Anna", "Città/Bruno", "citta/Zeno"}));
    EXPECT_EQ(order("GR,NOME1 DESC", "GR"),
              (QStringList{"B/Zeno", "b/Bruno", "b/Anna", "b/Aldo", "B/Aldo"}));
}

TEST_F(SortOrderTest, FastSortAgreesWithTheCollation) {
    // Random texts from a mix of blanks, punctuation, digits, accents, cases and scripts.
    const QString alphabet = " -'.,09aAàÀbBeèÉzZñßœøΩω北京ё";
    QRandomGenerator gen(42);
    QStringList texts;
    for (int i = 0; i < 600; ++i) {
        QString s = "";
        const int n = int(gen.bounded(12));
        for (int k = 0; k < n; ++k)
            s += alphabet[int(gen.bounded(alphabet.size()))];
        texts << s;
    }
    const QStringList got = sorted(texts, "COGNOME");
    QStringList expected = texts;
    std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return ItalianCollation::compare(a, b) < 0;
    });
    EXPECT_EQ(got, expected);
    // A prefix matches across case and accents, up to the whole text and no further.
    EXPECT_TRUE(ItalianCollation::startsWithPrimary(u"Città", u"CITTA"));
    EXPECT_TRUE(ItalianCollation::startsWithPrimary(u"Rossini", u"ross"));
    EXPECT_FALSE(ItalianCollation::startsWithPrimary(u"Ros", u"Rossi"));
    // The byte keys order texts as the primary comparison does.
    for (int i = 0; i + 1 < texts.size(); ++i) {
        std::string ka, kb;
        ItalianCollation::appendPrimaryKey(texts[i], ka);
        ItalianCollation::appendPrimaryKey(texts[i + 1], kb);
        const int c = ka.compare(kb);
        EXPECT_EQ(c < 0 ? -1 : (c > 0 ? 1 : 0),
                  ItalianCollation::comparePrimary(texts[i], texts[i + 1]))
            << texts[i].toStdString() << " / " << texts[i + 1].toStdString();
    }
}

TEST(SortSpecTest, ParsesListsAndRefusesBadOnes) {
    const auto resolve = DataModel::fieldIndex;
    const SortSpec spec = SortSpec::parse("CAP DESC, [CITTA] asc,cognome", resolve);
    ASSERT_EQ(spec.keys().size(), 3u);
    EXPECT_EQ(spec.keys()[0].field, DataModel::CAP);
    EXPECT_TRUE(spec.keys()[0].descending);
    EXPECT_EQ(spec.keys()[1].field, DataModel::CITTA);
    EXPECT_FALSE(spec.keys()[1].descending);
    EXPECT_TRUE(SortSpec::parse(" ", resolve).isEmpty());
    for (const char* bad : {"COGNOME,", "COGNOME DOWN", "[COGNOME", "SERV", ",", "CAP DESC ASC"})
        EXPECT_THROW(SortSpec::parse(QString::fromUtf8(bad), resolve), FilterError) << bad;
}

using SqlTranslatorTest = RecordsetFixture;

// The rewrites that the queries run on an archive below do not already show, then those.
TEST_F(SqlTranslatorTest, RewritesTheProgramsDialectAndRunsLikeSummariesAndDeletes) {
    EXPECT_EQ(
        SqlTranslator::translate("SELECT * FROM T ORDER BY A DESC, B COLLATE NOCASE, C;"),
        "SELECT * FROM T ORDER BY A COLLATE JET_TEXT DESC, B COLLATE NOCASE, C COLLATE JET_TEXT;");
    EXPECT_EQ(SqlTranslator::translate("SELECT * FROM TabMAIL where GR like 'A''B';"),
              "SELECT * FROM TabMAIL where GR like 'A''B';");
    EXPECT_EQ(SqlTranslator::translate("SELECT * FROM T WHERE X = \"it's \"\"x\"\"\""),
              "SELECT * FROM T WHERE X = 'it''s \"x\"'");
    EXPECT_THROW(SqlTranslator::translate("SELECT 'open"), DatabaseError);

    add("Rossi", "", "Roma", "AB");
    add("Bianchi", "", "roma", "ab");
    add("Verdi", "", "Forlì", "CD");
    add("Neri", "", "Forli", QString());
    add("Gialli", "", "Bari", "A_");

    Recordset pattern = Recordset::open(db, "SELECT NR FROM TabMAIL WHERE CITTA LIKE ? ORDER BY NR",
                                        LockType::ReadOnly, {"FORLI*"});
    EXPECT_EQ(pattern.recordCount(), 2);
    // The print-shop search for what the user typed: "A_" is a code, not a pattern.
    Recordset literal =
        Recordset::open(db, "SELECT * FROM TabMAIL where GR like ?", LockType::ReadOnly, {"A[_]"});
    EXPECT_EQ(literal.recordCount(), 1);

    // Summary by value: case and accents grouped together, Null counted 0 and first.
    Recordset summary = Recordset::open(
        db, "SELECT CITTA, Count(CITTA) AS INDIRIZZI FROM TabMAIL GROUP BY CITTA ORDER BY CITTA",
        LockType::ReadOnly);
    ASSERT_EQ(summary.recordCount(), 3);
    EXPECT_EQ(summary.textAt(0, 0).toUpper(), "BARI");
    EXPECT_EQ(summary.textAt(1, 1), "2"); // Forlì, Forli
    EXPECT_EQ(summary.textAt(2, 1), "2"); // Roma, roma
    Recordset byGroup = Recordset::open(
        db, "SELECT GR, Count(GR) AS INDIRIZZI FROM TabMAIL GROUP BY GR ORDER BY Count(GR)",
        LockType::ReadOnly);
    ASSERT_EQ(byGroup.recordCount(), 4);
    EXPECT_FALSE(byGroup.valueAt(0, 0).isValid());
    EXPECT_EQ(byGroup.textAt(0, 1), "0");
    EXPECT_EQ(byGroup.textAt(3, 1), "2");

    // Values are bound: a hostile one is only a value.
    EXPECT_EQ(SqlTranslator::exec(db, "DELETE * FROM TabMAIL WHERE GR LIKE ?",
                                  {"'; DROP TABLE TabMAIL; --"}),
              0);
    EXPECT_THROW(SqlTranslator::exec(db, "DELETE * FROM TabMAIL WHERE GR LIKE ?"), DatabaseError);
    EXPECT_EQ(SqlTranslator::exec(db, "DELETE * FROM TabMAIL WHERE GR LIKE ?", {"Ab"}), 2);
    EXPECT_EQ(countRows(), 3);
    EXPECT_EQ(SqlTranslator::exec(db, "DELETE * FROM TabMAIL"), 3);
    EXPECT_EQ(countRows(), 0);
}

} // namespace
