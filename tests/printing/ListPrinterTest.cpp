#include "printing/ListPrinter.h"
#include "PrintFixtures.h"
#include "printing/ListPrinterRange.h"
#include "printing/PreviewPrinter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using archive::AddressRecord;
using printing::ListFieldMask;
using printing::ListPrinter;
using printing::ListPrinterLayout;
using printing::ListPrintRequest;
using printing::RecordingPrinter;

namespace {

ListFieldMask ticked(std::initializer_list<int> fields) {
    ListFieldMask mask{};
    for (int f : fields)
        mask[std::size_t(f)] = true;
    return mask;
}

AddressRecord rossi() {
    return {{"12", "", "Rossi", "Mario", "", "Via Roma 1", "20100", "Milano", "MI", "I",
             "02 123456", "", "", QString(40, 'e'), "AB", "note"}};
}

const auto mmPerChar = [](double mm) {
    return [mm](const QString& s) { return double(s.size()) * mm; };
};

} // namespace

TEST(ListPrinterLayout, TotalsColumnsCutsDecorationsAndWrapping) {
    EXPECT_EQ(ListPrinterLayout::characterTotal(ticked({0, 2})), 41);
    // 214 is the last printable total; the hidden NOTE box counts too.
    EXPECT_EQ(ListPrinterLayout::characterTotal(ticked({0, 1, 2, 3, 4, 5, 6, 8, 10, 14})), 214);
    EXPECT_EQ(ListPrinterLayout::characterTotal(ticked({0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 14})), 218);
    EXPECT_EQ(ListPrinterLayout::characterTotal(ticked({0, 15})), 176);
    EXPECT_EQ(ListPrinterLayout::characterTotal(ticked({})), -1);

    EXPECT_EQ(ListPrinterLayout::formattedHeading(ticked({0, 7, 8, 9, 14, 15})),
              "NR.   CITTÀ                    PR NAZ GR ");
    const QString line = ListPrinterLayout::formattedLine(rossi(), ticked({0, 2, 8, 13, 16}));
    EXPECT_EQ(line,
              "12    " + QString("Rossi").leftJustified(35) + " MI " + QString(35, 'e') + " ");
    // Every field ticked: the line is cut to 214 characters.
    ListFieldMask all;
    all.fill(true);
    AddressRecord full;
    for (int f = 0; f < 17; ++f)
        full[f] = QString(200, QChar('a' + f));
    EXPECT_EQ(ListPrinterLayout::formattedLine(full, all).size(), 214);

    // The running text: decorations between the fields, wrapped where the width says.
    const auto wide = mmPerChar(0.1);
    EXPECT_EQ(ListPrinterLayout::unformattedText(rossi(), ticked({0, 2, 3, 5, 6, 7, 8}), wide),
              "12 * Rossi Mario * Via Roma 1 * 20100 Milano (MI)");
    EXPECT_EQ(
        ListPrinterLayout::unformattedText(rossi(), ticked({0, 1, 3, 7, 9, 10, 11, 14}), wide),
        "12 * Mario * Milano I * Tel. 02 123456 * Gruppo AB");
    EXPECT_EQ(ListPrinterLayout::unformattedText(rossi(), ticked({0}), wide), "12");
    EXPECT_EQ(ListPrinterLayout::unformattedText(rossi(), ticked({1, 4, 11}), wide), "");
    // 2 mm a character: at most 95 characters on a line; the part that does not fit
    // starts the next line, and the widest line decides after a break.
    const QString text = ListPrinterLayout::unformattedText(
        rossi(), ticked({0, 2, 3, 5, 6, 7, 8, 9, 10, 13, 14}), mmPerChar(2));
    EXPECT_EQ(text, "12 * Rossi Mario * Via Roma 1 * 20100 Milano (MI) I * Tel. 02 123456 * \n"
                    "E-Mail: " +
                        QString(40, 'e') + " * Gruppo AB");
    for (const QString& l : text.split('\n'))
        EXPECT_LE(l.size() * 2, 190);
}

