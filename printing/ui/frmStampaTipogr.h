#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QGroupBox;

namespace velomar::common {
struct AppContext;
}

namespace velomar::printing {

// "Stampa Etichette per Tipografia": every address of one group, in a chosen order,
// from the first label of a fresh sheet, after writing the reminder file.
class frmStampaTipogr : public QDialog {
    Q_OBJECT
public:
    explicit frmStampaTipogr(common::AppContext& context, QWidget* parent = nullptr);

    void cmdStampa_Click();
    void cmdAnteprima_Click();
    void cmdChiudi_Click() { close(); }

    QGroupBox* fraDATI = nullptr;
    QLineEdit* txtGRUPPO = nullptr;
    QLineEdit* txtDESC = nullptr;
    QComboBox* cboORDINAMENTO = nullptr;
    QCheckBox* chkFamiglie = nullptr; // one label per door
    QPushButton* cmdStampa = nullptr;
    QCheckBox* chkContorni = nullptr; // "Stampa i contorni"
    QPushButton* cmdAnteprima = nullptr;
    QPushButton* cmdChiudi = nullptr;
    QProgressBar* BARRA = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    common::AppContext& m_ctx;
};

} // namespace velomar::printing
