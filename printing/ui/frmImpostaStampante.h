#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace velomar::printing {

class PrinterSelection;

// "Imposta Stampante": chooses the printer of every later job of the running program.
class frmImpostaStampante : public QDialog {
    Q_OBJECT
public:
    explicit frmImpostaStampante(PrinterSelection& printers, QWidget* parent = nullptr);

    void cboPRN_Click();

    QComboBox* cboPRN = nullptr;
    QLabel* lblPredef = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    PrinterSelection& m_printers;
    bool m_filled = false;
};

} // namespace velomar::printing