TEST(ListPrinter, FormattedAndRunningListsAndFailures) {
    std::vector<AddressRecord> rows(60, rossi());
    test::MemorySource source(rows);
    RecordingPrinter printer;
    printer.setLineHeight(3.5);
    ListPrintRequest request;
    request.formatted = true;
    request.fields = ticked({0, 2});
    request.heading = "Soci";
    request.date = QDate(2026, 12, 6);
    std::vector<qint64> progress;
    EXPECT_EQ(ListPrinter::print(printer, source, request,
                                 [&](qint64 done, qint64) { progress.push_back(done); }),
              60);
    EXPECT_EQ(printer.orientation(), printing::Orientation::Landscape);
    const auto t = printer.printedTexts();
    ASSERT_EQ(t.size(), 6 + 60);
    EXPECT_EQ(t.mid(0, 7), (QStringList{"Soci", "(06/12/2026)", QString(41, QChar(0x2014)), "",
                                        "NR.   COGNOME" + QString(29, ' '), QString(41, '-'),
                                        "12    Rossi" + QString(31, ' ')}));
    const auto lines = printer.linesOfDocument(0);
    EXPECT_EQ(lines[2].font.family, "Courier New");
    EXPECT_EQ(lines[2].font.pointSize, 7);
    // 200 mm pages of 3.5 mm lines: the list runs on to a second page with no heading.
    bool secondPage = false;
    for (const auto& e : printer.events()) {
        secondPage = secondPage || e.kind == RecordingPrinter::Event::Kind::NewPage;
        if (secondPage && e.kind == RecordingPrinter::Event::Kind::Line) {
            EXPECT_EQ(e.text, t[6]);
        }
    }
    EXPECT_TRUE(secondPage);
    EXPECT_EQ(printer.documentsEnded(), 1);
    EXPECT_EQ(progress.back(), 60);

    // Lucida option, no heading: the date line comes first.
    test::MemorySource again(rows);
    RecordingPrinter p2;
    request.heading.clear();
    request.lucidaFont = true;
    ListPrinter::print(p2, again, request);
    EXPECT_EQ(p2.printedTexts()[0], "(06/12/2026)");
    EXPECT_EQ(p2.linesOfDocument(0)[1].font.family, "Lucida Console");

    // The running text, portrait; an empty address is an empty line.
    test::MemorySource three({rossi(), AddressRecord(), rossi()});
    RecordingPrinter p3;
    request.formatted = request.lucidaFont = false;
    request.fields = ticked({0, 2, 3});
    request.date = QDate(2026, 1, 2);
    ListPrinter::print(p3, three, request);
    EXPECT_EQ(p3.orientation(), printing::Orientation::Portrait);
    EXPECT_EQ(p3.printedTexts(),
              (QStringList{"(02/01/2026)", QString(5 + 35 + 35 + 2, QChar(0x2014)), "",
                           "12 * Rossi Mario", "", "", "", "12 * Rossi Mario", ""}));
    EXPECT_EQ(p3.linesOfDocument(0)[3].font.family, "Arial Narrow");
    EXPECT_EQ(p3.linesOfDocument(0)[3].font.pointSize, 8);

    // A printer failure drops the document and reaches the caller with its code.
    test::MemorySource more({rossi(), rossi(), rossi()});
    RecordingPrinter failing;
    failing.failAt(5, printing::PrinterError::Problem);
    try {
        ListPrinter::print(failing, more, request);
        FAIL();
    } catch (const printing::PrinterError& e) {
        EXPECT_EQ(ListPrinter::failureText(e), "Problema sulla Stampante !");
    }
    EXPECT_EQ(failing.documentsAborted(), 1);
    EXPECT_EQ(failing.documentsEnded(), 0);
    EXPECT_EQ(ListPrinter::failureText(printing::PrinterError(484, "x")), "Stampa Annullata !");
    EXPECT_EQ(ListPrinter::failureText(printing::PrinterError(5, "x")),
              "Errore sulla Stampante (mancante o non collegata) !");
    EXPECT_EQ(ListPrinter::failureText(printing::PrinterError(7, "memoria")),
              "Errore 7\r\nmemoria");
}

