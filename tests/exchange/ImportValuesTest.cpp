#include "exchange/ImportValues.h"
#include "../archive/ArchiveTestFiles.h"
#include "archive/DataModel.h"

#include <gtest/gtest.h>

using namespace velomar;
using archive::DataModel;
using exchange::CountryNames;
using exchange::ImportValues;

namespace {

CountryNames countries() {
    return CountryNames::fromFile(test::templatePath(QStringLiteral("StatiEsteri.mdb")));
}

archive::AddressRecord address(const QString& cap, const QString& naz) {
    archive::AddressRecord r;
    r[DataModel::COGNOME] = QStringLiteral("Rossi");
    r[DataModel::CAP] = cap;
    r[DataModel::NAZ] = naz;
    return r;
}

} // namespace

TEST(ImportValues, CountriesAndCaps) {
    const CountryNames names = countries();
    for (const char* home : {"Italia", "ITALY", "it", "Ita", "i", " italia "})
        EXPECT_EQ(names.storedName(home), "") << home;
    for (const char* de : {"Germany", "DE", "deu", "D", "Germania", "germany"})
        EXPECT_EQ(names.storedName(de), "GERMANIA") << de;
    EXPECT_EQ(names.storedName("United States"), "STATI UNITI");
    EXPECT_EQ(names.storedName("Atlantide"), "ATLANTIDE");
    EXPECT_EQ(CountryNames().storedName("Germany"), "GERMANY"); // no table: capitals only

    const ImportValues values(names);
    auto r = address("820", "Italy");
    EXPECT_EQ(values.adjust(r), 0);
    EXPECT_EQ(r[DataModel::CAP], "00820");
    EXPECT_EQ(r[DataModel::NAZ], "");
    r = address("1234", "");
    values.adjust(r);
    EXPECT_EQ(r[DataModel::CAP], "01234");
    // Abroad a short code is a code of its own.
    r = address("1010", "AT");
    values.adjust(r);
    EXPECT_EQ(r[DataModel::CAP], "1010");
    EXPECT_EQ(r[DataModel::NAZ], "AUSTRIA");
    r = address("sw1a 1aa", "UK");
    values.adjust(r);
    EXPECT_EQ(r[DataModel::CAP], "SW1A 1AA");
    EXPECT_EQ(r[DataModel::NAZ], "REGNO UNITO");
    for (const char* cap : {"12", "20100", "A123"})
        EXPECT_EQ(ImportValues::italianCap(cap), cap);
}

TEST(ImportValues, CutsCountsAndOneLineFields) {
    const ImportValues values;
    archive::AddressRecord r;
    r[DataModel::COGNOME] = QString(40, u'x');                         // 35
    r[DataModel::INDIRIZZO] = QStringLiteral("Via Roma 1\r\nScala B"); // one line
    r[DataModel::CITTA] = QStringLiteral("  milano ");
    r[DataModel::PROV] = QStringLiteral("(mi)");
    r[DataModel::NUM_TEL] = QStringLiteral("+39 02 1234 5678 int. 99"); // 16
    r[DataModel::GR] = QStringLiteral("* myContacts ::: ab");
    r[DataModel::NOTE] = QString(169, u'n') + QString::fromUtf8("\xF0\x9F\x98\x80"); // emoji at 170
    r[DataModel::APPUNTI] = QStringLiteral("riga 1\r\nriga 2  ") + QString(500, u'a');
    EXPECT_EQ(values.adjust(r), 3);
    EXPECT_EQ(r[DataModel::COGNOME].size(), 35);
    EXPECT_EQ(r[DataModel::INDIRIZZO], "Via Roma 1  Scala B");
    EXPECT_EQ(r[DataModel::CITTA], "MILANO");
    EXPECT_EQ(r[DataModel::PROV], "MI");
    EXPECT_EQ(r[DataModel::NUM_TEL], "+39 02 1234 5678");
    EXPECT_EQ(r[DataModel::GR], "AB");
    EXPECT_EQ(r[DataModel::NOTE], QString(169, u'n')); // never half a surrogate pair
    EXPECT_TRUE(r[DataModel::APPUNTI].startsWith("riga 1\nriga 2  a"));
    EXPECT_EQ(r[DataModel::APPUNTI].size(), 6 + 1 + 8 + 500);

    // A province written out becomes its code; one that is no province would be cut to
    // another one: dropped and counted.
    archive::AddressRecord p;
    p[DataModel::PROV] = QStringLiteral("Forli'-Cesena");
    EXPECT_EQ(values.adjust(p), 0);
    EXPECT_EQ(p[DataModel::PROV], "FC");
    p[DataModel::PROV] = QStringLiteral("Narnia");
    p[DataModel::GR] = QStringLiteral("Amici");
    EXPECT_EQ(values.adjust(p), 2);
    EXPECT_EQ(p[DataModel::PROV], "");
    EXPECT_EQ(p[DataModel::GR], "");
    EXPECT_EQ(ImportValues::groupCode("x"), "XX");
    EXPECT_EQ(ImportValues::groupCode("Amici, C1"), "C1");

    EXPECT_EQ(ImportValues::duplicateKey(" Città ", "VIA  roma 1", "00100"),
              ImportValues::duplicateKey("CITTA", "via Roma 1", "00100"));
    EXPECT_NE(ImportValues::duplicateKey("Rossi", "Via Roma 1", "00100"),
              ImportValues::duplicateKey("Rossi", "Via Roma 1", "00101"));
}
