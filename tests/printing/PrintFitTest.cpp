#include "PdfWords.h"
#include "PrintFixtures.h"
#include "support/CommandRun.h"

#include "printing/ListPrinter.h"
#include "printing/PrintFonts.h"
#include "printing/PrinterSelection.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

// Printed output read back from the PDF: whatever the offsets, fonts and page breaks, no
// text runs off its label or page, and nothing is lost without being said.

using namespace velomar;
using namespace velomar::printing;
using test::MemorySource;
using test::Word;

namespace {

constexpr double kSlack = 0.3; // mm: pdftotext boxes against the geometry

const SheetFormat kLayout = SheetFormat::standard();

std::optional<LabelPosition> labelAt(const QRectF& box) {
    return test::labelAt(kLayout, box.center());
}

bool inside(const QRectF& outer, const QRectF& box) {
    return outer.adjusted(-kSlack, -kSlack, kSlack, kSlack).contains(box);
}

// A first name that, after surname and blank, makes a pair between from and to mm wide.
QString nameForPairWidth(const PrintFont& font, const QString& surname, double from, double to) {
    QString name;
    const auto pair = [&] {
        return PrintFonts::textWidthMm(font, surname + ' ') + PrintFonts::textWidthMm(font, name);
    };
    while (pair() < from)
        name += name.size() % 6 == 5 ? QLatin1Char(' ') : QLatin1Char('A');
    EXPECT_LT(pair(), to);
    return name;
}

// Every word lies wholly in the label its centre is on; words per (page, place).
std::map<std::pair<int, int>, int> expectEachWordOnItsLabel(const std::vector<Word>& words) {
    std::map<std::pair<int, int>, int> perLabel;
    for (const Word& w : words) {
        const auto at = labelAt(w.box);
        EXPECT_TRUE(at && inside(kLayout.physicalLabel(*at), w.box)) << w.text.toStdString();
        if (at)
            ++perLabel[{w.page, kLayout.sheetIndex(*at)}];
    }
    return perLabel;
}

int countOf(const std::vector<Word>& words, const QString& text) {
    return int(
        std::count_if(words.begin(), words.end(), [&](const Word& w) { return w.text == text; }));
}

} // namespace

