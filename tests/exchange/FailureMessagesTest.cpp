#include "ArchiveFixture.h"

#include "archive/ArchiveOpener.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "archive/FilterError.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "settings/AppState.h"
#include "common/SystemErrorText.h"
#include "exchange/ExchangeBatch.h"
#include "support/CommandRun.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

#include <sqlite3.h>
#include <sys/mount.h>

using namespace velomar;
using archive::DatabaseError;
using archive::FailureText;

namespace {

using Command = const char*; // a velomar-batch command by name

test::CommandRun run(Command command, const QStringList& args) { return test::runCommand(command, args); }

// What SQLite, Qt and the C library say in English.
bool english(const QString& text) {
    static const QRegularExpression words(
        QStringLiteral(R"(\b(the|is|not|or|database|disk|error|unable|failed|malformed|locked|unknown|denied|such|space)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    return words.match(text).hasMatch();
}

// A small tmpfs of our own (root only); unmounted on the way out.
class Tmpfs {
public:
    Tmpfs(const QString& path, const char* options, unsigned long flags = 0) : m_path(path) {
        QDir().mkpath(path);
        m_ok = ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", flags, options) == 0;
    }
    ~Tmpfs() {
        if (m_ok)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    bool ok() const { return m_ok; }
    bool remountReadOnly() {
        return ::mount("tmpfs", QFile::encodeName(m_path).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    // Fills the volume to its last byte.
    void fill() const {
        QFile f(m_path + QStringLiteral("/riempitivo"));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'x');
        while (f.write(block) == block.size()) {
        }
        const QByteArray one(1, 'x');
        while (f.write(one) == 1) {
        }
    }

private:
    QString m_path;
    bool m_ok = false;
};

} // namespace

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
        EXPECT_FALSE(english(text)) << text.toStdString();
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
        EXPECT_FALSE(english(common::SystemErrorText::of(e))) << e;
    }
    EXPECT_TRUE(common::SystemErrorText::of(ENOSPC).contains("Disco pieno"));
}

TEST(FailureMessages, BatchAndWindowsTellTheCauseOfARefusal) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("a.mdb");
    archive::SampleArchive::write(mdb, 20, 3);
    const QString pdf = dir.filePath("out.pdf");

    // A missing archive is not a damaged one.
    const QString missing = dir.filePath("manca.mdb");
    for (const auto& [command, args] : std::vector<std::pair<Command, QStringList>>{
             {"count", {missing}},
             {"export", {missing, dir.filePath("x.txt")}},
             {"labels", {missing, "--pdf", pdf}},
             {"list", {missing, "--pdf", pdf, "--fields", "COGNOME"}},
             {"import", {missing, mdb}},
             {"import", {mdb, missing}}}) {
        const test::CommandRun r = run(command, args);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("File non trovato")) << r.err.toStdString();
    }

    // A bad group pattern is the user's typo: exit 2, the pattern named, nothing damaged.
    for (const auto& [command, args] : std::vector<std::pair<Command, QStringList>>{
             {"labels", {mdb, "--pdf", pdf, "--group", "["}},
             {"import", {mdb, dir.filePath("b.mdb"), "--group", "A[B"}}}) {
        const test::CommandRun r = run(command, args);
        EXPECT_EQ(r.status, 2) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("non chiusa")) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("corrotto") || r.err.contains("danneggiato")) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(pdf));

    // Another program holding the archive: "in uso", in the batch and in the open window.
    {
        archive::Database other(mdb, archive::Database::Mode::ReadWrite);
        other.exec("BEGIN EXCLUSIVE");
        other.exec("DELETE FROM TabMAIL WHERE NR = 1");
        const test::CommandRun r = run("count", {mdb});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains("in uso")) << r.err.toStdString();
        const test::CommandRun e = run("export", {mdb, dir.filePath("x.txt")});
        EXPECT_TRUE(e.err.contains("in uso")) << e.err.toStdString();

        settings::AppState state;
        state.callerMode = "Edit";
        test::ScriptedDialogs dialogs;
        archive::ArchiveOpener opener(state, dialogs);
        archive::Database db;
        archive::Recordset rs;
        EXPECT_FALSE(opener.open(db, rs, mdb, false));
        EXPECT_TRUE(dialogs.lastMessage().contains("in uso")) << dialogs.lastMessage().toStdString();
        state.callerMode = "Main";
        EXPECT_FALSE(opener.open(db, rs, missing, false));
        EXPECT_TRUE(dialogs.lastMessage().contains("File non trovato"));
        other.exec("ROLLBACK");
    }
}

TEST(FailureMessages, FullAndReadOnlyDisksAreNamedAsSuch) {
    QTemporaryDir dir;
    const QString mdb = dir.filePath("a.mdb");
    archive::SampleArchive::write(mdb, 300, 5);
    const QString small = dir.filePath("piccolo.mdb");
    archive::SampleArchive::write(small, 2, 6);

    Tmpfs disk(dir.filePath("disco"), "size=512k");
    if (!disk.ok())
        GTEST_SKIP() << "tmpfs cannot be mounted here (needs root)";
    const QString onDisk = dir.filePath("disco/Destinazione.mdb");
    ASSERT_TRUE(QFile::copy(small, onDisk));
    disk.fill();

    const auto expectFull = [](const test::CommandRun& r, const char* what) {
        EXPECT_EQ(r.status, 1) << what;
        EXPECT_TRUE(r.err.contains("pieno")) << what << ": " << r.err.toStdString();
        EXPECT_FALSE(english(r.err)) << what << ": " << r.err.toStdString();
    };
    expectFull(run("export", {mdb, dir.filePath("disco/out.txt")}), "export");
    expectFull(run("list", {mdb, "--pdf", dir.filePath("disco/out.pdf"), "--fields", "COGNOME"}), "list");
    expectFull(run("labels", {mdb, "--pdf", dir.filePath("disco/out.pdf")}), "labels");
    // A file small enough to sit in Qt's write buffer fails only when committed.
    expectFull(run("export", {small, dir.filePath("disco/out.txt")}), "small export");
    expectFull(run("list", {small, "--pdf", dir.filePath("disco/out.pdf"), "--fields", "COGNOME"}),
               "small list");
    expectFull(run("import", {mdb, onDisk}), "import");
    expectFull(run("sample", {"--count", "500", dir.filePath("disco/nuovo.mdb")}), "sample");
    EXPECT_EQ(QDir(dir.filePath("disco")).entryList(QDir::Files).size(), 2) << "temporary file left";

    ASSERT_TRUE(disk.remountReadOnly());
    const auto expectReadOnly = [](const test::CommandRun& r, const char* what) {
        EXPECT_EQ(r.status, 1) << what;
        EXPECT_TRUE(r.err.contains("sola lettura")) << what << ": " << r.err.toStdString();
        EXPECT_FALSE(english(r.err)) << what << ": " << r.err.toStdString();
    };
    expectReadOnly(run("export", {mdb, dir.filePath("disco/out.txt")}), "export");
    expectReadOnly(run("labels", {mdb, "--pdf", dir.filePath("disco/out.pdf")}), "labels");
    expectReadOnly(run("import", {mdb, onDisk}), "import");
}
