#include "RecordsetFixture.h"

#include "archive/FilterError.h"
#include "archive/FilterExpr.h"
#include "archive/LikePattern.h"

#include <QRegularExpression>
#include <QStringList>
#include <array>
#include <gtest/gtest.h>
#include <vector>

using namespace velomar::archive;

namespace {

// Rows of (COGNOME, CAP, NR, NOTE) in memory, NR a number; a null QString is Null.
class Rows : public FieldReader {
public:
    explicit Rows(std::vector<std::array<QString, 4>> rows) : m_rows(std::move(rows)) {}
    FieldValue read(qint64 row, int field) const override {
        const QString& s = m_rows[std::size_t(row)][std::size_t(field)];
        if (s.isNull())
            return {};
        if (field == 2)
            return {FieldValue::Type::Integer, s.toLongLong(), 0, {}};
        return {FieldValue::Type::Text, 0, 0, s};
    }
    std::size_t size() const { return m_rows.size(); }

private:
    std::vector<std::array<QString, 4>> m_rows;
};

int resolve(const QString& name) {
    static const QStringList names{"COGNOME", "CAP", "NR", "NOTE"};
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const Rows& sample() {
    static const Rows rows({
        {"Rossi", "00100", "1", "amico"},          // 0
        {"ROSSINI", "47121", "2", QString()},      // 1
        {"D'Angelo", "9 Maggio", "10", "x"},       // 2
        {"Nicolò", "95100", "25", "O'Brien & C."}, // 3
        {QString(), "A1", QString(), ""},          // 4
        {"", "", "3", "50% [sconto]"},             // 5
    });
    return rows;
}

// The indexes of the sample rows that match.
std::vector<int> hits(const QString& text) {
    const FilterExpr f = FilterExpr::parse(text, resolve);
    std::vector<int> out;
    for (std::size_t r = 0; r < sample().size(); ++r)
        if (f.matches(sample(), qint64(r)))
            out.push_back(int(r));
    return out;
}

using V = std::vector<int>;

TEST(FilterExprTest, TextsOfTheProgram) {
    EXPECT_EQ(hits("COGNOME LIKE '*ROSSI*'"), (V{0, 1}));
    EXPECT_EQ(hits("COGNOME LIKE 'R*'"), (V{0, 1}));
    EXPECT_EQ(hits("cognome like 'd''*'"), (V{2}));
    EXPECT_EQ(hits("COGNOME LIKE '*D''ANGELO*'"), (V{2}));
    // The digit filter: every value whose first character is a digit.
    EXPECT_EQ(hits("CAP >= '0*' and CAP <= '9*'"), (V{0, 1, 2, 3}));
    EXPECT_EQ(hits("NR = '10'"), (V{2}));
    EXPECT_EQ(hits("NR = 10"), (V{2}));
    EXPECT_EQ(hits("NR = 'dieci'"), V{}); // a text that is no number matches no number
    EXPECT_EQ(hits("NOTE LIKE 0"), V{});
    EXPECT_EQ(hits("COGNOME = 'rossi'"), (V{0}));
    EXPECT_EQ(hits(""), (V{0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(FilterExpr::parse("   ", resolve).isEmpty());
}

TEST(FilterExprTest, CaseAccentsNullAndLogic) {
    EXPECT_EQ(hits("COGNOME = 'NICOLO'"), (V{3}));
    EXPECT_EQ(hits("COGNOME LIKE '*colò'"), (V{3}));
    EXPECT_EQ(hits("COGNOME > 'ROSSI'"), (V{1}));
    EXPECT_EQ(hits("COGNOME < 'b'"), (V{5})); // "" but not Null
    // Null matches no comparison, negated or not.
    EXPECT_EQ(hits("NOTE <> 'x'"), (V{0, 3, 4, 5}));
    EXPECT_EQ(hits("NOT (NOTE = 'x')"), (V{0, 3, 4, 5}));
    EXPECT_EQ(hits("NOTE IS NULL"), (V{1}));
    EXPECT_EQ(hits("COGNOME Is Not Null AND NR Is Null"), V{});
    EXPECT_EQ(hits("NR > 2 AND NR <= 10 OR COGNOME = 'Rossi'"), (V{0, 2, 5}));
    EXPECT_EQ(hits("NR > 2 AND (NR <= 10 OR COGNOME = 'Rossi')"), (V{2, 5}));
    EXPECT_EQ(hits("NOT NR > 2"), (V{0, 1}));
    EXPECT_EQ(hits("NR IN (1, '3', 99)"), (V{0, 5}));
    EXPECT_EQ(hits("NR NOT IN (1, 3)"), (V{1, 2, 3}));
    EXPECT_EQ(hits("10 = NR"), (V{2}));
    EXPECT_EQ(hits("[NOTE] = \"O'Brien & C.\""), (V{3}));
    EXPECT_EQ(hits("NR >= -1.5 AND NR < 2.5"), (V{0, 1}));
    EXPECT_EQ(hits("COGNOME NOT LIKE '*i*'"), (V{2, 5}));
}

TEST(FilterExprTest, MalformedTextsThrow) {
    const QStringList malformed =
        QString("COGNOME LIKE|COGNOME = 'abc|(COGNOME = 'a'|COGNOME = 'a')|XYZ = 1|COGNOME == 'a'|"
                "COGNOME 'a'|AND|COGNOME LIKE '[abc'|NOT|COGNOME = 'a' AND|"
                "COGNOME = 'a' OR OR NR = 1|COGNOME|= 'a'|COGNOME ! 'a'|NR IN (1, 2|NR IS 5|"
                "COGNOME NOT = 'a'|[COGNOME = 1|NR = 1.2.3|COGNOME = 'a' ; DELETE")
            .split(u'|');
    for (const QString& bad : malformed)
        EXPECT_THROW(FilterExpr::parse(bad, resolve), FilterError) << bad.toStdString();
    try {
        FilterExpr::parse("ZZZ = 1", resolve);
    } catch (const FilterError& e) {
        EXPECT_TRUE(e.description().contains("ZZZ"));
    }
}

TEST(FilterExprTest, LikeWildcards) {
    const struct {
        const char* value;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"Rossi", "R?ssi", true},  {"Rossi", "R_ss%", true},
        {"Rossi", "R?si", false},  {"Via Roma 12", "*#", true},
        {"Via Roma", "*#", false}, {"Bari", "[a-c]*", true},
        {"bari", "[A-C]*", true},  {"Roma", "[a-c]*", false},
        {"Roma", "[!a-c]*", true}, {"Èrcole", "e*", true},
        {"a*b", "a[*]b", true},    {"axb", "a[*]b", false},
        {"]", "]", true},          {"x]y", "*[]]*", true},
        {"", "*", true},           {"", "?", false},
        {"aXbXc", "*X*X*", true},  {"abcabd", "*abd", true},
        {"北京市", "*京*", true},  {"ΑΘΗΝΑ", "αθ*", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LikePattern::compile(QString(c.pattern)).matches(QString(c.value)), c.matches)
            << c.value << " LIKE " << c.pattern;
}

TEST(FilterExprTest, LiteralHelpersMatchExactlyWhatWasTyped) {
    // What the helpers write matters only in how it matches: each wildcard is typed below.
    const QStringList typed{
        "O'Brien", "\"citato\"", "a*b", "50%", "[x]",
        "]",       "?",          "#1",  "a_b", "SELECT * FROM TabMAIL; DROP TABLE TabMAIL",
        "Ωμέγα",   "北京",       "''"};
    for (const QString& word : typed) {
        // The same text with every wildcard-like character replaced must not match.
        QString other = QString(word).replace(QRegularExpression("[^\\w\\s]"), "Q");
        if (other == word)
            other = "Q";
        const Rows rows({{"xx" + word + "yy", "", "1", ""}, {"xx" + other + "yy", "", "2", ""}});
        const FilterExpr f =
            FilterExpr::parse("COGNOME LIKE '*" + FilterExpr::likeLiteral(word) + "*'", resolve);
        EXPECT_TRUE(f.matches(rows, 0)) << word.toStdString();
        EXPECT_FALSE(f.matches(rows, 1)) << word.toStdString();
        const Rows exact({{word, "", "1", ""}});
        EXPECT_TRUE(
            FilterExpr::parse("COGNOME = " + FilterExpr::quote(word), resolve).matches(exact, 0));
    }
}

} // namespace
