#include "archive/SampleArchive.h"
#include "shell/BatchCommands.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace velomar;

namespace {
int run(const QStringList& args, QString* errText = nullptr) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int rc = velomar::shell::BatchCommands::run("labels", args, o, e);
    o.flush();
    e.flush();
    if (errText)
        *errText = err;
    return rc;
}
} // namespace

TEST(BatchLabels, ArgumentsArchiveAndOutput) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("esempio.mdb");
    archive::SampleArchive::write(mdb, 50, 3);
    const QString pdf = dir.filePath("etichette.pdf");
    QString err;

    EXPECT_EQ(run({mdb}, &err), 2);
    EXPECT_TRUE(err.contains("--pdf"));
    EXPECT_EQ(run({mdb, "--pdf", pdf, "--start", "9,1"}), 2);
    EXPECT_EQ(run({mdb, "--pdf", pdf, "--sort", "17"}), 2);
    EXPECT_EQ(run({mdb, "--pdf", pdf, "--bogus"}), 2);
    EXPECT_FALSE(QFile::exists(pdf));

    QFile bad(dir.filePath("rotto.mdb"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("niente");
    bad.close();
    EXPECT_EQ(run({bad.fileName(), "--pdf", pdf}, &err), 1);
    EXPECT_EQ(err.trimmed(), "Archivio non riconosciuto o corrotto !");

    EXPECT_EQ(run({mdb, "--pdf", pdf, "--group", "'Q"}, &err), 1);
    EXPECT_TRUE(err.startsWith("Nessun indirizzo con Gruppo"));
    EXPECT_FALSE(QFile::exists(pdf));

    EXPECT_EQ(run({mdb, "--pdf", pdf, "--start", "8,3", "--sort", "2"}), 0);
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.read(5) == "%PDF-");

    EXPECT_EQ(run({mdb, "--pdf", dir.filePath("manca/x.pdf")}, &err), 1);
    // The file and why, not a printer problem.
    EXPECT_TRUE(err.startsWith("Impossibile scrivere il file PDF")) << err.toStdString();
    EXPECT_TRUE(err.contains("non trovat")) << err.toStdString();
}

TEST(BatchLabels, FormatsListChooseAndRefuse) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("esempio.mdb");
    archive::SampleArchive::write(mdb, 30, 3);
    const QString pdf = dir.filePath("etichette.pdf");
    const auto formats = [](const QStringList& args, QString* outText, QString* errText = nullptr) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int rc = velomar::shell::BatchCommands::run("formats", args, o, e);
        o.flush();
        e.flush();
        *outText = out;
        if (errText)
            *errText = err;
        return rc;
    };
    QString out, err;
    ASSERT_EQ(formats({"--search", "l7160"}, &out), 0);
    EXPECT_TRUE(out.startsWith("A4 3x7 63,5x38,1\t3 × 7, 63,5 × 38,1 mm, A4\tpredefinito\t")) << out.toStdString();
    EXPECT_TRUE(out.endsWith("In uso: A4 3x8 70x36\n"));
    EXPECT_EQ(formats({"--search", "nessuna marca così"}, &out, &err), 1);
    EXPECT_EQ(formats({"--set", "A4 9x9"}, &out, &err), 2);
    EXPECT_TRUE(err.startsWith("Formato di foglio sconosciuto: \"A4 9x9\""));
    EXPECT_EQ(formats({"--bogus"}, &out), 2);
    // The user's own format: wrong values are bad usage, a sheet that cannot be printed is refused.
    EXPECT_EQ(formats({"--custom", "A4,3,8,70"}, &out, &err), 2);
    EXPECT_EQ(formats({"--custom", "B5,3,8,70,36,0,4.5,70,36"}, &out, &err), 2);
    EXPECT_TRUE(err.startsWith("Carta sconosciuta"));
    EXPECT_EQ(formats({"--custom", "A4,3,8,80,36,0,4.5,70,36"}, &out, &err), 1);
    EXPECT_TRUE(err.contains("sovrappongono")) << err.toStdString();
    ASSERT_EQ(formats({"--custom", "A5,2,4,60,40,10,15,68,46,2"}, &out), 0);
    EXPECT_EQ(out, "Formato in uso: Personalizzato (2 × 4, 60 × 40 mm, A5)\n");

    // labels takes the chosen sheet, or the one named.
    EXPECT_EQ(run({mdb, "--pdf", pdf, "--start", "5,1"}, &err), 2);
    EXPECT_TRUE(err.startsWith("--start richiede RIGA,COLONNA con riga da 1 a 4 e colonna da 1 a 2.")) << err.toStdString();
    EXPECT_EQ(run({mdb, "--pdf", pdf, "--format", "nessuno"}, &err), 2);
    EXPECT_TRUE(err.startsWith("Formato di foglio sconosciuto: \"nessuno\""));
    EXPECT_FALSE(QFile::exists(pdf));
    {
        QString o, e;
        QTextStream os(&o), es(&e);
        ASSERT_EQ(velomar::shell::BatchCommands::run("labels", {mdb, "--pdf", pdf, "--start", "4,2"}, os, es), 0);
        os.flush();
        EXPECT_TRUE(o.contains("Fogli A5: 5\n")) << o.toStdString(); // 7 places used + 30 labels
        QString o2, e2;
        QTextStream os2(&o2), es2(&e2);
        ASSERT_EQ(velomar::shell::BatchCommands::run("labels", {mdb, "--pdf", pdf, "--format", "a4 3x8 70x36", "--start", "8,3"}, os2, es2), 0);
        os2.flush();
        EXPECT_TRUE(o2.contains("Fogli A4: 3\n")) << o2.toStdString();
    }
    ASSERT_EQ(formats({"--set", "A4 3x8 70x36"}, &out), 0);
}
