#include "shell/ui/frmMAIN.h"

#include "addresses/ui/AddressWindows.h"
#include "addresses/ui/frmEDIT.h"
#include "archive/ui/ArchiveCommands.h"
#include "archive/Session.h"
#include "archive/ui/MainWindowHost.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "common/ImageList.h"
#include "common/Twips.h"
#include "common/ui/FormsWalk.h"
#include "exchange/AccessConverter.h"
#include "exchange/AccessReader.h"
#include "printing/ui/ListPrinterWindows.h"
#include "printing/ui/PrintWindows.h"
#include "settings/Settings.h"
#include "shell/ui/ExchangeWindows.h"
#include "shell/ui/GridWindows.h"
#include "shell/Startup.h"
#include "shell/ui/frmAbout.h"
#include "shell/ui/frmOPT.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>

namespace velomar::shell::ui {

using common::MsgIcon;

namespace {
const QString kTitle = QStringLiteral("Velomar 1.0.60");
// Panel widths in twips; panel 6 takes what is left.
constexpr std::array<int, frmMAIN::PanelCount> kPanelTwips = {3600, 3000, 1300, 2200, 2600, 0};
} // namespace

frmMAIN::frmMAIN(common::AppContext& context, QWidget* parent)
    : QMainWindow(parent), m_ctx(context),
      m_shell(std::make_unique<ShellCommands>(context.dialogs)) {
    setObjectName(QStringLiteral("frmMAIN"));
    setWindowTitle(kTitle);
    setWindowIcon(common::ImageList::programIcon());
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setBackground(QColor(0x80, 0x80, 0x80));
    setCentralWidget(m_mdi);
    m_archiveHost = std::make_unique<archive::ui::MainWindowHost>(*this);
    m_archive = new archive::ui::ArchiveCommands(context, *m_archiveHost, this);
    m_archive->setForeignArchive({&exchange::AccessReader::isAccessFile, &exchange::AccessConverter::offerText,
                                  [](const QString& path) { return exchange::AccessConverter::convert(path); },
                                  &exchange::AccessConverter::holdsAddressArchive,
                                  [this](const QString& path) {
                                      offerCheck(ExchangeWindows::openFileImport(m_ctx, m_addresses->grid(),
                                                                                 this, path));
                                  }});
    buildMenus();
    buildStatusBar();
    m_addresses = new addresses::AddressWindows(
        m_ctx,
        {this, m_mdi, [this](int panel, const QString& text) { setPanelText(panel, text); },
         [this](bool enabled) { setOpenCommandsEnabled(enabled); },
         [this] {
             // The grid has closed the archive.
             setPanelImage(1, QString());
             clearPanels();
             setArchiveMenuEnabled(false);
         },
         [this](addresses::frmEDIT& grid) { GridWindows::installPrintButtons(grid, m_ctx); }},
        this);
    // A counted archive: the address grid opens it for editing and takes the work area.
    connect(m_archive, &archive::ui::ArchiveCommands::archiveOpened, this, [this] { showAddressGrid(); });
    if (QScreen* s = screen()) {
        const QRect avail = s->availableGeometry();
        resize(avail.width() * 4 / 5, avail.height() * 4 / 5);
        move(avail.center() - rect().center());
    }
}

frmMAIN::~frmMAIN() {
    // The grid reports its closing to this window: unload it while the window is whole.
    if (m_addresses)
        m_addresses->mnuChiudiArchivio_Click();
}

QAction* frmMAIN::addItem(QMenu* menu, const char* name, const QString& caption,
                          const QKeySequence& shortcut) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    return a;
}

QAction* frmMAIN::addSeparator(QMenu* menu, const char* name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QLatin1String(name));
    return a;
}

