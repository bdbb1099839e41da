#pragma once

#include "archive/ui/ListPrinterChoices.h"

#include "exchange/ExportJob.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace velomar::common {
struct AppContext;
}

namespace velomar::exchange::ui {

// Exports addresses to a text file. Shown without blocking the main window; it reads the
// address grid, so it closes itself when the grid unloads (gridUnloaded).
class frmESPORTA : public QDialog {
    Q_OBJECT
public:
    static const QString CancelledMarker; // "_OperazioneAnnullata_"

    frmESPORTA(common::AppContext& context, archive::ui::ListPrinterGrid grid,
               QWidget* parent = nullptr);

    archive::ui::ListPrinterChoices* choices;
    // "Formato": text (as always), CSV or vCard.
    QGroupBox* fraFormato;
    std::array<QRadioButton*, 3> optFormato{}; // Testo, CSV, vCard
    ExportFileFormat format() const;
    QCheckBox* chkFamiglie; // one address per door
    QPushButton* cmdEsporta;
    QPushButton* cmdChiudi;

    void cmdEsporta_Click();
    // The address grid is going away with its record set: nothing may read it any more.
    void gridUnloaded();

    // Writes the file; false when nothing was written (declined or failed).
    bool exportJob(const QString& fileName);

private:
    QString askFileName();

    common::AppContext& m_ctx;
    archive::ui::ListPrinterGrid m_grid;
    bool m_gridGone = false;
};

} // namespace velomar::exchange::ui
