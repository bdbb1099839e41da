#include "../MemorySource.h"
#include "../PdfWords.h"
#include "support/CommandRun.h"
#include "support/ScriptedDialogs.h"

#include "printing/CalibrationBatch.h"
#include "printing/PrinterCalibration.h"
#include "printing/PrinterSelection.h"
#include "printing/StampaEtichette.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include "printing/ui/QtPrinter.h"
#include <csignal>

using namespace velomar;
using namespace velomar::printing;

namespace {

const QString kCupsd = QStringLiteral("/usr/sbin/cupsd");
const QString kBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
const QString kQueue = QStringLiteral("VelomarEtichette");

// A cupsd of our own on a private socket, stopped by its process id.
class OwnCupsd {
public:
    bool start(const QString& root) {
        for (const char* sub : {"etc/ppd", "spool/tmp", "cache", "state", "log"})
            QDir().mkpath(root + QLatin1Char('/') + QLatin1String(sub));
        QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                        QFileDevice::ReadOther | QFileDevice::ExeOther |
                                        QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        m_socket = root + QStringLiteral("/cups.sock");
        test::writeFile(root + QStringLiteral("/etc/cupsd.conf"),
                  QStringLiteral("Listen %1\nLogLevel warn\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                                 "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                 "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n"
                                 "  </Limit>\n</Policy>\n").arg(m_socket).toUtf8());
        test::writeFile(root + QStringLiteral("/etc/cups-files.conf"),
                  QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nTempDir %1/spool/tmp\n"
                                 "CacheDir %1/cache\nStateDir %1/state\nErrorLog %1/log/error_log\n"
                                 "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                                 "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nFileDevice No\n"
                                 "SystemGroup root\n").arg(root).toUtf8());
        const QByteArray conf = (root + QStringLiteral("/etc/cupsd.conf")).toLocal8Bit();
        const QByteArray files = (root + QStringLiteral("/etc/cups-files.conf")).toLocal8Bit();
        m_pid = fork();
        if (m_pid == 0) {
            execl(kCupsd.toLocal8Bit().constData(), "cupsd", "-f", "-c", conf.constData(), "-s",
                  files.constData(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 100 && !QFileInfo::exists(m_socket); ++i)
            QThread::msleep(50);
        return m_pid > 0 && QFileInfo::exists(m_socket);
    }
    ~OwnCupsd() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    const QString& socket() const { return m_socket; }

private:
    pid_t m_pid = -1;
    QString m_socket;
};

} // namespace

TEST(CupsEndToEnd, SheetPrintedThroughARealQueue) {
    if (geteuid() != 0 || !QFileInfo::exists(kCupsd) || !QFileInfo::exists(kBackend))
        GTEST_SKIP() << "needs root, cupsd and the cups-pdf back end";
    QTemporaryDir dir(QStringLiteral("/tmp/velomar-cups-XXXXXX"));
    OwnCupsd cupsd;
    ASSERT_TRUE(cupsd.start(dir.path()));
    qputenv("CUPS_SERVER", cupsd.socket().toLocal8Bit());

    QProcess lpadmin;
    lpadmin.start(QStringLiteral("lpadmin"), {QStringLiteral("-p"), kQueue, QStringLiteral("-v"),
                                              QStringLiteral("cups-pdf:/"), QStringLiteral("-E"),
                                              QStringLiteral("-m"),
                                              QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd")});
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
    test::MemorySource source;
    for (int i = 1; i <= 24 + 3; ++i) // a full sheet and 3 labels: two documents, two jobs
        source.add(test::sampleAddress(i));
    LabelPosition pos;
    StampaEtichette(*printer, {}).print(source, pos);
    printer->finishJob();
    printer.reset();

    // Wait until both jobs are written out completely (a PDF being written is unreadable).
    QStringList produced;
    std::vector<int> pages;
    for (int i = 0; i < 300; ++i) {
        QThread::msleep(100);
        produced.clear();
        pages.clear();
        for (const QString& f : QDir(outDir).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name))
            if (!before.contains(f)) {
                produced << f;
                pages.push_back(test::pageCount(outDir + QLatin1Char('/') + f));
            }
        if (produced.size() == 2 && pages[0] > 0 && pages[1] > 0)
            break;
    }
    ASSERT_EQ(produced.size(), 2) << "queue output missing in " << outDir.toStdString();
    EXPECT_EQ(pages, (std::vector<int>{1, 1}));
    const auto plain = test::wordsOf(outDir + QLatin1Char('/') + produced[0]);
    for (const QString& f : produced)
        QFile::remove(outDir + QLatin1Char('/') + f);

    // The same full sheet on the calibrated queue: every word moved by the offset.
    settings::Settings store;
    const PrinterCalibration calibration{4.0, 3.0, 100, 100};
    calibration.save(store, kQueue);
    printer = selection.createPrinter(dialogs, PrinterSelection::Calibration::Applied);
    test::MemorySource sheet;
    for (int i = 1; i <= 24; ++i)
        sheet.add(test::sampleAddress(i));
    pos = {};
    StampaEtichette(*printer, {}).print(sheet, pos);
    printer->finishJob();
    printer.reset();
    PrinterCalibration::reset(store, kQueue);
    QString moved;
    for (int i = 0; i < 300 && moved.isEmpty(); ++i) {
        QThread::msleep(100);
        for (const QString& f : QDir(outDir).entryList({QStringLiteral("*.pdf")}, QDir::Files))
            if (!before.contains(f) && test::pageCount(outDir + QLatin1Char('/') + f) > 0)
                moved = outDir + QLatin1Char('/') + f;
    }
    ASSERT_FALSE(moved.isEmpty());
    const auto words = test::wordsOf(moved);
    QFile::remove(moved);
    ASSERT_EQ(words.size(), plain.size());
    ASSERT_FALSE(words.empty());
    // The queue's filters round to the printer's dots and fit the page to its printable
    // area: the words move by the offset within what the chain itself changes.
    for (std::size_t i = 0; i < words.size(); ++i) {
        EXPECT_NEAR(words[i].box.left() - plain[i].box.left(), 4.0, 0.2) << words[i].text.toStdString();
        EXPECT_NEAR(words[i].box.top() - plain[i].box.top(), 3.0, 0.2) << words[i].text.toStdString();
    }
    qunsetenv("CUPS_SERVER");
}