void frmMAIN::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    // Each entry: its action, its handler and whether its window exists yet.
    auto wire = [this](QAction* a, void (frmMAIN::*handler)(), bool ready) {
        connect(a, &QAction::triggered, this, handler);
        a->setVisible(ready);
    };

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    wire(addItem(file, "mnuApri", QStringLiteral("&Apri Archivio"), QKeySequence(QStringLiteral("Ctrl+A"))),
         &frmMAIN::mnuApri_Click, true);
    wire(addItem(file, "mnuNuovo", QStringLiteral("Crea &Nuovo Archivio"), QKeySequence(QStringLiteral("Ctrl+N"))),
         &frmMAIN::mnuNuovo_Click, true);
    addSeparator(file, "mnuSep10");
    wire(addItem(file, "mnuVediFileTipogr", QStringLiteral("Vedi File Promemoria &Tipografia"),
                 QKeySequence(QStringLiteral("Ctrl+T"))),
         &frmMAIN::mnuVediFileTipogr_Click, true);
    wire(addItem(file, "mnuVediFileSing", QStringLiteral("Vedi &File Promemoria Singole"),
                 QKeySequence(QStringLiteral("Ctrl+F"))),
         &frmMAIN::mnuVediFileSing_Click, true);
    wire(addItem(file, "mnuVediExport", QStringLiteral("Vedi File Esportati"), QKeySequence(QStringLiteral("Ctrl+V"))),
         &frmMAIN::mnuVediExport_Click, true);
    addSeparator(file, "mnuSep15");
    wire(addItem(file, "mnuSetPrn", QStringLiteral("Imposta &Stampante"), QKeySequence(QStringLiteral("Ctrl+S"))),
         &frmMAIN::mnuSetPrn_Click, true);
    addSeparator(file, "mnuSepO");
    wire(addItem(file, "mnuEsplora", QStringLiteral("Esplora")), &frmMAIN::mnuEsplora_Click, true);
    wire(addItem(file, "mnuTrova", QStringLiteral("Trova")), &frmMAIN::mnuTrova_Click, true);
    addSeparator(file, "mnuSep4");
    wire(addItem(file, "mnuEsci", QStringLiteral("&Esci"), QKeySequence(QStringLiteral("Ctrl+Q"))),
         &frmMAIN::mnuEsci_Click, true);

    QMenu* archivio = bar->addMenu(QStringLiteral("&Archivio"));
    archivio->setObjectName(QStringLiteral("mnuArchivio"));
    QMenu* views = archivio->addMenu(QStringLiteral("&Visualizzazioni"));
    views->setObjectName(QStringLiteral("mnuVisualizzazioni"));
    views->menuAction()->setObjectName(QStringLiteral("mnuVisualizzazioniAction"));
    views->menuAction()->setVisible(true);
    wire(addItem(views, "mnuSchedario", QStringLiteral("Schedario"), QKeySequence(Qt::Key_F2)),
         &frmMAIN::mnuSchedario_Click, true);
    addSeparator(views, "mnuSepS");
    wire(addItem(views, "mnuRiepilogoIndGrp", QStringLiteral("Indirizzi per Gruppo")),
         &frmMAIN::mnuRiepilogoIndGrp_Click, true);
    wire(addItem(views, "mnuRiepilogoCAP", QStringLiteral("Indirizzi per CAP")),
         &frmMAIN::mnuRiepilogoCAP_Click, true);
    wire(addItem(views, "mnuRiepilogoCITTA", QStringLiteral("Indirizzi per Città")),
         &frmMAIN::mnuRiepilogoCITTA_Click, true);
    wire(addItem(views, "mnuRiepilogoPROV", QStringLiteral("Indirizzi per Provincia")),
         &frmMAIN::mnuRiepilogoPROV_Click, true);
    wire(addItem(views, "mnuRiepilogoNAZ", QStringLiteral("Indirizzi per Nazione")),
         &frmMAIN::mnuRiepilogoNAZ_Click, true);
    addSeparator(archivio, "mnuSepSt");
    wire(addItem(archivio, "mnuEsporta", QStringLiteral("&Esporta in formato Testo"),
                 QKeySequence(QStringLiteral("Ctrl+E"))),
         &frmMAIN::mnuEsporta_Click, true);
    wire(addItem(archivio, "mnuImporta", QStringLiteral("&Importa da altro Archivio"),
                 QKeySequence(QStringLiteral("Ctrl+I"))),
         &frmMAIN::mnuImporta_Click, true);
    wire(addItem(archivio, "mnuImportaFile", QStringLiteral("Importa da &file…")),
         &frmMAIN::mnuImportaFile_Click, true);
    wire(addItem(archivio, "mnuDoppioni", QStringLiteral("Cerca d&oppioni…")), &frmMAIN::mnuDoppioni_Click, true);
    wire(addItem(archivio, "mnuVerifica", QStringLiteral("Verifica i&ndirizzi…")), &frmMAIN::mnuVerifica_Click, true);
    addSeparator(archivio, "mnuSep0");
    wire(addItem(archivio, "mnuGrigliaDefault", QStringLiteral("Ripristina Colonne &Default"),
                 QKeySequence(QStringLiteral("Ctrl+D"))),
         &frmMAIN::mnuGrigliaDefault_Click, true);
    addSeparator(archivio, "mnuSepv");
    wire(addItem(archivio, "mnuProprieta", QStringLiteral("&Proprietà Archivio"),
                 QKeySequence(QStringLiteral("Ctrl+P"))),
         &frmMAIN::mnuProprieta_Click, true);
    addSeparator(archivio, "mnuSep");
    wire(addItem(archivio, "mnuChiudiArchivio", QStringLiteral("&Chiudi Archivio"),
                 QKeySequence(QStringLiteral("Ctrl+C"))),
         &frmMAIN::mnuChiudiArchivio_Click, true);

    QMenu* opzioni = bar->addMenu(QStringLiteral("&Opzioni"));
    opzioni->setObjectName(QStringLiteral("mnuOpzioni"));
    wire(addItem(opzioni, "mnuOptApp", QStringLiteral("Applica&zione"), QKeySequence(QStringLiteral("Ctrl+Z"))),
         &frmMAIN::mnuOptApp_Click, true);
    addSeparator(opzioni, "mnuSep9");
    wire(addItem(opzioni, "mnuGruppi", QStringLiteral("Gestione &Gruppi"), QKeySequence(QStringLiteral("Ctrl+G"))),
         &frmMAIN::mnuGruppi_Click, true);
    addSeparator(opzioni, "mnuSep6");
    wire(addItem(opzioni, "mnuFormatta", QStringLiteral("&Formatta Floppy Disk")),
         &frmMAIN::mnuFormatta_Click, true);
    wire(addItem(opzioni, "mnuAbout", QStringLiteral("&?")), &frmMAIN::mnuAbout_Click, true);
}