TEST(LabelFit, TopOffsetMovesTheBlockOnlyAsFarAsItFitsAndReportsWhatCannotFit) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("offset-alto.pdf"));
    // A full sheet of 8-line labels, then 3 short labels on a second sheet.
    const auto tall = [](const QString& nr, const QString& surname) {
        return test::address(nr, "Egregio", surname, "MARIA GIOVANNA ELISABETTA", "Direttore",
                             "VIA CANTONALE 12", "6900", "LUGANO", "TI", "SVIZZERA");
    };
    MemorySource source;
    for (int k = 1; k <= 24; ++k)
        source.add(tall(QString::number(k), QStringLiteral("BERNASCONI%1").arg(k)));
    for (int k = 25; k <= 27; ++k)
        source.add(test::address(QString::number(k), "", QStringLiteral("ROSSI%1").arg(k), "MARIO",
                                 "", "VIA ROMA 1", "00100", "ROMA", "RM"));
    LabelOptions options;
    options.topOffsetMm = 10;
    PdfPrinter measure(dir.filePath(QStringLiteral("unused.pdf")));
    measure.setFont(options.font());
    const double lineHeight = measure.lineHeight();
    EXPECT_TRUE(test::printLabelsPdf(pdf, source, options).cut.isEmpty());
    const auto words = test::wordsOf(pdf);

    // Every word lies wholly in the label its centre is on, and each label of the first
    // sheet holds its own 8 lines (15 words), the country line included.
    auto wordsPerLabel = expectEachWordOnItsLabel(words);
    for (int k = 1; k <= 24; ++k) {
        EXPECT_EQ((wordsPerLabel[{1, k}]), 15) << "label " << k;
        const LabelPosition pos = kLayout.positionOf(k);
        const Word* surname = test::findWord(words, QStringLiteral("BERNASCONI%1").arg(k), 1);
        ASSERT_NE(surname, nullptr);
        EXPECT_EQ(labelAt(surname->box), pos);
        // Moved down as far as the 8 lines allow (less than the 10 mm asked): the last line
        // ends on the label's bottom edge.
        const double unmoved = PdfPrinter::InsetMm + kLayout.rowOffset(pos.row) + 2 * lineHeight;
        EXPECT_NEAR(surname->box.top(), kLayout.physicalLabel(pos).bottom() - 6 * lineHeight,
                    kSlack)
            << k;
        EXPECT_GT(surname->box.top(), unmoved + 3) << k;
    }
    EXPECT_EQ(countOf(words, "SVIZZERA"), 24);
    // A short label moves by the whole offset.
    for (int k = 25; k <= 27; ++k) {
        const Word* surname = test::findWord(words, QStringLiteral("ROSSI%1").arg(k), 2);
        ASSERT_NE(surname, nullptr);
        const LabelPosition pos = kLayout.positionOf(k - 24);
        EXPECT_NEAR(surname->box.top(),
                    PdfPrinter::InsetMm + kLayout.rowOffset(pos.row) + 10 + lineHeight, kSlack);
    }

    // A block taller than the label: its blank first line goes above the label, the rest
    // is printed from the label's top, and the label is reported.
    RecordingPrinter sixMm;
    sixMm.setLineHeight(6); // 8 lines of 6 mm in a 36 mm label
    MemorySource one({tall("7", "BERNASCONI"), test::sampleAddress(8)});
    EXPECT_EQ(test::printLabels(sixMm, one, options).cut, QStringList{"7"});
    const auto lines = sixMm.linesOfDocument(0);
    ASSERT_FALSE(lines.empty());
    const double labelTop = kLayout.physicalLabel({1, 1}).top() - sixMm.paperOrigin().y();
    EXPECT_NEAR(lines.front().y, labelTop - 6, 1e-9);

    // The batch names the labels whose text was cut.
    const QString mdb = dir.filePath(QStringLiteral("tagli.mdb"));
    auto wide = test::sampleAddress(2);
    wide[5] = QString(35, QLatin1Char('W')); // wider than any label
    test::archiveWith(mdb, {test::sampleAddress(1), wide});
    const auto run = test::runCommand("labels", {mdb, "--pdf", dir.filePath("e.pdf")});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Etichette con testo tagliato: 1 (NR 2)"));
}

