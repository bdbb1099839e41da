#include "exchange/AccessReader.h"
#include "ExchangeTest.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using exchange::AccessReader;
using exchange::ExchangeError;

namespace {

QString accessData(const QString& name) {
    return test::exchangeData("access/" + name);
}

} // namespace

TEST(AccessReaderTest, Jet3CustomersWithTheirAccents) {
    AccessReader db(accessData("nwind.mdb"));
    EXPECT_EQ(db.format(), "Jet 3 (Access 97)");
    const QStringList tables = db.tables();
    EXPECT_TRUE(tables.contains("Customers"));
    EXPECT_TRUE(tables.contains(QStringLiteral("Umsätze"))); // 8-bit name read as Windows-1252
    for (const QString& t : tables)
        EXPECT_FALSE(t.startsWith("MSys")) << t.toStdString();

    auto customers = db.openTable("Customers");
    EXPECT_EQ(customers->columns(),
              (QStringList{"CustomerID", "CompanyName", "ContactName", "ContactTitle", "Address",
                           "City", "Region", "PostalCode", "Country", "Phone", "Fax"}));
    QStringList values;
    int rows = 0;
    bool sawAccent = false;
    while (customers->next(values)) {
        ++rows;
        EXPECT_EQ(customers->position(), rows);
        ASSERT_EQ(values.size(), 11);
        if (values[0] == "ANATR") {
            EXPECT_EQ(values[4], QStringLiteral("Avda. de la Constitución 2222"));
            EXPECT_EQ(values[5], QStringLiteral("México D.F."));
            EXPECT_EQ(values[7], "05021"); // text field: leading zero kept
            sawAccent = true;
        }
    }
    EXPECT_EQ(rows, 91);
    EXPECT_TRUE(sawAccent);

    // Numbers and dates as text; the picture (OLE) field empty; a second table read while
    // the first is open.
    auto employees = db.openTable("Employees");
    auto products = db.openTable("Products");
    ASSERT_TRUE(employees->next(values));
    const QStringList employeeColumns = employees->columns();
    EXPECT_EQ(values[employeeColumns.indexOf("LastName")], "Davolio");
    EXPECT_EQ(values[employeeColumns.indexOf("BirthDate")], "08/12/1948");
    EXPECT_EQ(values[employeeColumns.indexOf("Photo")], "");
    ASSERT_TRUE(products->next(values));
    EXPECT_EQ(values[products->columns().indexOf("UnitPrice")], "18");
    EXPECT_EQ(values[products->columns().indexOf("ProductName")], "Chai");

    EXPECT_THROW(db.openTable("TabMAIL"), ExchangeError);
}

TEST(AccessReaderTest, Jet4AndAceFilesAndTheSignature) {
    AccessReader jet4(accessData("DateTestDatabase.mdb"));
    EXPECT_EQ(jet4.format(), "Jet 4 (Access 2000-2003)");
    EXPECT_EQ(jet4.tables(), QStringList{"DateTest"});
    EXPECT_EQ(jet4.addressTable(), "DateTest"); // none of addresses: the first
    auto dates = jet4.openTable("DateTest");
    QStringList values;
    ASSERT_TRUE(dates->next(values));
    EXPECT_EQ(values[0], "1");
    EXPECT_EQ(values[4], "Hello");

    AccessReader ace(accessData("ASampleDatabase.accdb"));
    EXPECT_EQ(ace.format(), "ACE (Access 2007 o successivo)");
    ASSERT_TRUE(ace.tables().contains("Asset Items"));
    auto assets = ace.openTable("Asset Items");
    ASSERT_TRUE(assets->next(values));
    EXPECT_EQ(values[0], "30050");
    EXPECT_EQ(values[assets->columns().indexOf("Cost")], "1995.5");

    EXPECT_TRUE(AccessReader::isAccessFile(accessData("nwind.mdb")));
    EXPECT_TRUE(AccessReader::isAccessFile(accessData("ASampleDatabase.accdb")));
    EXPECT_FALSE(AccessReader::isAccessFile(accessData("README.md")));
    QTemporaryDir dir;
    const QString fake = dir.filePath("finto.mdb");
    ASSERT_TRUE(test::writeFile(fake, QByteArray(4096, 'x')));
    EXPECT_FALSE(AccessReader::isAccessFile(fake));
    EXPECT_FALSE(AccessReader::isAccessFile(dir.filePath("manca.mdb")));
    EXPECT_THROW(AccessReader{fake}, ExchangeError);
    EXPECT_EQ(test::refusalOf([&] { AccessReader{dir.filePath("manca.mdb")}; }).code,
              ExchangeError::ReadFailed);
}
