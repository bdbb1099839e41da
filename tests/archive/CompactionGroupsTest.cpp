#include "ArchiveTestFiles.h"

#include "archive/ArchiveOpener.h"
#include "archive/Database.h"
#include "archive/DateStamp.h"
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

TEST(CompactionGroups, TheGroupsWindowAlwaysGetsItsConnectionBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Gruppi.grp"));
    SampleArchive::writeGroups(path, 2);
    settings::AppState state;
    ScriptedDialogs dialogs;
    ArchiveOpener opener(state, dialogs);
    Database db;
    Recordset rs;
    state.callerMode = QStringLiteral("Grup");
    ASSERT_TRUE(opener.open(db, rs, path, false));

    GroupsCompactor::Outcome done = GroupsCompactor::compact(path, db, rs, opener, state);
    EXPECT_TRUE(done.compacted) << qPrintable(done.error);
    EXPECT_TRUE(done.reopened);
    ASSERT_TRUE(rs.isOpen());
    EXPECT_EQ(rs.recordCount(), 14);
    EXPECT_EQ(DateStamp::read(db, DateStamp::Kind::Defrag), QDate::currentDate());

    // A compaction that fails (its copy loses a group): the window still gets its groups
    // back, and the failure is told, not hidden. A user's file named like the old
    // temporary copy is no business of the compaction.
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("Gruppi.kkk")), "mio"));
    const GroupsCompactor::Outcome stuck =
        GroupsCompactor::compact(path, db, rs, opener, state, [](Compactor::Stage s, const QString& copy) {
            if (s == Compactor::Stage::CopyWritten) {
                Database c(copy, Database::Mode::ReadWrite);
                c.exec(QStringLiteral("DELETE FROM TabGRUPPI WHERE rowid = (SELECT MAX(rowid) FROM TabGRUPPI)"));
            }
        });
    EXPECT_FALSE(stuck.compacted);
    EXPECT_EQ(stuck.error, QStringLiteral("La copia compattata non contiene tutti i record"));
    EXPECT_TRUE(stuck.reopened);
    EXPECT_EQ(rs.recordCount(), 14);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{QStringLiteral("Gruppi.grp"), QStringLiteral("Gruppi.kkk")}));
    EXPECT_TRUE(dialogs.messages().empty());

    // A groups file that has gone bad: nothing to give back, and the open routine says so.
    db.close();
    rs.close();
    ASSERT_TRUE(writeFile(path, "guasto"));
    const GroupsCompactor::Outcome broken = GroupsCompactor::compact(path, db, rs, opener, state);
    EXPECT_FALSE(broken.compacted);
    EXPECT_FALSE(broken.reopened);
    EXPECT_EQ(state.callerMode, QStringLiteral("Erro"));
    EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("Archivio non riconosciuto o corrotto !"));
}
