// Random mutations of a sound archive through the grid's own open (the damage the corpus
// of DamagedCorpus makes is fed to the batch commands).
#include "ArchiveHarness.h"
#include "support/ScriptedDialogs.h"

#include "archive/ArchiveOpener.h"
#include "archive/Recordset.h"
#include "settings/AppState.h"

#include <QRandomGenerator>

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;

using DamagedArchive = GoodArchive;

TEST_F(DamagedArchive, MutatedArchivesNeverCrashAndRefusalsChangeNothing) {
    // Mutations aimed where parsers are weakest: the header, the page headers and cell
    // pointers at each page start, and anywhere at random.
    QRandomGenerator rnd(20261206);
    const qint64 pageSize = 4096;
    const int rounds = 120;
    const QString mutated = path("Mutato.mdb");
    int refused = 0;
    settings::AppState state;
    ScriptedDialogs dialogs;
    ArchiveOpener opener(state, dialogs);
    for (int round = 0; round < rounds; ++round) {
        QByteArray bytes = goodBytes;
        for (int i = 0, flips = 1 + int(rnd.bounded(12)); i < flips; ++i) {
            const int kind = int(rnd.bounded(3));
            const qint64 at =
                kind == 0   ? rnd.bounded(100)
                : kind == 1 ? rnd.bounded(int(bytes.size() / pageSize)) * pageSize + rnd.bounded(16)
                            : rnd.bounded(int(bytes.size()));
            bytes[at] = char(rnd.bounded(256));
        }
        ASSERT_TRUE(writeFile(mutated, bytes));
        const FileSnapshot before = FileSnapshot::of(mutated);
        // The grid's own open: read/write, every row loaded into the record set.
        state.callerMode = round % 2 ? "Edit" : "Main";
        Database db;
        Recordset rs;
        if (opener.open(db, rs, mutated, false)) {
            for (qint64 row = 0; row < rs.recordCount(); ++row)
                for (int c = 0; c < rs.fieldCount(); ++c)
                    (void)rs.textAt(row, c);
        } else {
            ++refused;
            EXPECT_EQ(state.callerMode, "Erro");
        }
        rs.close();
        db.close();
        EXPECT_EQ(FileSnapshot::of(mutated), before) << "round " << round;
    }
    EXPECT_GT(refused, rounds / 3);
}