void frmMAIN::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("STATO"));
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < PanelCount; ++i) {
        Panel& p = m_panels[size_t(i)];
        p.box = new QWidget(bar);
        p.box->setObjectName(QStringLiteral("STATO_Panel%1").arg(i + 1));
        auto* layout = new QHBoxLayout(p.box);
        layout->setContentsMargins(4, 1, 4, 1);
        layout->setSpacing(4);
        p.image = new QLabel(p.box);
        p.image->setFixedSize(16, 16);
        p.image->hide();
        p.text = new QLabel(p.box);
        p.text->setTextFormat(Qt::PlainText);
        layout->addWidget(p.image);
        layout->addWidget(p.text, 1);
        if (kPanelTwips[size_t(i)] > 0) {
            p.box->setMinimumWidth(common::Twips::toPixels(kPanelTwips[size_t(i)]));
            bar->addPermanentWidget(p.box, 0);
        } else {
            bar->addPermanentWidget(p.box, 1);
        }
        p.box->installEventFilter(this);
    }
}

bool frmMAIN::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < PanelCount; ++i)
            if (watched == m_panels[size_t(i)].box)
                STATO_PanelClick(i + 1);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMAIN::setPanelText(int panel, const QString& text) {
    if (panel < 1 || panel > PanelCount)
        return;
    m_panels[size_t(panel - 1)].text->setText(text);
}

QString frmMAIN::panelText(int panel) const {
    if (panel < 1 || panel > PanelCount)
        return {};
    return m_panels[size_t(panel - 1)].text->text();
}

void frmMAIN::setPanelImage(int panel, const QString& key) {
    if (panel < 1 || panel > PanelCount)
        return;
    Panel& p = m_panels[size_t(panel - 1)];
    p.key = common::ImageList::contains(key) ? key : QString();
    if (p.key.isEmpty()) {
        p.image->clear();
        p.image->hide();
    } else {
        p.image->setPixmap(common::ImageList::pixmap(p.key, 16));
        p.image->setToolTip(common::ImageList::tag(p.key));
        p.image->show();
    }
}

