#include "archive/SampleArchive.h"
#include "printing/PrintingBatch.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace velomar;

namespace {
int run(const QStringList& args, QString* errText = nullptr) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int rc = printing::batchLabels(args, o, e);
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
