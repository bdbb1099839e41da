#include "printing/ListPrinter.h"
#include "PrintFixtures.h"
#include "archive/DataModel.h"
#include "archive/Recordset.h"
#include "printing/ListPrinterRange.h"
#include "printing/PreviewPrinter.h"
#include "printing/SummaryPrinter.h"
#include "printing/SummaryQuery.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

using namespace velomar;
using archive::AddressRecord;
using printing::ListFieldMask;
using printing::ListPrinter;
using printing::ListPrinterLayout;
using printing::ListPrinterRange;
using printing::ListPrintRequest;
using printing::RecordingPrinter;
using printing::SummaryQuery;
using Order = printing::SummaryQuery::Order;

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

QStringList surnames(archive::AddressSource& source) {
    QStringList out;
    archive::AddressRecord r;
    while (source.next(r))
        out << r[2] + "/" + r[0];
    return out;
}

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
    auto walk = ListPrinterRange::wholeArchive(db, ListPrinterRange::Values::Printable);
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

TEST(ListPrinterRange, WholeArchiveBySurnameAndGridRowsInGridOrder) {
    QTemporaryDir dir;
    std::vector<AddressRecord> records;
    for (const char* name : {"Verdi", "rossi", "Àlberti", "Bianchi", "Rossi"})
        records.push_back({{"", "", QString::fromUtf8(name), QStringLiteral("N")}});
    archive::Database db = test::archiveWith(dir.filePath("a.mdb"), records);
    auto whole = ListPrinterRange::wholeArchive(db, ListPrinterRange::Values::AsStored);
    EXPECT_EQ(whole->count(), 5);
    const QStringList all = surnames(*whole);
    EXPECT_EQ(all.first(), QStringLiteral("Àlberti/3"));
    EXPECT_EQ(all.last(), "Verdi/1");

    // The grid's record set, sorted by NR descending and filtered: rows as shown,
    // the selection clipped to the rows there are, the position left alone.
    archive::Recordset grid = archive::Recordset::open(db, "TabMAIL", archive::LockType::Optimistic);
    grid.setSort("NR DESC");
    grid.setFilter("COGNOME <> 'Verdi'");
    grid.setAbsolutePosition(2);
    auto shown = ListPrinterRange::gridRows(grid, 1, grid.recordCount());
    EXPECT_EQ(surnames(*shown), QStringList({"Rossi/5", "Bianchi/4", QStringLiteral("Àlberti/3"), "rossi/2"}));
    auto selection = ListPrinterRange::gridRows(grid, 3, 9);
    EXPECT_EQ(selection->count(), 2);
    EXPECT_EQ(surnames(*selection), QStringList({QStringLiteral("Àlberti/3"), "rossi/2"}));
    EXPECT_EQ(ListPrinterRange::gridRows(grid, 1, 0)->count(), 0);
    EXPECT_EQ(grid.absolutePosition(), 2);
}

TEST(ListPrinterRange, WholeArchiveWalkMatchesTheRecordSetSortAndFields) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.mdb");
    archive::SampleArchive::write(path, 3000, 11); // accents, apostrophes, Nulls, repeats
    archive::Database db(path, archive::Database::Mode::ReadOnly);
    archive::Recordset rs = archive::Recordset::open(db, "TabMAIL", archive::LockType::ReadOnly);
    rs.setSort("COGNOME,NOME1");
    // The printable walk reads each field only as far as it can be printed.
    for (auto values : {ListPrinterRange::Values::AsStored, ListPrinterRange::Values::Printable}) {
        auto walk = ListPrinterRange::wholeArchive(db, values);
        auto grid = ListPrinterRange::gridRows(rs, 1, rs.recordCount());
        ASSERT_EQ(walk->count(), 3000);
        archive::AddressRecord a, b;
        int rows = 0;
        while (walk->next(a)) {
            ASSERT_TRUE(grid->next(b));
            if (values == ListPrinterRange::Values::Printable)
                for (int f = 1; f < archive::DataModel::FieldCount; ++f)
                    b[f] = b[f].left(archive::DataModel::printWidth(f));
            ASSERT_EQ(a.fields, b.fields) << "row " << rows;
            ++rows;
        }
        EXPECT_EQ(rows, 3000);
    }
}