QString frmMAIN::panelImageKey(int panel) const {
    if (panel < 1 || panel > PanelCount)
        return {};
    return m_panels[size_t(panel - 1)].key;
}

void frmMAIN::clearPanels(int first, int last) {
    for (int i = std::max(first, 1); i <= std::min(last, int(PanelCount)); ++i) {
        setPanelText(i, QString());
        setPanelImage(i, QString());
    }
}

void frmMAIN::setArchiveMenuEnabled(bool enabled) {
    if (auto* m = findChild<QMenu*>(QStringLiteral("mnuArchivio")))
        m->menuAction()->setEnabled(enabled);
}

void frmMAIN::setOpenCommandsEnabled(bool enabled) {
    for (const char* name : {"mnuApri", "mnuNuovo"})
        if (auto* a = findChild<QAction*>(QLatin1String(name)))
            a->setEnabled(enabled);
}

int frmMAIN::formsWalk(const QString& name) { return common::ui::FormsWalk::count(name); }

void frmMAIN::setShellLauncher(ShellCommands::Launcher launcher) {
    m_shell = std::make_unique<ShellCommands>(m_ctx.dialogs, std::move(launcher));
}

bool frmMAIN::load() {
    setWindowTitle(kTitle);
    m_ctx.state.currentArchivePath.clear();
    clearPanels();
    if (Startup::run(m_ctx.state, m_ctx.settings, m_ctx.dialogs) != Startup::Outcome::Ready)
        return false;
    setArchiveMenuEnabled(false);
    return true;
}

// ---- exit -------------------------------------------------------------------------

void frmMAIN::mnuEsci_Click() {
    if (!m_ctx.dialogs.askYesNo(QStringLiteral("Uscire dall'Applicazione ?")))
        return;
    m_exitConfirmed = true;
    close();
}

void frmMAIN::closeEvent(QCloseEvent* event) {
    if (!m_exitConfirmed && !m_unloaded) {
        const common::MsgResult answer = m_ctx.dialogs.message(
            QStringLiteral("Uscire dall'Applicazione ?"), MsgIcon::Question,
            common::MsgButtons::YesNo);
        if (answer == common::MsgResult::No) {
            event->ignore();
            return;
        }
    }
    m_exitConfirmed = false;
    runUnloadSteps();
    event->accept();
}

void frmMAIN::runUnloadSteps() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    // The address grid closes the archive when it unloads.
    if (QWidget* grid = common::ui::FormsWalk::find(QStringLiteral("frmEDIT"))) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(grid->parentWidget()))
            sub->close();
        else
            grid->close();
    }
    Startup::saveOnExit(m_ctx.state, m_ctx.settings);
    emit unloaded();
}

// ---- File ---------------------------------------------------------------------------

void frmMAIN::mnuApri_Click() { m_archive->openArchive(); }

void frmMAIN::mnuNuovo_Click() { m_archive->createArchive(); }

void frmMAIN::mnuVediFileTipogr_Click() { m_shell->openFolder(m_ctx.state.stampeTipDir); }

void frmMAIN::mnuVediFileSing_Click() { m_shell->openFolder(m_ctx.state.stampeSngDir); }

void frmMAIN::mnuVediExport_Click() { m_shell->openFolder(m_ctx.state.exportDir); }

void frmMAIN::mnuSetPrn_Click() { printing::PrintWindows::openPrinterSelection(m_ctx, this); }

void frmMAIN::mnuEsplora_Click() { m_shell->explore(); }

void frmMAIN::mnuTrova_Click() { m_shell->findFiles(); }

// ---- Archivio -----------------------------------------------------------------------

void frmMAIN::mnuSchedario_Click() { m_addresses->mnuSchedario_Click(); }

bool frmMAIN::showAddressGrid() { return m_addresses->showGrid(); }

