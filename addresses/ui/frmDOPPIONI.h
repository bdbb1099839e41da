#pragma once

#include "addresses/DuplicateFinder.h"
#include "archive/AddressRecord.h"

#include <QDialog>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace velomar::common {
class DialogService;
}
namespace velomar::archive {
class Database;
}

namespace velomar::addresses {

// "Cerca doppioni": the groups of probable duplicates, most certain first, each side by
// side with its differing fields highlighted. The user keeps one address and picks, field
// by field, the value to keep (a click on a value takes it), or says they are not
// duplicates. changed() runs after each merge, so the grid reads the archive again.
class frmDOPPIONI : public QDialog {
    Q_OBJECT
public:
    frmDOPPIONI(common::DialogService& dialogs, archive::Database& db, std::function<void()> changed,
                QWidget* parent = nullptr);

    qsizetype groupCount() const { return qsizetype(m_groups.size()); }
    // The value the merge will write for a field (1..16) of the shown group.
    QString keptValue(int field) const;
    void chooseValue(int field, int member); // member: column 0.. of the shown group
    void chooseKept(int member);
    void showGroup(int index);

    void cmdUnisci_Click();
    void cmdNonDoppioni_Click();

private:
    void buildUi();
    void search();
    void fillList();
    void dropShownGroup();

    common::DialogService& m_dialogs;
    archive::Database& m_db;
    std::function<void()> m_changed;
    std::vector<DuplicateGroup> m_groups;
    std::vector<archive::AddressRecord> m_records; // of the shown group
    int m_shown = -1;

    QLabel* lblTrovati = nullptr;
    QListWidget* lstGRUPPI = nullptr;
    QTableWidget* GRIDdoppi = nullptr;
    QComboBox* cboTieni = nullptr;
    QPushButton* cmdUnisci = nullptr;
    QPushButton* cmdNonDoppioni = nullptr;
    QPushButton* cmdChiudi = nullptr;
};

} // namespace velomar::addresses
