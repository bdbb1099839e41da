#pragma once

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;
class QWidget;

namespace velomar::addresses {

// The controls of the address grid window, created and laid out in one place: the grid
// takes the room left of two columns of frames.
struct EditControls {
    QTableView* GRIGLIA = nullptr;
    QGroupBox* fraORDINAMENTO = nullptr;
    QComboBox* cboORDINAMENTO = nullptr;
    QGroupBox* fraCAMPOPRINC = nullptr;
    QComboBox* cboRICERCHE = nullptr;
    QGroupBox* fraINIZIALI = nullptr;
    std::array<QRadioButton*, 26> optLett{}; // A..Z (character code - 65)
    QRadioButton* optLettNUM = nullptr;
    QGroupBox* fraRICERCHE = nullptr;
    QPushButton* cmdLettALL = nullptr;
    QPushButton* cmdVai = nullptr;
    QPushButton* cmdTROVA = nullptr;
    QGroupBox* fraEDIT = nullptr;
    QPushButton* cmdAggiungi = nullptr;
    QPushButton* cmdModifica = nullptr;
    QPushButton* cmdRimuovi = nullptr;
    QGroupBox* fraMOVIMENTO = nullptr;
    QPushButton* cmdPrimo = nullptr;
    QPushButton* cmdPrecedente = nullptr;
    QPushButton* cmdIndietro = nullptr;
    QPushButton* cmdAvanti = nullptr;
    QPushButton* cmdSuccessivo = nullptr;
    QPushButton* cmdUltimo = nullptr;
    QGroupBox* fraSTAMPA = nullptr;
    QPushButton* cmdStEtiSingole = nullptr;
    QPushButton* cmdStampaEtichette = nullptr;
    QPushButton* cmdStampaLista = nullptr;
    QPushButton* cmdSpedizione = nullptr;
    QGroupBox* fraUscita = nullptr;
    QPushButton* cmdChiudi = nullptr;
    QLabel* imgVelomar = nullptr;

    void build(QWidget* window);
};

} // namespace velomar::addresses
