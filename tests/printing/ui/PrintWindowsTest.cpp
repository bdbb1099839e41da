#include "support/PrintContext.h"

#include "printing/ui/frmImpostaStampante.h"
#include "printing/ui/frmStampaSingola.h"
#include "printing/ui/frmStampaTipogr.h"

#include <QCheckBox>
#include <array>
#include <QTest>
#include <gtest/gtest.h>
#include "printing/ui/SheetView.h"
#include <QComboBox>
#include <QPushButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>

using namespace velomar;
using namespace velomar::printing;
using common::MsgResult;

namespace {

struct Context : test::PrintContext {
    Context() : PrintContext({QStringLiteral("Laser"), QStringLiteral("Ufficio")}) {
        for (const auto& [cognome, nome, cap, gr] : {std::array{"VERDI", "ANNA", "30100", "AA"},
                                                     {"BIANCHI", "LUCA", "10100", "AA"},
                                                     {"ROSSI", "MARIO", "20100", "BB"},
                                                     {"NERI", "PAOLO", "40100", "AA"}})
            add(cognome, nome, cap, gr);
    }
};

} // namespace

TEST(frmStampaSingola, ListDiagramAndPrintFromChosenLabel) {
    Context c;
    frmStampaSingola w(c.ctx);
    ASSERT_TRUE(w.load());
    w.show();
    // Sorted by surname: BIANCHI, NERI, ROSSI, VERDI.
    w.GRIDch->selectRow(0);
    w.addCurrent();
    w.addCurrent(); // the same address twice: still one row
    EXPECT_EQ(w.labelCount(), 1);
    EXPECT_EQ(w.lblNrEti->text(), "1");
    w.GRIDch->selectRow(3);
    QTest::keyClick(w.GRIDch, Qt::Key_Space);
    EXPECT_EQ(w.labelCount(), 2);
    EXPECT_EQ(w.GRIDst->item(1, 1)->text(), "VERDI");
    QTest::keyClick(w.GRIDch, Qt::Key_R); // initial-letter search in the surname
    EXPECT_EQ(w.GRIDch->currentIndex().row(), 2);
    QTest::keyClick(w.GRIDch, Qt::Key_Z);
    EXPECT_EQ(c.dialogs.lastMessage(), "Nessun indirizzo trovato con iniziale 'Z'\r\nnel campo COGNOME");

    w.Etx_Click(5);
    EXPECT_EQ(w.startPosition(), (LabelPosition{2, 2}));
    EXPECT_EQ(w.picFoglio->start(), 5);

    w.cmdStampa_Click(); // confirmation answered OK by the script
    const QStringList printed = c.printed();
    ASSERT_FALSE(printed.isEmpty());
    EXPECT_EQ(printed[1], "BIANCHI LUCA");
    EXPECT_DOUBLE_EQ(c.events.front().x, 70);
    EXPECT_DOUBLE_EQ(c.events.front().y, 36);
    EXPECT_EQ(c.dialogs.lastMessage(), "Stampa terminata.");
    EXPECT_TRUE(c.dialogs.messages()[c.dialogs.messages().size() - 2].startsWith("Stampante: Laser\r\n"));

    w.removeListRow(0);
    EXPECT_EQ(w.labelCount(), 1);
    w.cmdCancella_Click();
    EXPECT_EQ(w.labelCount(), 0);
    EXPECT_FALSE(w.cmdCancella->isEnabled());
    w.cmdStampa_Click();
    EXPECT_EQ(c.dialogs.lastMessage(), "Nessuna etichetta da stampare !");

    // The envelope of the current row, on the landscape page.
    c.events.clear();
    w.GRIDch->selectRow(2);
    w.cmdBUSTA_Click();
    EXPECT_TRUE(c.dialogs.lastMessage().startsWith("Stampante: Laser\r\nIndirizzo da stampare: \r\n"));
    EXPECT_EQ(c.printed(), (QStringList{"ROSSI MARIO", "20100 ROMA (RM)"}));
}

