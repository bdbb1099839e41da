#include "ArchiveTestFiles.h"

#include "archive/ArchiveOpener.h"
#include "archive/Database.h"
#include "archive/GroupsCompactor.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "settings/AppState.h"
#include "support/CommandRun.h"
#include "support/ScriptedDialogs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;

// A compaction that fails (its copy loses a group): the window still gets its groups back,
// and the failure is told, not hidden. A user's file named like the old temporary copy is
// no business of the compaction. A groups file gone bad: nothing to give back, and the
// open routine says so. (A compaction that works: ArchiveCommandsTest.)
TEST(CompactionGroups, TheGroupsWindowAlwaysGetsItsConnectionBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Gruppi.grp");
    SampleArchive::writeGroups(path, 2);
    settings::AppState state;
    ScriptedDialogs dialogs;
    ArchiveOpener opener(state, dialogs);
    Database db;
    Recordset rs;
    state.callerMode = "Grup";
    ASSERT_TRUE(opener.open(db, rs, path, false));

    ASSERT_TRUE(writeFile(dir.filePath("Gruppi.kkk"), "mio"));
    const GroupsCompactor::Outcome stuck = GroupsCompactor::compact(
        path, db, rs, opener, state, [](Compactor::Stage s, const QString& copy) {
            if (s == Compactor::Stage::CopyWritten)
                Database(copy, Database::Mode::ReadWrite)
                    .exec("DELETE FROM TabGRUPPI WHERE rowid = (SELECT MAX(rowid) FROM TabGRUPPI)");
        });
    EXPECT_FALSE(stuck.compacted);
    EXPECT_EQ(stuck.error, "La copia compattata non contiene tutti i record");
    EXPECT_TRUE(stuck.reopened);
    ASSERT_TRUE(rs.isOpen());
    EXPECT_EQ(rs.recordCount(), 14);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"Gruppi.grp", "Gruppi.kkk"}));
    EXPECT_EQ(dialogs.messages().size(), 0u);

    db.close();
    rs.close();
    ASSERT_TRUE(writeFile(path, "guasto"));
    const GroupsCompactor::Outcome broken = GroupsCompactor::compact(path, db, rs, opener, state);
    EXPECT_FALSE(broken.compacted);
    EXPECT_FALSE(broken.reopened);
    EXPECT_EQ(state.callerMode, "Erro");
    EXPECT_EQ(dialogs.lastMessage(), "Archivio non riconosciuto o corrotto !");
}
