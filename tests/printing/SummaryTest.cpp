#include "PrintFixtures.h"
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
    std::map<QString, qint64> expected; // upper-cased group -> count, "" for Null
    const QStringList groups = {"AB", "CD", "", "EF", "AB", "", "CD", "AB", "ab"};
    std::vector<archive::AddressRecord> records(90);
    for (int i = 0; i < 90; ++i) {
        auto& r = records[std::size_t(i)];
        r[2] = QStringLiteral("C%1").arg(i);
        r[14] = groups[i % groups.size()];
        ++expected[r[14].toUpper()];
    }
    archive::Database db = test::archiveWith(path, records);

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
    EXPECT_TRUE(
        SummaryQuery::run(db, "GR FROM TabMAIL; DROP TABLE TabMAIL --", Order::ByValue).empty());
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
    test::CharPrinter printer(5);
    // The Null row is marked apart from the "" row; a long value stops short of the count.
    printing::SummaryPrinter::print(
        printer, "Città      ",
        {{"", 3, true}, {"", 2}, {"SAN GIOVANNI IN PERSICETO XY", 5}, {"Milano", 1206}},
        QDate(2026, 12, 6));
    const QString indent(12, ' '), rule = indent + QString(30, QChar(0x2014));
    EXPECT_EQ(printer.printedTexts(),
              (QStringList{"", "", "", "RIEPILOGO INDIRIZZI per CITTÀ      ", "(06/12/2026)", "",
                           rule, indent + "CITTÀ      " + QString(10, ' ') + "INDIRIZZI", rule,
                           indent + "(non indicato)", "3", indent, "2",
                           indent + QString::fromUtf8("SAN GIOVANNI IN PERSICE…"), "5",
                           indent + "Milano", "1.206"}));
    const auto lines = printer.linesOfDocument(0);
    EXPECT_EQ(lines[3].x, 26);
    for (std::size_t count = 10; count < lines.size(); count += 2)
        EXPECT_EQ(lines[count].x, 37) << count; // character column 38
    EXPECT_EQ(printer.documentsEnded(), 1);

    printing::RecordingPrinter failing;
    failing.failAt(9, printing::PrinterError::Problem);
    try {
        printing::SummaryPrinter::print(failing, "Gruppo", {{"AB", 1}});
        FAIL();
    } catch (const printing::PrinterError& e) {
        // The same pairing as every other print job.
        EXPECT_EQ(printing::ListPrinter::failureText(e), "Problema sulla Stampante !");
    }
    EXPECT_EQ(failing.documentsAborted(), 1);
}
