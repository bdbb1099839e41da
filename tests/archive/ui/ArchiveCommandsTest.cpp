#include "../ArchiveTestFiles.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveOpener.h"
#include "archive/Database.h"
#include "archive/DateStamp.h"
#include "archive/SampleArchive.h"
#include "archive/Session.h"
#include "archive/ui/ArchiveCommands.h"
#include "archive/ui/ArchiveHost.h"
#include "archive/ui/frmProprieta.h"
#include "archive/ui/frmProprietaGr.h"
#include "common/AppError.h"
#include "settings/AppState.h"
#include "settings/Settings.h"
#include "common/AppContext.h"
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
    void setPanelImage(int panel, const QString& key) override { images[std::size_t(panel)] = key; }
    void clearPanels(int first, int last) override {
        for (int i = first; i <= last; ++i) {
            texts[std::size_t(i)].clear();
            images[std::size_t(i)].clear();
        }
    }
    void setArchiveMenuEnabled(bool enabled) override { archiveMenu = enabled; }
    void setOpenCommandsEnabled(bool enabled) override { openCommands = enabled; }
    void showWait(const QString& message, const QString& key) override { waits << message + QLatin1Char('|') + key; }
    void closeWait() override { waits << QStringLiteral("closed"); }
    QString sizeText(const QString& path) const override {
        return QStringLiteral("(%1 bytes)").arg(QFileInfo(path).size());
    }
    bool gridLoaded() const override { return grid; }
    void unloadGrid() override { grid = false; }

    std::array<QString, 7> texts;
    std::array<QString, 7> images;
    bool archiveMenu = false;
    bool openCommands = true;
    bool grid = false;
    QStringList waits;
};

// Runs f on the visible modal window of type Form as soon as it shows.
template <class Form>
void onModal(std::function<void(Form&)> f) {
    QTimer::singleShot(0, [f] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<Form*>(w); form && form->isVisible()) {
                f(*form);
                if (form->isVisible())
                    form->reject();
                return;
            }
        ADD_FAILURE() << "modal window not shown";
    });
}

QString labelText(QWidget& w, const char* name) {
    auto* label = w.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<missing>");
}

class ArchiveCommandsTest : public ::testing::Test {
protected:
    ArchiveCommandsTest() {
        state.programDir = dir.path();
        state.lastDirArch = dir.filePath(QStringLiteral("Archivi"));
        QDir().mkpath(state.lastDirArch);
        ctx = std::make_unique<common::AppContext>(common::AppContext{
            state, dialogs, settings, session, *reinterpret_cast<printing::PrinterSelection*>(&printerStorage)});
        commands = std::make_unique<ArchiveCommands>(*ctx, host);
        QObject::connect(commands.get(), &ArchiveCommands::archiveOpened,
                         [this](const QString& path) { opened << path; });
    }

