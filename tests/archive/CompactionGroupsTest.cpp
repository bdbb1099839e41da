#include "ArchiveTestFiles.h"

#include "archive/ArchiveOpener.h"
#include "archive/Database.h"
#include "archive/DateStamp.h"
#include "archive/GroupsCompactor.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "common/AppState.h"
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
    common::AppState state;
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

    // Compaction that cannot start (a leftover ".kkk" that will not go): the window
    // still gets its groups back, and the failure is told, not hidden.
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("Gruppi.kkk/dentro"))));
    const GroupsCompactor::Outcome stuck = GroupsCompactor::compact(path, db, rs, opener, state);
    EXPECT_FALSE(stuck.compacted);
    EXPECT_FALSE(stuck.error.isEmpty());
    EXPECT_TRUE(stuck.reopened);
    EXPECT_EQ(rs.recordCount(), 14);
    QDir(dir.filePath(QStringLiteral("Gruppi.kkk"))).removeRecursively();
    EXPECT_TRUE(dialogs.messages().empty());

    // A groups file that has gone bad: nothing to give back, and the open routine says so.
    db.close();
    rs.close();
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("guasto");
    }
    const GroupsCompactor::Outcome broken = GroupsCompactor::compact(path, db, rs, opener, state);
    EXPECT_FALSE(broken.compacted);
    EXPECT_FALSE(broken.reopened);
    EXPECT_EQ(state.callerMode, QStringLiteral("Erro"));
    EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("Archivio non riconosciuto o corrotto !"));
}
