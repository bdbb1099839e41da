#include "ExchangeTest.h"

#include "archive/ArchiveOpener.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "archive/FilterError.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "common/SystemErrorText.h"
#include "exchange/ExchangeBatch.h"
#include "settings/AppState.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

#include <sqlite3.h>
#include <sys/mount.h>

using namespace velomar;
using archive::DatabaseError;
using archive::FailureText;

namespace {

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
    // the pattern named, nothing damaged.
    const QString missing = dir.filePath("manca.mdb");
    const std::pair<QStringList, int> refusals[] = {
        {{"count", missing}, 1},
        {{"export", missing, dir.filePath("x.txt")}, 1},
        {{"labels", missing, "--pdf", pdf}, 1},
        {{"list", missing, "--pdf", pdf, "--fields", "COGNOME"}, 1},
        {{"import", missing, mdb}, 1},
        {{"import", mdb, missing}, 1},
        {{"labels", mdb, "--pdf", pdf, "--group", "["}, 2},
        {{"import", mdb, dir.filePath("b.mdb"), "--group", "A[B"}, 2},
    };
    for (auto [args, status] : refusals) {
        const QString command = args.takeFirst();
        const test::CommandRun r = test::runCommand(command, args);
        EXPECT_EQ(r.status, status) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(status == 1 ? "File non trovato" : "non chiusa"))
            << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("corrotto") || r.err.contains("danneggiato")) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(pdf));

    // Another program holding the archive: "in uso", in the batch and in the open window.
    {
        archive::Database other(mdb, archive::Database::Mode::ReadWrite);
        other.exec("BEGIN EXCLUSIVE");
        other.exec("DELETE FROM TabMAIL WHERE NR = 1");
        const test::CommandRun r = test::runCommand("count", {mdb});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains("in uso")) << r.err.toStdString();
        const test::CommandRun e = test::runCommand("export", {mdb, dir.filePath("x.txt")});
        EXPECT_TRUE(e.err.contains("in uso")) << e.err.toStdString();

        settings::AppState state;
        state.callerMode = "Edit";
        test::ScriptedDialogs dialogs;
        archive::ArchiveOpener opener(state, dialogs);
        archive::Database db;
        archive::Recordset rs;
        EXPECT_FALSE(opener.open(db, rs, mdb, false));
        EXPECT_TRUE(dialogs.lastMessage().contains("in uso"))
            << dialogs.lastMessage().toStdString();
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

    const auto expect = [](const char* cause, const char* command, const QStringList& args) {
        const test::CommandRun r = test::runCommand(command, args);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_TRUE(r.err.contains(cause)) << command << ": " << r.err.toStdString();
        EXPECT_FALSE(test::looksEnglish(r.err)) << command << ": " << r.err.toStdString();
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
