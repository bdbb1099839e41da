#include "PdfWords.h"

#include "archive/SampleArchive.h"
#include "common/OutputGuard.h"
#include "printing/PrinterCalibration.h"
#include "settings/Settings.h"
#include "support/CommandRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using velomar::test::runCommand;

TEST(BatchCalibrate, ShowsSetsAndRemovesOnePrinterAndRefusesBadValuesInItalian) {
    const QString pdfPrinter = QStringLiteral("File PDF");
    {
        settings::Settings store;
        printing::PrinterCalibration{0.3, 0.4, 100.5, 99.5}.save(store, QStringLiteral("Altra"));
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
         {"Altra"},
         0,
         "orizzontale +0,3 mm, verticale +0,4 mm; scala orizzontale 100,50 %"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = runCommand(QStringLiteral("calibrate"), c.args);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        EXPECT_TRUE((run.out + run.err).contains(QString::fromUtf8(c.says)))
            << (run.out + run.err).toStdString();
    }
    settings::Settings store;
    printing::PrinterCalibration::reset(store, QStringLiteral("Altra"));
}

TEST(BatchTestSheet, DrawsThePrinterSheetAndRefusesWhatItMustNotWrite) {
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

    // A printer that is not there, and a file in use, are refused and nothing is written.
    run = runCommand("test-sheet", {"--pdf", dir.filePath("no.pdf"), "--printer", "Sparita"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("non è installata"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("no.pdf")));
    const QString mdb = dir.filePath(QStringLiteral("archivio.mdb"));
    archive::SampleArchive::write(mdb, 5, 1);
    const QByteArray before = test::fileBytes(mdb);
    {
        const auto held = common::OutputGuard::hold(mdb);
        run = runCommand(QStringLiteral("test-sheet"), {"--pdf", mdb});
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(test::fileBytes(mdb), before);
    run = runCommand(QStringLiteral("labels"), {mdb, "--pdf", pdf, "--printer", "Sparita"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("non è installata"))) << run.err.toStdString();
}
