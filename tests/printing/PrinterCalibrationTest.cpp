#include "PdfWords.h"
#include "PrintFixtures.h"
#include "support/CommandRun.h"
#include "support/ScriptedDialogs.h"

#include "common/AppError.h"
#include "common/OutputGuard.h"
#include "printing/CalibratedPrinter.h"
#include "printing/CupsDestinations.h"
#include "printing/PrinterCalibration.h"
#include "printing/PrinterSelection.h"
#include "printing/TestSheet.h"
#include "settings/Settings.h"

#include <QLineF>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::printing;
using velomar::test::runCommand;

namespace {

// The refusal of a value, "" when it is taken.
QString refusal(const std::function<void()>& f) {
    try {
        f();
    } catch (const common::AppError& e) {
        return e.description();
    }
    return {};
}

// Records the lines drawn as well as the text.
class LinePrinter : public RecordingPrinter {
public:
    void drawLine(double x1, double y1, double x2, double y2, double) override {
        lines.push_back(QLineF(x1, y1, x2, y2));
    }
    std::vector<QLineF> lines;
};

bool hasLine(const std::vector<QLineF>& lines, QPointF a, QPointF b) {
    for (const QLineF& l : lines)
        if ((QLineF(l.p1(), a).length() < 1e-6 && QLineF(l.p2(), b).length() < 1e-6) ||
            (QLineF(l.p1(), b).length() < 1e-6 && QLineF(l.p2(), a).length() < 1e-6))
            return true;
    return false;
}

// System printers as a test wants them; the list can change under the selection.
class FakeProvider : public PrinterProvider {
public:
    explicit FakeProvider(std::vector<PrinterEntry>* list) : m_list(list) {}
    QString id() const override { return QStringLiteral("system"); }
    std::vector<PrinterEntry> printers() const override { return *m_list; }
    std::unique_ptr<Printer> create(const PrinterEntry& e, common::DialogService&) override {
        return std::make_unique<RecordingPrinter>(e.deviceName);
    }

private:
    std::vector<PrinterEntry>* m_list;
};

// The code the selection refuses to create a printer with, -1 when it creates one.
int refusalCode(PrinterSelection& selection, common::DialogService& dialogs) {
    try {
        selection.createPrinter(dialogs);
    } catch (const PrinterError& e) {
        return e.code();
    }
    return -1;
}

} // namespace