// Surname and name share a line only where the room left holds them: the condensed face
// joins a pair the narrow one splits (its own width is held by the reference print,
// SheetReference), and a left offset joins and shortens within what it leaves.
TEST(LabelFit, ExtraCondensedJoinsAPairTheNarrowFaceSplits) {
    const auto pair = [](const QString& nr, const QString& name) {
        return test::address(nr, "", "BARTOLOMEOTTI", name, "", "VIA ROMA 2", "20100", "MILANO",
                             "MI");
    };
    LabelOptions normal, condensed;
    condensed.extraCondensed = true;
    const QString name = nameForPairWidth(normal.font(), "BARTOLOMEOTTI", 63, 65);
    MemorySource source({pair("1", name)});
    for (const LabelOptions& options : {normal, condensed}) {
        RecordingPrinter printer;
        source.rewind();
        test::printLabels(printer, source, options);
        EXPECT_EQ(printer.printedTexts().contains("BARTOLOMEOTTI " + name), options.extraCondensed);
    }

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("offset-sinistro.pdf"));
    normal.leftOffsetMm = 10;
    // Column 2 leaves 70 - 10 - 4.23 mm: a 57 mm pair joined at 60 mm would be clipped.
    const QString shorter = nameForPairWidth(normal.font(), "BARTOLOMEOTTI", 57, 59);
    MemorySource three(
        {test::address("1", "", "ROSSI", "MARIO", "", "VIA ROMA 1", "20100", "MILANO", "MI"),
         pair("2", shorter),
         test::address("3", "", "VERDI", "LUCA", "", "VIA ROMA 3", "20092",
                       "CINISELLO BALSAMO MILANESE", "MI")});
    // Only the locality of the third label had to lose characters.
    EXPECT_EQ(test::printLabelsPdf(pdf, three, normal).cut, QStringList{"3"});
    const auto words = test::wordsOf(pdf);
    const double paperRight = 210 - PdfPrinter::InsetMm; // the printer reaches no further
    expectEachWordOnItsLabel(words);
    for (const Word& w : words) {
        EXPECT_LE(w.box.right(), paperRight + kSlack) << w.text.toStdString();
        const int column = labelAt(w.box).value_or(LabelPosition{}).column;
        EXPECT_GE(w.box.left(), kLayout.columnOffset(column) + 10 + PdfPrinter::InsetMm - kSlack);
    }
    const auto sameLine = [&](const QString& a, const QString& b) {
        const Word* wa = test::findWord(words, a);
        const Word* wb = test::findWord(words, b);
        return wa && wb && std::abs(wa->box.top() - wb->box.top()) < 0.5;
    };
    EXPECT_TRUE(sameLine("ROSSI", "MARIO"));                             // joined, fits
    EXPECT_FALSE(sameLine("BARTOLOMEOTTI", shorter.section(' ', 0, 0))); // would not fit: two lines
    EXPECT_EQ(countOf(words, "(MI)"), 3);
}

TEST(ListFit, FormattedListStaysOnTheChosenPrintersPage) {
    QTemporaryDir dir;
    // The PDF printer's landscape page holds 194 Courier 7 characters, not 214.
    const QSizeF landscape = PdfPrinterProvider().printableSize({}, Orientation::Landscape);
    const int limit = ListPrinter::formattedLimit(landscape.width(), false);
    EXPECT_EQ(limit, 194);
    EXPECT_EQ(ListPrinter::formattedLimit(landscape.width(), true), 193); // a hair wider face

    MemorySource source;
    for (int i = 1; i <= 20; ++i) {
        archive::AddressRecord r;
        for (int f = 0; f <= 16; ++f)
            r[f] =
                QString(ListPrinterLayout::columnWidth(f), QChar(u'A' + f)); // fills every column
        r[14] = QStringLiteral("Z%1").arg(i % 10);
        source.add(r);
    }
    const auto printList = [&](const QString& name, const ListPrintRequest& request) {
        const QString pdf = dir.filePath(name);
        source.rewind();
        PdfPrinter printer(pdf);
        ListPrinter::print(printer, source, request);
        printer.finishJob();
        return test::wordsOf(pdf);
    };

    // Fields up to the limit exactly (194), GR last; then the 207 characters, which
    // the window refuses, still never pass the page edge.
    for (const auto& [fields, total] :
         {std::pair{std::vector{0, 1, 2, 3, 4, 5, 6, 14}, 194},
          std::pair{std::vector{0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 14}, 207}}) {
        ListPrintRequest request;
        request.date = QDate(2026, 12, 7);
        for (int f : fields)
            request.fields[std::size_t(f)] = true;
        ASSERT_EQ(ListPrinterLayout::characterTotal(request.fields), total);
        const auto words = printList(QStringLiteral("lista-%1.pdf").arg(total), request);
        int groups = 0;
        for (const Word& w : words) {
            EXPECT_LE(w.box.right(), 297 - PdfPrinter::InsetMm + kSlack) << w.text.toStdString();
            groups += w.text.startsWith('Z') && w.text.size() == 2 ? 1 : 0;
        }
        if (total <= limit)
            EXPECT_EQ(groups, 20); // the last column is printed on every line
    }

    // The rule under the heading ends at the printable width in the running-text layout too.
    ListPrintRequest running;
    running.formatted = false;
    running.fields.fill(true);
    const auto words = printList(QStringLiteral("lista-nf.pdf"), running);
    const Word* rule = nullptr;
    for (const Word& w : words)
        if (w.text.startsWith(QChar(0x2014)))
            rule = &w;
    ASSERT_NE(rule, nullptr);
    EXPECT_LE(rule->box.right(), 210 - PdfPrinter::InsetMm + kSlack);
    EXPECT_GT(rule->box.right(), 210 - PdfPrinter::InsetMm - 3); // and reaches it
}