TEST(frmStampaTipogr, GroupCodeRulesAndJob) {
    Context c;
    frmStampaTipogr w(c.ctx);
    w.show();
    QTest::keyClicks(w.txtGRUPPO, "a -");
    EXPECT_EQ(w.txtGRUPPO->text(), "A");
    EXPECT_EQ(w.cboORDINAMENTO->currentIndex(), 6);
    c.dialogs.answerMessage(MsgResult::Ok);
    c.dialogs.answerInput(QStringLiteral("gruppo-aa"));
    w.cmdStampa_Click();
    EXPECT_EQ(w.txtGRUPPO->text(), "AA");
    EXPECT_TRUE(QFile::exists(c.state.stampeTipDir + "/gruppo-aa.txt"));
    EXPECT_EQ(c.dialogs.lastMessage(), "Stampa terminata.");
    const QStringList printed = c.printed();
    EXPECT_EQ(printed.count(" "), 3);
    EXPECT_EQ(printed[1], "BIANCHI LUCA"); // 10100 first

    // "Stampa i contorni": each of the three labels outlined as well.
    const auto rules = [&] {
        return std::count_if(c.events.begin(), c.events.end(),
                             [](const auto& e) { return e.kind == RecordingPrinter::Event::Kind::Rule; });
    };
    EXPECT_EQ(rules(), 0);
    w.chkContorni->setChecked(true);
    c.dialogs.answerMessage(MsgResult::Ok);
    c.dialogs.answerInput(QStringLiteral("gruppo-aa-contorni"));
    w.cmdStampa_Click();
    EXPECT_EQ(rules(), 3 * 4);
}

TEST(frmImpostaStampante, ChoiceLastsAndOpeningChangesNothing) {
    Context c;
    {
        frmImpostaStampante w(c.printers);
        EXPECT_EQ(w.cboPRN->count(), 2);
        EXPECT_EQ(w.cboPRN->currentText(), "Laser");
        EXPECT_EQ(w.lblPredef->text(), "Laser");
    }
    EXPECT_EQ(c.printers.currentName(), "Laser");
    {
        frmImpostaStampante w(c.printers);
        w.cboPRN->setCurrentIndex(1);
    }
    EXPECT_EQ(c.printers.currentName(), "Ufficio");
    frmImpostaStampante again(c.printers);
    EXPECT_EQ(again.cboPRN->currentText(), "Ufficio");
}

TEST(frmStampaSingola, EnvelopeOfAFamilyWhenOneLabelPerDoor) {
    Context c;
    for (const char* nome : {"Ada", "Ugo"}) {
        archive::Statement st(c.session.mainDb, "INSERT INTO TabMAIL (COGNOME, NOME1, INDIRIZZO, CAP, CITTA, SERV) "
                                                "VALUES ('Rossi', ?, 'Via Po 1', '20100', 'MILANO', 0)");
        st.bindText(1, nome).exec();
    }
    frmStampaSingola w(c.ctx);
    ASSERT_TRUE(w.load());
    w.show();
    // By surname and name: BIANCHI, NERI, Rossi Ada, ROSSI MARIO, Rossi Ugo, VERDI.
    for (int row : {2, 3, 4}) {
        w.GRIDch->selectRow(row);
        w.addCurrent();
    }
    w.GRIDch->selectRow(4);
    w.cmdBUSTA_Click();
    EXPECT_EQ(c.printed(), (QStringList{"Rossi Ugo", "Via Po 1", "20100 MILANO"}));
    c.events.clear();
    w.chkFamiglie->setChecked(true);
    w.cmdBUSTA_Click();
    EXPECT_EQ(c.printed(), (QStringList{"FAMIGLIA ROSSI ", "Via Po 1", "20100 MILANO"})); // and the empty name
    c.events.clear();
    w.GRIDch->selectRow(3); // alone at its door
    w.cmdBUSTA_Click();
    EXPECT_EQ(c.printed(), (QStringList{"ROSSI MARIO", "20100 ROMA (RM)"}));
}
