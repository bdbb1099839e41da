#include "PrintFixtures.h"

#include "printing/GroupListPrinter.h"
#include "printing/StampaBusta.h"

#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;
using test::address;

TEST(StampaBusta, LinesJoinUnder110LocalityIsNeverCutAndOnlyTheSenderKeepsEmptyLines) {
    const auto mm = test::mmPerChar;
    const QString city(40, QLatin1Char('C'));
    auto l = StampaBusta::addressLines(
        address("1", "Sig.", "ROSSI", "MARIO", "", "VIA ROMA 1", "00100", city, "RM", "ITALIA"),
        mm);
    EXPECT_EQ(l[1], "ROSSI MARIO");
    EXPECT_EQ(l[2], "");
    EXPECT_EQ(l[5], "00100 " + city + " (RM)");
    EXPECT_EQ(l[6], "ITALIA");
    // 61 + 50 mm: two lines on the envelope.
    l = StampaBusta::addressLines(
        address("1", "", QString(60, 'S'), QString(50, 'N'), "", "", "00100", "ROMA", "RMA"), mm);
    EXPECT_EQ(l[1], QString(60, 'S'));
    EXPECT_EQ(l[2], QString(50, 'N'));
    EXPECT_EQ(l[5], "00100 ROMA");

    // Printed: the sender block keeps its empty lines, the address block skips them.
    const auto record = address("7", "", "ROSSI", "MARIO", "", "VIA ROMA 1", "00100", "ROMA", "RM");
    const StampaBusta::Sender sender{"Ditta Srl", "Via Po 2", "10100 TORINO", "", "", ""};
    { // Without the sender option only the address is printed, on a landscape page.
        test::CharPrinter printer(5);
        StampaBusta::print(printer, {false, false, 0, 0}, sender, record);
        EXPECT_EQ(printer.printedTexts(),
                  (QStringList{"ROSSI MARIO", "VIA ROMA 1", "00100 ROMA (RM)"}));
        const auto lines = printer.linesOfDocument(0);
        EXPECT_DOUBLE_EQ(lines[0].x, 175);
        EXPECT_DOUBLE_EQ(lines[0].y, 65);
        EXPECT_DOUBLE_EQ(lines[2].y, 75);
        EXPECT_EQ(lines[0].orientation, Orientation::Landscape);
        EXPECT_EQ(printer.documentsEnded(), 1);
    }
    { // DeskJet feed with the sender: 6 sender lines, empty ones included.
        test::CharPrinter printer(5);
        StampaBusta::print(printer, {true, true, 1, 0}, sender, record);
        const auto lines = printer.linesOfDocument(0);
        ASSERT_EQ(lines.size(), 6u + 3u);
        EXPECT_DOUBLE_EQ(lines[0].x, 10);
        EXPECT_DOUBLE_EQ(lines[0].y, 100);
        EXPECT_EQ(lines[5].text, "");
        EXPECT_DOUBLE_EQ(lines[5].y, 125);
        EXPECT_DOUBLE_EQ(lines[6].x, 130);
        EXPECT_DOUBLE_EQ(lines[6].y, 160);
        EXPECT_TRUE(lines[6].font.bold);
    }
    { // A failure aborts the envelope's document.
        test::CharPrinter printer(5);
        printer.failAt(1, PrinterError::Cancelled);
        EXPECT_THROW(StampaBusta::print(printer, {}, sender, record), PrinterError);
        EXPECT_EQ(printer.documentsAborted(), 1);
    }
}

TEST(GroupListPrinter, HeaderRulesAndColumns) {
    test::CharPrinter printer(5);
    GroupListPrinter::print(printer, {{"AA", "Amici"}, {"B1", "Bocciofila"}}, QDate(2026, 12, 6));
    const QStringList texts = printer.printedTexts();
    const QString rule = QString(13, ' ') + QString(57, QChar(0x2014));
    EXPECT_EQ(texts,
              (QStringList{"", "", "", "GRUPPI", "Totale 2", "(06/12/2026)", "", rule,
                           QString(13, ' ') + "GRUPPO DESCRIZIONE", rule, QString(15, ' ') + "AA",
                           "Amici", QString(15, ' ') + "B1", "Bocciofila"}));
    const auto lines = printer.linesOfDocument(0);
    EXPECT_DOUBLE_EQ(lines[3].x, 26);
    EXPECT_DOUBLE_EQ(lines[11].x, 20); // character column 21
    EXPECT_EQ(printer.documentsEnded(), 1);
}
