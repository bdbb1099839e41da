#include "../ArchiveTestFiles.h"

#include "archive/ArchiveOpener.h"
#include "archive/Database.h"
#include "archive/DateStamp.h"
#include "archive/SampleArchive.h"
#include "archive/Session.h"
#include "archive/ui/ArchiveCommands.h"
#include "archive/ui/ArchiveHost.h"
#include "archive/ui/frmProprieta.h"
#include "archive/ui/frmProprietaGr.h"
#include "common/AppContext.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "settings/Settings.h"
#include "support/CommandRun.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <memory>

using namespace velomar;
using namespace velomar::archive;
using namespace velomar::test;
using velomar::archive::ui::ArchiveCommands;
using velomar::archive::ui::frmProprieta;
using velomar::archive::ui::frmProprietaGr;

namespace velomar::printing {
class PrinterSelection;
}

namespace {

class FakeHost : public archive::ui::ArchiveHost {
public:
    QWidget* hostWindow() override { return nullptr; }
    void setPanelText(int panel, const QString& text) override { texts[std::size_t(panel)] = text; }
    void setPanelImage(int, const QString&) override {}
    void clearPanels(int first, int last) override {
        for (int i = first; i <= last; ++i)
            texts[std::size_t(i)].clear();
    }
    void setArchiveMenuEnabled(bool enabled) override { archiveMenu = enabled; }
    void setOpenCommandsEnabled(bool) override {}
    void showWait(const QString& message, const QString& key) override {
        waits << message + '|' + key;
    }
    void closeWait() override { waits << "closed"; }
    QString sizeText(const QString& path) const override {
        return QString("(%1 bytes)").arg(QFileInfo(path).size());
    }
    bool gridLoaded() const override { return grid; }
    void unloadGrid() override { grid = false; }

    std::array<QString, 7> texts;
    bool archiveMenu = false;
    bool grid = false;
    QStringList waits;
};

QString labelText(QWidget& w, const char* name) {
    auto* label = w.findChild<QLabel*>(name);
    return label ? label->text() : "<missing>";
}

const QString kDefragToday =
    "Ultima Compattazione Archivio: " + QDate::currentDate().toString("dd/MM/yyyy");

class ArchiveCommandsTest : public ::testing::Test {
protected:
    ArchiveCommandsTest() {
        state.programDir = dir.path();
        state.lastDirArch = dir.filePath("Archivi");
        QDir().mkpath(state.lastDirArch);
        ctx = std::make_unique<common::AppContext>(
            common::AppContext{state, dialogs, settings, session,
                               *reinterpret_cast<printing::PrinterSelection*>(&printerStorage)});
        commands = std::make_unique<ArchiveCommands>(*ctx, host);
        QObject::connect(commands.get(), &ArchiveCommands::archiveOpened,
                         [this](const QString& path) { opened << path; });
    }

    QString inArchives(const QString& name) const { return QDir(state.lastDirArch).filePath(name); }
    QString sample(const QString& name, qint64 count) {
        SampleArchive::write(inArchives(name), count, 9);
        return inArchives(name);
    }
    void create(const std::optional<QString>& file) {
        dialogs.answerFile(file);
        commands->createArchive();
    }
    // The open command, with the file the dialog gives and the answer to its one question.
    void open(const std::optional<QString>& file,
              std::optional<common::MsgResult> answer = std::nullopt) {
        dialogs.clear();
        dialogs.answerFile(file);
        if (answer)
            dialogs.answerMessage(*answer);
        commands->openArchive();
    }

    QTemporaryDir dir;
    settings::AppState state;
    ScriptedDialogs dialogs;
    settings::Settings settings;
    Session session;
    alignas(void*) unsigned char printerStorage[64]{};
    std::unique_ptr<common::AppContext> ctx;
    FakeHost host;
    std::unique_ptr<ArchiveCommands> commands;
    QStringList opened;
};

} // namespace

TEST_F(ArchiveCommandsTest, OpenCountsTheArchiveHandsItToTheGridAndLeavesARefusedFileAlone) {
    open(std::nullopt);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(state.currentArchivePath.isEmpty());
    EXPECT_TRUE(host.waits.isEmpty());

    const QString path = sample("Soci 2026.mdb", 1234);
    state.lastDirArch = dir.path(); // the dialog starts here; the open moves it
    open("  " + path + " ");
    ASSERT_EQ(opened, QStringList{path});
    EXPECT_EQ(dialogs.shown().back().defaultText, dir.path());
    EXPECT_EQ(state.currentArchivePath, path);
    EXPECT_EQ(state.archiveCount, 1234);
    EXPECT_EQ(state.lastDirArch, QFileInfo(path).absolutePath());
    EXPECT_EQ(host.texts[1], "Soci 2026.mdb");
    EXPECT_TRUE(host.archiveMenu);
    EXPECT_EQ(host.waits, (QStringList{"Lettura Archivio...!|kDRIVET", "closed"}));
    // The count's connection is closed: the grid opens the archive for itself.
    EXPECT_FALSE(session.mainDb.isOpen());
    EXPECT_FALSE(session.mainRs.isOpen());
    EXPECT_EQ(dialogs.messages().size(), 0u);

    const QString bad = inArchives("Lettera.mdb");
    ASSERT_TRUE(writeFile(bad, "Gentile cliente,\r\n"));
    const FileSnapshot before = FileSnapshot::of(bad);
    open(bad);
    EXPECT_EQ(opened.size(), 1); // message and "Erro": ArchiveOpenerTest
    EXPECT_TRUE(host.texts[1].isEmpty());
    EXPECT_FALSE(host.archiveMenu);
    EXPECT_EQ(FileSnapshot::of(bad), before);
}

