#include "common/OutputGuard.h"
#include "ExchangeTest.h"
#include "common/AppError.h"
#include "exchange/ExchangeBatch.h"
#include "exchange/ExportWriter.h"
#include "printing/PdfPrinter.h"
#include "printing/ReminderFile.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velomar;
using common::OutputGuard;

namespace {

QByteArray bytesOf(const QString& path) {
    if (!QFileInfo(path).isFile())
        return {}; // reading a FIFO would wait for a writer
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The guard's program folder for one test, restored afterwards.
struct ProgramFolder {
    explicit ProgramFolder(const QString& dir) { OutputGuard::setProgramFolder(dir); }
    ~ProgramFolder() { OutputGuard::setProgramFolder({}); }
};

} // namespace

// Every output of the batch commands and of the label jobs, aimed at a file the program
// uses or at something that is not a plain file: refused in Italian, exit 1, nothing changed.
TEST(OutputGuard, EveryOutputRefusesFilesInUseAndNonPlainFiles) {
    QTemporaryDir dir;
    const QString program = dir.filePath("Velomar");
    ASSERT_TRUE(QDir().mkpath(program));
    const ProgramFolder folder(program);
    const QString mdb = dir.filePath("a.mdb");
    test::createTestArchive(mdb);
    test::fillArchive(mdb, {QStringLiteral("Rossi")}, {});
    const QString groups = program + "/Gruppi.grp";
    test::createTestArchive(groups);
    const QString templ = program + "/NewMail.sys";
    ASSERT_TRUE(test::writeFile(templ, "modello"));
    ASSERT_TRUE(test::writeFile(program + "/StatiEsteri.mdb", "stati"));
    const QString fifo = dir.filePath("coda");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString sub = dir.filePath("cartella");
    ASSERT_TRUE(QDir().mkpath(sub));
    QFile open(dir.filePath("aperto.txt"));
    ASSERT_TRUE(open.open(QIODevice::ReadWrite));
    open.write("aperto");
    open.flush();

    struct Target {
        QString path;
        QString reason;
    };
    const std::vector<Target> targets = {
        {dir.path() + "/./a.mdb", "è l'archivio in uso."},
        {groups, "è l'archivio dei gruppi."},
        {templ, "è un modello del programma."},
        {program + "/StatiEsteri.mdb", "è un modello del programma."},
        {open.fileName(), "è un file aperto dal programma."},
        {fifo, "non è un file normale."},
        {sub, ""},
    };
    const QByteArray archiveBytes = bytesOf(mdb);
    // As the main window holds it while the label jobs write their reminder files.
    const archive::Database session(mdb, archive::Database::Mode::ReadOnly);
    for (const Target& t : targets) {
        SCOPED_TRACE(t.path.toStdString());
        const QByteArray before = bytesOf(t.path);
        for (const QStringList& args :
             {QStringList{"export", mdb, t.path}, QStringList{"list", mdb, "--pdf", t.path},
              QStringList{"labels", mdb, "--pdf", t.path}}) {
            const test::CommandRun r = test::runCommand(args[0], args.mid(1));
            EXPECT_EQ(r.status, 1) << args[0].toStdString();
            EXPECT_TRUE(r.err.startsWith("Impossibile scrivere")) << r.err.toStdString();
            EXPECT_TRUE(test::has(r.err, t.reason));
        }
        EXPECT_THROW(printing::ReminderFile::write(t.path, "promemoria"), common::OutputRefused);
        EXPECT_THROW(printing::PdfPrinter{t.path}, common::OutputRefused);
        EXPECT_THROW(exchange::ExportWriter{t.path}, common::AppError); // a folder: its own text
        EXPECT_EQ(bytesOf(t.path), before);
    }
    EXPECT_EQ(bytesOf(mdb), archiveBytes);
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    EXPECT_TRUE(QFileInfo(sub).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 3)
        << "no temporary file left";

    // A reminder name that is a symbolic link is refused, asked again, and its target kept.
    const QString reminders = dir.filePath("StampeTip");
    ASSERT_TRUE(QDir().mkpath(reminders));
    const QString elsewhere = dir.filePath("altrove.txt");
    ASSERT_TRUE(test::writeFile(elsewhere, "altrove"));
    ASSERT_TRUE(QFile::link(elsewhere, reminders + "/nome.txt"));
    test::ScriptedDialogs dialogs;
    dialogs.answerInput(QStringLiteral("nome"));
    dialogs.answerInput(QStringLiteral("nuovo"));
    EXPECT_EQ(printing::ReminderFile::askPath(dialogs, reminders, "Promemoria"), reminders + "/nuovo.txt");
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].endsWith("è un collegamento simbolico.")) << dialogs.messages()[0].toStdString();
    EXPECT_THROW(printing::ReminderFile::write(reminders + "/nome.txt", "x"), common::AppError);
    EXPECT_EQ(bytesOf(elsewhere), "altrove");

    // The import target is the caller's own open archive: only that one is let through,
    // never the groups archive or a template (for compaction and import).
    EXPECT_FALSE(OutputGuard::problem(mdb, {.except = mdb}));
    EXPECT_TRUE(OutputGuard::problem(groups, {.except = groups}));
    EXPECT_TRUE(OutputGuard::problem(open.fileName(), {.except = dir.filePath("b.mdb")}));

    // A plain new or closed file is still written.
    open.close();
    EXPECT_EQ(test::runCommand("export", {mdb, open.fileName()}).status, 0);
    EXPECT_EQ(test::runCommand("list", {mdb, "--pdf", dir.filePath("l.pdf")}).status, 0);
    EXPECT_EQ(test::runCommand("labels", {mdb, "--pdf", dir.filePath("e.pdf")}).status, 0);
    EXPECT_NO_THROW(printing::ReminderFile::write(reminders + "/nuovo.txt", "x"));
}