// The running text is wrapped where the measured width says, although most lines are
// only added up from their letters: the letters' own widths bound the text's (kerning in
// the list font never widens a pair by more than 1 %, so a line by no more than 2 %), and
// whatever the sum cannot vouch for (other scripts, combining marks, tabs, line breaks in
// a value) is measured.
TEST(ListPrinter, LetterSumsLeaveTheRunningTextAsMeasured) {
    printing::PrintFont narrow = ListPrinter::listFont(false, false);
    narrow.family = QStringLiteral("Arial Narrow");
    {
        printing::PreviewPrinter pdf(0, 1); // the PDF printer's measures
        pdf.setFont(narrow);
        std::vector<QChar> letters;
        for (char16_t u = 0x20; u < 0x180; ++u)
            if (u < 0x7F || u >= 0xA0)
                letters.push_back(QChar(u));
        std::vector<double> own;
        for (QChar c : letters)
            own.push_back(pdf.textWidth(QString(c)));
        double worst = 0;
        for (std::size_t a = 0; a < letters.size(); ++a)
            for (std::size_t b = 0; b < letters.size(); ++b) {
                const double pair = pdf.textWidth(QString(letters[a]) + letters[b]);
                worst = std::max(worst, (pair - own[a] - own[b]) / (own[a] + own[b]));
            }
        EXPECT_LE(worst, 0.01);
    }

    std::vector<AddressRecord> rows;
    QTemporaryDir dir;
    auto db = test::sampleArchive(dir.filePath("esempio.mdb"), 600, 17);
    auto walk =
        printing::ListPrinterRange::wholeArchive(db, printing::ListPrinterRange::Values::Printable);
    for (AddressRecord r; walk->next(r);)
        rows.push_back(r);
    AddressRecord odd = rossi();
    for (const QString& cognome :
         {QString(120, 'W'), "Σπύρος Παπαδόπουλος " + QString(60, QChar(0x3A9)),
          "Rene\u0301e " + QString(80, QChar(0x301)), "Via\tdei\tTab " + QString(70, 'm'),
          "   spazi iniziali " + QString(90, 'i'), "Riga uno\nriga due " + QString(100, 'x'),
          "北京市朝阳区建国路 " + QString(40, QChar(0x5317))}) {
        odd[2] = cognome;
        rows.push_back(odd);
        odd[5] = cognome; // and in a later part
        rows.push_back(odd);
    }

    ListPrintRequest request;
    request.formatted = false;
    std::fill_n(request.fields.begin(), 15, true);
    RecordingPrinter printer;
    test::MemorySource source(rows);
    ListPrinter::print(printer, source, request);
    const QStringList printed = printer.printedTexts();

    RecordingPrinter measure;
    measure.setFont(narrow);
    const auto width = [&measure](const QString& text) { return measure.textWidth(text); };
    QStringList expected = printed.mid(0, 3); // date, rule, blank line
    int wrapped = 0;
    for (const AddressRecord& r : rows) {
        const QString text = ListPrinterLayout::unformattedText(r, request.fields, width);
        expected << text.split(QLatin1Char('\n')) << QString();
        wrapped += text.contains(QLatin1Char('\n')) ? 1 : 0;
    }
    EXPECT_GT(wrapped, 40);
    ASSERT_EQ(printed.size(), expected.size());
    for (qsizetype i = 0; i < printed.size(); ++i)
        ASSERT_EQ(printed[i], expected[i]) << "riga " << i;
}
