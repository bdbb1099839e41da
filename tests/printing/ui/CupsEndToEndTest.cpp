#include "support/MemorySource.h"
#include "../PdfWords.h"
#include "support/CommandRun.h"
#include "support/ScriptedDialogs.h"

#include "printing/CalibrationBatch.h"
#include "printing/PrinterCalibration.h"
#include "printing/PrinterSelection.h"
#include "printing/StampaEtichette.h"
#include "printing/ui/QtPrinter.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

using namespace velomar;
using namespace velomar::printing;

namespace {

const QString kCupsd = QStringLiteral("/usr/sbin/cupsd");
const QString kBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
const QString kQueue = QStringLiteral("VelomarEtichette");

// A cupsd of our own on a private socket, stopped with the test.
class OwnCupsd {
public:
    bool start(const QString& root) {
        for (const char* sub : {"etc/ppd", "spool/tmp", "cache", "state", "log"})
            QDir().mkpath(root + QLatin1Char('/') + QLatin1String(sub));
        ::chmod(QFile::encodeName(root).constData(), 0755); // cupsd refuses a private root
        m_socket = root + QStringLiteral("/cups.sock");
        test::writeFile(
            root + QStringLiteral("/etc/cupsd.conf"),
            QStringLiteral(
                "Listen %1\nLogLevel warn\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n"
                "  </Limit>\n</Policy>\n")
                .arg(m_socket)
                .toUtf8());
        test::writeFile(
            root + QStringLiteral("/etc/cups-files.conf"),
            QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nTempDir %1/spool/tmp\n"
                           "CacheDir %1/cache\nStateDir %1/state\nErrorLog %1/log/error_log\n"
                           "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                           "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nFileDevice No\n"
                           "SystemGroup root\n")
                .arg(root)
                .toUtf8());
        m_cupsd.start(kCupsd,
                      {"-f", "-c", root + "/etc/cupsd.conf", "-s", root + "/etc/cups-files.conf"});
        for (int i = 0; i < 100 && !QFileInfo::exists(m_socket); ++i)
            QThread::msleep(50);
        return m_cupsd.waitForStarted() && QFileInfo::exists(m_socket);
    }
    ~OwnCupsd() {
        m_cupsd.terminate();
        m_cupsd.waitForFinished();
    }
    const QString& socket() const { return m_socket; }

private:
    QProcess m_cupsd;
    QString m_socket;
};

// The PDF files the queue wrote into outDir since before, once there are n and all are
// complete (a PDF still being written cannot be read); their page counts in pages.
QStringList waitForPdfs(const QString& outDir, const QStringList& before, int n,
                        std::vector<int>& pages) {
    QStringList produced;
    for (int i = 0; i < 300; ++i) {
        QThread::msleep(100);
        produced.clear();
        pages.clear();
        for (const QString& f : QDir(outDir).entryList({"*.pdf"}, QDir::Files, QDir::Name))
            if (!before.contains(f)) {
                produced << outDir + QLatin1Char('/') + f;
                pages.push_back(test::pageCount(produced.back()));
            }
        if (produced.size() == n &&
            std::all_of(pages.begin(), pages.end(), [](int n) { return n > 0; }))
            break;
    }
    return produced;
}

// Labels 1..n of the sample addresses from the sheet's first label, as the labels window
// prints them.
void printLabels(std::unique_ptr<Printer> printer, int n) {
    test::MemorySource source = test::sampleSource(n);
    LabelPosition pos;
    StampaEtichette(*printer, {}).print(source, pos);
    printer->finishJob();
}

} // namespace

TEST(CupsEndToEnd, SheetPrintedThroughARealQueue) {
    if (geteuid() != 0 || !QFileInfo::exists(kCupsd) || !QFileInfo::exists(kBackend))
        GTEST_SKIP() << "needs root, cupsd and the cups-pdf back end";
    QTemporaryDir dir(QStringLiteral("/tmp/velomar-cups-XXXXXX"));
    OwnCupsd cupsd;
    ASSERT_TRUE(cupsd.start(dir.path()));
    qputenv("CUPS_SERVER", cupsd.socket().toLocal8Bit());

    QProcess lpadmin;
    lpadmin.start("lpadmin", {"-p", kQueue, "-v", "cups-pdf:/", "-E", "-m",
                              "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"});
    ASSERT_TRUE(lpadmin.waitForFinished(30000));
    ASSERT_EQ(lpadmin.exitCode(), 0) << lpadmin.readAllStandardError().toStdString();

    // Listed by the Qt back end and made current by name.
    PrinterSelection selection;
    selection.addProvider(std::make_unique<QtPrinterProvider>());
    selection.addProvider(std::make_unique<PdfPrinterProvider>());
    ASSERT_TRUE(selection.selectByName(kQueue));
    // The batch commands find the same queue through lpstat.
    EXPECT_EQ(batchPrinterProblem(kQueue), std::nullopt);
    EXPECT_NE(batchPrinterProblem(kQueue + QStringLiteral("Vecchia")), std::nullopt);

    // Output lands in the submitting user's PDF folder as "<title>-job_<n>.pdf".
    const QString outDir = QDir::homePath() + QStringLiteral("/PDF");
    const QStringList before = QDir(outDir).entryList({QStringLiteral("*.pdf")}, QDir::Files);

    test::ScriptedDialogs dialogs;
    auto printer = selection.createPrinter(dialogs);
    EXPECT_EQ(printer->deviceName(), kQueue);
    printLabels(std::move(printer), 24 + 3); // a full sheet and 3 labels: two documents, two jobs

    std::vector<int> pages;
    const QStringList produced = waitForPdfs(outDir, before, 2, pages);
    ASSERT_EQ(produced.size(), 2) << "queue output missing in " << outDir.toStdString();
    EXPECT_EQ(pages, (std::vector<int>{1, 1}));
    const auto plain = test::wordsOf(produced[0]);
    for (const QString& f : produced)
        QFile::remove(f);

    // The same full sheet on the calibrated queue: every word moved by the offset.
    settings::Settings store;
    const PrinterCalibration calibration{4.0, 3.0, 100, 100};
    calibration.save(store, kQueue);
    printLabels(selection.createPrinter(dialogs, PrinterSelection::Calibration::Applied), 24);
    PrinterCalibration::reset(store, kQueue);
    const QStringList moved = waitForPdfs(outDir, before, 1, pages);
    ASSERT_EQ(moved.size(), 1);
    const auto words = test::wordsOf(moved[0]);
    QFile::remove(moved[0]);
    ASSERT_EQ(words.size(), plain.size());
    ASSERT_FALSE(words.empty());
    // The queue's filters round to the printer's dots and fit the page to its printable
    // area: the words move by the offset within what the chain itself changes.
    for (std::size_t i = 0; i < words.size(); ++i) {
        EXPECT_NEAR(words[i].box.left() - plain[i].box.left(), 4.0, 0.2)
            << words[i].text.toStdString();
        EXPECT_NEAR(words[i].box.top() - plain[i].box.top(), 3.0, 0.2)
            << words[i].text.toStdString();
    }
    qunsetenv("CUPS_SERVER");
}