TEST(PrinterCalibration, ValuesOutsideTheirRangeOrStepAreRefusedInItalian) {
    const struct Case {
        const char* name;
        const char* offset;
        const char* scale;
        const char* refused; // start of the message, "" when taken
        QPointF offsetMm{};
        QPointF scalePercent{100, 100};
    } cases[] = {
        {"plain", "0.5,-1.2", "100,99.8", "", {0.5, -1.2}, {100, 99.8}},
        {"limits", "-10,10", "98,102", "", {-10, 10}, {98, 102}},
        {"decimal commas", "0,5;-1,2", "101,25;100", "", {0.5, -1.2}, {101.25, 100}},
        {"letters", "a,1", "100,100", "--offset richiede due numeri"},
        {"one value", "1", "100,100", "--offset richiede due numeri"},
        {"three values", "1,2,3", "100,100", "--offset richiede due numeri"},
        {"offset too far", "10.1,0", "100,100", "Lo spostamento va da -10,0 a +10,0 mm"},
        {"offset too fine", "0.25,0", "100,100", "Lo spostamento si indica in decimi"},
        {"scale too small", "0,0", "97.9,100", "La scala va da 98,0 a 102,0 %"},
        {"scale too large", "0,0", "100,102.5", "La scala va da 98,0 a 102,0 %"},
        {"scale too fine", "0,0", "100.005,100", "La scala si indica in centesimi"},
        {"scale letters", "0,0", "cento,100", "--scale richiede due numeri"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrinterCalibration cal;
        const QString why = refusal([&] {
            const QPointF o = PrinterCalibration::parseOffset(QLatin1String(c.offset));
            const QPointF s = PrinterCalibration::parseScale(QLatin1String(c.scale));
            cal = {o.x(), o.y(), s.x(), s.y()};
            if (const auto problem = cal.problem())
                throw common::AppError(380, *problem);
        });
        const QString want = QString::fromUtf8(c.refused);
        EXPECT_TRUE(want.isEmpty() ? why.isEmpty() : why.startsWith(want)) << why.toStdString();
        if (why.isEmpty())
            EXPECT_EQ(cal, (PrinterCalibration{c.offsetMm.x(), c.offsetMm.y(), c.scalePercent.x(),
                                               c.scalePercent.y()}));
    }
}

TEST(BatchCalibrate, ShowsSetsAndRemovesOnePrinterAndRefusesBadValuesInItalian) {
    const QString pdfPrinter = QStringLiteral("File PDF");
    // Two printers whose names differ only in the slash keep their own values.
    const QString a = QStringLiteral("Laser/ufficio"), b = QStringLiteral("Laser\\ufficio");
    const PrinterCalibration one{1.5, -2.3, 101.25, 98.5}, two{-0.1, 0.1, 100, 100.01};
    {
        settings::Settings store;
        one.save(store, a);
        two.save(store, b);
    }
    const struct Case {
        const char* name;
        QStringList args;
        int status;
        const char* says; // contained in what it writes
    } cases[] = {
        {"nothing stored", {pdfPrinter}, 0, "Calibrazione: nessuna"},
        {"set both",
         {pdfPrinter, "--offset", "1.5,-2", "--scale", "101,99.5"},
         0,
         "spostamento orizzontale +1,5 mm, verticale -2,0 mm; scala orizzontale 101,00 %, "
         "verticale 99,50 %"},
        {"offset alone keeps the scale",
         {pdfPrinter, "--offset", "-0.7,0"},
         0,
         "orizzontale -0,7 mm, verticale 0,0 mm; scala orizzontale 101,00 %"},
        {"out of range", {pdfPrinter, "--scale", "103,100"}, 2, "La scala va da 98,0 a 102,0 %"},
        {"reset with values",
         {pdfPrinter, "--reset", "--offset", "1,1"},
         2,
         "--reset non va insieme"},
        {"printer gone",
         {"Sparita", "--offset", "1,1"},
         1,
         "La stampante \"Sparita\" non è installata"},
        {"shown after refusals",
         {pdfPrinter},
         0,
         "orizzontale -0,7 mm, verticale 0,0 mm; scala orizzontale 101,00 %"},
        {"reset a printer gone", {"Sparita", "--reset"}, 0, "Nessuna calibrazione da rimuovere."},
        {"reset", {pdfPrinter, "--reset"}, 0, "Calibrazione rimossa."},
        {"other printer untouched",
         {a},
         0,
         "orizzontale +1,5 mm, verticale -2,3 mm; scala orizzontale 101,25 %, "
         "verticale 98,50 %"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = runCommand(QStringLiteral("calibrate"), c.args);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        EXPECT_TRUE((run.out + run.err).contains(QString::fromUtf8(c.says)))
            << (run.out + run.err).toStdString();
    }
    settings::Settings store;
    EXPECT_EQ(PrinterCalibration::load(store, b), two);
    // Values edited by hand beyond the range are said and not used.
    store.setPrinterCalibration({a, 500, 0, 10000, 10000});
    QString note;
    EXPECT_TRUE(PrinterCalibration::load(store, a, &note).isIdentity());
    EXPECT_TRUE(note.contains(QStringLiteral("non è valida"))) << note.toStdString();
    PrinterCalibration::reset(store, a);
    PrinterCalibration::reset(store, b);
}

TEST(BatchTestSheet, DrawsThePrinterSheetAndLeavesAFileInUseAlone) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("prova.pdf"));
    auto run = runCommand(QStringLiteral("test-sheet"), {"--pdf", pdf, "--format", "Avery L7160"});
    if (run.status == 2) // glabels-data not installed: the built-in sheet
        run = runCommand(QStringLiteral("test-sheet"), {"--pdf", pdf});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QStringList words;
    for (const auto& w : test::wordsOf(pdf))
        words << w.text;
    const QString text = words.join(u' ');
    EXPECT_TRUE(text.contains(QStringLiteral("Foglio di prova - File PDF - ") +
                              QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Calibrazione: nessuna")));
    EXPECT_TRUE(words.contains("200") && words.contains("280")); // the rulers

    // A file in use is refused and left as it was (a printer not there: BatchLabels).
    const QString mdb = dir.filePath(QStringLiteral("archivio.mdb"));
    archive::SampleArchive::write(mdb, 5, 1);
    const QByteArray before = test::fileBytes(mdb);
    {
        const auto held = common::OutputGuard::hold(mdb);
        run = runCommand(QStringLiteral("test-sheet"), {"--pdf", mdb});
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(test::fileBytes(mdb), before);
}

// The whole job as the batch prints it for a calibrated printer, read back from the PDF:
// every word where the calibration puts it, inside its label as that lands.
TEST(CalibratedPrinter, EveryWordOfACalibratedPdfIsMovedAndScaledAndStaysOnItsLabel) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath(QStringLiteral("archivio.mdb"));
    archive::SampleArchive::write(mdb, 30, 1);
    const QString plain = dir.filePath(QStringLiteral("plain.pdf"));
    const QString moved = dir.filePath(QStringLiteral("moved.pdf"));
    const auto labels = [&](const QString& pdf) {
        return test::runCommand("labels", {mdb, "--pdf", pdf, "--printer", "File PDF"});
    };
    ASSERT_EQ(labels(plain).status, 0);
    ASSERT_EQ(test::runCommand(QStringLiteral("calibrate"),
                               {"File PDF", "--offset", "-3.7,4.2", "--scale", "101.35,98.6"})
                  .status,
              0);
    const auto run = labels(moved);
    ASSERT_EQ(test::runCommand(QStringLiteral("calibrate"), {"File PDF", "--reset"}).status, 0);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const PrinterCalibration cal{-3.7, 4.2, 101.35, 98.6};

    const auto before = test::wordsOf(plain), after = test::wordsOf(moved);
    ASSERT_GT(before.size(), 200u);
    ASSERT_EQ(after.size(), before.size());
    const SheetFormat sheet = SheetFormat::standard();
    double worst = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const test::Word& b = before[i];
        const test::Word& a = after[i];
        ASSERT_EQ(a.text, b.text) << i;
        ASSERT_EQ(a.page, b.page) << i;
        const QRectF want = cal.apply(b.box);
        for (const double d : {a.box.left() - want.left(), a.box.top() - want.top(),
                               a.box.right() - want.right(), a.box.bottom() - want.bottom()})
            worst = std::max(worst, std::abs(d));
        // Its label: the one the uncalibrated word sits on, where it lands.
        const auto at = test::labelAt(sheet, b.box.center());
        ASSERT_TRUE(at) << b.text.toStdString();
        const QRectF label = cal.apply(sheet.physicalLabel(*at));
        EXPECT_TRUE(label.contains(a.box)) << a.text.toStdString() << " page " << a.page;
    }
    EXPECT_LT(worst, 0.05) << "words " << before.size();
    RecordProperty("worstMm", QString::number(worst, 'f', 5).toStdString());
}

// Positions, clips and lines land moved and scaled about the paper corner: a few lines of
// text, then the test sheet's outlines, crosses, rulers and heading.
TEST(CalibratedPrinter, TextClipsAndTheTestSheetLandWhereTheCalibrationPutsThem) {
    const SheetFormat sheet = SheetFormat::standard();
    LabelOptions options;
    options.leftOffsetMm = 2;
    options.topOffsetMm = 5;
    for (const bool calibrated : {false, true}) {
        SCOPED_TRACE(calibrated ? "calibrated" : "plain");
        LinePrinter inner;
        const PrinterCalibration cal =
            calibrated ? PrinterCalibration{1.2, -0.8, 101, 99} : PrinterCalibration{};
        CalibratedPrinter printer(inner, cal);
        const QPointF o = inner.paperOrigin();
        const auto at = [&](QPointF printable) { return cal.apply(printable + o) - o; };

        printer.setClip(10, 20, 70, 36);
        printer.setCurrentY(20);
        printer.setCurrentX(10);
        printer.printLine(QStringLiteral("uno"));
        printer.setCurrentX(10);
        printer.printText(QStringLiteral("due "));
        printer.printText(QStringLiteral("tre"));
        // The layout reads back its own positions.
        EXPECT_DOUBLE_EQ(printer.currentY(), 20 + printer.lineHeight());
        EXPECT_DOUBLE_EQ(printer.currentX(),
                         10 + printer.textWidth("due ") + printer.textWidth("tre"));
        const auto& events = inner.events();
        ASSERT_EQ(events.size(), 3u);
        const QPointF starts[] = {{10, 20},
                                  {10, 20 + printer.lineHeight()},
                                  {10 + printer.textWidth("due "), 20 + printer.lineHeight()}};
        for (std::size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(events[i].text.toStdString());
            EXPECT_NEAR(events[i].x, at(starts[i]).x(), 1e-9);
            EXPECT_NEAR(events[i].y, at(starts[i]).y(), 1e-9);
            ASSERT_TRUE(events[i].clip.has_value());
            EXPECT_NEAR(events[i].clip->left(), at({10, 20}).x(), 1e-9);
            EXPECT_NEAR(events[i].clip->bottom(), at({80, 56}).y(), 1e-9);
        }

        const TestSheet test(sheet, options);
        test.print(printer, QStringLiteral("Laser"), QStringLiteral("nessuna"), QDate(2026, 12, 8));

        // Every label outlined, its cross at the text origin moved by the offsets.
        for (int i = 1; i <= sheet.labelsPerSheet(); ++i) {
            const QRectF r = sheet.physicalLabel(sheet.positionOf(i)).translated(-o);
            EXPECT_TRUE(hasLine(inner.lines, at(r.topLeft()), at(r.topRight()))) << i;
            EXPECT_TRUE(hasLine(inner.lines, at(r.bottomLeft()), at(r.topLeft()))) << i;
            const QPointF c = sheet.textOrigin(sheet.positionOf(i)) + QPointF(2, 5);
            EXPECT_EQ(test.crossAt(sheet.positionOf(i)), c);
            EXPECT_TRUE(hasLine(inner.lines, at(c - QPointF(TestSheet::CrossArmMm, 0)),
                                at(c + QPointF(TestSheet::CrossArmMm, 0))))
                << i;
        }
        // The 100 mm tick of the top ruler and of the middle one count from the paper's edge.
        EXPECT_TRUE(hasLine(inner.lines, at({100 - o.x(), 0}), at({100 - o.x(), 4})));
        EXPECT_TRUE(hasLine(inner.lines, at({100 - o.x(), 148.5 - o.y() - 2}),
                            at({100 - o.x(), 148.5 - o.y() + 2})));
        EXPECT_TRUE(hasLine(inner.lines, at({0, 50 - o.y()}), at({4, 50 - o.y()})));
        EXPECT_TRUE(inner.printedTexts().contains(
            QStringLiteral("Foglio di prova - Laser - 08/12/2026 - ") + sheet.name));
        EXPECT_EQ(inner.documentsEnded(), 1);
    }
    EXPECT_EQ(CalibratedPrinter::wrap(std::make_unique<RecordingPrinter>(), {})->deviceName(),
              QStringLiteral("Registratore"));
}

TEST(CupsDestinations, LpstatListsNamesAndTheDefault) {
    const auto list = CupsDestinations::parse("Laser_Ufficio\nEtichette\n\n",
                                              "destinazione predefinita di sistema: Etichette\n");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (PrinterEntry{"Laser_Ufficio", "system", false}));
    EXPECT_EQ(list[1], (PrinterEntry{QStringLiteral("Etichette"), QStringLiteral("system"), true}));
    EXPECT_TRUE(CupsDestinations::parse({}, "no system default destination").empty());
}