TEST(SummaryQuery, CountsEveryRowIncludingNullsAgainstAnIndependentCount) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mdb");
    std::map<QString, qint64> expected; // upper-cased group -> count, "" for Null
    const QStringList groups = {"AB", "CD", "", "EF", "AB", "", "CD", "AB", "ab"};
    std::vector<archive::AddressRecord> records(90);
    for (int i = 0; i < 90; ++i) {
        auto& r = records[std::size_t(i)];
        r[2] = QStringLiteral("C%1").arg(i);
        r[14] = groups[i % groups.size()];
        ++expected[r[14].toUpper()];
    }
    archive::Database db = test::archiveWith(path, records);

    const auto byValue = SummaryQuery::run(db, "GR", Order::ByValue);
    ASSERT_EQ(byValue.size(), expected.size());
    qint64 sum = 0;
    for (std::size_t i = 0; i < byValue.size(); ++i) {
        EXPECT_EQ(byValue[i].count, expected[byValue[i].value.toUpper()]) << i;
        sum += byValue[i].count;
        if (i > 0) {
            EXPECT_LT(byValue[i - 1].value.toUpper(), byValue[i].value.toUpper());
        }
    }
    EXPECT_EQ(sum, 90);
    EXPECT_EQ(byValue[0].value, ""); // the Null row first, with its real count
    EXPECT_TRUE(byValue[0].isNull);
    EXPECT_EQ(byValue[0].shownValue(), "(non indicato)");
    EXPECT_EQ(byValue[0].count, 20);
    EXPECT_FALSE(byValue[1].isNull);

    const auto byCount = SummaryQuery::run(db, "GR", Order::ByCount);
    ASSERT_EQ(byCount.size(), expected.size());
    for (std::size_t i = 1; i < byCount.size(); ++i)
        EXPECT_LE(byCount[i - 1].count, byCount[i].count);
    EXPECT_EQ(byCount.back().count, 40); // AB and ab are one group

    // Only the five summary fields reach SQL.
    EXPECT_TRUE(
        SummaryQuery::run(db, "GR FROM TabMAIL; DROP TABLE TabMAIL --", Order::ByValue).empty());
    EXPECT_EQ(SummaryQuery::statement("NAZ"),
              "SELECT substr(NAZ, 1, 25) AS NAZ, COUNT(*) AS INDIRIZZI FROM TabMAIL GROUP BY 1");
    // Spellings that differ in case or accents are one town, named by the commonest.
    db.exec("DELETE FROM TabMAIL");
    for (const char* town : {"Forlì", "FORLI", "Forlì", "Roma"}) {
        archive::AddressRecord r;
        r[7] = QString::fromUtf8(town);
        test::addTestAddress(db, r);
    }
    const auto towns = SummaryQuery::run(db, "CITTA", Order::ByCount);
    ASSERT_EQ(towns.size(), 2u);
    EXPECT_EQ(towns[0].value, "Roma");
    EXPECT_EQ(towns[1].value, QString::fromUtf8("Forlì"));
    EXPECT_EQ(towns[1].count, 3);
    db.exec("DELETE FROM TabMAIL");
    EXPECT_TRUE(SummaryQuery::run(db, "CITTA", Order::ByValue).empty());
}

TEST(SummaryPrinter, ReportLayoutAndFailure) {
    test::CharPrinter printer(5);
    // The Null row is marked apart from the "" row; a long value stops short of the count.
    printing::SummaryPrinter::print(
        printer, "Città      ",
        {{"", 3, true}, {"", 2}, {"SAN GIOVANNI IN PERSICETO XY", 5}, {"Milano", 1206}},
        QDate(2026, 12, 6));
    const QString indent(12, ' '), rule = indent + QString(30, QChar(0x2014));
    EXPECT_EQ(printer.printedTexts(),
              (QStringList{"", "", "", "RIEPILOGO INDIRIZZI per CITTÀ      ", "(06/12/2026)", "",
                           rule, indent + "CITTÀ      " + QString(10, ' ') + "INDIRIZZI", rule,
                           indent + "(non indicato)", "3", indent, "2",
                           indent + QString::fromUtf8("SAN GIOVANNI IN PERSICE…"), "5",
                           indent + "Milano", "1.206"}));
    const auto lines = printer.linesOfDocument(0);
    EXPECT_EQ(lines[3].x, 26);
    for (std::size_t count = 10; count < lines.size(); count += 2)
        EXPECT_EQ(lines[count].x, 37) << count; // character column 38
    EXPECT_EQ(printer.documentsEnded(), 1);

    printing::RecordingPrinter failing;
    failing.failAt(9, printing::PrinterError::Problem);
    try {
        printing::SummaryPrinter::print(failing, "Gruppo", {{"AB", 1}});
        FAIL();
    } catch (const printing::PrinterError& e) {
        // The same pairing as every other print job.
        EXPECT_EQ(printing::ListPrinter::failureText(e), "Problema sulla Stampante !");
    }
    EXPECT_EQ(failing.documentsAborted(), 1);
}
