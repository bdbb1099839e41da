#pragma once

#include <QDialog>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace velomar::common {
struct AppContext;
}

namespace velomar::printing {

class BulkJob;

// "Spedizione in blocco": the labels of one or more groups (or of the grid's selection)
// in bundle order with their header labels, and the delivery list, for mail the post
// office takes sorted by CAP.
class frmSpedizioneBlocco : public QDialog {
    Q_OBJECT
public:
    // selection: the NRs selected in the grid (may be empty).
    frmSpedizioneBlocco(common::AppContext& context, std::vector<qint64> selection, QWidget* parent = nullptr);

    void cmdStampa_Click();
    void cmdAnteprimaEtichette_Click();
    void cmdAnteprimaDistinta_Click();

    QLineEdit* txtGRUPPI = nullptr;
    QCheckBox* chkSELEZIONE = nullptr;
    QLabel* lblFORMATO = nullptr;
    QSpinBox* spnRIGA = nullptr;
    QSpinBox* spnCOLONNA = nullptr;
    QSpinBox* spnMINIMO = nullptr;
    QCheckBox* chkPROVINCIA = nullptr;
    QCheckBox* chkREGIONE = nullptr;
    QCheckBox* chkTESTATE = nullptr;
    QCheckBox* chkPOSTALE = nullptr;
    QLineEdit* txtPRODOTTO = nullptr;
    QPushButton* cmdStampa = nullptr;
    QPushButton* cmdAnteprimaEtichette = nullptr;
    QPushButton* cmdAnteprimaDistinta = nullptr;
    QPushButton* cmdChiudi = nullptr;

private:
    // The job of the window's choices, or nothing after saying why.
    std::optional<BulkJob> readJob();

    common::AppContext& m_ctx;
    std::vector<qint64> m_selection;
};

} // namespace velomar::printing