TEST(PrinterSelection, DefaultFirstChoiceKeptAndVanishedPrinterIsCodeFive) {
    test::ScriptedDialogs dialogs;
    EXPECT_EQ(PrinterSelection().currentName(), "");
    std::vector<PrinterEntry> system{{"Ufficio", "system", false},
                                     {"Laser", "system", true},
                                     {"Ufficio", "system", false}};
    PrinterSelection selection;
    selection.addProvider(std::make_unique<FakeProvider>(&system));
    selection.addProvider(std::make_unique<PdfPrinterProvider>());
    ASSERT_EQ(selection.printers().size(), 4u);
    EXPECT_EQ(selection.printers().back().deviceName, PdfPrinter::defaultName());
    EXPECT_EQ(selection.currentName(), "Laser");

    EXPECT_TRUE(selection.selectByName("Ufficio"));
    EXPECT_EQ(*selection.current(), system[0]); // the first of the same name
    EXPECT_FALSE(selection.selectByName("Nessuna"));
    EXPECT_EQ(selection.currentName(), "Ufficio");
    EXPECT_EQ(selection.createPrinter(dialogs)->deviceName(), "Ufficio");

    system.clear(); // unplugged
    EXPECT_EQ(refusalCode(selection, dialogs), PrinterError::NoPrinter);
}
