#include "MemorySource.h"
#include "PdfWords.h"

#include "printing/GlabelsTemplates.h"
#include "printing/PdfPrinter.h"
#include "printing/RecordingPrinter.h"
#include "printing/SheetCatalog.h"
#include "printing/StampaEtichette.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;

namespace {

SheetFormat glabels(const QString& name) {
    GlabelsTemplates::Result result;
    for (const char* file : {"databecker-iso-templates.xml", "maco-us-templates.xml"}) {
        QFile f(QStringLiteral(VELOMAR_SOURCE_DIR "/tests/printing/data/") + QLatin1String(file));
        if (f.open(QIODevice::ReadOnly))
            GlabelsTemplates::read(f, result);
    }
    for (const auto& f : result.formats)
        if (f.name == name)
            return f;
    ADD_FAILURE() << "no template " << name.toStdString();
    return {};
}

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

// Text positions on a label measured as one millimetre per character.
double byCharacters(const QString& t, const PrintFont&) { return double(t.size()); }

} // namespace

// Six sheets of different shapes, from every source: each line inside its own label,
// each address where the start and the order put it, the right number of pages.
TEST(SheetFormats, SixShapesKeepEveryLineInItsLabelFromTheChosenStart) {
    SheetFormat own;
    own.name = SheetCatalog::customName();
    own.source = SheetFormat::Source::Custom;
    own.paper = PaperSize::A5;
    own.columns = 2;
    own.rows = 4;
    own.labelWidth = 60;
    own.labelHeight = 40;
    own.sheetLeft = 10;
    own.sheetTop = 15;
    own.columnPitch = 68;
    own.rowPitch = 46;
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
        {glabels(QStringLiteral("DataBecker 0598")), {1, 2}},
        {glabels(QStringLiteral("Maco LL5805")), {4, 1}},
        {own, {3, 2}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const SheetFormat& sheet = c.sheet;
        SCOPED_TRACE(sheet.name.toStdString());
        const int count = sheet.labelsPerSheet() + 3;
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        QFile::remove(pdf);
        {
            auto source = addresses(count);
            PdfPrinter printer(pdf);
            StampaEtichette engine(printer, {}, sheet);
            LabelPosition pos = c.start;
            engine.print(source, pos);
            printer.finishJob();
            EXPECT_EQ(printer.pagesPrinted(), sheet.sheetsFor(count, c.start));
        }
        EXPECT_EQ(test::pageCount(pdf), sheet.sheetsFor(count, c.start));

        const auto words = test::wordsOf(pdf);
        ASSERT_FALSE(words.empty());
        const int skipped = sheet.sheetIndex(c.start) - 1;
        int surnames = 0;
        for (const test::Word& w : words) {
            // The label under the word's centre holds the whole word.
            const QPointF centre = w.box.center();
            const int column = int((centre.x() - sheet.sheetLeft) / sheet.columnPitch) + 1;
            const int row = int((centre.y() - sheet.sheetTop) / sheet.rowPitch) + 1;
            ASSERT_TRUE(sheet.contains({row, column})) << w.text.toStdString();
            const QRectF label = sheet.physicalLabel({row, column}).adjusted(-0.05, -0.05, 0.05, 0.05);
            EXPECT_TRUE(label.contains(w.box)) << w.text.toStdString() << " page " << w.page;
            // Address k is the k-th label from the start.
            if (w.text.startsWith(QLatin1String("ROSSI"))) {
                ++surnames;
                const int index = skipped + w.text.mid(5).toInt() - 1;
                EXPECT_EQ(w.page, index / sheet.labelsPerSheet() + 1) << w.text.toStdString();
                EXPECT_EQ((LabelPosition{row, column}), sheet.positionOf(index % sheet.labelsPerSheet() + 1))
                    << w.text.toStdString();
            }
        }
        EXPECT_EQ(surnames, count);
    }
}

TEST(SheetFormats, TextFollowsTheLabelAndLowLabelsDropTitleThenRole) {
    SheetFormat wide = *SheetCatalog().find(QStringLiteral("A4 2x8 105x37"));
    const SheetFormat standard = SheetFormat::standard();
    const auto measure = [](const QString& t) { return double(t.size()); };

    // Surname and name of 61 characters share a line only on the wider label; the
    // locality keeps 28 characters before its province at 70 mm, 44 at 105 mm.
    const auto r = test::address("1", "", "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEF", "ABCDEFGHIJKLMNOPQRSTUVWXYZAB", "",
                                 "VIA ROMA 1", "40017", "SAN GIOVANNI IN PERSICETO DI SOTTO E DINTORNI", "BO");
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
    source.add(test::address("1", "Spett.le", "ROSSI", "MARIO", "Direttore", "VIA ROMA 1", "00100", "ROMA", "RM",
                             "FRANCIA")); // joined: 7 lines
    source.add(test::address("2", "Spett.le", "ROSSI", std::string(60, 'M').c_str(), "Direttore", "VIA ROMA 2",
                             "00100", "ROMA", "RM", "FRANCIA")); // 8 lines
    source.add(test::address("3", "Egr.", "BIANCHI", "LUCA", "", "VIA PO 3", "10100", "TORINO", "TO"));
    for (const SheetFormat& sheet : {low, standard}) {
        source.rewind();
        RecordingPrinter printer;
        printer.setLineHeight(3);
        printer.setMeasure(byCharacters);
        StampaEtichette engine(printer, {}, sheet);
        LabelPosition pos;
        engine.print(source, pos);
        const QStringList texts = printer.printedTexts();
        if (sheet.rows == 16) {
            EXPECT_EQ(engine.cutLabels(), QStringList{"2"});
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
            EXPECT_TRUE(engine.cutLabels().isEmpty());
            EXPECT_EQ(texts.count("Spett.le"), 2);
        }
    }
}
