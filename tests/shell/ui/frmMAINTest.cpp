#include "MainWindowFixture.h"

#include "archive/SampleArchive.h"
#include "common/ImageList.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

using velomar::common::MsgButtons;
using velomar::common::MsgIcon;
using velomar::common::MsgResult;
using velomar::shell::ui::frmMAIN;

using frmMAINTest = MainWindowFixture;

TEST_F(frmMAINTest, LoadRunsStartUpPanelsShowWhatTheyAreGivenAndMenusOpenTheWorkingFolders) {
    ASSERT_TRUE(window->load());
    EXPECT_EQ(window->windowTitle(), "Velomar 1.0.60");
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_FALSE(child<QMenu>("mnuArchivio")->menuAction()->isEnabled());
    for (int p = 1; p <= frmMAIN::PanelCount; ++p)
        EXPECT_EQ(window->panelText(p) + window->panelImageKey(p), "") << p;

    window->setPanelText(1, "Rossi.mdb");
    window->setPanelImage(1, "kDBclose");
    window->setPanelImage(7, "kDBopen"); // no such panel: ignored
    window->setPanelImage(2, "kNonEsiste");
    EXPECT_EQ(window->panelImageKey(1), "kDBclose");
    EXPECT_EQ(window->panelImageKey(2), "");
    window->clearPanels(1, 5);
    EXPECT_EQ(window->panelText(1) + window->panelImageKey(1), "");
    for (const QString& key : velomar::common::ImageList::keys())
        EXPECT_FALSE(velomar::common::ImageList::icon(key).isNull()) << key.toStdString();
    EXPECT_EQ(velomar::common::ImageList::tag("kDRIVET"), "Hard-Disk");

    child<QAction>("mnuVediFileTipogr")->trigger();
    child<QAction>("mnuVediFileSing")->trigger();
    child<QAction>("mnuVediExport")->trigger();
    ASSERT_EQ(desk.opened.size(), 3);
    EXPECT_EQ(desk.opened[0].toLocalFile(), program.filePath("StampeTip"));
    EXPECT_EQ(desk.opened[1].toLocalFile(), program.filePath("StampeSng"));
    EXPECT_EQ(desk.opened[2].toLocalFile(), program.filePath("Export"));
    state.options.setValue(22, 1);
    child<QAction>("mnuFormatta")->trigger();
    EXPECT_TRUE(dialogs.lastMessage().startsWith("Il Drive [b:] non è pronto"));

    // Destroyed with the grid open: the grid reports its closing while the window is still whole.
    const QString path = program.filePath("Archivi/Prova.mdb");
    velomar::archive::SampleArchive::write(path, 30, 7);
    state.currentArchivePath = path;
    ASSERT_TRUE(window->showAddressGrid());
    ASSERT_TRUE(session.mainOpen());
    window.reset();
    EXPECT_FALSE(session.mainOpen());
    EXPECT_TRUE(state.currentArchivePath.isEmpty());

    // Without a program folder the window does not load.
    QSettings(QStringLiteral("QZ"), QStringLiteral("Velomar")).clear();
    velomar::settings::Settings fresh;
    velomar::settings::AppState none;
    velomar::common::AppContext ctx{none, dialogs, fresh, session, printers};
    EXPECT_FALSE(frmMAIN(ctx).load());
    EXPECT_EQ(dialogs.shown().back().icon, MsgIcon::Critical); // the start-up's message
}

