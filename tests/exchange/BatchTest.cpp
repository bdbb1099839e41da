#include "ExchangeTest.h"
#include "archive/ArchiveOpener.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "archive/FilterError.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "common/AppError.h"
#include "common/OutputGuard.h"
#include "common/SystemErrorText.h"
#include "exchange/ExchangeBatch.h"
#include "exchange/ExportWriter.h"
#include "printing/PdfPrinter.h"
#include "printing/ReminderFile.h"
#include "settings/AppState.h"
#include "settings/Settings.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <iostream>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velomar;
using archive::DatabaseError;
using archive::FailureText;
using common::OutputGuard;

namespace {

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// The immutable attribute: the one read-only state root cannot write through. Cleared on
// destruction so that the temporary folder can go.
bool chattr(const char* flag, const QString& path) {
    QProcess p;
    p.start(QStringLiteral("chattr"), {QLatin1String(flag), path});
    return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
struct Immutable {
    QString path;
    bool isSet = chattr("+i", path);
    ~Immutable() {
        if (isSet)
            chattr("-i", path);
    }
};

// A new archive in dir, with one address per surname in the group given.
QString newArchive(const QTemporaryDir& dir, const QString& name, const QStringList& surnames = {},
                   const QString& group = {}) {
    return test::createTestArchive(dir.filePath(name), surnames, group);
}

// The output of a command that must succeed.
QString output(const QString& command, const QStringList& args) {
    const test::CommandRun r = test::runCommand(command, args);
    EXPECT_EQ(r.status, 0) << command.toStdString() << ": " << r.err.toStdString();
    return r.out;
}

// The error text of a command that must fail with the status given.
QString failure(const QString& command, const QStringList& args, int status = 1) {
    const test::CommandRun r = test::runCommand(command, args);
    EXPECT_EQ(r.status, status) << command.toStdString() << " " << args.join(u' ').toStdString();
    return r.err;
}

int statusOf(const QString& command, const QStringList& args) {
    return test::runCommand(command, args).status;
}

// A small tmpfs of our own (root only); unmounted on the way out.
struct Tmpfs {
    QString path;
    QByteArray name = QFile::encodeName(path);
    bool ok =
        QDir().mkpath(path) && ::mount("tmpfs", name.constData(), "tmpfs", 0, "size=512k") == 0;
    ~Tmpfs() {
        if (ok)
            ::umount2(name.constData(), MNT_DETACH);
    }
    bool remountReadOnly() const {
        return ::mount("tmpfs", name.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    // Fills the volume to its last byte.
    void fill() const {
        QFile f(path + QStringLiteral("/riempitivo"));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        for (const qsizetype size : {4096, 1})
            while (f.write(QByteArray(size, 'x')) == size) {
            }
    }
};

// The guard's program folder for one test, restored afterwards.
struct ProgramFolder {
    explicit ProgramFolder(const QString& dir) { OutputGuard::setProgramFolder(dir); }
    ~ProgramFolder() { OutputGuard::setProgramFolder({}); }
};

// Text a user, a pasted document or another program can put in a field.
QStringList hostileValues() {
    QString control;
    for (char16_t c = 1; c < 32; ++c)
        control += QChar(c);
    control += QChar(0x7f);
    // '|' separates them.
    return QStringLiteral("O'Brien|\"Citato\" ''|50% di sconto_%|a*b?c#|[x|]!^-[|'; DROP TABLE "
                          "TabMAIL; --|Robert'); DELETE FROM TabMAIL WHERE ('1'='1|%s%n%x{0}\\\\n|"
                          "北京 Ωμέγα Željko Łódź ﷺ 😀 \u200b\u202e|€‰ŒŸ ÀÉÌÒÙ ß")
               .split(u'|') +
           QStringList{control, QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
                       QString(10000, QChar(u'Ω')), "Lunga " + QString(10000, QLatin1Char('x'))};
}

const QString kData = QStringLiteral(VELOMAR_SOURCE_DIR "/tests/exchange/data/");

} // namespace

TEST(ExchangeBatch, ExportInEveryFormatAndListWholeArchiveBySurname) {
    QTemporaryDir dir;
    const QString mdb =
        newArchive(dir, "a.mdb", {"Verdi", "Bianchi", QStringLiteral("Ñandú")}, "AB");
    const QString txt = dir.filePath("out.txt");
    QString out = output("export", {mdb, txt, "--fields", "cognome,14", "--description", "Prova"});
    EXPECT_TRUE(out.contains("Esportati 3 indirizzi"));
    const QList<QByteArray> lines = test::fileBytes(txt).split('\n');
    ASSERT_EQ(lines.size(), 3 + 3 * 3 + 1);
    EXPECT_EQ(lines[1], "Prova\r");
    EXPECT_EQ(lines[3], "Gruppo AB\r");
    EXPECT_EQ(lines[4], "Bianchi  \r");
    EXPECT_EQ(lines[7], "\xd1" "and\xfa  \r"); // Windows-1252, after Bianchi as N sorts
    EXPECT_EQ(lines[10], "Verdi  \r");

    const QString csv = dir.filePath("out.csv");
    output("export", {mdb, csv, "--format", "CSV", "--fields", "COGNOME,GR"});
    EXPECT_EQ(test::fileBytes(csv), "\xEF\xBB\xBF"
                                    "COGNOME,GR\r\nBianchi,AB\r\n\xC3\x91"
                                    "and\xC3\xBA,AB\r\nVerdi,AB\r\n");

    const QString pdf = dir.filePath("lista.pdf");
    out = output("list", {mdb, "--pdf", pdf, "--formatted", "--fields", "NR,COGNOME,GR"});
    EXPECT_TRUE(out.contains("Stampati 3 indirizzi"));
    EXPECT_TRUE(test::fileBytes(pdf).startsWith("%PDF-"));
    // Every field ticked passes the 214-character line.
    EXPECT_EQ(statusOf("list", {mdb, "--pdf", pdf, "--formatted", "--fields", "0,1,2,3,4,5,6,7"}),
              2);

    // One address per door: the two Rossi of Via Po 1 are one family, Verdi at 3 stays apart.
    archive::Database(mdb, archive::Database::Mode::ReadWrite)
        .exec("INSERT INTO TabMAIL (COGNOME, NOME1, INDIRIZZO, CAP) VALUES ('Rossi', 'Mario', "
              "'Via Po 1', '10100'), ('ROSSI', 'Anna', 'V. Po, 1', '10100'), ('Verdi', 'Ugo', "
              "'Via Po 3', '10100')");
    out =
        output("export", {mdb, csv, "--format", "csv", "--fields", "COGNOME,NOME1", "--household"});
    EXPECT_TRUE(out.contains("Esportati 5 indirizzi"));
    const QByteArray text = test::fileBytes(csv);
    EXPECT_TRUE(test::has(text, "FAMIGLIA ROSSI"));
    EXPECT_FALSE(text.contains("Anna"));
    EXPECT_TRUE(test::has(text, "Verdi,Ugo"));
}

TEST(ExchangeBatch, ImportReadsAReadOnlySourceAndRefusesToMoveFromIt) {
    enum class How { FileMode, ImmutableFile, ImmutableFolder };
    for (const How how : {How::FileMode, How::ImmutableFile, How::ImmutableFolder}) {
        SCOPED_TRACE(int(how));
        QTemporaryDir dir;
        ASSERT_TRUE(QDir(dir.path()).mkdir("ro"));
        const QString src = newArchive(dir, "ro/src.mdb", {"A1", "A2", "A3"}, "AB");
        const QString dst = newArchive(dir, "dst.mdb");
        if (how == How::FileMode)
            ASSERT_TRUE(
                QFile::setPermissions(src, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        const mode_t perms = modeOf(src);
        const Immutable lock{how == How::ImmutableFolder ? dir.filePath("ro") : src};
        if (how == How::ImmutableFolder && !lock.isSet && ::geteuid() != 0) {
            ASSERT_TRUE(QFile::setPermissions(dir.filePath("ro"),
                                              QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else if (how != How::FileMode && !lock.isSet) {
            std::cout << "[   NOTE   ] no immutable attribute on this file system: case "
                      << int(how) << " not run\n";
            continue;
        }
        const QByteArray before = test::fileBytes(src);

        EXPECT_EQ(failure("import", {src, dst, "--move"}).trimmed(),
                  "L'archivio di origine è in sola lettura (il file o la sua cartella): gli "
                  "indirizzi si possono importare, non spostare. Nessun indirizzo è stato "
                  "importato.");
        EXPECT_EQ(test::countIn(dst), 0);

        EXPECT_EQ(output("import", {src, dst}).trimmed(), "Importati 3 indirizzi.");
        EXPECT_EQ(test::countIn(dst), 3);
        EXPECT_EQ(test::fileBytes(src), before);
        EXPECT_EQ(modeOf(src), perms);
        EXPECT_FALSE(QFileInfo::exists(src + "-journal"));
        // The folder writable again, so that the temporary folder can go.
        QFile::setPermissions(dir.filePath("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner);
    }
}

TEST(ExchangeBatch, ImportFileAndArchiveCountMapAndRefuseWithTargetUnchanged) {
    QTemporaryDir dir;
    const QString dst = newArchive(dir, "dst.mdb", {"Bianchi"});
    // More commas than semicolons: only the delimiter given splits the columns right.
    const QString csv = dir.filePath("rubrica.csv");
    ASSERT_TRUE(test::writeFile(csv, "Rossi;Via Roma 1;820;a,b,c\nBianchi;;;a,b,c\n"
                                     "Rossi;via roma 1;00820;a,b,c\n;;;a,b,c\n"));
    const QStringList common =
        QStringList{csv, dst, "--delimiter", ";", "--no-header"} +
        QStringList{"--map", "COGNOME=Colonna 1", "--map", "indirizzo=colonna 2"};
    const QStringList refused[] = {
        {"--map", "CAMPO=Colonna 1"}, {"--group", "ABC"}, {"--bad"}, {"--duplicates", "forse"}};
    for (const QStringList& args : refused)
        EXPECT_EQ(statusOf("import-file", common + args), 2) << args[0].toStdString();
    EXPECT_EQ(test::countIn(dst), 1);

    const QStringList cap{"--map", "CAP=Colonna 3"};
    QString out =
        output("import-file", common + cap + QStringList{"--group", "x1", "--skip-duplicates"});
    EXPECT_EQ(
        out.section(u'\n', 1),
        "Importati 1 indirizzi.\nDoppioni saltati: 2.\nIndirizzi con CAP, comune e provincia che "
        "non concordano: 1 (Archivio, Verifica indirizzi).\nRighe scartate: 1.\n"
        "  riga 4: nessun valore nei campi associati\n");
    EXPECT_EQ(test::countIn(dst, "WHERE GR = 'X1' AND CAP = '00820'"), 1);
    // The same rows again, imported and listed beside the addresses they are like.
    out = output("import-file", common + cap + QStringList{"--duplicates", "review"});
    EXPECT_TRUE(test::has(out,
                          "Importati 3 indirizzi.\nProbabili doppioni importati lo stesso: 3.\n"
                          "  riga 1: Nr. 3 come Nr. 2\n  riga 2: Nr. 4 come Nr. 1\n"));

    // A file that breaks half way (a quote never closed): an Italian message, nothing written.
    ASSERT_TRUE(test::writeFile(csv, "Cognome;Citta\nRossi;Roma\nBianchi;\"Milano\nVerdi;Como\n"));
    const QByteArray bytes = test::fileBytes(dst);
    EXPECT_TRUE(test::has(failure("import-file", {csv, dst}), "Importazione non riuscita"));
    EXPECT_EQ(test::fileBytes(dst), bytes);

    // From another archive: one group, moved; a group no address has.
    const QString src = newArchive(dir, "src.mdb", {"A1", "A2"}, "AB");
    test::fillArchive(src, {"C1"}, "CD");
    out = output("import", {src, dst, "--group", "ab", "--move"});
    EXPECT_TRUE(out.contains("Importati 2 indirizzi."));
    EXPECT_TRUE(out.contains("Cancellati 2 indirizzi"));
    EXPECT_EQ(test::countIn(src), 1);
    EXPECT_EQ(test::countIn(dst), 7);
    EXPECT_EQ(output("import", {src, dst, "--group", "Z'"}).trimmed(),
              "Nessun Indirizzo da Importare con Gruppo Z' !");
    EXPECT_EQ(test::countIn(dst), 7);
}

TEST(FailureMessages, EveryCodeHasAnItalianCause) {
    EXPECT_EQ(FailureText::ofDatabaseCode(DatabaseError::NotAnArchive), "Archivio non riconosciuto o corrotto !");
    EXPECT_EQ(FailureText::ofDatabaseCode(SQLITE_NOTADB), "Archivio non riconosciuto o corrotto !");
    const std::vector<std::pair<int, const char*>> causes{
        {SQLITE_FULL, "Disco pieno"},      {SQLITE_IOERR_WRITE, "scrittura"}, {SQLITE_IOERR_READ, "lettura"},
        {SQLITE_READONLY, "sola lettura"}, {SQLITE_PERM, "Permesso negato"}, {SQLITE_BUSY, "in uso"},
        {SQLITE_LOCKED, "in uso"},         {DatabaseError::InUse, "in uso"},  {SQLITE_CORRUPT, "danneggiato"},
        {DatabaseError::Damaged, "danneggiato"}, {DatabaseError::KeyNotUnique, "NR"},
        {DatabaseError::OutputRefused, "non ammesso"}, {SQLITE_CANTOPEN, "aprire"}};
    for (const auto& [code, cause] : causes) {
        const QString text = FailureText::of(DatabaseError(
            code, code >= DatabaseError::NotAnArchive ? QStringLiteral("dettaglio") : QStringLiteral("database or disk is full")));
        EXPECT_TRUE(text.contains(QLatin1String(cause))) << code << " " << text.toStdString();
        EXPECT_FALSE(test::looksEnglish(text)) << text.toStdString();
    }
    // SQLite's own text is English: the code decides, the description is dropped ...
    EXPECT_FALSE(FailureText::of(DatabaseError(SQLITE_CORRUPT, "database disk image is malformed")).contains("malformed"));
    // ... while our own refusals keep their Italian detail.
    EXPECT_TRUE(FailureText::of(DatabaseError(DatabaseError::Damaged, "Si può ancora esportare.")).contains("esportare"));
    // A bad pattern shares its number with Damaged, and is no damage.
    const QString pattern = FailureText::of(archive::FilterError("Parentesi quadra non chiusa nel modello '['."));
    EXPECT_TRUE(pattern.contains("non valid")) << pattern.toStdString();
    EXPECT_FALSE(pattern.contains("danneggiato"));

    QTemporaryDir dir;
    EXPECT_TRUE(FailureText::of(DatabaseError(SQLITE_CANTOPEN, "unable to open"), dir.filePath("manca.mdb"))
                    .contains("File non trovato"));
    EXPECT_TRUE(FailureText::of(DatabaseError(SQLITE_CANTOPEN, "unable to open"), dir.path()).contains("cartella"));
    for (const int e : {ENOSPC, EACCES, EROFS, ENOENT, EISDIR, ELOOP, EIO, 12345}) {
        EXPECT_FALSE(common::SystemErrorText::of(e).isEmpty());
        EXPECT_FALSE(test::looksEnglish(common::SystemErrorText::of(e))) << e;
    }
    EXPECT_TRUE(common::SystemErrorText::of(ENOSPC).contains("Disco pieno"));
}

TEST(FailureMessages, BatchAndWindowsTellTheCauseOfARefusal) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("a.mdb");
    archive::SampleArchive::write(mdb, 20, 3);
    const QString pdf = dir.filePath("out.pdf");

    // A missing archive is not a damaged one; a bad group pattern is the user's typo: exit 2,
    // the pattern named, nothing damaged. (Every command on a missing file: DamagedCorpus.)
    const QString missing = dir.filePath("manca.mdb");
    const std::pair<QStringList, int> refusals[] = {
        {{"count", missing}, 1},
        {{"import", missing, mdb}, 1},
        {{"import", mdb, missing}, 1},
        {{"labels", mdb, "--pdf", pdf, "--group", "["}, 2},
        {{"import", mdb, dir.filePath("b.mdb"), "--group", "A[B"}, 2},
    };
    for (auto [args, status] : refusals) {
        const QString command = args.takeFirst();
        const QString err = failure(command, args, status);
        EXPECT_TRUE(test::has(err, status == 1 ? "File non trovato" : "non chiusa"));
        EXPECT_FALSE(err.contains("corrotto") || err.contains("danneggiato")) << err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(pdf));

    // Another program holding the archive: "in uso", in the batch and in the open window.
    archive::Database other(mdb, archive::Database::Mode::ReadWrite);
    other.exec("BEGIN EXCLUSIVE");
    other.exec("DELETE FROM TabMAIL WHERE NR = 1");
    EXPECT_TRUE(test::has(failure("count", {mdb}), "in uso"));

    settings::AppState state;
    state.callerMode = "Edit";
    test::ScriptedDialogs dialogs;
    archive::ArchiveOpener opener(state, dialogs);
    archive::Database db;
    archive::Recordset rs;
    EXPECT_FALSE(opener.open(db, rs, mdb, false));
    EXPECT_TRUE(dialogs.lastMessage().contains("in uso")) << dialogs.lastMessage().toStdString();
    other.exec("ROLLBACK");
}

TEST(FailureMessages, FullAndReadOnlyDisksAreNamedAsSuch) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("a.mdb");
    archive::SampleArchive::write(mdb, 300, 5);
    const QString small = dir.filePath("piccolo.mdb");
    archive::SampleArchive::write(small, 2, 6);

    const Tmpfs disk{dir.filePath("disco")};
    if (!disk.ok)
        GTEST_SKIP() << "tmpfs cannot be mounted here (needs root)";
    const QString onDisk = dir.filePath("disco/Destinazione.mdb");
    ASSERT_TRUE(QFile::copy(small, onDisk));
    disk.fill();

    const auto expect = [](const char* cause, const char* command, const QStringList& args) {
        const QString err = failure(command, args);
        EXPECT_TRUE(test::has(err, cause)) << command;
        EXPECT_FALSE(test::looksEnglish(err)) << command << ": " << err.toStdString();
    };
    // Files small enough to sit in Qt's write buffer fail only when committed.
    expect("pieno", "export", {small, dir.filePath("disco/out.txt")});
    expect("pieno", "list", {small, "--pdf", dir.filePath("disco/out.pdf"), "--fields", "COGNOME"});
    expect("pieno", "labels", {mdb, "--pdf", dir.filePath("disco/out.pdf")});
    expect("pieno", "import", {mdb, onDisk});
    expect("pieno", "sample", {"--count", "500", dir.filePath("disco/nuovo.mdb")});
    EXPECT_EQ(QDir(dir.filePath("disco")).entryList(QDir::Files).size(), 2) << "temporary file left";

    ASSERT_TRUE(disk.remountReadOnly());
    expect("sola lettura", "export", {mdb, dir.filePath("disco/out.txt")});
    expect("sola lettura", "labels", {mdb, "--pdf", dir.filePath("disco/out.pdf")});
    expect("sola lettura", "import", {mdb, onDisk});
}

// Every output of the batch commands and of the label jobs, aimed at a file the program
// uses or at something that is not a plain file: refused in Italian, exit 1, nothing changed.
TEST(OutputGuard, EveryOutputRefusesFilesInUseAndNonPlainFiles) {
    QTemporaryDir dir;
    const QString program = dir.filePath("Velomar");
    ASSERT_TRUE(QDir().mkpath(program));
    const ProgramFolder folder(program);
    const QString mdb = newArchive(dir, "a.mdb", {"Rossi"});
    const QString groups = test::createTestArchive(program + "/Gruppi.grp");
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

    const std::pair<QString, QString> targets[] = {
        // and the reason told
        {dir.path() + "/./a.mdb", "è l'archivio in uso."},
        {groups, "è l'archivio dei gruppi."},
        {templ, "è un modello del programma."},
        {program + "/StatiEsteri.mdb", "è un modello del programma."},
        {open.fileName(), "è un file aperto dal programma."},
        {fifo, "non è un file normale."},
        {sub, ""},
    };
    const QByteArray archiveBytes = test::fileBytes(mdb);
    // As the main window holds it while the label jobs write their reminder files.
    const archive::Database session(mdb, archive::Database::Mode::ReadOnly);
    for (const auto& [path, reason] : targets) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray before = test::fileBytes(path);
        for (const QStringList& args :
             {QStringList{"export", mdb, path}, QStringList{"list", mdb, "--pdf", path},
              QStringList{"labels", mdb, "--pdf", path}}) {
            const QString err = failure(args[0], args.mid(1));
            EXPECT_TRUE(err.startsWith("Impossibile scrivere")) << err.toStdString();
            EXPECT_TRUE(test::has(err, reason));
        }
        EXPECT_THROW(printing::ReminderFile::write(path, "promemoria"), common::OutputRefused);
        EXPECT_THROW(printing::PdfPrinter{path}, common::OutputRefused);
        EXPECT_THROW(exchange::ExportWriter{path}, common::AppError); // a folder: its own text
        EXPECT_EQ(test::fileBytes(path), before);
    }
    EXPECT_EQ(test::fileBytes(mdb), archiveBytes);
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
    EXPECT_EQ(test::fileBytes(elsewhere), "altrove");

    // The import target is the caller's own open archive: only that one is let through,
    // never the groups archive or a template (for compaction and import).
    EXPECT_FALSE(OutputGuard::problem(mdb, {.except = mdb}));
    EXPECT_TRUE(OutputGuard::problem(groups, {.except = groups}));
    EXPECT_TRUE(OutputGuard::problem(open.fileName(), {.except = dir.filePath("b.mdb")}));

    // A file no longer open is written again (plain new files: BatchTool).
    open.close();
    EXPECT_EQ(test::runCommand("export", {mdb, open.fileName()}).status, 0);
    EXPECT_NO_THROW(printing::ReminderFile::write(reminders + "/nuovo.txt", "x"));
}

// Every hostile value in every field goes in through the record set and comes out of
// count, export, import, labels and list unharmed; none is ever taken for SQL or a pattern.
TEST(HostileText, SurvivesEveryCommandAsStored) {
    QTemporaryDir dir;
    const QString mdb = newArchive(dir, "ostile.mdb");
    const QStringList values = hostileValues();
    {
        archive::Database db(mdb, archive::Database::Mode::ReadWrite);
        archive::Recordset rs = archive::Recordset::open(db, QStringLiteral("TabMAIL"), archive::LockType::Optimistic);
        for (int row = 0; row < values.size(); ++row) {
            rs.addNew();
            for (int f = 1; f <= 16; ++f)
                rs.setValue(f, values[(row + f) % values.size()]);
            rs.update();
        }
    }
    const qint64 n = values.size();
    EXPECT_EQ(output("count", {mdb}).trimmed(), QString::number(n));

    const QString txt = dir.filePath("out.txt");
    QString out = output("export", {mdb, txt});
    EXPECT_TRUE(out.contains(QStringLiteral("Esportati %1 indirizzi").arg(n)));
    EXPECT_TRUE(out.contains("sostituiti")); // the text outside Windows-1252
    const QByteArray bytes = test::fileBytes(txt);
    for (const char* kept : {"O'Brien", "'; DROP TABLE TabMAIL; --", "50% di sconto_%", "[x"})
        EXPECT_TRUE(test::has(bytes, kept));
    EXPECT_TRUE(bytes.contains(QByteArray("Lunga ") + QByteArray(10000, 'x'))); // written as stored

    const QString copy = newArchive(dir, "copia.mdb");
    output("import", {mdb, copy});
    const QStringList stored = test::storedRows(mdb);
    EXPECT_EQ(stored.size(), n); // no value was run as SQL
    EXPECT_EQ(test::storedRows(copy), stored);

    const QString pdf = dir.filePath("out.pdf");
    out = output("labels", {mdb, "--pdf", pdf});
    EXPECT_TRUE(out.contains(QStringLiteral("Etichette stampate: %1").arg(n)));
    for (const QStringList& layout : {QStringList{}, QStringList{"--formatted"}}) {
        out = output("list",
                     QStringList{mdb, "--pdf", pdf, "--fields", "COGNOME,NOME1,CITTA"} + layout);
        EXPECT_TRUE(test::has(out, QStringLiteral("Stampati %1 indirizzi").arg(n)));
    }

    // Values as group patterns: a malformed one is the user's typo (2), the others run.
    for (const QString& group : values) {
        const test::CommandRun labels = test::runCommand("labels", {mdb, "--pdf", pdf, "--group", group});
        const test::CommandRun imported = test::runCommand("import", {mdb, copy, "--group", group});
        if (group.trimmed().isEmpty() || group.trimmed().contains(QLatin1Char('['))) {
            EXPECT_EQ(imported.status, 2) << group.left(40).toStdString();
            if (!group.trimmed().isEmpty())
                EXPECT_EQ(labels.status, 2) << group.left(40).toStdString();
        } else {
            EXPECT_LE(labels.status, 1) << group.left(40).toStdString() << labels.err.toStdString();
            EXPECT_EQ(imported.status, 0) << group.left(40).toStdString() << imported.err.toStdString();
        }
        EXPECT_FALSE(labels.err.contains("corrotto")) << labels.err.toStdString();
    }
    EXPECT_EQ(test::countIn(mdb), n);
}

// The files users have, through the real readers, as the batch command reads them; then
// the archive written out as CSV and vCard and read back.
TEST(FileImportEndToEnd, UsualExportsImportAndOurOwnFormatsRoundTrip) {
    QTemporaryDir dir;
    // Foreign countries get their Italian names from the program's country table.
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELOMAR_BINARY_DIR "/data/StatiEsteri.mdb"),
                            dir.filePath("StatiEsteri.mdb")));
    settings::Settings().setProgramDir(dir.path() + QLatin1Char('/'));
    const QString target = newArchive(dir, "Clienti.mdb");

    EXPECT_TRUE(test::has(output("import-file", {kData + "csv/italiano-1252.csv", target}),
                          "Windows-1252"));
    // Excel dropped the zeros of Roma's and Perugia's CAP; the accents came through.
    QStringList rows = test::storedRows(target, "WHERE COGNOME = 'D''Agostino'");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(
        test::has(rows[0], "'Niccolò'|NULL|'Via dell''Università 3'|'00184'|'ROMA'|'RM'|NULL"));
    EXPECT_EQ(test::storedRows(target, "WHERE CAP = '06121'").size(), 1);

    // A whole Google Contacts export: each number by its type, the home address, the rest in the note.
    const QString google = kData + "csv/google-contacts-export.csv";
    const QString contacts = newArchive(dir, "Google.mdb");
    output("import-file", {google, contacts, "--unmapped-to-note"});
    rows = test::storedRows(contacts);
    ASSERT_EQ(rows.size(), 4);
    const QStringList expected[] = {
        {"'Bianchi'", "'Corso Como 10'|'20154'|'MILANO'|'MI'|NULL|'02 1111111'|'02 9999999'|'347 0000001'|NULL",
         "Phone 1 (Mobile): 347 0000002", "Address 1 (Other): Bergamo"},
        {"'Rossi'", "'Via Garibaldi 12'|'00184'|'ROMA'|'RM'|NULL|'06 5551234'|NULL|'+39 333 1234567'",
         "Phone 1 (Pager): 06 1111111", "Address 1 (Work): Via Torino 40, 20123, Milano, MI, Italia"},
        {"'Tipografia Forlivese'", "|'Corso della Repubblica 1'|'47121'|'FORLÌ'|'FC'|NULL|NULL|NULL|NULL|NULL",
         "Phone 1 (Google Voice): +39 0543 000000"},
        {"'Verdi'", "'Via Po 3'|'10124'|'TORINO'|'TO'|NULL|'011 1000000'|NULL|NULL|'luca@casa.example'",
         "Phone 2 (Home): 011 2000000", "E-mail 1 (Work): l.verdi@lavoro.example"},
    };
    for (qsizetype i = 0; i < rows.size(); ++i)
        for (const QString& part : expected[i])
            EXPECT_TRUE(test::has(rows[i], part));
    output("import-file", {google, contacts, "--address", "1"});
    EXPECT_EQ(test::storedRows(contacts, "WHERE INDIRIZZO = 'Via Torino 40'").size(), 1);
    EXPECT_EQ(statusOf("import-file", {google, contacts, "--address", "3"}), 2);

    for (const char* card : {"vcard/outlook-2.1.vcf", "vcard/contacts-3.0.vcf"}) {
        const QString out = output("import-file", {kData + card, target});
        EXPECT_TRUE(out.startsWith("vCard ")) << qPrintable(out);
        EXPECT_TRUE(test::has(out, "Schede vCard lette: 2, saltate: 0."));
    }

    const QString out =
        output("import-file", {kData + "access/nwind.mdb", target, "--table", "Customers"});
    EXPECT_TRUE(test::has(out, "Importati 91 indirizzi."));
    rows = test::storedRows(target, "WHERE COGNOME = 'Alfreds Futterkiste'");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(test::has(rows[0], "'Maria Anders'"));
    EXPECT_TRUE(test::has(rows[0], "'12209'|'BERLIN'|NULL|'GERMANIA'"));

    // Our own CSV gives back every value as stored, Null and line breaks included.
    const QStringList all = test::storedRows(target);
    const QString csv = dir.filePath("Clienti.csv");
    output("export", {target, csv, "--format", "csv"});
    const QString again = newArchive(dir, "Copia.mdb");
    output("import-file", {csv, again});
    EXPECT_EQ(test::storedRows(again), all);

    // vCard keeps what a card can hold: names, address, place and country.
    const QString vcf = dir.filePath("Clienti.vcf");
    output("export", {target, vcf, "--format", "vcard"});
    const QString cards = newArchive(dir, "Schede.mdb");
    output("import-file", {vcf, cards});
    EXPECT_EQ(test::storedRows(cards).size(), all.size());
    rows = test::storedRows(cards, "WHERE COGNOME = 'Alfreds Futterkiste'");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(test::has(rows[0], "'Maria Anders'"));
    EXPECT_TRUE(test::has(rows[0], "'Obere Str. 57'|'12209'|'BERLIN'|NULL|'GERMANIA'"));
}
