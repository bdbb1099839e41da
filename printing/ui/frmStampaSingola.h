#pragma once

#include "archive/AddressRecord.h"
#include "archive/Recordset.h"
#include "printing/LabelLayout.h"

#include <QWidget>
#include <array>
#include <unordered_set>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class QTableWidget;

namespace velomar::addresses {
class AddressTableModel;
}
namespace velomar::common {
struct AppContext;
}

namespace velomar::printing {

namespace ui {
class SheetView;
}

// "Stampa Etichette Singole": addresses picked one by one into a to-print list, printed
// from any label of the first sheet; also the envelope of the current address.
class frmStampaSingola : public QWidget {
    Q_OBJECT
public:
    explicit frmStampaSingola(common::AppContext& context, QWidget* parent = nullptr);
    ~frmStampaSingola() override;

    // Opens the choice record set on the open archive; false when it cannot.
    bool load();

    // Adds the current row of GRIDch (double click, space bar).
    void addCurrent();
    void cmdAggiungi_Click();
    void cmdEliminaSel_Click();
    void cmdCancella_Click();
    void removeListRow(int row);
    void Etx_Click(int box); // 1..labels per sheet, the start label
    void cmdStampa_Click();
    void cmdAnteprima_Click();
    void cmdBUSTA_Click();
    void cmdAnteprimaBusta_Click();
    void cmdEsci_Click() { close(); }
    void cboORDINAMENTO_Click();
    void initialLetter(QChar letter);

    LabelPosition startPosition() const;
    const std::vector<qint64>& listed() const { return m_list; }
    qint64 labelCount() const { return qint64(m_list.size()); }

    QTableView* GRIDch = nullptr;
    QTableWidget* GRIDst = nullptr;
    QLabel* lblNrEti = nullptr;
    QLabel* lblInizio = nullptr; // the sheet's name and the start label
    QComboBox* cboORDINAMENTO = nullptr;
    QComboBox* cboOrdSt = nullptr;
    QCheckBox* chkFamiglie = nullptr; // one label per door
    QPushButton* cmdAggiungi = nullptr;
    QPushButton* cmdEliminaSel = nullptr;
    QPushButton* cmdCancella = nullptr;
    QPushButton* cmdStampa = nullptr;
    QCheckBox* chkContorni = nullptr; // "Stampa i contorni"
    QPushButton* cmdAnteprima = nullptr;
    QPushButton* cmdBUSTA = nullptr;
    QPushButton* cmdAnteprimaBusta = nullptr;
    QPushButton* cmdEsci = nullptr;
    QPushButton* cmdDefCol = nullptr;
    QPushButton* cmdVediCol = nullptr;
    ui::SheetView* picFoglio = nullptr; // the first sheet, to pick the start label

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool add(qint64 row);
    void showCount();
    void showStart();
    void setColumnWidths(const std::array<int, 18>& twips);
    qint64 currentRow() const;
    archive::AddressRecord recordAt(qint64 row) const;
    // The envelope's address: with chkFamiglie, FAMIGLIA ROSSI when chosen addresses of
    // the same surname share its door.
    archive::AddressRecord envelopeAt(qint64 row);

    common::AppContext& m_ctx;
    archive::Recordset m_choice;
    addresses::AddressTableModel* m_model = nullptr;
    std::vector<qint64> m_list;
    QString m_sheetNote; // the chosen sheet could not be read; said once the window loads
    std::unordered_set<qint64> m_listed;
    std::vector<int> m_lastAddedSelection;
};

} // namespace velomar::printing
