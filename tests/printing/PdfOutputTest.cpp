#include "PdfWords.h"
#include "PrintFixtures.h"

#include "printing/GroupListPrinter.h"
#include "printing/PrintFonts.h"
#include "printing/StampaBusta.h"

#include <QFontInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;
using test::address;
using test::MemorySource;

using test::Word;
using test::wordsOf;

TEST(PrintFonts, LabelFontsResolveToInstalledNarrowFaces) {
    for (const auto& [family, bold, installed] :
         {std::tuple{"Arial Narrow", false, "Liberation Sans Narrow"},
          {"Abadi MT Condensed", true, "Liberation Sans Narrow"},
          {"Arial", false, "Liberation Sans"},
          {"Courier New", false, "Liberation Mono"},
          {"Lucida Console", false, "DejaVu Sans Mono"}}) {
        const QFontInfo info(PrintFonts::toQFont({QLatin1String(family), 10, bold, false}));
        EXPECT_EQ(info.family(), QLatin1String(installed)) << family;
        EXPECT_EQ(info.bold(), bold) << family;
    }
}

// A wide line is clipped at its label's edge; an aborted or empty job leaves no file; the
// envelope turns the page, the list after it keeps the orientation it finds.
TEST(PdfPrinter, ClipsAtTheLabelWritesNoEmptyFileAndTurnsTheEnvelopePage) {
    QTemporaryDir dir;
    const QString wide = dir.filePath(QStringLiteral("wide.pdf"));
    MemorySource source;
    auto r = test::sampleAddress(1);
    r[5] = QString(40, QLatin1Char('W')); // far wider than 70 mm
    source.add(r);
    LabelOptions options;
    options.bold = true;
    options.leftOffsetMm = 10;
    test::printLabelsPdf(wide, source, options);
    const QImage image = test::pdfPage(wide, 1, dir.path());
    ASSERT_FALSE(image.isNull());
    const double pxPerMm = 100 / 25.4;
    int inked = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) <= 128) {
                ++inked;
                outside += x > 70 * pxPerMm + 1 ? 1 : 0;
            }
    EXPECT_GT(inked, 100);
    EXPECT_EQ(outside, 0);

    const QString pdf = dir.filePath(QStringLiteral("busta.pdf"));
    {
        PdfPrinter printer(pdf);
        printer.printLine(QStringLiteral("prima pagina"));
        printer.endDoc();
        printer.printLine(QStringLiteral("seconda"));
        printer.abortDoc();
        printer.finishJob();
    }
    EXPECT_FALSE(QFile::exists(pdf));
    {
        PdfPrinter printer(pdf);
        printer.finishJob(); // nothing printed
    }
    EXPECT_FALSE(QFile::exists(pdf));
    {
        PdfPrinter printer(pdf);
        const auto r = address("1", "", "ROSSI", "MARIO", "", "VIA ROMA 1", "00100", "ROMA", "RM");
        StampaBusta::print(printer, {false, true, 0, 0}, {"Ditta Srl", "", "", "", "", ""}, r);
        GroupListPrinter::print(printer, {{"AA", "Amici"}}, QDate(2026, 12, 6));
        printer.finishJob();
    }
    for (int page : {1, 2})
        EXPECT_EQ(test::pdfPage(pdf, page, dir.path(), 72).size(), QSize(842, 595)) << page;
    const auto words = wordsOf(pdf);
    const Word* rossi = test::findWord(words, QStringLiteral("ROSSI"));
    const Word* ditta = test::findWord(words, QStringLiteral("Ditta"));
    ASSERT_TRUE(rossi && ditta);
    EXPECT_EQ(rossi->page, 1);
    EXPECT_NEAR(rossi->box.left(), PdfPrinter::InsetMm + 175, 0.3);
    EXPECT_NEAR(rossi->box.top(), PdfPrinter::InsetMm + 65, 0.3);
    EXPECT_NEAR(ditta->box.left(), PdfPrinter::InsetMm + 68, 0.3);
    const Word* gruppi = test::findWord(words, QStringLiteral("GRUPPI"));
    ASSERT_TRUE(gruppi);
    EXPECT_EQ(gruppi->page, 2);
    EXPECT_NEAR(gruppi->box.left(), PdfPrinter::InsetMm + 26, 0.3);
}

// The envelope: lines joined under 110 mm, the locality never cut, only the sender block
// keeping its empty lines; then the group list, its header rules and columns.
TEST(EnvelopeAndGroupList, EnvelopeLinesSenderBlockAndGroupListColumns) {
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
    { // Without the sender option only the address is printed.
        test::CharPrinter printer(5);
        StampaBusta::print(printer, {false, false, 0, 0}, sender, record);
        EXPECT_EQ(printer.printedTexts(),
                  (QStringList{"ROSSI MARIO", "VIA ROMA 1", "00100 ROMA (RM)"}));
        // (Where it lands on the landscape page: the PDF test above.)
        EXPECT_DOUBLE_EQ(printer.linesOfDocument(0)[2].y, 75);
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
    test::CharPrinter printer(5);
    GroupListPrinter::print(printer, {{"AA", "Amici"}, {"B1", "Bocciofila"}}, QDate(2026, 12, 6));
    const QString rule = QString(13, ' ') + QString(57, QChar(0x2014));
    EXPECT_EQ(printer.printedTexts(),
              (QStringList{"", "", "", "GRUPPI", "Totale 2", "(06/12/2026)", "", rule,
                           QString(13, ' ') + "GRUPPO DESCRIZIONE", rule, QString(15, ' ') + "AA",
                           "Amici", QString(15, ' ') + "B1", "Bocciofila"}));
    // (The heading's place: the PDF test above.)
    EXPECT_DOUBLE_EQ(printer.linesOfDocument(0)[11].x, 20); // character column 21
    EXPECT_EQ(printer.documentsEnded(), 1);
}
