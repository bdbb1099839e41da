#include "PdfWords.h"
#include "PrintFixtures.h"
#include "support/CommandRun.h"

#include "printing/PrintFailure.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;
using test::address;
using test::MemorySource;

namespace {

StampaEtichette::Lines linesFor(const archive::AddressRecord& r) {
    return StampaEtichette::labelLines(r, test::mmPerChar);
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

// Addresses that exercise every text rule: joined and split names, long streets and
// localities, foreign countries, missing titles.
test::MemorySource referenceAddresses() {
    test::MemorySource s;
    for (int i = 1; i <= 30; ++i) {
        auto r = test::sampleAddress(i);
        switch (i % 6) {
        case 1:
            r[1].clear();
            break;
        case 2:
            r[2] = QStringLiteral("DELLA GHERARDESCA MONTEFELTRO");
            r[3] = QStringLiteral("MARIA ANTONIETTA");
            r[4] = QStringLiteral("c/o STUDIO ASSOCIATO");
            break;
        case 3:
            r[7] = QStringLiteral("SAN GIOVANNI IN PERSICETO DI SOTTO");
            r[8] = QStringLiteral("BO");
            break;
        case 4:
            r[9] = QStringLiteral("FRANCIA");
            r[7] = QStringLiteral("PARIS CEDEX 07 ARRONDISSEMENT DU NORD");
            r[8].clear();
            break;
        case 5:
            r[5] = QStringLiteral("VIA DEI MILLE FRATELLI BANDIERA E GARIBALDINI 12/B SCALA C");
            break;
        default:
            break;
        }
        s.add(r);
    }
    return s;
}

// Words of a PDF exactly as pdftotext writes them: page, box, text.
QString rawWords(const QString& pdf) {
    QString out;
    for (const auto& [page, fields] : test::rawWordsOf(pdf))
        out += QString::number(page) + ' ' + fields.join(' ') + '\n';
    return out;
}

QString recorded(const RecordingPrinter& printer) {
    QString out;
    for (const auto& e : printer.events()) {
        out += QStringLiteral("%1 d%2 %3 %4")
                   .arg(int(e.kind))
                   .arg(e.document)
                   .arg(e.x, 0, 'f', 4)
                   .arg(e.y, 0, 'f', 4);
        if (e.clip)
            out += QStringLiteral(" [%1 %2 %3 %4]")
                       .arg(e.clip->x(), 0, 'f', 4)
                       .arg(e.clip->y(), 0, 'f', 4)
                       .arg(e.clip->width(), 0, 'f', 4)
                       .arg(e.clip->height(), 0, 'f', 4);
        out += QLatin1Char(' ') + e.text + QLatin1Char('\n');
    }
    return out;
}

} // namespace

TEST(StampaEtichette, LabelLinesJoiningProvinceCutsAndCountry) {
    // Short surname and name join: "ROSSI " + "MARIO" is 11 mm.
    EXPECT_EQ(linesFor(address("1", "Dott.", "ROSSI", "MARIO", "", "VIA ROMA 1", "00100  ",
                               "  ROMA ", "RM", "FRANCIA")),
              (StampaEtichette::Lines{" ", "Dott.", "ROSSI MARIO", "", "", "VIA ROMA 1",
                                      "00100 ROMA (RM)", "- FRANCIA -"}));

    // 60 mm or more stays on two lines; 59.x joins (whole-millimetre part).
    const QString surname(30, QLatin1Char('S')), name(29, QLatin1Char('N'));
    const auto l = linesFor(address("2", "", surname, name, "", "", "", "", ""));
    EXPECT_EQ(l[2], surname + " ");
    EXPECT_EQ(l[3], name);
    EXPECT_EQ(
        StampaEtichette::labelLines(address("2", "", "AB", "CD", "", "", "", "", ""),
                                    [](const QString& t) { return t == "AB " ? 30.0 : 29.99; })[2],
        "AB CD");

    // An empty surname still prints a blank line, or blank + name when joined. The province
    // must be exactly 2 characters, untrimmed. A 40-character locality keeps 28 characters
    // before its province, 33 without one.
    const QString city(34, QLatin1Char('C')), locality = "00100 " + city;
    const auto at = [](const QString& citta, const QString& prov) {
        return address("4", "", "X", "", "", "", "00100", citta, prov);
    };
    for (const auto& [r, line, text] :
         {std::tuple{address("3", "", "", "", "", "", "", "", ""), 2, QString(" ")},
          {address("3", "", "", "ANNA", "", "", "", "", ""), 2, " ANNA"},
          {at("ROMA", "R"), 6, "00100 ROMA"},
          {at("ROMA", "RM "), 6, "00100 ROMA"},
          {at("ROMA", ""), 7, ""},
          {at(city, "MI"), 6, locality.left(28) + " (MI)"},
          {at(city, "MIL"), 6, locality.left(33)}})
        EXPECT_EQ(linesFor(r)[std::size_t(line)], text) << r[3].toStdString() << r[8].toStdString();
}

TEST(StampaEtichette, PrintsLinesAtLabelPositionsSkippingEmptyOnes) {
    test::CharPrinter printer(4);
    MemorySource source(
        {address("1", "", "ROSSI", "MARIO", "", "VIA ROMA 1", "00100", "ROMA", "RM"),
         address("2", "Ing.", "BIANCHI", "LUCA", "Direttore", "", "20100", "MILANO", "MI",
                 "SVIZZERA")});
    LabelOptions options;
    options.topOffsetMm = 3;
    options.leftOffsetMm = 2;
    options.bold = true;
    const auto run = test::printLabels(printer, source, options, {2, 3});
    EXPECT_EQ(run.end, (LabelPosition{3, 2}));
    const auto lines = printer.linesOfDocument(0);
    EXPECT_EQ(printer.printedTexts(),
              (QStringList{" ", "ROSSI MARIO", "VIA ROMA 1", "00100 ROMA (RM)", " ", "Ing.",
                           "BIANCHI LUCA", "Direttore", "20100 MILANO (MI)", "- SVIZZERA -"}));
    // First label at row 2, column 3 with the offsets; lines 4 high, no gaps.
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(lines[i].x, 140 + 2);
        EXPECT_DOUBLE_EQ(lines[i].y, 36 + 3 + 4 * i);
        EXPECT_EQ(lines[i].font.family, "Arial Narrow");
        EXPECT_TRUE(lines[i].font.bold);
        EXPECT_DOUBLE_EQ(lines[i].font.pointSize, 10);
        // Clipped to the physical label (sheet top margin 4.5) seen from the printable origin.
        EXPECT_EQ(lines[i].clip, QRectF(140 - 25.4 / 6, 4.5 + 36 - 25.4 / 6, 70, 36));
    }
    // Second label wraps to row 3, column 1.
    EXPECT_DOUBLE_EQ(lines[4].x, 0 + 2);
    EXPECT_DOUBLE_EQ(lines[4].y, 72 + 3);
    EXPECT_EQ(printer.documentsEnded(), 1);
    EXPECT_EQ(run.labels, 2);
}

