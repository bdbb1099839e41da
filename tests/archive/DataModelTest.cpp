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
    EXPECT_EQ(DataModel::fieldIndex(QStringLiteral("e_mail")), DataModel::E_MAIL);
    EXPECT_EQ(DataModel::fieldIndex(QStringLiteral("SERV")), -1);

    EXPECT_EQ(DataModel::sortSpec(6), QStringLiteral("CAP,CITTA,COGNOME"));
    EXPECT_FALSE(DataModel::sortSpec(-1).has_value());
    EXPECT_FALSE(DataModel::sortSpec(17).has_value());
    // Each order is led by its own field, so the grid's sort list is the heading list.
    for (int i = 0; i < DataModel::SortCount; ++i)
        EXPECT_TRUE(DataModel::sortSpec(i)->startsWith(DataModel::fieldName(i) + QLatin1Char(','))
                    || *DataModel::sortSpec(i) == DataModel::fieldName(i));
}

TEST(DataModel, NullRuleReadsNullAsTheDefault) {
    EXPECT_EQ(DataModel::nullRule(QVariant(), QStringLiteral("")), QVariant(QStringLiteral("")));
    EXPECT_EQ(DataModel::nullRule(QVariant(QStringLiteral("02 123")), QStringLiteral("")),
              QVariant(QStringLiteral("02 123")));
    EXPECT_EQ(DataModel::nullText(QVariant()), QStringLiteral(""));
    EXPECT_FALSE(DataModel::nullText(QVariant()).isNull());
    EXPECT_EQ(DataModel::nullText(QVariant(qint64(12))), QStringLiteral("12"));
}

TEST(DataModel, CountryLookupFindsCodesOfUpToThreeLettersAndTakesAnyText) {
    const CountryLookup lookup(templatePath(CountryLookup::fileName()));
    EXPECT_EQ(lookup.nameOf(QStringLiteral("FR")), QStringLiteral("FRANCIA"));
    EXPECT_EQ(lookup.nameOf(QStringLiteral("fra")), QStringLiteral("FRANCIA"));
    EXPECT_EQ(lookup.nameOf(QStringLiteral("I")), QStringLiteral("ITALIA"));
    EXPECT_EQ(lookup.nameOf(QStringLiteral("CIV")), QStringLiteral("COSTA D'AVORIO"));
    for (const QString& odd : {QStringLiteral("'"), QStringLiteral("X'"), QStringLiteral("' OR '1'='1"),
                               QStringLiteral("%"), QStringLiteral("*"), QStringLiteral("\""),
                               QStringLiteral("ZZ"), QStringLiteral(""), QString()})
        EXPECT_EQ(lookup.nameOf(odd), QStringLiteral("")) << qPrintable(odd);

    QTemporaryDir dir;
    const CountryLookup missing(dir.filePath(CountryLookup::fileName()));
    EXPECT_THROW(missing.nameOf(QStringLiteral("FR")), DatabaseError);
}
