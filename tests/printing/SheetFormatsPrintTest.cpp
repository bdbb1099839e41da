#include "PdfWords.h"
#include "PrintFixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;

namespace {

// Addresses numbered 1..n with every kind of line, the surname telling the number.
test::MemorySource addresses(int n) {
    test::MemorySource s;
    for (int i = 1; i <= n; ++i) {
        auto r = test::sampleAddress(i);
        if (i % 3 == 0)
            r[4] = QStringLiteral("Responsabile Ufficio Acquisti e Logistica");
        if (i % 4 == 0)
            r[9] = QStringLiteral("SVIZZERA");
        if (i % 5 == 0)
            r[3] = QStringLiteral("MARIA ANTONIETTA GIOVANNA");
        if (i % 7 == 0)
            r[7] = QStringLiteral("SAN GIOVANNI IN PERSICETO DI SOTTO");
        s.add(r);
    }
    return s;
}

} // namespace

// Six sheets of different shapes, from every source: each line inside its own label,
// each address where the start and the order put it, the right number of pages.
TEST(SheetFormats, SixShapesKeepEveryLineInItsLabelFromTheChosenStart) {
    const SheetFormat own = test::customSheet(2, 4, 60, 40, 10, 15, 68, 46, PaperSize::A5);
    ASSERT_FALSE(own.problem());
    const SheetCatalog catalog;
    struct Case {
        SheetFormat sheet;
        LabelPosition start;
    };
    const Case cases[] = {
        {SheetFormat::standard(), {1, 1}},
        {*catalog.find(QStringLiteral("A4 3x7 63,5x38,1")), {2, 3}},
        {*catalog.find(QStringLiteral("A4 4x10 52,5x29,7")), {10, 4}},
        {test::testTemplate(QStringLiteral("DataBecker 0598")), {1, 2}},
        {test::testTemplate(QStringLiteral("Maco LL5805")), {4, 1}},
        {own, {3, 2}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const SheetFormat& sheet = c.sheet;
        SCOPED_TRACE(sheet.name.toStdString());
        const int count = sheet.labelsPerSheet() + 3;
        const QString pdf = dir.filePath(sheet.name + QStringLiteral(".pdf"));
        auto source = addresses(count);
        EXPECT_EQ(test::printLabelsPdf(pdf, source, {}, c.start, sheet).pages,
                  sheet.sheetsFor(count, c.start));
        EXPECT_EQ(test::pageCount(pdf), sheet.sheetsFor(count, c.start));

        const auto words = test::wordsOf(pdf);
        ASSERT_FALSE(words.empty());
        const int skipped = sheet.sheetIndex(c.start) - 1;
        int surnames = 0;
        for (const test::Word& w : words) {
            // The label under the word's centre holds the whole word.
            const auto at = test::labelAt(sheet, w.box.center());
            ASSERT_TRUE(at) << w.text.toStdString();
            const QRectF label = sheet.physicalLabel(*at).adjusted(-0.05, -0.05, 0.05, 0.05);
            EXPECT_TRUE(label.contains(w.box)) << w.text.toStdString() << " page " << w.page;
            // Address k is the k-th label from the start.
            if (w.text.startsWith(QLatin1String("ROSSI"))) {
                ++surnames;
                const int index = skipped + w.text.mid(5).toInt() - 1;
                EXPECT_EQ(w.page, index / sheet.labelsPerSheet() + 1) << w.text.toStdString();
                EXPECT_EQ(*at, sheet.positionOf(index % sheet.labelsPerSheet() + 1))
                    << w.text.toStdString();
            }
        }
        EXPECT_EQ(surnames, count);
    }
}

TEST(SheetFormats, TextFollowsTheLabelAndLowLabelsDropTitleThenRole) {
    SheetFormat wide = *SheetCatalog().find(QStringLiteral("A4 2x8 105x37"));
    const SheetFormat standard = SheetFormat::standard();
    const auto measure = test::mmPerChar;

    // Surname and name of 61 characters share a line only on the wider label; the
    // locality keeps 28 characters before its province at 70 mm, 44 at 105 mm.
    const auto r = test::address("1", "", "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEF",
                                 "ABCDEFGHIJKLMNOPQRSTUVWXYZAB", "", "VIA ROMA 1", "40017",
                                 "SAN GIOVANNI IN PERSICETO DI SOTTO E DINTORNI", "BO");
    auto lines = StampaEtichette::labelLines(r, measure, 1000, nullptr, standard);
    EXPECT_EQ(lines[3], "ABCDEFGHIJKLMNOPQRSTUVWXYZAB");
    EXPECT_EQ(lines[6], "40017 SAN GIOVANNI IN PERSIC (BO)");
    lines = StampaEtichette::labelLines(r, measure, 1000, nullptr, wide);
    EXPECT_TRUE(lines[3].isEmpty());
    EXPECT_EQ(lines[2].size(), 61);
    EXPECT_EQ(lines[6], "40017 SAN GIOVANNI IN PERSICETO DI SOTTO E D (BO)");

    // Labels 18 mm high hold 7 lines of 3 mm (one above the label): 8 lines lose the
    // title, 9 would lose the role too; the address itself is never dropped.
    SheetFormat low = standard;
    low.name = SheetCatalog::customName();
    low.rows = 16;
    low.labelHeight = low.rowPitch = 18;
    ASSERT_FALSE(low.problem());
    test::MemorySource source;
    source.add(test::address("1", "Spett.le", "ROSSI", "MARIO", "Direttore", "VIA ROMA 1", "00100",
                             "ROMA", "RM",
                             "FRANCIA")); // joined: 7 lines
    source.add(test::address("2", "Spett.le", "ROSSI", std::string(60, 'M').c_str(), "Direttore",
                             "VIA ROMA 2", "00100", "ROMA", "RM", "FRANCIA")); // 8 lines
    source.add(
        test::address("3", "Egr.", "BIANCHI", "LUCA", "", "VIA PO 3", "10100", "TORINO", "TO"));
    for (const SheetFormat& sheet : {low, standard}) {
        source.rewind();
        test::CharPrinter printer(3);
        const QStringList cut = test::printLabels(printer, source, {}, {}, sheet).cut;
        const QStringList texts = printer.printedTexts();
        if (sheet.rows == 16) {
            EXPECT_EQ(cut, QStringList{"2"});
            EXPECT_EQ(texts.count("Spett.le"), 1);
            EXPECT_EQ(texts.count("Direttore"), 2);
            EXPECT_EQ(texts.count("- FRANCIA -"), 2);
            EXPECT_EQ(texts.count("VIA ROMA 2"), 1);
            EXPECT_EQ(texts.count("Egr."), 1);
            // Every line stays on its label.
            for (const auto& e : printer.events())
                if (e.kind == RecordingPrinter::Event::Kind::Line) {
                    ASSERT_TRUE(e.clip);
                    EXPECT_GE(e.y + 1e-9, e.clip->top() - 3);
                    EXPECT_LE(e.y + 3, e.clip->bottom() + 1e-9);
                }
        } else {
            EXPECT_TRUE(cut.isEmpty());
            EXPECT_EQ(texts.count("Spett.le"), 2);
        }
    }
}