TEST_F(frmMAINTest, MenuBarCarriesEveryEntryWithCaptionShortcutAndVisibility) {
    // name|caption|shortcut
    const QStringList items =
        QString::fromUtf8(
            "mnuApri|&Apri Archivio|Ctrl+A;mnuNuovo|Crea &Nuovo Archivio|Ctrl+N;"
            "mnuVediFileTipogr|Vedi File Promemoria &Tipografia|Ctrl+T;"
            "mnuVediFileSing|Vedi &File Promemoria Singole|Ctrl+F;"
            "mnuVediExport|Vedi File Esportati|Ctrl+V;mnuSetPrn|Imposta &Stampante|Ctrl+S;"
            "mnuEsplora|Esplora|;mnuTrova|Trova|;mnuEsci|&Esci|Ctrl+Q;mnuSchedario|Schedario|F2;"
            "mnuRiepilogoIndGrp|Indirizzi per Gruppo|;mnuRiepilogoCAP|Indirizzi per CAP|;"
            "mnuRiepilogoCITTA|Indirizzi per Città|;mnuRiepilogoPROV|Indirizzi per Provincia|;"
            "mnuRiepilogoNAZ|Indirizzi per Nazione|;mnuEsporta|&Esporta in formato Testo|Ctrl+E;"
            "mnuImporta|&Importa da altro Archivio|Ctrl+I;mnuImportaFile|Importa da &file…|;"
            "mnuDoppioni|Cerca d&oppioni…|;mnuVerifica|Verifica i&ndirizzi…|;"
            "mnuGrigliaDefault|Ripristina Colonne &Default|Ctrl+D;"
            "mnuProprieta|&Proprietà Archivio|Ctrl+P;mnuChiudiArchivio|&Chiudi Archivio|Ctrl+C;"
            "mnuOptApp|Applica&zione|Ctrl+Z;mnuGruppi|Gestione &Gruppi|Ctrl+G;"
            "mnuFormatta|&Formatta Floppy Disk|;mnuAbout|&?|")
            .split(u';');
    for (const QString& item : items) {
        const QStringList i = item.split(u'|');
        QAction* a = child<QAction>(qPrintable(i[0]));
        ASSERT_NE(a, nullptr) << qPrintable(item);
        EXPECT_EQ(QStringList({i[0], a->text(), a->shortcut().toString()}), i);
        EXPECT_TRUE(a->isVisible()) << qPrintable(item);
    }
    QStringList top;
    for (QAction* a : window->menuBar()->actions())
        top << a->text();
    EXPECT_EQ(top, (QStringList{"&File", "&Archivio", "&Opzioni"}));
    EXPECT_EQ(child<QMenu>("mnuVisualizzazioni")->title(), "&Visualizzazioni");
    for (const char* sep : {"mnuSep10", "mnuSep15", "mnuSepO", "mnuSep4", "mnuSepS", "mnuSepSt",
                            "mnuSep0", "mnuSepv", "mnuSep", "mnuSep9", "mnuSep6"})
        EXPECT_TRUE(child<QAction>(sep) && child<QAction>(sep)->isSeparator()) << sep;

    window->setArchiveMenuEnabled(true);
    EXPECT_TRUE(child<QMenu>("mnuArchivio")->menuAction()->isEnabled());
    window->setOpenCommandsEnabled(false);
    EXPECT_FALSE(child<QAction>("mnuApri")->isEnabled());
    EXPECT_FALSE(child<QAction>("mnuNuovo")->isEnabled());
}

TEST_F(frmMAINTest, ExitAsksNoKeepsTheProgramRunningYesClosesTheAddressGridFirst) {
    ASSERT_TRUE(window->load());
    auto* grid = new QWidget(window->mdiArea());
    grid->setObjectName("frmEDIT");
    grid->setAttribute(Qt::WA_DeleteOnClose);
    window->mdiArea()->addSubWindow(grid)->show();
    window->show();
    QDir().mkdir(program.filePath("Altri"));
    state.lastDirArch = program.filePath("Altri");

    dialogs.answerMessage(MsgResult::No);
    child<QAction>("mnuEsci")->trigger();
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.lastMessage(), "Uscire dall'Applicazione ?");
    EXPECT_EQ(dialogs.shown()[0].icon, MsgIcon::Question);
    EXPECT_EQ(dialogs.shown()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(velomar::settings::Settings().lastDirArch(), "");

    // Closing from the title bar asks the same; No cancels.
    dialogs.answerMessage(MsgResult::No);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(frmMAIN::formsWalk("frmEDIT"), 1);

    bool unloaded = false;
    QObject::connect(window.get(), &frmMAIN::unloaded, [&] { unloaded = true; });
    dialogs.answerMessage(MsgResult::Yes);
    child<QAction>("mnuEsci")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(unloaded);
    EXPECT_EQ(dialogs.shown().size(), 3u); // asked once, not again by the close
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmMAIN::formsWalk("frmEDIT"), 0); // the address grid is closed first
    EXPECT_EQ(velomar::settings::Settings().lastDirArch(), program.filePath("Altri"));
}
