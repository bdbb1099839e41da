#include "ArchiveTestFiles.h"

#include "archive/ArchiveOpener.h"
#include "archive/Database.h"
#include "archive/OpenFeedback.h"
#include "archive/Recordset.h"
#include "archive/SampleArchive.h"
#include "archive/Statement.h"
#include "settings/AppState.h"
#include "support/CommandRun.h"
#include "support/ScriptedDialogs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;

namespace {

class RecordingFeedback : public OpenFeedback {
public:
    void showWait(const QString& message, const QString& key) override { calls << QStringLiteral("wait:%1:%2").arg(message, key); }
    void closeWait() override { calls << QStringLiteral("closeWait"); }
    void setArchiveImage(const QString& key) override { calls << QStringLiteral("image:") + key; }
    void resetToNoArchive() override { calls << QStringLiteral("reset"); }
    void unloadGrid() override { calls << QStringLiteral("unloadGrid"); }
    QStringList calls;
};

class ArchiveOpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        archivePath = dir.filePath(QStringLiteral("Clienti.mdb"));
        groupsPath = dir.filePath(QStringLiteral("Gruppi.grp"));
        SampleArchive::write(archivePath, 500, 4);
        SampleArchive::writeGroups(groupsPath, 4);
        brokenPath = dir.filePath(QStringLiteral("Rotto.mdb"));
        ASSERT_TRUE(writeFile(brokenPath, "non sono un archivio"));
    }

    bool open(const QString& mode, const QString& path, bool wait = false, const QString& filter = {}) {
        state.callerMode = mode;
        return opener.open(db, rs, path, wait, filter);
    }

    qint64 countWhere(const QString& sql) {
        Database check(archivePath, Database::Mode::ReadOnly);
        Statement st(check, sql);
        return st.step() ? st.integer(0) : -1;
    }

    QTemporaryDir dir;
    QString archivePath, groupsPath, brokenPath;
    settings::AppState state;
    ScriptedDialogs dialogs;
    RecordingFeedback feedback;
    ArchiveOpener opener{state, dialogs, &feedback};
    Database db;
    Recordset rs;
};

} // namespace

TEST_F(ArchiveOpenerTest, EachCallerModeGetsItsAccessAndRows) {
    ASSERT_TRUE(open(QStringLiteral("Main"), archivePath, true));
    EXPECT_EQ(rs.recordCount(), 500);
    EXPECT_EQ(rs.fieldCount(), 1);
    EXPECT_EQ(feedback.calls, (QStringList{QStringLiteral("wait:Lettura Archivio...!:kDRIVET"), QStringLiteral("image:kDBopen"),
                                           QStringLiteral("image:kDBclose"), QStringLiteral("closeWait")}));

    ASSERT_TRUE(open(QStringLiteral("Edit"), archivePath));
    EXPECT_EQ(rs.recordCount(), 500);
    EXPECT_EQ(rs.fieldCount(), 18);
    rs.addNew();
    rs.setValue(QStringLiteral("COGNOME"), QStringLiteral("Dell'Orto"));
    rs.update();
    EXPECT_EQ(countWhere(QStringLiteral("SELECT COUNT(*) FROM TabMAIL")), 501);

    ASSERT_TRUE(open(QStringLiteral("Impo"), archivePath, false, QStringLiteral("**")));
    EXPECT_EQ(rs.recordCount(), 501);
    ASSERT_TRUE(open(QStringLiteral("Impo"), archivePath, false, QStringLiteral("AM")));
    EXPECT_EQ(rs.recordCount(), countWhere(QStringLiteral("SELECT COUNT(*) FROM TabMAIL WHERE GR = 'AM'")));
    EXPECT_GT(rs.recordCount(), 0);
    // A group filter is a value: quotes in it select nothing and break nothing.
    ASSERT_TRUE(open(QStringLiteral("Impo"), archivePath, false, QStringLiteral("' OR ''='")));
    EXPECT_EQ(rs.recordCount(), 0);

    ASSERT_TRUE(open(QStringLiteral("Grup"), groupsPath));
    EXPECT_EQ(rs.recordCount(), 14);
    EXPECT_EQ(rs.fieldName(0), QStringLiteral("GRUPPO"));
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(state.callerMode, QStringLiteral("Grup"));
}

TEST_F(ArchiveOpenerTest, EveryFailureShowsTheMessageEmptiesTheSlotsAndSaysErro) {
    struct Case {
        QString mode;
        QString path;
        QStringList windowSteps;
        QString message = QStringLiteral("Archivio non riconosciuto o corrotto !"); // its start
    };
    const QString groupsAsArchive = groupsPath;
    const std::vector<Case> cases{
        {QStringLiteral("Main"), brokenPath, {QStringLiteral("reset")}},
        {QStringLiteral("Edit"), brokenPath, {QStringLiteral("reset"), QStringLiteral("unloadGrid")}},
        {QStringLiteral("Impo"), groupsAsArchive, {}},
        {QStringLiteral("Grup"), archivePath, {}},
        // Not one of ours only when it is one: otherwise the cause.
        {QStringLiteral("Main"), dir.filePath(QStringLiteral("Manca.mdb")), {QStringLiteral("reset")},
         QStringLiteral("File non trovato")},
        {QStringLiteral("Xxxx"), archivePath, {}, QStringLiteral("Errore interno")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.mode + QLatin1Char(' ') + c.path));
        ASSERT_TRUE(open(QStringLiteral("Main"), archivePath)); // slots hold something before
        const FileSnapshot before = FileSnapshot::of(c.path);
        feedback.calls.clear();
        dialogs.clear();
        EXPECT_FALSE(open(c.mode, c.path, true, QStringLiteral("**")));
        EXPECT_EQ(state.callerMode, QStringLiteral("Erro"));
        EXPECT_FALSE(db.isOpen());
        EXPECT_FALSE(rs.isOpen());
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_TRUE(dialogs.lastMessage().startsWith(c.message)) << dialogs.lastMessage().toStdString();
        EXPECT_EQ(dialogs.shown().front().icon, common::MsgIcon::Critical);
        QStringList steps;
        for (const QString& call : feedback.calls)
            if (call == QLatin1String("reset") || call == QLatin1String("unloadGrid"))
                steps << call;
        EXPECT_EQ(steps, c.windowSteps);
        EXPECT_TRUE(feedback.calls.contains(QStringLiteral("closeWait")));
        EXPECT_EQ(FileSnapshot::of(c.path), before);
    }
    // A stale "Erro" from someone else's failure does not spoil the next open.
    EXPECT_TRUE(open(QStringLiteral("Main"), archivePath));
}
