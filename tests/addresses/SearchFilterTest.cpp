#include "addresses/SearchFilter.h"

#include <gtest/gtest.h>

namespace F = velomar::addresses::SearchFilter;

TEST(SearchFilter, TextsQuoteWhatTheUserTyped) {
    EXPECT_EQ(F::wordSearch("COGNOME", "ROSSI"), "COGNOME LIKE '*ROSSI*'");
    EXPECT_EQ(F::wordSearch("COGNOME", "D'ANGELO"), "COGNOME LIKE '*D''ANGELO*'");
    EXPECT_EQ(F::wordSearch("NOTE", "50%"), "NOTE LIKE '*50[%]*'");
    EXPECT_EQ(F::likeLiteral("a*b?c#d[e]\"f"), "a[*]b[?]c[#]d[[]e]\"f");
    EXPECT_EQ(F::initial("CITTA", 'M'), "CITTA LIKE 'M*'");
    EXPECT_EQ(F::numberIs(42), "NR = 42");
    EXPECT_EQ(F::parseNumber(" 12 "), 12);
    EXPECT_EQ(F::parseNumber("1.206"), 1206);
    EXPECT_EQ(F::parseNumber("0"), 0);
    EXPECT_EQ(F::parseNumber("-4"), 0);
    EXPECT_EQ(F::parseNumber("abc"), 0);
    EXPECT_EQ(F::parseNumber(""), 0);
}
