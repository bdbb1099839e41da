#include "common/AppState.h"
#include "settings/SetupIni.h"
#include "settings/Settings.h"
#include "shell/Startup.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using velomar::common::AppState;
using velomar::common::MsgIcon;
using velomar::settings::Settings;
using velomar::shell::Startup;
using velomar::test::ScriptedDialogs;

namespace {
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear(); }
    void TearDown() override { QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear(); }
    QTemporaryDir program;
};
} // namespace

TEST_F(StartupTest, ProgramFolderDropsTheLastComponent) {
    EXPECT_EQ(Startup::programFolderFrom("/opt/Prog/Etichette/"), "/opt/Prog/Etichette");
    EXPECT_EQ(Startup::programFolderFrom("/opt/Prog/Etichette/velomar"), "/opt/Prog/Etichette");
    // A folder written without its final separator is taken whole.
    EXPECT_EQ(Startup::programFolderFrom(program.path()), program.path());
}

TEST_F(StartupTest, MissingProgramDirEndsTheProgramAndCreatesNothing) {
    Settings settings;
    AppState state;
    ScriptedDialogs dialogs;
    EXPECT_EQ(Startup::run(state, settings, dialogs), Startup::Outcome::NotInstalled);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.lastMessage(), "Applicazione NON TROVATA !\r\nReinstallare l'applicazione !");
    EXPECT_EQ(dialogs.shown()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(state.programDir.isEmpty());
}

TEST_F(StartupTest, ProgramDirNamingNoFolderIsRefused) {
    Settings settings;
    settings.setProgramDir(program.filePath("manca/"));
    AppState state;
    ScriptedDialogs dialogs;
    EXPECT_EQ(Startup::run(state, settings, dialogs), Startup::Outcome::NoProgramFolder);
    EXPECT_TRUE(dialogs.lastMessage().contains("Reinstallare"));
    EXPECT_FALSE(QFileInfo::exists(program.filePath("manca")));
}

TEST_F(StartupTest, FreshFolderGetsWorkingFoldersAndEmptyFilesOnlyOnce) {
    Settings settings;
    settings.setProgramDir(program.path() + "/");
    AppState state;
    ScriptedDialogs dialogs;
    ASSERT_EQ(Startup::run(state, settings, dialogs), Startup::Outcome::Ready);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(state.programDir, program.path());
    for (const char* sub : {"Archivi", "StampeTip", "StampeSng", "Export"})
        EXPECT_TRUE(QFileInfo(program.filePath(sub)).isDir()) << sub;
    EXPECT_EQ(QFileInfo(program.filePath("Setup.ini")).size(), 0);
    EXPECT_EQ(QFileInfo(program.filePath("Logger.ini")).size(), 0);
    EXPECT_EQ(state.exportDir, program.filePath("Export"));
    EXPECT_EQ(state.lastDirArch, program.filePath("Archivi"));
    EXPECT_EQ(state.options, velomar::settings::Options());
    EXPECT_EQ(state.senders, velomar::settings::SenderLines());
    EXPECT_EQ(state.system.platformCode, "2");

    // Second start: existing files are left as they are.
    velomar::settings::SenderLines s;
    s.sender2[0] = "Mittente due";
    ASSERT_TRUE(velomar::settings::SetupIni::write(state.setupIniPath, s).ok);
    AppState again;
    ASSERT_EQ(Startup::run(again, settings, dialogs), Startup::Outcome::Ready);
    EXPECT_EQ(again.senders.sender2[0], "Mittente due");
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(StartupTest, LastArchiveFolderFallsBackWhenGoneAndIsSavedOnExit) {
    Settings settings;
    settings.setProgramDir(program.path() + "/");
    settings.setLastDirArch(program.filePath("sparita"));
    AppState state;
    ScriptedDialogs dialogs;
    ASSERT_EQ(Startup::run(state, settings, dialogs), Startup::Outcome::Ready);
    EXPECT_EQ(state.lastDirArch, program.filePath("Archivi"));

    QDir().mkdir(program.filePath("Altri"));
    state.lastDirArch = program.filePath("Altri");
    Startup::saveOnExit(state, settings);
    EXPECT_EQ(Settings().lastDirArch(), program.filePath("Altri"));
    AppState next;
    ASSERT_EQ(Startup::run(next, settings, dialogs), Startup::Outcome::Ready);
    EXPECT_EQ(next.lastDirArch, program.filePath("Altri"));
}

TEST_F(StartupTest, UnwritableProgramFolderAndBadSetupIniAreToldAndStartUpGoesOn) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    Settings settings;
    settings.setProgramDir(program.path() + "/");
    QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    AppState state;
    ScriptedDialogs dialogs;
    EXPECT_EQ(Startup::run(state, settings, dialogs), Startup::Outcome::Ready);
    QFile::setPermissions(program.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
    const auto msgs = dialogs.messages();
    ASSERT_GE(msgs.size(), 6u);
    EXPECT_EQ(msgs[0], "Impossibile creare la cartella '" + program.filePath("Archivi") + "' !");
    EXPECT_EQ(msgs[4], "Impossibile creare il file '" + program.filePath("Setup.ini") + "' !");
}

TEST_F(StartupTest, SetupIniThatIsAFolderIsReportedAndSendersStayEmpty) {
    Settings settings;
    settings.setProgramDir(program.path() + "/");
    QDir().mkdir(program.filePath("Setup.ini"));
    AppState state;
    ScriptedDialogs dialogs;
    EXPECT_EQ(Startup::run(state, settings, dialogs), Startup::Outcome::Ready);
    const auto msgs = dialogs.messages();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0], "Impossibile creare il file '" + program.filePath("Setup.ini") + "' !");
    EXPECT_TRUE(msgs[1].startsWith("Errore 75\r\n"));
    EXPECT_EQ(state.senders, velomar::settings::SenderLines());
}

TEST_F(StartupTest, GroupsFileInAccessFormatIsOfferedForConversionAndNeverLost) {
    // An Access file that is no groups archive: the offer is made, the conversion refused.
    const QString groups = program.filePath("Gruppi.grp");
    ASSERT_TRUE(QFile::copy(velomar::test::sourcePath("tests/exchange/data/access/nwind.mdb"), groups));
    QFile f(groups);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray original = f.readAll();
    f.close();
    Settings settings;
    settings.setProgramDir(program.path() + "/");
    const QString question = QStringLiteral("Il file dei gruppi «Gruppi.grp» è in formato Access. Convertirlo nel "
                                            "formato del programma? Il file originale viene conservato come "
                                            "«Gruppi (Access).grp».");

    AppState state;
    ScriptedDialogs dialogs;
    dialogs.answerMessage(velomar::common::MsgResult::No);
    ASSERT_EQ(Startup::run(state, settings, dialogs), Startup::Outcome::Ready);
    ASSERT_EQ(dialogs.messages(), std::vector<QString>{question});
    EXPECT_EQ(dialogs.shown().back().buttons, velomar::common::MsgButtons::YesNo);

    dialogs.clear();
    dialogs.answerMessage(velomar::common::MsgResult::Yes);
    ASSERT_EQ(Startup::run(state, settings, dialogs), Startup::Outcome::Ready);
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_TRUE(dialogs.lastMessage().contains("non contiene la tabella TabGRUPPI")) << qPrintable(dialogs.lastMessage());
    EXPECT_EQ(dialogs.shown().back().icon, MsgIcon::Critical);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), original);
    EXPECT_EQ(QDir(program.path()).entryList({"*.grp", ".*tmp"}, QDir::Files | QDir::Hidden), QStringList{"Gruppi.grp"});
}
