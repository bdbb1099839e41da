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
        const auto r =
            test::address("1", "", "ROSSI", "MARIO", "", "VIA ROMA 1", "00100", "ROMA", "RM");
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
