#include "GridFixture.h"

#include "addresses/ui/frmVERIFICA.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

using namespace velomar;

using CheckWindow = test::GridFixture;

TEST_F(CheckWindow, ListsSuspectsAppliesOnlyTheTickedAndOpensTheEntryForm) {
    openGrid({{{"COGNOME", "Rossi"}, {"CAP", "22063"}, {"CITTA", "CANTU'"}, {"PROV", "Como"}},
              {{"COGNOME", "Bianchi"}, {"CITTA", "SAMONE"}},
              {{"COGNOME", "Verdi"}, {"CAP", "20121"}, {"CITTA", "MILANO"}, {"PROV", "MI"}},
              {{"COGNOME", "Müller"}, {"CAP", "10115"}, {"CITTA", "BERLIN"}, {"NAZ", "GERMANIA"}},
              {{"COGNOME", "Neri"}, {"CAP", "07026"}, {"CITTA", "OLBIA"}, {"PROV", "OT"}}});
    std::vector<qint64> opened;
    addresses::frmVERIFICA w(*ctx, [&](qint64 nr) {
        opened.push_back(nr);
        return false;
    });
    ASSERT_EQ(w.suspects().size(), 3);
    EXPECT_EQ(w.GRIGLIA->item(0, 7)->text(), "22063 CANTÙ (CO)");
    EXPECT_EQ(w.GRIGLIA->item(1, 6)->text().left(22), "comune di più province");
    EXPECT_TRUE(w.lblConteggio->text().contains("esteri non verificati: 1"));

    w.cmdApplica_Click(); // nothing ticked: nothing written
    EXPECT_EQ(dialogs.lastMessage(), "Spuntare le correzioni da applicare.");
    w.cmdSicure_Click();
    EXPECT_EQ(w.GRIGLIA->item(0, 0)->checkState(), Qt::Checked);
    w.cmdApplica_Click();
    EXPECT_EQ(dialogs.lastMessage(), "Corretti 2 indirizzi.");
    EXPECT_EQ(w.applied(), 2);
    ASSERT_EQ(w.suspects().size(), 1);
    EXPECT_EQ(stored("CAP || ' ' || CITTA || ' ' || PROV", 1), "22063 CANTÙ CO");
    EXPECT_EQ(stored("CAP || ' ' || CITTA || ' ' || PROV", 5), "07026 OLBIA SS");

    w.GRIGLIA->setCurrentCell(0, 1);
    w.cmdScheda_Click();
    EXPECT_EQ(opened, std::vector<qint64>{2});
}
