#include "../exchange/ArchiveFixture.h"
#include "archive/DataModel.h"
#include "printing/ListPrinterArchiveWalk.h"
#include "support/CommandRun.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;

namespace {

using Command = const char*; // a velomar-batch command by name

int run(Command command, const QStringList& args, QString& err) {
    const test::CommandRun r = test::runCommand(command, args);
    err = r.err;
    return r.status;
}

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

    const bool poppler = !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
    for (Command command : {"labels", "list"}) {
        const QString pdf = dir.filePath("out.pdf");
        QString err;
        ASSERT_EQ(run(command, {mdb, "--pdf", pdf}, err), 0) << err.toStdString();
        EXPECT_LT(QFileInfo(pdf).size(), 200 * 1024);
        if (poppler) {
            const QString text = pdfText(pdf);
            EXPECT_TRUE(text.contains(shown)) << text.left(2000).toStdString();
            EXPECT_FALSE(text.contains(shown + QLatin1Char('i'))) << text.left(2000).toStdString();
            EXPECT_TRUE(text.contains("Bianchi"));
        }
        QFile::remove(pdf);
    }

    const QString txt = dir.filePath("out.txt");
    QString err;
    ASSERT_EQ(run("export", {mdb, txt}, err), 0) << err.toStdString();
    QFile f(txt);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    EXPECT_TRUE(all.contains(huge.toLatin1())); // every character is in Windows-1252
}