TEST_F(ArchiveCommandsTest, CreateCopiesTheTemplateStampsTheDayAndRefusesExistingNames) {
    // No template in the program folder.
    commands->createArchive();
    EXPECT_TRUE(dialogs.lastMessage().startsWith("Il file 'NewMail.sys' non è stato trovato"));

    ASSERT_TRUE(QFile::copy(templatePath("NewMail.sys"), dir.filePath("NewMail.sys")));
    dialogs.clear();
    create(std::nullopt);
    EXPECT_EQ(dialogs.messages().size(), 0u);

    const QString other = dir.filePath("Nuovi");
    QDir().mkpath(other);
    const QString target = QDir(other).filePath("Amici.mdb");
    create(target);
    EXPECT_EQ(dialogs.messages().size(), 0u);
    EXPECT_EQ(state.lastDirArch, other);
    EXPECT_EQ(DateStamp::readByPath(target, DateStamp::Kind::Creazione, nullptr),
              QDate::currentDate());
    EXPECT_FALSE(DateStamp::readByPath(target, DateStamp::Kind::Defrag, nullptr).has_value());
    EXPECT_TRUE(QFileInfo(target).isWritable());
    EXPECT_TRUE(opened.isEmpty()); // option 18 is off

    const FileSnapshot before = FileSnapshot::of(target);
    create(target);
    EXPECT_EQ(dialogs.lastMessage(),
              "Il file Amici.mdb già esiste.\r\nRiprovare con un nuovo nome.");
    EXPECT_EQ(FileSnapshot::of(target), before);

    // Option 18: the open dialog follows at once, in the new archive's folder.
    state.options.setValue(18, 1);
    const QString second = QDir(other).filePath("Parenti.mdb");
    dialogs.answerFile(second); // the open dialog's
    create(second);
    EXPECT_EQ(dialogs.shown().back().defaultText, other);
    EXPECT_EQ(opened, QStringList{second});
    EXPECT_EQ(state.archiveCount, 0);
}

TEST_F(ArchiveCommandsTest, PropertiesCompactBeforeTheGridOpensButNotWithItAndGroupsComeBack) {
    const QString path = sample("Clienti.mdb", 3000);
    Database(path, Database::Mode::ReadWrite).exec("DELETE FROM TabMAIL WHERE NR > 1000");
    const qint64 before = QFileInfo(path).size();
    state.options.setValue(17, 1);
    bool shown = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* w = qobject_cast<frmProprieta*>(top); w && w->isVisible()) {
                shown = true;
                EXPECT_TRUE(opened.isEmpty()); // before the grid
                EXPECT_EQ(labelText(*w, "lblTITOLO"), "Clienti.mdb");
                EXPECT_EQ(labelText(*w, "lblTOTREC"), "Nomi archiviati: 1.000");
                EXPECT_EQ(labelText(*w, "lblDefrag"), "Ultima Compattazione Archivio: 00:00:00");
                auto* defrag = w->findChild<QPushButton*>("cmdDefrag");
                EXPECT_TRUE(defrag && !defrag->isHidden());
                w->cmdDefrag_Click();
                EXPECT_EQ(dialogs.lastMessage(), "Defrag Archivio terminato.");
                EXPECT_EQ(labelText(*w, "lblDefrag"), kDefragToday);
                w->reject();
            }
    });
    open(path);
    EXPECT_TRUE(shown);
    EXPECT_EQ(opened, QStringList{path});
    EXPECT_LT(QFileInfo(path).size(), before);
    EXPECT_TRUE(host.texts[2].contains(QString::number(QFileInfo(path).size())));

    state.currentArchivePath = path;
    state.options.setValue(17, 0); // the rule is told when the properties are not shown on open
    host.grid = true;
    frmProprieta w(*ctx, host);
    EXPECT_TRUE(w.findChild<QPushButton*>("cmdDefrag")->isHidden());
    EXPECT_EQ(labelText(w, "lblInfo"), frmProprieta::ruleText());

    // The groups' properties compact them and give the groups back.
    const QString groups = dir.filePath("Gruppi.grp");
    SampleArchive::writeGroups(groups, 3);
    ArchiveOpener opener(state, dialogs);
    state.callerMode = "Grup";
    ASSERT_TRUE(opener.open(session.groupsDb, session.groupsRs, groups, false));
    frmProprietaGr g(*ctx, session.groupsRs.recordCount());
    EXPECT_EQ(labelText(g, "lblTOTREC"), "Totale Gruppi archiviati: 14");
    bool reopened = false;
    QObject::connect(&g, &frmProprietaGr::groupsReopened, [&](bool ok) { reopened = ok; });
    g.cmdDefrag_Click();
    EXPECT_TRUE(reopened);
    EXPECT_EQ(dialogs.lastMessage(), "Defrag Archivio terminato.");
    ASSERT_TRUE(session.groupsRs.isOpen());
    EXPECT_EQ(session.groupsRs.recordCount(), 14);
    EXPECT_EQ(DateStamp::read(session.groupsDb, DateStamp::Kind::Defrag), QDate::currentDate());
    EXPECT_EQ(labelText(g, "lblDefrag"), kDefragToday);
    session.closeGroups();
}

