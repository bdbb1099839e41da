#include "shell/Startup.h"
#include "settings/AppState.h"
#include "settings/ProgramSetup.h"
#include "settings/Settings.h"
#include "settings/SetupIni.h"
#include "support/CommandRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velomar::common::MsgIcon;
using velomar::settings::AppState;
using velomar::settings::ProgramSetup;
using velomar::settings::Settings;
using velomar::shell::Startup;
using velomar::test::fileBytes;
using velomar::test::ScriptedDialogs;

namespace {
// Clean settings and a private XDG_DATA_HOME, for the default program folder.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
        qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    }
    void TearDown() override {
        QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
        qputenv("XDG_DATA_HOME", oldDataHome);
    }
    // Start-up on the temporary program folder, as stored by the installation.
    Startup::Outcome start(AppState& into) {
        settings.setProgramDir(program.path() + "/");
        return Startup::run(into, settings, dialogs);
    }
    QTemporaryDir program;
    Settings settings;
    AppState state;
    ScriptedDialogs dialogs;
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    QTemporaryDir dataHome;
    const QString defaultFolder = dataHome.filePath(QStringLiteral("Velomar"));
};
} // namespace

TEST_F(StartupTest, MissingProgramDirWithoutTemplatesEndsTheProgramAndCreatesNothing) {
    // One place lacks a template, the other does not exist: neither counts.
    QTemporaryDir partial;
    for (const char* name : {"NewMail.sys", "NewGruppi.sys"})
        ASSERT_TRUE(QFile::copy(velomar::test::binaryPath("data/") + name, partial.filePath(name)));
    EXPECT_EQ(Startup::run(state, settings, dialogs, {partial.path(), program.filePath("manca")}),
              Startup::Outcome::NotInstalled);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.lastMessage(), "Applicazione NON TROVATA !\r\nReinstallare l'applicazione !");
    EXPECT_EQ(dialogs.shown()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(state.programDir.isEmpty());
    EXPECT_FALSE(Settings().programDir().has_value());
    EXPECT_FALSE(QFileInfo::exists(defaultFolder));
}

TEST_F(StartupTest, FirstStartSetsUpTheProgramFolderFromTheTemplatesAndNeverReplacesAFile) {
    const QString templates = velomar::test::binaryPath("data");
    const QStringList candidates{program.filePath("manca"), templates};
    const QDir dir(defaultFolder);
    ASSERT_EQ(Startup::run(state, settings, dialogs, candidates), Startup::Outcome::Ready);
    EXPECT_TRUE(dialogs.shown().empty()) << qPrintable(dialogs.lastMessage());
    EXPECT_EQ(state.programDir, defaultFolder);
    EXPECT_EQ(Settings().programDir(), defaultFolder + "/");
    for (const char* name : {"NewMail.sys", "NewGruppi.sys", "StatiEsteri.mdb"})
        EXPECT_EQ(fileBytes(dir.filePath(name)), fileBytes(templates + "/" + name)) << name;

    // Settings lost, the user's files kept: a new set-up fills in only what is missing.
    QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
    const std::vector<std::pair<QString, QByteArray>> mine{
        {dir.filePath("NewMail.sys"), "modello dell'utente"},
        {dir.filePath("Setup.ini"), "\"Mittente\"\r\n"},
        {dir.filePath("Gruppi.grp"), "gruppi dell'utente"},
        {dir.filePath("Archivi/Clienti.mdb"), "archivio dell'utente"}};
    for (const auto& [path, data] : mine)
        ASSERT_TRUE(velomar::test::writeFile(path, data));
    ASSERT_TRUE(QFile::remove(dir.filePath("StatiEsteri.mdb")));
    AppState again;
    ASSERT_EQ(Startup::run(again, settings, dialogs, candidates), Startup::Outcome::Ready);
    for (const auto& [path, data] : mine)
        EXPECT_EQ(fileBytes(path), data) << qPrintable(path);
    EXPECT_EQ(fileBytes(dir.filePath("StatiEsteri.mdb")),
              fileBytes(templates + "/StatiEsteri.mdb"));

    // The installation script's command runs the same set-up.
    QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
    EXPECT_EQ(velomar::test::runCommand("install-dir",
                                        {defaultFolder, "--templates", program.filePath("manca")})
                  .status,
              1);
    EXPECT_FALSE(Settings().programDir().has_value());
    const auto install =
        velomar::test::runCommand("install-dir", {defaultFolder, "--templates", templates});
    EXPECT_EQ(install.status, 0) << qPrintable(install.err);
    EXPECT_EQ(Settings().programDir(), defaultFolder + "/");
    for (const auto& [path, data] : mine)
        EXPECT_EQ(fileBytes(path), data) << qPrintable(path);
}

