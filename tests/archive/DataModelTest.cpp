#include "ArchiveTestFiles.h"

#include "archive/CountryLookup.h"
#include "archive/DataModel.h"
#include "archive/DatabaseError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar::archive;
using namespace velomar::test;

TEST(DataModel, ColumnTableAndSortOrdersFollowTheFieldIndex) {
    EXPECT_EQ(DataModel::columnHeadings().size(), 17);
    EXPECT_EQ(DataModel::fieldIndex("e_mail"), DataModel::E_MAIL);
    EXPECT_EQ(DataModel::fieldIndex("SERV"), -1);
    EXPECT_EQ(DataModel::sortSpec(6), "CAP,CITTA,COGNOME");
    EXPECT_FALSE(DataModel::sortSpec(-1).has_value());
    EXPECT_FALSE(DataModel::sortSpec(17).has_value());
    // Each order is led by its own field, so the grid's sort list is the heading list.
    for (int i = 0; i < DataModel::SortCount; ++i)
        EXPECT_TRUE((*DataModel::sortSpec(i) + ',').startsWith(DataModel::fieldName(i) + ','));
}

TEST(DataModel, CountryLookupFindsCodesOfUpToThreeLettersAndTakesAnyText) {
    const CountryLookup lookup(templatePath(CountryLookup::fileName()));
    EXPECT_EQ(lookup.nameOf("FR"), "FRANCIA");
    EXPECT_EQ(lookup.nameOf("fra"), "FRANCIA");
    EXPECT_EQ(lookup.nameOf("I"), "ITALIA");
    EXPECT_EQ(lookup.nameOf("CIV"), "COSTA D'AVORIO");
    for (const QString odd : {"'", "X'", "' OR '1'='1", "%", "*", "\"", "ZZ", ""})
        EXPECT_EQ(lookup.nameOf(odd), "") << qPrintable(odd);
    EXPECT_EQ(lookup.nameOf(QString()), "");

    QTemporaryDir dir;
    const CountryLookup missing(dir.filePath(CountryLookup::fileName()));
    EXPECT_THROW(missing.nameOf("FR"), DatabaseError);
}
