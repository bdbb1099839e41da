#include "archive/SampleArchive.h"
#include "support/CommandRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using test::runCommand;

TEST(BatchLabels, RefusalsWriteNothingAndTheChosenSheetIsTaken) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("esempio.mdb");
    archive::SampleArchive::write(mdb, 30, 3);
    const QString pdf = dir.filePath("etichette.pdf");
    const QString bad = dir.filePath("rotto.mdb");
    ASSERT_TRUE(test::writeFile(bad, "niente"));

    const struct {
        const char* command;
        QStringList args;
        int status;
        const char* err; // part of the message
    } refused[] = {
        {"labels", {mdb, "--pdf", pdf, "--start", "9,1"}, 2, "--start richiede RIGA,COLONNA"},
        {"labels", {mdb, "--pdf", pdf, "--sort", "17"}, 2, ""},
        {"labels", {bad, "--pdf", pdf}, 1, "Archivio non riconosciuto o corrotto !"},
        {"labels", {mdb, "--pdf", pdf, "--group", "'Q"}, 1, "Nessun indirizzo con Gruppo"},
        {"labels", {mdb, "--pdf", pdf, "--format", "nessuno"}, 2, "Formato di foglio sconosciuto: \"nessuno\""},
        // The file and why, not a printer problem.
        {"labels", {mdb, "--pdf", dir.filePath("manca/x.pdf")}, 1, "Impossibile scrivere il file PDF"},
        {"labels", {mdb, "--pdf", pdf, "--printer", "Sparita"}, 1, "non è installata"},
        {"test-sheet", {"--pdf", pdf, "--printer", "Sparita"}, 1, "non è installata"},
        {"formats", {"--search", "nessuna marca così"}, 1, ""},
        {"formats", {"--set", "A4 9x9"}, 2, "Formato di foglio sconosciuto: \"A4 9x9\""},
        // The user's own format: wrong values are bad usage, a sheet that cannot be printed is refused.
        {"formats", {"--custom", "A4,3,8,70"}, 2, ""},
        {"formats", {"--custom", "B5,3,8,70,36,0,4.5,70,36"}, 2, "Carta sconosciuta"},
        {"formats", {"--custom", "A4,3,8,80,36,0,4.5,70,36"}, 1, "sovrappongono"},
    };
    for (const auto& c : refused) {
        const auto run = runCommand(c.command, c.args);
        EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.err))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(runCommand("labels", {mdb, "--pdf", dir.filePath("manca/x.pdf")}).err.contains("non trovat"));

    auto run = runCommand("formats", {"--search", "l7160"});
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.startsWith("A4 3x7 63,5x38,1\t3 × 7, 63,5 × 38,1 mm, A4\tpredefinito\t")) << run.out.toStdString();
    EXPECT_TRUE(run.out.endsWith("In uso: A4 3x8 70x36\n"));
    run = runCommand("formats", {"--custom", "A5,2,4,60,40,10,15,68,46,2"});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Formato in uso: Personalizzato (2 × 4, 60 × 40 mm, A5)\n");

    // labels takes the chosen sheet (its rows bound --start), or the one named.
    EXPECT_TRUE(runCommand("labels", {mdb, "--pdf", pdf, "--start", "5,1"})
                    .err.startsWith("--start richiede RIGA,COLONNA con riga da 1 a 4 e colonna da 1 a 2."));
    run = runCommand("labels", {mdb, "--pdf", pdf, "--start", "4,2"});
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains("Fogli A5: 5\n")) << run.out.toStdString(); // 7 places used + 30 labels
    EXPECT_TRUE(test::fileBytes(pdf).startsWith("%PDF-"));
    run = runCommand("labels", {mdb, "--pdf", pdf, "--format", "a4 3x8 70x36", "--start", "8,3", "--sort", "2"});
    ASSERT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains("Fogli A4: 3\n")) << run.out.toStdString();
    ASSERT_EQ(runCommand("formats", {"--set", "A4 3x8 70x36"}).status, 0);
}
