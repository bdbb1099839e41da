#include "../exchange/ArchiveFixture.h"
#include "archive/DataModel.h"
#include "printing/ListPrinterArchiveWalk.h"
#include "support/CommandRun.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;

namespace {

QString pdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

// One surname of 30 MB, stored by another tool: labels and list print it cut to the
// field's 35 characters and stay small; the export still writes it whole.
TEST(HugeValue, PrintingReadsOnlyWhatItCanShowAndExportKeepsItAll) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("grande.mdb");
    test::createTestArchive(mdb);
    QString huge;
    {
        const QString pattern = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijÀ");
        huge.reserve(30 * 1024 * 1024 + pattern.size());
        while (huge.size() < 30 * 1024 * 1024)
            huge += pattern;
        archive::Database db(mdb, archive::Database::Mode::ReadWrite);
        archive::AddressRecord r;
        r[2] = huge;
        r[3] = QStringLiteral("Mario");
        r[7] = QStringLiteral("Roma");
        test::addTestAddress(db, r);
        r[2] = QStringLiteral("Bianchi");
        test::addTestAddress(db, r);
    }
    const QString shown = huge.left(archive::DataModel::fieldSize(archive::DataModel::COGNOME));
    ASSERT_EQ(shown, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghi"));

    {
        archive::Database db(mdb, archive::Database::Mode::ReadOnly);
        printing::ListPrinterArchiveWalk printable(db, printing::ListPrinterArchiveWalk::Values::Printable);
        archive::AddressRecord r;
        ASSERT_TRUE(printable.next(r));
        EXPECT_EQ(r[2], shown);
        ASSERT_TRUE(printable.next(r));
        EXPECT_EQ(r[2], "Bianchi");
        printing::ListPrinterArchiveWalk stored(db, printing::ListPrinterArchiveWalk::Values::AsStored);
        ASSERT_TRUE(stored.next(r));
        EXPECT_EQ(r[2], huge);
        EXPECT_EQ(r[3], "Mario");
    }

    for (const char* command : {"labels", "list"}) {
        const QString pdf = dir.filePath("out.pdf");
        const auto run = test::runCommand(command, {mdb, "--pdf", pdf});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_LT(QFileInfo(pdf).size(), 200 * 1024);
        const QString text = pdfText(pdf);
        EXPECT_TRUE(text.contains(shown)) << text.left(2000).toStdString();
        EXPECT_FALSE(text.contains(shown + QLatin1Char('i'))) << text.left(2000).toStdString();
        EXPECT_TRUE(text.contains("Bianchi"));
        QFile::remove(pdf);
    }

    const QString txt = dir.filePath("out.txt");
    const auto run = test::runCommand("export", {mdb, txt});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(test::fileBytes(txt).contains(huge.toLatin1())); // every character is in Windows-1252
}
