#pragma once

#include "addresses/EntryBuffer.h"
#include "addresses/ui/EditControls.h"

#include <QString>
#include <QWidget>
#include <array>
#include <functional>

class QAbstractButton;

namespace velomar::common {
struct AppContext;
}

namespace velomar::addresses {

class AddressTableModel;

// The address grid: every address of the open archive, with sort orders, searches and
// initial-letter filters, add/modify/delete and the print buttons. It owns the open
// archive (main connection and record set) from its load to its unload.
class frmEDIT : public QWidget {
    Q_OBJECT
public:
    enum class PrintButton { EtichetteSingole, EtichettePerGruppo, Lista, SpedizioneInBlocco };
    using CountryLookup = std::function<QString(const QString&)>;
    // Opens the current archive into the main slots in mode "Edit"; on failure it shows
    // its message and sets the caller mode to "Erro".
    using ArchiveOpener = std::function<void(common::AppContext&)>;

    static const QString Caption; // "Lista Midifile"

    explicit frmEDIT(common::AppContext& context, QWidget* parent = nullptr);
    ~frmEDIT() override;

    void setArchiveOpener(ArchiveOpener opener) { m_opener = std::move(opener); }
    void setCountryLookup(CountryLookup lookup) { m_lookup = std::move(lookup); }
    // The print windows plug in here; a button without an action stays disabled.
    void setPrintAction(PrintButton button, std::function<void()> action);

    // Opens the archive and fills the grid; false when the open failed (the window is then
    // unloaded and must not be shown).
    bool load();
    bool isLoaded() const { return m_loaded; }

    // What the print and export windows read.
    qint64 selectionTopRow() const; // 1-based grid row of the selection's top, 0 when none
    qint64 selectionCount() const;  // rows selected now, read from the view
    std::vector<qint64> selectedNumbers() const; // NR of the rows selected now
    qint64 currentRow() const;      // 1-based, 0 when the grid is empty
    int sortIndex() const { return m_sortIndex; }
    QString sortText() const;       // heading of the current sort order
    int searchField() const;        // field index 1..16 of the search list
    QString statusText(int panel) const;
    EditControls& controls() { return m_ui; }
    AddressTableModel* model() const { return m_model; }

    // Operations other windows call.
    void DefaultGriglia();
    void RimuoviFiltro();
    void GRIGLIA_EnterCell();
    void cboORDINAMENTO_Click();
    void cmdChiudi_Click();
    void cmdLettALL_Click();
    void cmdTROVA_Click();
    void cmdVai_Click();
    void optLett_Click(int letterCode);
    void optLettNUM_Click();
    void cboRICERCHE_Click();
    void cmdAggiungi_Click();
    void cmdModifica_Click();
    // The entry form on address NR (the check window's "open"); false when not shown.
    bool modifyAddress(qint64 nr);
    void cmdRimuovi_Click();
    void navigate(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // Windows that take the grid's place hide it and bring it back on the record set's
    // current record.
    void hideForWindow();
    void showAgain();
    // Hiding or showing the grid takes its frame in the main window along.
    void setVisible(bool visible) override;
    // Reads the archive again (after another window wrote into it) and shows it all.
    void reloadArchive();

signals:
    // Status panel 1..6 of the main window gets a new text.
    void statusPanelChanged(int panel, const QString& text);
    // The archive is open and shown / closed and the window gone.
    void archiveOpened();
    void archiveClosed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void wire();
    void unload();
    void setStatus(int panel, const QString& text);
    void syncGridToRecordset();
    void showPosition();
    void clearLetterButtons();
    void setInitialsCaption(const QString& letter);
    bool runLetterFilter(const QString& filter, QAbstractButton* button, const QString& notFound);
    void afterDelete(qint64 deleted);
    void reloadRecordset();
    bool showEntryForm();
    // Stands the record set on address nr, or leaves it where it was and says so.
    bool standOnNumber(qint64 nr);
    void printClicked(PrintButton button);
    void readColumnWidths();
    void writeSettings();
    void focusGrid();
    void reportError(const std::exception& error);
    qint64 rs_count() const;
    bool archiveWritable();

    common::AppContext& m_ctx;
    EditControls m_ui;
    AddressTableModel* m_model = nullptr;
    ArchiveOpener m_opener;
    CountryLookup m_lookup;
    std::array<std::function<void()>, 4> m_print;
    std::array<QString, 7> m_status; // panels 1..6
    EntryBuffer m_buffer;
    QString m_lastWord;
    int m_sortIndex = 2;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_syncing = false;
};

} // namespace velomar::addresses
