#include "ArchiveHarness.h"

#include "archive/ArchiveOpener.h"
#include "archive/OpenFeedback.h"
#include "archive/Recordset.h"
#include "settings/AppState.h"
#include "support/ScriptedDialogs.h"

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;

namespace {

class RecordingFeedback : public OpenFeedback {
public:
    void showWait(const QString& message, const QString& key) override {
        calls << "wait:" + message + ":" + key;
    }
    void closeWait() override { calls << "closeWait"; }
    void setArchiveImage(const QString& key) override { calls << "image:" + key; }
    void resetToNoArchive() override { calls << "reset"; }
    void unloadGrid() override { calls << "unloadGrid"; }
    QStringList calls;
};

class ArchiveOpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        archivePath = dir.filePath("Clienti.mdb");
        groupsPath = dir.filePath("Gruppi.grp");
        SampleArchive::write(archivePath, 500, 4);
        SampleArchive::writeGroups(groupsPath, 4);
        brokenPath = dir.filePath("Rotto.mdb");
        ASSERT_TRUE(writeFile(brokenPath, "non sono un archivio"));
    }

    bool open(const QString& mode, const QString& path, bool wait = false,
              const QString& filter = {}) {
        state.callerMode = mode;
        return opener.open(db, rs, path, wait, filter);
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
    ASSERT_TRUE(open("Main", archivePath, true));
    EXPECT_EQ(rs.recordCount(), 500);
    EXPECT_EQ(rs.fieldCount(), 1);
    EXPECT_EQ(feedback.calls, (QStringList{"wait:Lettura Archivio...!:kDRIVET", "image:kDBopen",
                                           "image:kDBclose", "closeWait"}));

    ASSERT_TRUE(open("Edit", archivePath));
    EXPECT_EQ(rs.recordCount(), 500);
    EXPECT_EQ(rs.fieldCount(), 18);
    rs.addNew();
    rs.setValue("COGNOME", "Dell'Orto");
    rs.update();
    EXPECT_EQ(scalar(archivePath, "SELECT COUNT(*) FROM TabMAIL"), 501);

    ASSERT_TRUE(open("Impo", archivePath, false, "**"));
    EXPECT_EQ(rs.recordCount(), 501);
    ASSERT_TRUE(open("Impo", archivePath, false, "AM"));
    EXPECT_EQ(rs.recordCount(),
              scalar(archivePath, "SELECT COUNT(*) FROM TabMAIL WHERE GR = 'AM'"));
    EXPECT_GT(rs.recordCount(), 0);
    // A group filter is a value: quotes in it select nothing and break nothing.
    ASSERT_TRUE(open("Impo", archivePath, false, "' OR ''='"));
    EXPECT_EQ(rs.recordCount(), 0);

    ASSERT_TRUE(open("Grup", groupsPath));
    EXPECT_EQ(rs.recordCount(), 14);
    EXPECT_EQ(rs.fieldName(0), "GRUPPO");
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(state.callerMode, "Grup");
}

TEST_F(ArchiveOpenerTest, EveryFailureShowsTheMessageEmptiesTheSlotsAndSaysErro) {
    struct Case {
        QString mode;
        QString path;
        QStringList windowSteps;
        QString message = "Archivio non riconosciuto o corrotto !"; // its start
    };
    const QString groupsAsArchive = groupsPath;
    const std::vector<Case> cases{
        {"Main", brokenPath, {"reset"}},
        {"Edit", brokenPath, {"reset", "unloadGrid"}},
        {"Impo", groupsAsArchive, {}},
        {"Grup", archivePath, {}},
        // Not one of ours only when it is one: otherwise the cause.
        {"Main", dir.filePath("Manca.mdb"), {"reset"}, "File non trovato"},
        {"Xxxx", archivePath, {}, "Errore interno"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.mode + QLatin1Char(' ') + c.path));
        ASSERT_TRUE(open("Main", archivePath)); // slots hold something before
        const FileSnapshot before = FileSnapshot::of(c.path);
        feedback.calls.clear();
        dialogs.clear();
        EXPECT_FALSE(open(c.mode, c.path, true, "**"));
        EXPECT_EQ(state.callerMode, "Erro");
        EXPECT_FALSE(db.isOpen());
        EXPECT_FALSE(rs.isOpen());
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_TRUE(dialogs.lastMessage().startsWith(c.message))
            << dialogs.lastMessage().toStdString();
        EXPECT_EQ(dialogs.shown().front().icon, common::MsgIcon::Critical);
        QStringList steps;
        for (const QString& call : feedback.calls)
            if (call == QLatin1String("reset") || call == QLatin1String("unloadGrid"))
                steps << call;
        EXPECT_EQ(steps, c.windowSteps);
        EXPECT_TRUE(feedback.calls.contains("closeWait"));
        EXPECT_EQ(FileSnapshot::of(c.path), before);
    }
    // A stale "Erro" from someone else's failure does not spoil the next open.
    EXPECT_TRUE(open("Main", archivePath));
}