bool frmMAIN::prepareSummary(const QString& caption, const QString& field) {
    if (m_ctx.state.displayedCount == 0) {
        m_ctx.dialogs.warn(QStringLiteral("Non ci sono Indirizzi."));
        return false;
    }
    m_ctx.state.summaryTitle = caption.leftJustified(11, QLatin1Char(' '), true);
    m_ctx.state.summaryField = field;
    return true;
}

void frmMAIN::mnuRiepilogoIndGrp_Click() {
    if (!prepareSummary(QStringLiteral("Gruppo"), QStringLiteral("GR")))
        return;
    printing::ui::ListPrinterWindows::openSummary(m_ctx, this);
}

void frmMAIN::mnuRiepilogoCAP_Click() {
    if (!prepareSummary(QStringLiteral("CAP"), QStringLiteral("CAP")))
        return;
    printing::ui::ListPrinterWindows::openSummary(m_ctx, this);
}

void frmMAIN::mnuRiepilogoCITTA_Click() {
    if (!prepareSummary(QStringLiteral("Città"), QStringLiteral("CITTA")))
        return;
    printing::ui::ListPrinterWindows::openSummary(m_ctx, this);
}

void frmMAIN::mnuRiepilogoPROV_Click() {
    if (!prepareSummary(QStringLiteral("Provincia"), QStringLiteral("PROV")))
        return;
    printing::ui::ListPrinterWindows::openSummary(m_ctx, this);
}

void frmMAIN::mnuRiepilogoNAZ_Click() {
    if (!prepareSummary(QStringLiteral("Nazione"), QStringLiteral("NAZ")))
        return;
    printing::ui::ListPrinterWindows::openSummary(m_ctx, this);
}

void frmMAIN::mnuEsporta_Click() {
    if (m_ctx.state.archiveCount < 1) {
        m_ctx.dialogs.warn(QStringLiteral("Non ci sono Indirizzi da esportare."));
        return;
    }
    ExchangeWindows::openExport(m_ctx, m_addresses->grid(), this);
}

void frmMAIN::mnuImporta_Click() {
    ExchangeWindows::openImport(m_ctx, m_addresses->grid(), this);
}

void frmMAIN::mnuImportaFile_Click() { offerCheck(ExchangeWindows::openFileImport(m_ctx, m_addresses->grid(), this)); }

void frmMAIN::offerCheck(qint64 suspects) {
    if (suspects <= 0 || !m_ctx.session.mainDb.isOpen())
        return;
    if (m_ctx.dialogs.message(QStringLiteral("%1 indirizzi importati hanno CAP, comune e provincia che non "
                                             "concordano.\nAprire la verifica degli indirizzi?")
                                  .arg(suspects),
                              common::MsgIcon::Question, common::MsgButtons::YesNo) == common::MsgResult::Yes)
        mnuVerifica_Click();
}

void frmMAIN::mnuDoppioni_Click() { m_addresses->mnuDoppioni_Click(); }

void frmMAIN::mnuVerifica_Click() { m_addresses->mnuVerifica_Click(); }

void frmMAIN::mnuGrigliaDefault_Click() { m_addresses->mnuGrigliaDefault_Click(); }

void frmMAIN::mnuProprieta_Click() { m_archive->showProperties(); }

void frmMAIN::mnuChiudiArchivio_Click() { m_addresses->mnuChiudiArchivio_Click(); }

// ---- Opzioni ------------------------------------------------------------------------

void frmMAIN::mnuOptApp_Click() {
    frmOPT window(m_ctx, this);
    window.exec();
}

void frmMAIN::mnuGruppi_Click() {
    GridWindows::openGroups(
        m_ctx, qobject_cast<addresses::frmEDIT*>(common::ui::FormsWalk::find(QStringLiteral("frmEDIT"))));
}

void frmMAIN::mnuFormatta_Click() { m_shell->formatFloppy(m_ctx.state.options.floppyDrive()); }

void frmMAIN::mnuAbout_Click() {
    frmAbout window(m_ctx, *m_shell, this);
    window.exec();
}

// ---- status bar ---------------------------------------------------------------------

void frmMAIN::STATO_PanelClick(int panel) {
    if (panel == 1 && !panelText(1).isEmpty())
        mnuProprieta_Click();
}

} // namespace velomar::shell::ui
