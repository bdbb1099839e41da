#pragma once

#include "archive/ui/MainWindowView.h"
#include "common/AppContext.h"
#include "shell/ShellCommands.h"

#include <QMainWindow>

#include <array>
#include <memory>

class QAction;
namespace velomar::addresses {
class AddressWindows;
}
class QLabel;
class QMdiArea;
class QMenu;

namespace velomar::archive::ui {
class ArchiveCommands;
class MainWindowHost;
} // namespace velomar::archive::ui

namespace velomar::shell::ui {

// The main window: start-up, menu bar, status bar STATO and exit. Menu entries are
// QActions / QMenus whose objectName is the menu's name ("mnuApri"); each has a
// private handler named after it (mnuApri_Click). Entries whose window is not built
// yet stay hidden.
class frmMAIN : public QMainWindow, public archive::ui::MainWindowView {
    Q_OBJECT
public:
    static constexpr int PanelCount = 6;

    explicit frmMAIN(common::AppContext& context, QWidget* parent = nullptr);
    ~frmMAIN() override;

    // Runs the start-up sequence; false when the program must end at once.
    bool load();

    common::AppContext& context() { return m_ctx; }

    // Status panels 1..6 of STATO. Image keys are those of the image list ("kDBopen");
    // "" removes the image.
    QWidget* mainWidget() override { return this; }
    void setPanelText(int panel, const QString& text) override;
    QString panelText(int panel) const;
    void setPanelImage(int panel, const QString& key) override;
    QString panelImageKey(int panel) const;
    void clearPanels(int first = 1, int last = PanelCount) override;

    // mnuArchivio, and the pair mnuApri / mnuNuovo.
    void setArchiveMenuEnabled(bool enabled) override;
    void setOpenCommandsEnabled(bool enabled) override;

    // Open, create, properties and close of the archive; its archiveOpened signal is
    // where the address grid is shown.
    archive::ui::ArchiveCommands& archiveCommands() { return *m_archive; }

    // Area holding the child windows (the address grid).
    QMdiArea* mdiArea() const { return m_mdi; }

    // The address grid and card view; showAddressGrid() is what follows a successful
    // open of the current archive (false when the grid's own open failed).
    addresses::AddressWindows& addressWindows() { return *m_addresses; }
    bool showAddressGrid();

    // Number of loaded windows with that name (any case).
    static int formsWalk(const QString& name);

    // Lets tests watch the folders, programs and drives the shell commands would use.
    void setShellLauncher(ShellCommands::Launcher launcher);

signals:
    // Emitted once the unload steps have run (the program then ends).
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // After a file import: offers the address check when imported addresses disagree.
    void offerCheck(qint64 suspects);
    void buildMenus();
    void buildStatusBar();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {});
    QAction* addSeparator(QMenu* menu, const char* name);
    void runUnloadSteps();
    bool prepareSummary(const QString& caption, const QString& field);

    // File
    void mnuApri_Click();
    void mnuNuovo_Click();
    void mnuVediFileTipogr_Click();
    void mnuVediFileSing_Click();
    void mnuVediExport_Click();
    void mnuSetPrn_Click();
    void mnuEsplora_Click();
    void mnuTrova_Click();
    void mnuEsci_Click();
    // Archivio
    void mnuSchedario_Click();
    void mnuRiepilogoIndGrp_Click();
    void mnuRiepilogoCAP_Click();
    void mnuRiepilogoCITTA_Click();
    void mnuRiepilogoPROV_Click();
    void mnuRiepilogoNAZ_Click();
    void mnuEsporta_Click();
    void mnuImporta_Click();
    void mnuImportaFile_Click();
    void mnuDoppioni_Click();
    void mnuVerifica_Click();
    void mnuGrigliaDefault_Click();
    void mnuProprieta_Click();
    void mnuChiudiArchivio_Click();
    // Opzioni
    void mnuOptApp_Click();
    void mnuGruppi_Click();
    void mnuFormatta_Click();
    void mnuAbout_Click();
    // Status bar
    void STATO_PanelClick(int panel);

    common::AppContext& m_ctx;
    std::unique_ptr<ShellCommands> m_shell;
    addresses::AddressWindows* m_addresses = nullptr;
    std::unique_ptr<archive::ui::MainWindowHost> m_archiveHost;
    archive::ui::ArchiveCommands* m_archive = nullptr;
    QMdiArea* m_mdi = nullptr;
    struct Panel {
        QWidget* box = nullptr;
        QLabel* image = nullptr;
        QLabel* text = nullptr;
        QString key;
    };
    std::array<Panel, PanelCount> m_panels;
    bool m_exitConfirmed = false;
    bool m_unloaded = false;
};

} // namespace velomar::shell::ui
