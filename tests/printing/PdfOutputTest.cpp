#include "MemorySource.h"
#include "PdfWords.h"

#include "printing/PdfPrinter.h"
#include "printing/PrintFonts.h"
#include "printing/PrinterError.h"
#include "printing/GroupListPrinter.h"
#include "printing/StampaBusta.h"
#include "printing/StampaEtichette.h"

#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;
using test::MemorySource;

using test::havePoppler;
using test::pageCount;
using test::Word;
using test::wordsOf;

TEST(PrintFonts, LabelFontsResolveToInstalledNarrowFaces) {
    const QFont narrow = PrintFonts::toQFont({QStringLiteral("Arial Narrow"), 10, false, false});
    const QFont abadi = PrintFonts::toQFont({QStringLiteral("Abadi MT Condensed"), 10, true, false});
    EXPECT_EQ(QFontInfo(narrow).family(), "Liberation Sans Narrow");
    EXPECT_EQ(QFontInfo(abadi).family(), "Liberation Sans Narrow");
    EXPECT_TRUE(QFontInfo(abadi).bold());
    EXPECT_EQ(QFontInfo(PrintFonts::toQFont({QStringLiteral("Arial")})).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(PrintFonts::toQFont({QStringLiteral("Courier New")})).family(), "Liberation Mono");
    EXPECT_EQ(QFontInfo(PrintFonts::toQFont({QStringLiteral("Lucida Console")})).family(), "DejaVu Sans Mono");
}

TEST(PdfPrinter, LabelsLandInsideTheirPhysicalLabels) {
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils missing";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    constexpr int kCount = 24 + 24 + 5;
    MemorySource source;
    for (int i = 1; i <= kCount; ++i) {
        auto r = test::sampleAddress(i);
        if (i % 7 == 0)
            r[1].clear(); // no title: the name becomes the first visible line
        if (i % 5 == 0)
            r[9] = QStringLiteral("FRANCIA");
        source.add(r);
    }
    double lineHeight = 0;
    {
        PdfPrinter printer(pdf);
        StampaEtichette engine(printer, {});
        LabelPosition pos;
        engine.print(source, pos);
        lineHeight = printer.lineHeight();
        printer.finishJob();
        EXPECT_EQ(pos, (LabelPosition{2, 3}));
        EXPECT_EQ(printer.pagesPrinted(), 3);
    }
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(pageCount(pdf), 3);
    if (const QString keep = qEnvironmentVariable("VELOMAR_KEEP_PDF"); !keep.isEmpty())
        QFile::copy(pdf, keep);

    const LabelLayout layout = LabelLayout::a4Labels();
    const auto words = wordsOf(pdf);
    ASSERT_FALSE(words.empty());
    int firstLinesPerPage[4] = {};
    for (const Word& w : words) {
        const int column = int(w.box.center().x() / 70) + 1;
        const int row = int((w.box.center().y() - 4.5) / 36) + 1;
        ASSERT_TRUE(layout.contains({row, column})) << w.text.toStdString();
        const QRectF label = layout.physicalLabel({row, column});
        EXPECT_TRUE(label.contains(w.box)) << w.text.toStdString() << " page " << w.page;
    }
    // The first visible line of label k: its title, or the joined name line.
    for (int k = 1; k <= kCount; ++k) {
        const QString first = k % 7 == 0 ? QStringLiteral("ROSSI%1").arg(k) : QStringLiteral("Spett.le");
        const int page = (k - 1) / 24 + 1;
        const LabelPosition pos = layout.positionOf((k - 1) % 24 + 1);
        const double left = PdfPrinter::InsetMm + layout.columnOffset(pos.column);
        const double top = PdfPrinter::InsetMm + layout.rowOffset(pos.row) + lineHeight; // under the blank line
        const Word* found = nullptr;
        for (const Word& w : words)
            if (w.page == page && w.text == first && std::abs(w.box.left() - left) < 2 &&
                std::abs(w.box.top() - top) < 2)
                found = &w;
        ASSERT_NE(found, nullptr) << "label " << k;
        EXPECT_NEAR(found->box.left(), left, 0.3) << "label " << k;
        EXPECT_NEAR(found->box.top(), top, 0.3) << "label " << k;
        ++firstLinesPerPage[page];
    }
    EXPECT_EQ(firstLinesPerPage[1], 24);
    EXPECT_EQ(firstLinesPerPage[2], 24);
    EXPECT_EQ(firstLinesPerPage[3], 5);
}