// Every full sheet is a document of its own; the place after the last label is returned,
// and a failure loses only the sheet it happens on.
TEST(StampaEtichette, SheetBreaksAndReturnedPositions) {
    const struct {
        int count;
        LabelPosition start, end;
        int documents;
    } cases[] = {
        {0, {4, 2}, {4, 2}, 0},  // nothing printed, no document
        {24, {1, 1}, {1, 1}, 1}, // the document ends with the 24th
        {25, {8, 3}, {1, 1}, 2}, // the first sheet ends at once, 24 fill a second one
        {24, {1, 2}, {1, 2}, 2}, // the 24th goes to 1,1 of a second sheet
        {49, {1, 1}, {1, 2}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        test::CharPrinter printer(4);
        auto source = test::sampleSource(c.count);
        LabelPosition pos = c.start;
        StampaEtichette(printer, {}).print(source, pos);
        EXPECT_EQ(pos, c.end);
        EXPECT_EQ(printer.documentsEnded(), c.documents);
        EXPECT_EQ(LabelLayout::a4Labels().sheetsFor(c.count, c.start), c.documents);
        if (c.documents != 2)
            continue;
        // Five lines a label, the first label at the start, the second sheet's at 1,1.
        const int onFirst = 25 - LabelLayout::a4Labels().sheetIndex(c.start);
        const auto first = printer.linesOfDocument(0), second = printer.linesOfDocument(1);
        ASSERT_EQ(first.size(), 5u * onFirst);
        ASSERT_EQ(second.size(), 5u * (c.count - onFirst));
        EXPECT_EQ(first[2].text, "ROSSI1 MARIO");
        EXPECT_DOUBLE_EQ(first[0].x, 70 * (c.start.column - 1));
        EXPECT_DOUBLE_EQ(first[0].y, 36 * (c.start.row - 1));
        EXPECT_DOUBLE_EQ(second[0].x, 0);
        EXPECT_DOUBLE_EQ(second[0].y, 0);
        EXPECT_DOUBLE_EQ(second.back().x, c.count == 25 ? 140 : 0);
    }

    // A failure on the second sheet keeps the first, drops the open one and tells its code.
    test::CharPrinter printer(4);
    auto source = test::sampleSource(30);
    printer.failAt(24 * 5 + 7, PrinterError::Problem); // on the second sheet
    LabelPosition pos{1, 1};
    StampaEtichette engine(printer, {});
    try {
        engine.print(source, pos);
        FAIL() << "no failure reported";
    } catch (const PrinterError& e) {
        EXPECT_EQ(e.code(), PrinterError::Problem);
        EXPECT_EQ(printFailureText(e), "Problema sulla Stampante !");
    }
    EXPECT_EQ(printer.documentsEnded(), 1);   // the full first sheet stays printed
    EXPECT_EQ(printer.documentsAborted(), 1); // the partial second one is dropped
    EXPECT_FALSE(printer.documentOpen());
    EXPECT_EQ(pos, (LabelPosition{1, 1}));

    EXPECT_EQ(printFailureText(PrinterError::Cancelled, {}), "Stampa Annullata !");
    EXPECT_EQ(printFailureText(PrinterError::NoPrinter, {}),
              "Errore sulla Stampante (mancante o non collegata) !");

    // A start outside the sheet is refused before anything is printed.
    RecordingPrinter untouched;
    LabelPosition bad{9, 1};
    source.rewind();
    EXPECT_THROW(StampaEtichette(untouched, {}).print(source, bad), common::AppError);
    EXPECT_TRUE(untouched.events().empty());
}

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

// The A4 3 x 8 sheet of 70 x 36 mm prints exactly what it printed before sheet formats
// existed: the reference was written by that code (VELOMAR_WRITE_REFERENCE=1 rewrites it).
TEST(SheetReference, DefaultSheetPrintsAsBefore) {
    struct Case {
        const char* name;
        LabelOptions options;
        LabelPosition start;
    };
    const Case cases[] = {
        {"default", {}, {1, 1}},
        {"bold-condensed-offsets", {true, true, 7, 10}, {3, 2}},
        {"offsets-last-row", {false, false, 10, 4}, {8, 1}},
    };
    QTemporaryDir dir;
    QString actual;
    for (const Case& c : cases) {
        actual += QStringLiteral("== %1\n").arg(QLatin1String(c.name));
        const QString pdf = dir.filePath(QLatin1String(c.name) + QStringLiteral(".pdf"));
        auto source = referenceAddresses();
        const auto run = test::printLabelsPdf(pdf, source, c.options, c.start);
        actual += QStringLiteral("end %1,%2 cut %3\n")
                      .arg(run.end.row)
                      .arg(run.end.column)
                      .arg(run.cut.join(','));
        actual += rawWords(pdf);
        source = referenceAddresses();
        RecordingPrinter recorder;
        test::printLabels(recorder, source, c.options, c.start);
        recorder.finishJob();
        actual += recorded(recorder);
    }

    const QString path =
        QStringLiteral(VELOMAR_SOURCE_DIR "/tests/printing/data/labels-a4-3x8.ref");
    if (qEnvironmentVariableIsSet("VELOMAR_WRITE_REFERENCE")) {
        ASSERT_TRUE(test::writeFile(path, actual.toUtf8()));
    }
    const QStringList expected = QString::fromUtf8(test::fileBytes(path)).split(QLatin1Char('\n'));
    const QStringList got = actual.split(QLatin1Char('\n'));
    ASSERT_EQ(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i].toStdString(), expected[i].toStdString()) << "line " << i + 1;
}
