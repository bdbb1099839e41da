#include "addresses/EntryFieldRules.h"
#include "addresses/GridColumns.h"
#include "addresses/SearchFilter.h"

#include <gtest/gtest.h>

namespace R = velomar::addresses::EntryFieldRules;
namespace G = velomar::addresses::GridColumns;
namespace F = velomar::addresses::SearchFilter;

namespace {
// Types text at the end of a box, one keystroke at a time.
QString type(int field, QString box, const QString& keys) {
    for (QChar k : keys) {
        const R::Edit e = R::applyEdit(field, box, box + k, int(box.size()) + 1);
        box = e.text;
    }
    return box;
}
} // namespace

TEST(EntryFieldRules, TypingFiltersByField) {
    for (const auto& [typed, left] : {std::pair{"x", "xx"}, {" X ", "XX"}, {"AB", "AB"}})
        EXPECT_EQ(R::groupOnLeave(typed), left);
    EXPECT_EQ(type(R::Gr, "", "è9"), "9");
    // Letters only: ÷ and digits stay, ß keeps its length.
    EXPECT_EQ(type(R::Citta, "", "a÷b 1ß"), "A÷B 1ß");
    EXPECT_EQ(type(R::Cap, "", "ab 12"), "AB 12");
    EXPECT_EQ(type(R::EMail, "", "Mario@X.it"), "Mario@X.it"); // lower-cased on leaving only

    // Pastes are cut to the limit; one-line boxes lose their breaks.
    const QString longText(200, u'x');
    R::Edit e = R::applyEdit(R::Cognome, "ab", "a" + longText + "b", 201);
    EXPECT_EQ(e.text.size(), 35);
    EXPECT_TRUE(e.text.startsWith("ax") && e.text.endsWith("xb"));
    EXPECT_EQ(e.cursor, 34);

    e = R::applyEdit(R::Titolo, "", "Via Roma\r\n12\tbis\x01", 17);
    EXPECT_EQ(e.text, "Via Roma 12 bis");
    e = R::applyEdit(R::Note, "", "riga 1\r\nriga 2\x07", 15);
    EXPECT_EQ(e.text, "riga 1\nriga 2");
    e = R::applyEdit(R::Appunti, "", QString(5000, u'y'), 5000);
    EXPECT_EQ(e.text.size(), 5000); // memo: no limit
    e = R::applyEdit(R::Note, QString(170, u'n'), QString(170, u'n') + "z", 171);
    EXPECT_EQ(e.text.size(), 170);

    // An older record already longer than the box keeps its text; it can only shrink.
    const QString old(40, u'c');
    e = R::applyEdit(R::Cognome, old, old + "d", 41);
    EXPECT_EQ(e.text, old);
    e = R::applyEdit(R::Cognome, old, old.left(39), 39);
    EXPECT_EQ(e.text.size(), 39);
    // Replacing a selection in the middle filters only what was typed.
    e = R::applyEdit(R::Gr, "AB", "A-", 2);
    EXPECT_EQ(e.text, "A");
}

TEST(GridColumns, StoredChoicesUnitsAndNumbers) {
    EXPECT_EQ(G::searchFieldFromStore(std::nullopt), 1);
    EXPECT_EQ(G::searchFieldFromStore(15), 15);
    EXPECT_EQ(G::searchFieldFromStore(16), 1); // list holds 0..15
    EXPECT_EQ(G::searchFieldFromStore(-3), 1);
    EXPECT_EQ(G::sortFromStore(16), 16);
    EXPECT_EQ(G::sortFromStore(17), 2);
    EXPECT_EQ(G::sortFromStore(std::nullopt), 2);
    EXPECT_EQ(G::twipsToPixels(1440, 96), 96);
    EXPECT_EQ(G::pixelsToTwips(G::twipsToPixels(1820, 96), 96), 1815); // 15-twip pixels
    EXPECT_EQ(G::header(8), "PR");
    EXPECT_EQ(G::defaultWidthTwips(17), 0);
    // "Go to number" takes Italian thousands; anything not a positive number is 0.
    for (const auto& [answer, nr] :
         {std::pair{" 12 ", 12}, {"1.206", 1206}, {"0", 0}, {"-4", 0}, {"abc", 0}, {"", 0}})
        EXPECT_EQ(F::parseNumber(answer), nr) << answer;
}