TEST_F(StartupTest, ProgramDirDropsItsLastComponentAndMustNameAFolder) {
    EXPECT_EQ(ProgramSetup::programFolderFrom("/opt/Prog/Etichette/"), "/opt/Prog/Etichette");
    EXPECT_EQ(ProgramSetup::programFolderFrom("/opt/Prog/Etichette/velomar"),
              "/opt/Prog/Etichette");
    // A folder written without its final separator is taken whole.
    EXPECT_EQ(ProgramSetup::programFolderFrom(program.path()), program.path());

    settings.setProgramDir(program.filePath("manca/"));
    EXPECT_EQ(Startup::run(state, settings, dialogs), Startup::Outcome::NoProgramFolder);
    EXPECT_TRUE(dialogs.lastMessage().contains("Reinstallare"));
    EXPECT_FALSE(QFileInfo::exists(program.filePath("manca")));
}

TEST_F(StartupTest,
       FreshFolderGetsWorkingFoldersAndEmptyFilesOnlyOnceAndKeepsTheLastArchiveFolder) {
    settings.setLastDirArch(program.filePath("sparita")); // gone: falls back
    ASSERT_EQ(start(state), Startup::Outcome::Ready);
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

    // Second start: existing files are left as they are, the folder saved on exit is used.
    state.senders.sender2[0] = "Mittente due";
    ASSERT_TRUE(velomar::settings::SetupIni::write(state.setupIniPath, state.senders).ok);
    QDir().mkdir(program.filePath("Altri"));
    state.lastDirArch = program.filePath("Altri");
    Startup::saveOnExit(state, settings);
    AppState again;
    ASSERT_EQ(start(again), Startup::Outcome::Ready);
    EXPECT_EQ(again.senders.sender2[0], "Mittente due");
    EXPECT_EQ(again.lastDirArch, program.filePath("Altri"));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(StartupTest, UnwritableProgramFolderAndBadSetupIniAreToldAndStartUpGoesOn) {
    // A read-only volume refuses root too.
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "ro,size=64k", "tmpfs", program.path()}) !=
        0)
        GTEST_SKIP() << "cannot mount a read-only tmpfs (needs root)";
    EXPECT_EQ(start(state), Startup::Outcome::Ready);
    QProcess::execute("umount", {program.path()});
    const auto msgs = dialogs.messages();
    ASSERT_GE(msgs.size(), 6u);
    EXPECT_EQ(msgs[0], "Impossibile creare la cartella '" + program.filePath("Archivi") + "' !");
}

TEST_F(StartupTest, SetupIniThatIsAFolderIsReportedAndSendersStayEmpty) {
    QDir().mkdir(program.filePath("Setup.ini"));
    EXPECT_EQ(start(state), Startup::Outcome::Ready);
    const auto msgs = dialogs.messages();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0], "Impossibile creare il file '" + program.filePath("Setup.ini") + "' !");
    EXPECT_TRUE(msgs[1].startsWith("Errore 75\r\n"));
    EXPECT_EQ(state.senders, velomar::settings::SenderLines());
}

TEST_F(StartupTest, GroupsFileInAccessFormatIsOfferedForConversionAndNeverLost) {
    // An Access file that is no groups archive: the offer is made, the conversion refused.
    const QString groups = program.filePath("Gruppi.grp");
    ASSERT_TRUE(
        QFile::copy(velomar::test::sourcePath("tests/exchange/data/access/nwind.mdb"), groups));
    const QByteArray original = fileBytes(groups);
    const QString question =
        QStringLiteral("Il file dei gruppi «Gruppi.grp» è in formato Access. Convertirlo nel "
                       "formato del programma? Il file originale viene conservato come "
                       "«Gruppi (Access).grp».");
    dialogs.answerMessage(velomar::common::MsgResult::No);
    ASSERT_EQ(start(state), Startup::Outcome::Ready);
    ASSERT_EQ(dialogs.messages(), std::vector<QString>{question});
    EXPECT_EQ(dialogs.shown().back().buttons, velomar::common::MsgButtons::YesNo);

    dialogs.clear();
    dialogs.answerMessage(velomar::common::MsgResult::Yes);
    ASSERT_EQ(start(state), Startup::Outcome::Ready);
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_TRUE(dialogs.lastMessage().contains("non contiene la tabella TabGRUPPI"))
        << qPrintable(dialogs.lastMessage());
    EXPECT_EQ(dialogs.shown().back().icon, MsgIcon::Critical);
    EXPECT_EQ(fileBytes(groups), original);
    EXPECT_EQ(QDir(program.path()).entryList({"*.grp", ".*tmp"}, QDir::Files | QDir::Hidden),
              QStringList{"Gruppi.grp"});
}