// The one word right of value on its line and clear of it, or none.
static const Word* countBeside(const std::vector<Word>& words, const Word& value) {
    std::vector<const Word*> right;
    for (const Word& w : words)
        if (w.page == value.page && std::abs(w.box.top() - value.box.top()) < 0.5 &&
            w.box.left() > value.box.left())
            right.push_back(&w);
    return right.size() == 1 && right[0]->box.left() > value.box.right() + 1 ? right[0] : nullptr;
}

TEST(SummaryFit, EveryCountOnItsValuesLineAndPageThroughTheBatch) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath(QStringLiteral("riepilogo.mdb"));
    std::map<QString, int> expected;                // CAP -> addresses
    std::vector<archive::AddressRecord> records(4); // the first four without a CAP
    for (int i = 0; i < 150; ++i)
        for (int n = 0; n <= i % 3; ++n) {
            records.emplace_back()[6] = QStringLiteral("2%1").arg(i, 4, 10, QLatin1Char('0'));
            ++expected[records.back()[6]];
            if (i == 7)
                records.back()[7] = QStringLiteral("SAN GIOVANNI IN PERSICETO XY");
        }
    for (auto& r : records)
        r[7] = r[7].isEmpty() ? QStringLiteral("PAVIA") : r[7];
    test::archiveWith(mdb, records);
    const QString pdf = dir.filePath(QStringLiteral("cap.pdf"));
    EXPECT_EQ(test::runCommand("summary", {mdb, "--field", "NAZIONE", "--pdf", pdf}).status, 2);
    const auto run = test::runCommand("summary", {mdb, "--field", "CAP", "--pdf", pdf});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_GE(test::pageCount(pdf), 3);

    const auto words = test::wordsOf(pdf);
    int rows = 0;
    std::optional<double> countColumn;
    for (const Word& w : words) {
        const auto it = expected.find(w.text);
        if (it == expected.end())
            continue;
        ++rows;
        const Word* count = countBeside(words, w);
        ASSERT_NE(count, nullptr) << "CAP " << w.text.toStdString() << " page " << w.page;
        EXPECT_EQ(count->text, QString::number(it->second)) << w.text.toStdString();
        EXPECT_NEAR(count->box.left(), countColumn.value_or(count->box.left()), kSlack);
        countColumn = count->box.left();
    }
    EXPECT_EQ(rows, 150);
    // The Null row is marked and counted; no count stands alone at a page's top.
    const Word* unset = test::findWord(words, QStringLiteral("indicato)"));
    ASSERT_NE(unset, nullptr);
    ASSERT_NE(countBeside(words, *unset), nullptr);
    EXPECT_EQ(countBeside(words, *unset)->text, "4");

    // A long town is cut with "…" before the count column.
    ASSERT_EQ(
        test::runCommand("summary", {mdb, "--field", "citta", "--pdf", pdf, "--by-count"}).status,
        0);
    const auto townWords = test::wordsOf(pdf);
    const Word* cut = test::findWord(townWords, QString::fromUtf8("PERSICE…"));
    ASSERT_NE(cut, nullptr);
    ASSERT_NE(countBeside(townWords, *cut), nullptr);
    EXPECT_EQ(countBeside(townWords, *cut)->text, "2");
}