    QString sample(const QString& name, qint64 count) {
        const QString path = QDir(state.lastDirArch).filePath(name);
        SampleArchive::write(path, count, 9);
        return path;
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

TEST_F(ArchiveCommandsTest, OpenCountsTheArchiveAndHandsItToTheGrid) {
    dialogs.answerFile(std::nullopt);
    commands->openArchive();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(state.currentArchivePath.isEmpty());
    EXPECT_TRUE(host.waits.isEmpty());

    const QString path = sample(QStringLiteral("Soci 2026.mdb"), 1234);
    state.lastDirArch = dir.path(); // the dialog starts here; the open moves it
    dialogs.answerFile(QStringLiteral("  ") + path + QStringLiteral(" "));
    commands->openArchive();
    ASSERT_EQ(opened, QStringList{path});
    EXPECT_EQ(dialogs.shown().back().defaultText, dir.path());
    EXPECT_EQ(state.currentArchivePath, path);
    EXPECT_EQ(state.archiveCount, 1234);
    EXPECT_EQ(state.lastDirArch, QFileInfo(path).absolutePath());
    EXPECT_EQ(host.texts[1], QStringLiteral("Soci 2026.mdb"));
    EXPECT_TRUE(host.archiveMenu);
    EXPECT_EQ(host.waits, (QStringList{QStringLiteral("Lettura Archivio...!|kDRIVET"), QStringLiteral("closed")}));
    // The count's connection is closed: the grid opens the archive for itself.
    EXPECT_FALSE(session.mainDb.isOpen());
    EXPECT_FALSE(session.mainRs.isOpen());
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(ArchiveCommandsTest, ARefusedFileLeavesNoArchiveOpenAndIsNotTouched) {
    const QString bad = QDir(state.lastDirArch).filePath(QStringLiteral("Lettera.mdb"));
    ASSERT_TRUE(writeFile(bad, "Gentile cliente,\r\n"));
    const FileSnapshot before = FileSnapshot::of(bad);
    host.texts[1] = QStringLiteral("Vecchio.mdb");
    host.archiveMenu = true;
    dialogs.answerFile(bad);
    commands->openArchive();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("Archivio non riconosciuto o corrotto !"));
    EXPECT_EQ(state.callerMode, QStringLiteral("Erro"));
    EXPECT_TRUE(host.texts[1].isEmpty());
    EXPECT_FALSE(host.archiveMenu);
    EXPECT_EQ(FileSnapshot::of(bad), before);
}

TEST_F(ArchiveCommandsTest, CreateCopiesTheTemplateStampsTheDayAndRefusesExistingNames) {
    // No template in the program folder.
    commands->createArchive();
    EXPECT_TRUE(dialogs.lastMessage().startsWith(QStringLiteral("Il file 'NewMail.sys' non è stato trovato")));

    ASSERT_TRUE(QFile::copy(templatePath(QStringLiteral("NewMail.sys")), dir.filePath(QStringLiteral("NewMail.sys"))));
    dialogs.clear();
    dialogs.answerFile(std::nullopt);
    commands->createArchive();
    EXPECT_TRUE(dialogs.messages().empty());

    const QString other = dir.filePath(QStringLiteral("Nuovi"));
    QDir().mkpath(other);
    const QString target = QDir(other).filePath(QStringLiteral("Amici.mdb"));
    dialogs.answerFile(target);
    commands->createArchive();
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(state.lastDirArch, other);
    EXPECT_EQ(DateStamp::readByPath(target, DateStamp::Kind::Creazione, nullptr), QDate::currentDate());
    EXPECT_FALSE(DateStamp::readByPath(target, DateStamp::Kind::Defrag, nullptr).has_value());
    EXPECT_TRUE(QFileInfo(target).isWritable());
    EXPECT_TRUE(opened.isEmpty()); // option 18 is off

    const FileSnapshot before = FileSnapshot::of(target);
    dialogs.answerFile(target);
    commands->createArchive();
    EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("Il file Amici.mdb già esiste.\r\nRiprovare con un nuovo nome."));
    EXPECT_EQ(FileSnapshot::of(target), before);

    // Option 18: the open dialog follows at once, in the new archive's folder.
    state.options.setValue(18, 1);
    const QString second = QDir(other).filePath(QStringLiteral("Parenti.mdb"));
    dialogs.answerFile(second);
    dialogs.answerFile(second);
    commands->createArchive();
    EXPECT_EQ(dialogs.shown().back().defaultText, other);
    EXPECT_EQ(opened, QStringList{second});
    EXPECT_EQ(state.archiveCount, 0);
}

TEST_F(ArchiveCommandsTest, PropertiesAfterOpenShowTheFactsAndCompact) {
    const QString path = sample(QStringLiteral("Clienti.mdb"), 3000);
    {
        Database db(path, Database::Mode::ReadWrite);
        db.exec(QStringLiteral("DELETE FROM TabMAIL WHERE NR > 1000"));
    }
    const qint64 before = QFileInfo(path).size();
    state.options.setValue(17, 1);
    bool shown = false;
    onModal<frmProprieta>([&](frmProprieta& w) {
        shown = true;
        EXPECT_TRUE(opened.isEmpty()); // before the grid
        EXPECT_EQ(labelText(w, "lblTITOLO"), QStringLiteral("Clienti.mdb"));
        EXPECT_EQ(labelText(w, "lblTOTREC"), QStringLiteral("Nomi archiviati: 1.000"));
            EXPECT_EQ(labelText(w, "lblDefrag"), QStringLiteral("Ultima Compattazione Archivio: 00:00:00"));
        auto* defrag = w.findChild<QPushButton*>(QStringLiteral("cmdDefrag"));
        ASSERT_TRUE(defrag && !defrag->isHidden());
        w.cmdDefrag_Click();
        EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("Defrag Archivio terminato."));
        EXPECT_EQ(labelText(w, "lblDefrag"),
                  QStringLiteral("Ultima Compattazione Archivio: ") + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    });
    dialogs.answerFile(path);
    commands->openArchive();
    EXPECT_TRUE(shown);
    EXPECT_EQ(opened, QStringList{path});
    EXPECT_LT(QFileInfo(path).size(), before);
    EXPECT_TRUE(host.texts[2].contains(QString::number(QFileInfo(path).size())));
}

TEST_F(ArchiveCommandsTest, PropertiesWithTheGridOpenOfferNoCompaction) {
    const QString path = sample(QStringLiteral("Clienti.mdb"), 20);
    state.currentArchivePath = path;
    state.archiveCount = 20;
    host.grid = true;
    frmProprieta w(*ctx, host);
    EXPECT_TRUE(w.findChild<QPushButton*>(QStringLiteral("cmdDefrag"))->isHidden());
    EXPECT_EQ(labelText(w, "lblInfo"), frmProprieta::ruleText());
}

TEST_F(ArchiveCommandsTest, GroupsPropertiesCompactAndGiveTheGroupsBack) {
    const QString groups = dir.filePath(QStringLiteral("Gruppi.grp"));
    SampleArchive::writeGroups(groups, 3);
    ArchiveOpener opener(state, dialogs);
    state.callerMode = QStringLiteral("Grup");
    ASSERT_TRUE(opener.open(session.groupsDb, session.groupsRs, groups, false));
    frmProprietaGr w(*ctx, session.groupsRs.recordCount());
    EXPECT_EQ(labelText(w, "lblTOTREC"), QStringLiteral("Totale Gruppi archiviati: 14"));
    bool reopened = false;
    QObject::connect(&w, &frmProprietaGr::groupsReopened, [&](bool ok) { reopened = ok; });
    w.cmdDefrag_Click();
    EXPECT_TRUE(reopened);
    EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("Defrag Archivio terminato."));
    ASSERT_TRUE(session.groupsRs.isOpen());
    EXPECT_EQ(session.groupsRs.recordCount(), 14);
    EXPECT_EQ(labelText(w, "lblDefrag"),
              QStringLiteral("Ultima Compattazione Archivio: ") + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    session.closeGroups();
}

TEST_F(ArchiveCommandsTest, AForeignArchiveIsOfferedForConversionAndTheNewOneOpened) {
    const QString foreign = QDir(state.lastDirArch).filePath(QStringLiteral("Vecchi.mdb"));
    ASSERT_TRUE(writeFile(foreign, "un altro formato"));
    const FileSnapshot before = FileSnapshot::of(foreign);
    const QString converted = QDir(state.lastDirArch).filePath(QStringLiteral("Vecchi (convertito).mdb"));
    bool fail = false;
    commands->setForeignArchive(
        {[&](const QString& path) { return path == foreign; },
         [](const QString& path) { return QStringLiteral("Convertire %1?").arg(QFileInfo(path).fileName()); },
         [&](const QString&) {
             if (fail)
                 throw common::AppError(81, QStringLiteral("Conversione non riuscita."));
             SampleArchive::write(converted, 5, 9);
             return converted;
         }});

    // No: nothing more is shown, nothing opened.
    dialogs.answerFile(foreign);
    dialogs.answerMessage(common::MsgResult::No);
    commands->openArchive();
    ASSERT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Convertire Vecchi.mdb?")});
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(converted));

