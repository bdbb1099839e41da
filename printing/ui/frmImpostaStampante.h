#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace velomar::common {
class DialogService;
}

namespace velomar::printing {

class PrinterSelection;

// "Imposta Stampante": chooses the printer of every later job of the running program.
class frmImpostaStampante : public QDialog {
    Q_OBJECT
public:
    explicit frmImpostaStampante(PrinterSelection& printers, QWidget* parent = nullptr);
    // With the test sheet and the calibration of the chosen printer.
    frmImpostaStampante(PrinterSelection& printers, common::DialogService& dialogs, QWidget* parent = nullptr);

    void cboPRN_Click();
    void cmdProva_Click();
    void cmdCalibra_Click();

    QComboBox* cboPRN = nullptr;
    QLabel* lblPredef = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdProva = nullptr;
    QPushButton* cmdCalibra = nullptr;

private:
    PrinterSelection& m_printers;
    common::DialogService* m_dialogs = nullptr;
    bool m_filled = false;
};

} // namespace velomar::printing
