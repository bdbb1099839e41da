#pragma once

#include "printing/SheetFormat.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace velomar::common {
class DialogService;
}

namespace velomar::printing::ui {

class SheetView;

// "Foglio personalizzato": every measure of the user's own sheet, drawn as it is typed.
// Confirm refuses, with the reason, a sheet that cannot be printed.
class CustomSheetDialog : public QDialog {
    Q_OBJECT
public:
    CustomSheetDialog(common::DialogService& dialogs, const SheetFormat& start, QWidget* parent = nullptr);

    // The sheet as entered, named as the user's own format.
    SheetFormat format() const;
    void setFormat(const SheetFormat& format);

    QComboBox* cboCarta = nullptr;
    QSpinBox* txtColonne = nullptr;
    QSpinBox* txtRighe = nullptr;
    QDoubleSpinBox* txtLarghezza = nullptr;
    QDoubleSpinBox* txtAltezza = nullptr;
    QDoubleSpinBox* txtSinistro = nullptr;
    QDoubleSpinBox* txtAlto = nullptr;
    QDoubleSpinBox* txtPassoOrizz = nullptr;
    QDoubleSpinBox* txtPassoVert = nullptr;
    QDoubleSpinBox* txtRaggio = nullptr;
    QLabel* lblProblema = nullptr;
    SheetView* picFoglio = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void cmdOK_Click();

private:
    void redraw();

    common::DialogService& m_dialogs;
};

} // namespace velomar::printing::ui
