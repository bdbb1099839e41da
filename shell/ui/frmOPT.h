#pragma once

#include "settings/Options.h"
#include "common/AppContext.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velomar::printing::ui {
class SheetFormatPicker;
}

namespace velomar::shell::ui {

// "Opzioni Applicazione": the 26 options, the two senders and the label sheet format.
// Confirm stores them in memory, in the settings store and in "Setup.ini"; Cancel stores
// nothing.
class frmOPT : public QDialog {
    Q_OBJECT
public:
    explicit frmOPT(common::AppContext& context, QWidget* parent = nullptr);

    // Controls by their program names; index 0 of ctrOPT is unused.
    std::array<QCheckBox*, 21> ctrOPT{}; // 1..20
    QCheckBox* chkSTILEPOSTALE = nullptr;
    QComboBox* cboFloppy = nullptr;
    QComboBox* cboDrive = nullptr;
    QComboBox* cboAlto = nullptr;
    QComboBox* cboSinistro = nullptr;
    std::array<QRadioButton*, 2> optBUSTA{};
    std::array<QRadioButton*, 2> optMITTENTE{};
    std::array<QLineEdit*, 6> txtMIT1{};
    std::array<QLineEdit*, 6> txtMIT2{};
    QGroupBox* fraMittente = nullptr;
    QGroupBox* fraFoglio = nullptr;
    printing::ui::SheetFormatPicker* sheetPicker = nullptr;
    QPushButton* cmdProva = nullptr; // "Foglio di prova" of the format chosen
    QLineEdit* txtTabellaCAP = nullptr;
    QPushButton* cmdSfogliaCAP = nullptr;
    QPushButton* cmdNessunaCAP = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void cmdSfogliaCAP_Click();
    void cmdNessunaCAP_Click();

private:
    void showCapTableHint();
    bool m_noCapTable = false; // the user chose no CAP table, not even the program folder's
    void buildControls();
    void loadValues();
    void applySenderRule();
    void setTooltips();
    // False (after telling the user) when a sender line cannot be stored.
    bool sendersStorable();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdProva_Click();

    common::AppContext& m_ctx;
};

} // namespace velomar::shell::ui