    // A failed conversion is shown and opens nothing.
    fail = true;
    dialogs.clear();
    dialogs.answerFile(foreign);
    dialogs.answerMessage(common::MsgResult::Yes);
    commands->openArchive();
    EXPECT_EQ(dialogs.lastMessage(), QStringLiteral("Conversione non riuscita."));
    EXPECT_TRUE(opened.isEmpty());

    // Yes: the new archive is opened as any other.
    fail = false;
    dialogs.clear();
    dialogs.answerFile(foreign);
    dialogs.answerMessage(common::MsgResult::Yes);
    commands->openArchive();
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Convertire Vecchi.mdb?")});
    ASSERT_EQ(opened, QStringList{converted});
    EXPECT_EQ(state.currentArchivePath, converted);
    EXPECT_EQ(state.archiveCount, 5);
    const FileSnapshot after = FileSnapshot::of(foreign);
    EXPECT_EQ(after.bytes, before.bytes);
    EXPECT_EQ(after.modified, before.modified);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ArchiveCommandsTest, AForeignFileThatIsNoArchiveIsOfferedToTheFileImportInstead) {
    const QString foreign = QDir(state.lastDirArch).filePath(QStringLiteral("nwind.mdb"));
    ASSERT_TRUE(QFile(foreign).open(QIODevice::WriteOnly));
    bool converted = false;
    bool unreadable = false;
    QStringList imported;
    commands->setForeignArchive({[](const QString&) { return true; },
                                 [](const QString&) { return QStringLiteral("Convertire?"); },
                                 [&](const QString& path) {
                                     converted = true;
                                     return path;
                                 },
                                 [&](const QString&) {
                                     if (unreadable)
                                         throw common::AppError(81, QStringLiteral("file Access danneggiato."));
                                     return false;
                                 },
                                 [&](const QString& path) { imported << path; }});
    const QString what = QStringLiteral("Il file «nwind.mdb» è un database Access, ma non un archivio di indirizzi");
    const QString open = sample(QStringLiteral("Aperto.mdb"), 3);
    struct Case {
        const char* name;
        bool archiveOpen;
        bool damaged;
        std::optional<common::MsgResult> answer;
        QString shown;
        common::MsgIcon icon;
        bool imports;
    };
    const Case cases[] = {
        {"with an archive open, Yes", true, false, common::MsgResult::Yes, what, common::MsgIcon::Question, true},
        {"with an archive open, No", true, false, common::MsgResult::No, what, common::MsgIcon::Question, false},
        {"no archive to import into", false, false, std::nullopt, what, common::MsgIcon::Information, false},
        {"damaged", true, true, std::nullopt, QStringLiteral("file Access danneggiato."), common::MsgIcon::Critical,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        imported.clear();
        unreadable = c.damaged;
        session.mainDb = c.archiveOpen ? Database(open, Database::Mode::ReadWrite) : Database();
        dialogs.answerFile(foreign);
        if (c.answer)
            dialogs.answerMessage(*c.answer);
        commands->openArchive();
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