TEST_F(ArchiveCommandsTest, AForeignArchiveIsOfferedForConversionAndTheNewOneOpened) {
    const QString foreign = inArchives("Vecchi.mdb");
    ASSERT_TRUE(writeFile(foreign, "un altro formato"));
    const FileSnapshot before = FileSnapshot::of(foreign);
    const QString converted = inArchives("Vecchi (convertito).mdb");
    bool fail = false;
    commands->setForeignArchive(
        {[&](const QString& path) { return path == foreign; },
         [](const QString& path) { return "Convertire " + QFileInfo(path).fileName() + "?"; },
         [&](const QString&) {
             if (fail)
                 throw common::AppError(81, "Conversione non riuscita.");
             SampleArchive::write(converted, 5, 9);
             return converted;
         }});
    const std::vector<QString> question{"Convertire Vecchi.mdb?"};

    // No: nothing more is shown, nothing opened.
    open(foreign, common::MsgResult::No);
    EXPECT_EQ(dialogs.messages(), question);
    EXPECT_FALSE(QFileInfo::exists(converted));
    // A failed conversion is shown and opens nothing.
    fail = true;
    open(foreign, common::MsgResult::Yes);
    EXPECT_EQ(dialogs.lastMessage(), "Conversione non riuscita.");
    EXPECT_TRUE(opened.isEmpty());
    // Yes: the new archive is opened as any other.
    fail = false;
    open(foreign, common::MsgResult::Yes);
    EXPECT_EQ(dialogs.messages(), question);
    ASSERT_EQ(opened, QStringList{converted});
    EXPECT_EQ(state.currentArchivePath, converted);
    EXPECT_EQ(state.archiveCount, 5);
    EXPECT_EQ(FileSnapshot::of(foreign).bytes, before.bytes);
    EXPECT_EQ(FileSnapshot::of(foreign).modified, before.modified);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ArchiveCommandsTest, AForeignFileThatIsNoArchiveIsOfferedToTheFileImportInstead) {
    const QString foreign = inArchives("nwind.mdb");
    ASSERT_TRUE(writeFile(foreign, {}));
    bool converted = false, unreadable = false;
    QStringList imported;
    commands->setForeignArchive({[](const QString&) { return true; },
                                 [](const QString&) { return QString("Convertire?"); },
                                 [&](const QString& path) {
                                     converted = true;
                                     return path;
                                 },
                                 [&](const QString&) {
                                     if (unreadable)
                                         throw common::AppError(81, "file Access danneggiato.");
                                     return false;
                                 },
                                 [&](const QString& path) { imported << path; }});
    const QString what =
        "Il file «nwind.mdb» è un database Access, ma non un archivio di indirizzi";
    const QString archive = sample("Aperto.mdb", 3);
    using enum common::MsgIcon;
    struct Case {
        const char* name;
        bool archiveOpen, damaged;
        std::optional<common::MsgResult> answer;
        QString shown;
        common::MsgIcon icon;
        bool imports;
    };
    const Case cases[] = {
        {"with an archive open, Yes", true, false, common::MsgResult::Yes, what, Question, true},
        {"with an archive open, No", true, false, common::MsgResult::No, what, Question, false},
        {"no archive to import into", false, false, std::nullopt, what, Information, false},
        {"damaged", true, true, std::nullopt, "file Access danneggiato.", Critical, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        imported.clear();
        unreadable = c.damaged;
        session.mainDb = c.archiveOpen ? Database(archive, Database::Mode::ReadWrite) : Database();
        open(foreign, c.answer);
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_TRUE(dialogs.lastMessage().startsWith(c.shown)) << qPrintable(dialogs.lastMessage());
        EXPECT_EQ(dialogs.shown().back().icon, c.icon);
        EXPECT_EQ(imported, c.imports ? QStringList{foreign} : QStringList{});
        EXPECT_FALSE(converted);
        EXPECT_TRUE(opened.isEmpty());
        EXPECT_TRUE(dialogs.allAnswersUsed());
    }
    session.mainDb.close();
}
