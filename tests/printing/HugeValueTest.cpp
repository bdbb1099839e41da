#include "PdfWords.h"
#include "PrintFixtures.h"
#include "archive/DataModel.h"
#include "printing/ListPrinterArchiveWalk.h"
#include "support/CommandRun.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;

// One surname of 30 MB, stored by another tool: labels and list print it cut to the
// field's 35 characters and stay small; the export still writes it whole.
TEST(HugeValue, PrintingReadsOnlyWhatItCanShowAndExportKeepsItAll) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("grande.mdb");
    const QString pattern = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijÀ");
    const QString huge = pattern.repeated(30 * 1024 * 1024 / pattern.size() + 1);
    test::archiveWith(mdb, {test::address("", "", huge, "Mario", "", "", "", "Roma", ""),
                            test::address("", "", "Bianchi", "Mario", "", "", "", "Roma", "")});
    const QString shown = huge.left(archive::DataModel::fieldSize(archive::DataModel::COGNOME));
    ASSERT_EQ(shown, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghi"));

    {
        archive::Database db(mdb, archive::Database::Mode::ReadOnly);
        printing::ListPrinterArchiveWalk printable(
            db, printing::ListPrinterArchiveWalk::Values::Printable);
        archive::AddressRecord r;
        ASSERT_TRUE(printable.next(r));
        EXPECT_EQ(r[2], shown);
        ASSERT_TRUE(printable.next(r));
        EXPECT_EQ(r[2], "Bianchi");
        printing::ListPrinterArchiveWalk stored(db,
                                                printing::ListPrinterArchiveWalk::Values::AsStored);
        ASSERT_TRUE(stored.next(r));
        EXPECT_EQ(r[2], huge);
        EXPECT_EQ(r[3], "Mario");
    }

    for (const char* command : {"labels", "list"}) {
        const QString pdf = dir.filePath(QLatin1String(command) + ".pdf");
        const auto run = test::runCommand(command, {mdb, "--pdf", pdf});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_LT(QFileInfo(pdf).size(), 200 * 1024);
        QStringList words;
        for (const auto& w : test::wordsOf(pdf))
            words << w.text;
        const QString text = words.join(u' ');
        EXPECT_TRUE(text.contains(shown)) << text.left(2000).toStdString();
        EXPECT_FALSE(text.contains(shown + QLatin1Char('i'))) << text.left(2000).toStdString();
        EXPECT_TRUE(text.contains("Bianchi"));
    }

    const QString txt = dir.filePath("out.txt");
    const auto run = test::runCommand("export", {mdb, txt});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(
        test::fileBytes(txt).contains(huge.toLatin1())); // every character is in Windows-1252
}