TEST(PdfPrinter, WideLineIsClippedAtItsLabelEdge) {
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils missing";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("wide.pdf"));
    MemorySource source;
    auto r = test::sampleAddress(1);
    r[5] = QString(40, QLatin1Char('W')); // far wider than 70 mm
    source.add(r);
    {
        PdfPrinter printer(pdf);
        LabelOptions options;
        options.bold = true;
        options.leftOffsetMm = 10;
        LabelPosition pos{1, 1};
        StampaEtichette(printer, options).print(source, pos);
        printer.finishJob();
    }
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-gray"),
                                         QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("wide"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    QImage image(dir.filePath(QStringLiteral("wide.pgm")));
    ASSERT_FALSE(image.isNull());
    const double pxPerMm = 100 / 25.4;
    int inked = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) > 128)
                continue;
            ++inked;
            if (x > 70 * pxPerMm + 1)
                ++outside;
        }
    }
    EXPECT_GT(inked, 100);
    EXPECT_EQ(outside, 0);
}

TEST(PdfPrinter, UnwritablePathFailsAndFailedJobLeavesNoFile) {
    QTemporaryDir dir;
    {
        PdfPrinter printer(dir.filePath(QStringLiteral("missing/folder/out.pdf")));
        EXPECT_THROW(printer.printLine(QStringLiteral("x")), PrinterError);
    }
    const QString pdf = dir.filePath(QStringLiteral("aborted.pdf"));
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
}

TEST(PdfPrinter, EnvelopeOnLandscapePageAndGroupListAfterIt) {
    if (!havePoppler())
        GTEST_SKIP() << "poppler-utils missing";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("busta.pdf"));
    {
        PdfPrinter printer(pdf);
        const auto r = test::address("1", "", "ROSSI", "MARIO", "", "VIA ROMA 1", "00100", "ROMA", "RM");
        StampaBusta::print(printer, {false, true, 0, 0}, {"Ditta Srl", "", "", "", "", ""}, r);
        GroupListPrinter::print(printer, {{"AA", "Amici"}}, QDate(2026, 12, 6));
        printer.finishJob();
    }
    if (const QString keep = qEnvironmentVariable("VELOMAR_KEEP_PDF"); !keep.isEmpty())
        QFile::copy(pdf, keep);
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                        QStringLiteral("2"), pdf});
    p.waitForFinished(30000);
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    // The envelope turns the page; the list keeps the orientation it finds.
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral(R"(Page\s+1 size:\s+84[12](\.\d+)? x 595)")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral(R"(Page\s+2 size:\s+84[12](\.\d+)? x 595)")))) << info.toStdString();
    const auto words = wordsOf(pdf);
    const auto find = [&words](const QString& text) -> const Word* {
        for (const Word& w : words)
            if (w.text == text)
                return &w;
        return nullptr;
    };
    const Word* rossi = find(QStringLiteral("ROSSI"));
    const Word* ditta = find(QStringLiteral("Ditta"));
    ASSERT_TRUE(rossi && ditta);
    EXPECT_EQ(rossi->page, 1);
    EXPECT_NEAR(rossi->box.left(), PdfPrinter::InsetMm + 175, 0.3);
    EXPECT_NEAR(rossi->box.top(), PdfPrinter::InsetMm + 65, 0.3);
    EXPECT_NEAR(ditta->box.left(), PdfPrinter::InsetMm + 68, 0.3);
    const Word* gruppi = find(QStringLiteral("GRUPPI"));
    ASSERT_TRUE(gruppi);
    EXPECT_EQ(gruppi->page, 2);
    EXPECT_NEAR(gruppi->box.left(), PdfPrinter::InsetMm + 26, 0.3);
}
