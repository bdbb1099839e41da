#pragma once

#include "exchange/FileImporter.h"
#include "exchange/SourceFactory.h"

#include <QDialog>
#include <array>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace velomar::common {
struct AppContext;
}

namespace velomar::exchange::ui {

// "Importa da file...": reads a CSV, vCard or Access table into the open archive. Shows
// what was detected (format, encoding, delimiter, header; each can be changed), the
// archive field each source column fills, and the first rows as they will be stored.
class frmIMPORTAFILE : public QDialog {
    Q_OBJECT
public:
    static constexpr int PreviewRows = 10;

    frmIMPORTAFILE(common::AppContext& context, SourceOpener opener = openSource,
                   QWidget* parent = nullptr);

    QLineEdit* txtFile;
    QPushButton* cmdSfoglia;
    QLabel* lblFormato;
    QComboBox* cboCodifica;
    QComboBox* cboSeparatore;
    QComboBox* cboIntestazione;
    QComboBox* cboTabella; // an Access database's tables with their rows
    QComboBox* cboIndirizzo; // which address group of a contacts export fills the address
    QTableWidget* GRIDcampi;               // archive field <- source column
    std::array<QComboBox*, 17> cboCampo{}; // by field index; NR has none
    QTableWidget* GRIDanteprima;           // the first rows as stored
    QLineEdit* txtGruppo;
    QComboBox* cboDoppioni; // DuplicateChoice, in its order
    QCheckBox* chkNote;
    QProgressBar* BARRA;
    QLabel* lblRighe;
    QPushButton* cmdImporta;
    QPushButton* cmdAnnulla;
    QPushButton* cmdChiudi;

    void cmdSfoglia_Click();
    // Opens the file with the chosen overrides; false (after a message) when refused.
    bool loadSource(const QString& path);
    void refreshPreview();
    void cmdImporta_Click();
    void cmdAnnulla_Click();

    const std::optional<ImportSummary>& lastSummary() const { return m_summary; }

protected:
    // Escape or the title bar's close during an import cancel it; the window stays.
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    SourceOptions sourceOptions() const;
    // Lists an Access file's tables (once per file) and picks the address table; false
    // (after a message) when the file cannot be read.
    bool listTables(const QString& path);
    ImportMapping mapping() const;
    ImportOptions importOptions();
    void setRunning(bool running);

    common::AppContext& m_ctx;
    SourceOpener m_opener;
    QString m_path;
    QString m_listed; // the file whose tables cboTabella holds
    QStringList m_columns;
    ImportMapping m_automatic; // from the header; the combos change it field by field
    std::vector<QStringList> m_preview;
    std::optional<CountryNames> m_countries;
    std::optional<ImportSummary> m_summary;
    bool m_running = false;
    bool m_cancel = false;
    bool m_filling = false;
};

} // namespace velomar::exchange::ui
