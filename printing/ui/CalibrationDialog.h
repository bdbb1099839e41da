#pragma once

#include "printing/PrinterCalibration.h"
#include "printing/SheetFormat.h"

#include <QDialog>

class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace velomar::common {
class DialogService;
}

namespace velomar::printing {
class PrinterSelection;
}

namespace velomar::printing::ui {

class CalibrationView;

// "Calibrazione stampante": one printer's offset and scale, with a drawing of the labels
// moved. "Salva" stores them for that printer alone; "Azzera" sets no calibration.
class CalibrationDialog : public QDialog {
    Q_OBJECT
public:
    CalibrationDialog(common::DialogService& dialogs, const PrinterSelection& printers, QString printer,
                      SheetFormat sheet, QWidget* parent = nullptr);

    PrinterCalibration values() const;
    void setValues(const PrinterCalibration& calibration);

    // Checks and stores; false (after saying why) when the values or the printer are refused.
    bool cmdSalva_Click();
    void cmdAzzera_Click();

    QLabel* lblStampante = nullptr;
    QDoubleSpinBox* txtSpostamentoX = nullptr;
    QDoubleSpinBox* txtSpostamentoY = nullptr;
    QDoubleSpinBox* txtScalaX = nullptr;
    QDoubleSpinBox* txtScalaY = nullptr;
    CalibrationView* picEtichette = nullptr;
    QPushButton* cmdSalva = nullptr;
    QPushButton* cmdAzzera = nullptr;
    QPushButton* cmdAnnulla = nullptr;

private:
    common::DialogService& m_dialogs;
    const PrinterSelection& m_printers;
    QString m_printer;
};

} // namespace velomar::printing::ui
