#include "PrintFixtures.h"

#include "printing/PrintFailure.h"

#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;
using test::address;
using test::MemorySource;

namespace {

StampaEtichette::Lines linesFor(const archive::AddressRecord& r) {
    return StampaEtichette::labelLines(r, test::mmPerChar);
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
    EXPECT_EQ(printFailureText(9, "Indice"), "Errore 9\r\nIndice");

    // A start outside the sheet is refused before anything is printed.
    RecordingPrinter untouched;
    LabelPosition bad{9, 1};
    source.rewind();
    EXPECT_THROW(StampaEtichette(untouched, {}).print(source, bad), common::AppError);
    EXPECT_TRUE(untouched.events().empty());
}
