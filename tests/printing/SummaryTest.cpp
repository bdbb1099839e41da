#include "../exchange/ArchiveFixture.h"
#include "ListPrinterFakes.h"
#include "printing/ListPrinter.h"
#include "printing/SummaryPrinter.h"
#include "printing/SummaryQuery.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

using namespace velomar;
using printing::SummaryQuery;
using Order = printing::SummaryQuery::Order;

TEST(SummaryQuery, CountsEveryRowIncludingNullsAgainstAnIndependentCount) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mdb");
    test::createTestArchive(path);
    archive::Database db(path, archive::Database::Mode::ReadWrite);
    std::map<QString, qint64> expected; // upper-cased group -> count, "" for Null
    const QStringList groups = {"AB", "CD", "", "EF", "AB", "", "CD", "AB", "ab"};
    db.exec("BEGIN");
    for (int i = 0; i < 90; ++i) {
        archive::AddressRecord r;
        r[2] = QStringLiteral("C%1").arg(i);
        r[14] = groups[i % groups.size()];
        test::addTestAddress(db, r);
        ++expected[r[14].toUpper()];
    }
    db.exec("COMMIT");

    const auto byValue = SummaryQuery::run(db, "GR", Order::ByValue);
    ASSERT_EQ(byValue.size(), expected.size());
    qint64 sum = 0;
    for (std::size_t i = 0; i < byValue.size(); ++i) {
        EXPECT_EQ(byValue[i].count, expected[byValue[i].value.toUpper()]) << i;
        sum += byValue[i].count;
        if (i > 0) {
            EXPECT_LT(byValue[i - 1].value.toUpper(), byValue[i].value.toUpper());
        }
    }
    EXPECT_EQ(sum, 90);
    EXPECT_EQ(byValue[0].value, ""); // the Null row first, with its real count
    EXPECT_TRUE(byValue[0].isNull);
    EXPECT_EQ(byValue[0].shownValue(), "(non indicato)");
    EXPECT_EQ(byValue[0].count, 20);
    EXPECT_FALSE(byValue[1].isNull);

    const auto byCount = SummaryQuery::run(db, "GR", Order::ByCount);
    ASSERT_EQ(byCount.size(), expected.size());
    for (std::size_t i = 1; i < byCount.size(); ++i)
        EXPECT_LE(byCount[i - 1].count, byCount[i].count);
    EXPECT_EQ(byCount.back().count, 40); // AB and ab are one group

    // Only the five summary fields reach SQL.
    EXPECT_TRUE(SummaryQuery::run(db, "GR FROM TabMAIL; DROP TABLE TabMAIL --", Order::ByValue).empty());
    EXPECT_EQ(SummaryQuery::statement("NAZ"),
              "SELECT substr(NAZ, 1, 25) AS NAZ, COUNT(*) AS INDIRIZZI FROM TabMAIL GROUP BY 1");
    // Spellings that differ in case or accents are one town, named by the commonest.
    db.exec("DELETE FROM TabMAIL");
    for (const char* town : {"Forlì", "FORLI", "Forlì", "Roma"}) {
        archive::AddressRecord r;
        r[7] = QString::fromUtf8(town);
        test::addTestAddress(db, r);
    }
    const auto towns = SummaryQuery::run(db, "CITTA", Order::ByCount);
    ASSERT_EQ(towns.size(), 2u);
    EXPECT_EQ(towns[0].value, "Roma");
    EXPECT_EQ(towns[1].value, QString::fromUtf8("Forlì"));
    EXPECT_EQ(towns[1].count, 3);
    db.exec("DELETE FROM TabMAIL");
    EXPECT_TRUE(SummaryQuery::run(db, "CITTA", Order::ByValue).empty());
}

TEST(SummaryPrinter, ReportLayoutAndFailure) {
    test::ListRecordingPrinter printer;
    // The Null row is marked apart from the "" row; a long value stops short of the count.
    printing::SummaryPrinter::print(printer, "Città      ",
                                    {{"", 3, true}, {"", 2}, {"SAN GIOVANNI IN PERSICETO XY", 5},
                                     {"Milano", 1206}},
                                    QDate(2026, 12, 6));
    const auto t = printer.texts();
    const QString rule = QString(12, ' ') + QString(30, QChar(0x2014));
    const std::vector<QString> expected = {
        "", "", "", "RIEPILOGO INDIRIZZI per CITTÀ      ", "(06/12/2026)", "", rule,
        QString(12, ' ') + "CITTÀ      " + QString(10, ' ') + "INDIRIZZI", rule,
        QString(12, ' ') + "(non indicato)" + QString(11, ' ') + "3", QString(37, ' ') + "2",
        QString(12, ' ') + QString::fromUtf8("SAN GIOVANNI IN PERSICE…") + " 5",
        QString(12, ' ') + "Milano" + QString(19, ' ') + "1.206"};
    EXPECT_EQ(t, expected);
    EXPECT_EQ(printer.lines[3].x, 26);
    EXPECT_EQ(printer.docs, 1);

    test::ListRecordingPrinter failing;
    failing.failAtLine = 9;
    try {
        printing::SummaryPrinter::print(failing, "Gruppo", {{"AB", 1}});
        FAIL();
    } catch (const printing::PrinterError& e) {
        // The same pairing as every other print job.
        EXPECT_EQ(printing::ListPrinter::failureText(e), "Problema sulla Stampante !");
    }
    EXPECT_EQ(failing.aborts, 1);
}
