// Damage the corpus (DamagedCorpus) does not make, refused in process by both kinds of
// open, and random mutations through the grid's own open.
#include "ArchiveTestFiles.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveFormat.h"
#include "archive/ArchiveOpener.h"
#include "archive/Recordset.h"
#include "settings/AppState.h"
#include "support/ScriptedDialogs.h"
#include "archive/DatabaseError.h"
#include "archive/SampleArchive.h"
#include "support/CommandRun.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;

namespace {

class DamagedArchive : public ::testing::Test {
protected:
    void SetUp() override {
        good = dir.filePath(QStringLiteral("Buono.mdb"));
        SampleArchive::write(good, 300, 11);
        goodBytes = test::fileBytes(good);
    }

    QTemporaryDir dir;
    QString good;
    QByteArray goodBytes;
};

} // namespace

TEST_F(DamagedArchive, ForeignSealedOrReshapedArchivesAreRefusedUntouched) {
    const auto fromTemplate = [](const char* sql) {
        return [sql](const QString& path) {
            ASSERT_TRUE(copyTemplate(QStringLiteral("NewMail.sys"), path));
            Database(path, Database::Mode::ReadWrite).exec(QLatin1String(sql));
        };
    };
    const std::vector<std::pair<const char*, std::function<void(const QString&)>>> cases = {
        {"our id, no gate",
         [](const QString& path) {
             Database db(path, Database::Mode::Create);
             db.exec(QStringLiteral("PRAGMA application_id = %1").arg(ArchiveFormat::ApplicationId));
             db.exec(QStringLiteral("CREATE TABLE Note (x TEXT)"));
         }},
        {"another password",
         [](const QString& path) {
             ASSERT_TRUE(copyTemplate(QStringLiteral("NewMail.sys"), path));
             Database db(path, Database::Mode::ReadWrite);
             ArchiveFormat::seal(db, QStringLiteral("segreta"));
         }},
        {"missing APPUNTI", fromTemplate("ALTER TABLE TabMAIL DROP COLUMN APPUNTI")},
        {"missing DATADEF", fromTemplate("ALTER TABLE TabDEFRAG DROP COLUMN DATADEF")},
    };
    int n = 0;
    for (const auto& [what, make] : cases) {
        SCOPED_TRACE(what);
        const QString path = dir.filePath(QStringLiteral("Caso%1.mdb").arg(n++));
        make(path);
        const FileSnapshot before = FileSnapshot::of(path);
        for (const auto access : {ArchiveFile::Access::ReadOnly, ArchiveFile::Access::ReadWrite})
            EXPECT_THROW(ArchiveFile::open(path, ArchiveKind::Addresses, access), DatabaseError);
        const CommandRun r = runCommand(QStringLiteral("count"), {path});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, QStringLiteral("Archivio non riconosciuto o corrotto !\n"));
        EXPECT_EQ(FileSnapshot::of(path), before);
    }
    EXPECT_THROW(ArchiveFile::open(dir.filePath(QStringLiteral("Manca.mdb")), ArchiveKind::Addresses,
                                   ArchiveFile::Access::ReadWrite),
                 DatabaseError);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Manca.mdb"))));
}

TEST_F(DamagedArchive, MutatedArchivesNeverCrashAndRefusalsChangeNothing) {
    // Mutations aimed where parsers are weakest: the header, the page headers and cell
    // pointers at each page start, and anywhere at random.
    QRandomGenerator rnd(20261206);
    const qint64 pageSize = 4096;
    const int rounds = 120;
    const QString path = dir.filePath(QStringLiteral("Mutato.mdb"));
    int refused = 0;
    settings::AppState state;
    ScriptedDialogs dialogs;
    ArchiveOpener opener(state, dialogs);
    for (int round = 0; round < rounds; ++round) {
        QByteArray bytes = goodBytes;
        for (int i = 0, flips = 1 + int(rnd.bounded(12)); i < flips; ++i) {
            qint64 at;
            switch (rnd.bounded(3)) {
            case 0: at = rnd.bounded(100); break;
            case 1: at = (rnd.bounded(int(bytes.size() / pageSize))) * pageSize + rnd.bounded(16); break;
            default: at = rnd.bounded(int(bytes.size())); break;
            }
            bytes[at] = char(rnd.bounded(256));
        }
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        }
        const FileSnapshot before = FileSnapshot::of(path);
        // The grid's own open: read/write, every row loaded into the record set.
        state.callerMode = round % 2 ? QStringLiteral("Edit") : QStringLiteral("Main");
        Database db;
        Recordset rs;
        if (opener.open(db, rs, path, false)) {
            for (qint64 row = 0; row < rs.recordCount(); ++row)
                for (int c = 0; c < rs.fieldCount(); ++c)
                    (void)rs.textAt(row, c);
        } else {
            ++refused;
            EXPECT_EQ(state.callerMode, QStringLiteral("Erro"));
        }
        rs.close();
        db.close();
        EXPECT_EQ(FileSnapshot::of(path), before) << "round " << round;
    }
    EXPECT_GT(refused, rounds / 3);
}
